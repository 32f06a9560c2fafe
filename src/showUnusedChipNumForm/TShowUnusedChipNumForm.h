#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPlainTextEdit;
class UserPrompts;

// The one report window of the unused-number reports: a message and the list of the numbers
// that nothing in the current stage refers to. Made once and reused for every report.
class TShowUnusedChipNumForm : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* Caption =
        QT_TRANSLATE_NOOP("TShowUnusedChipNumForm", "未使用チップ番号");
    static constexpr const char* DesignMessage =
        QT_TRANSLATE_NOOP("TShowUnusedChipNumForm", "未使用チップ番号は");
    static constexpr int ClientWidth = 339;
    static constexpr int ClientHeight = 249;

    // The messages of the three reports.
    // Given as they are (the Japanese sources): the window shows them in the language of the
    // moment, and again in a new one while it is open.
    static constexpr const char* Unused16x16ChipMessage =
        QT_TRANSLATE_NOOP("TShowUnusedChipNumForm", "32x32チップに使用されてない16x16チップ番号は");
    static constexpr const char* Unused32x32ChipMessage = QT_TRANSLATE_NOOP(
        "TShowUnusedChipNumForm", "マップセットに使用されてない32x32チップ番号は");
    static constexpr const char* UnusedTileMessage =
        QT_TRANSLATE_NOOP("TShowUnusedChipNumForm", "16x16チップに使用されてないタイル番号は");

    explicit TShowUnusedChipNumForm(QWidget* parent = nullptr);

    // One report: the message first, then the list, then the window modally.
    void ShowReport(UserPrompts& prompts, const QString& message,
                    const std::function<QString()>& computeList);

    QLabel* LblMessage = nullptr;
    QPlainTextEdit* MemoUnusedChipNum = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void RetranslateUi();

    // The message of the report shown, as given.
    QString SourceMessage = DesignMessage;
};
