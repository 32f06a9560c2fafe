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
    static constexpr const char* Caption = "未使用チップ番号";
    static constexpr const char* DesignMessage = "未使用チップ番号は";
    static constexpr int ClientWidth = 339;
    static constexpr int ClientHeight = 249;

    // The messages of the three reports.
    static constexpr const char* Unused16x16ChipMessage =
        "32x32チップに使用されてない16x16チップ番号は";
    static constexpr const char* Unused32x32ChipMessage =
        "マップセットに使用されてない32x32チップ番号は";
    static constexpr const char* UnusedTileMessage = "16x16チップに使用されてないタイル番号は";

    explicit TShowUnusedChipNumForm(QWidget* parent = nullptr);

    // One report: the message first, then the list, then the window modally.
    void ShowReport(UserPrompts& prompts, const QString& message,
                    const std::function<QString()>& computeList);

    QLabel* LblMessage = nullptr;
    QPlainTextEdit* MemoUnusedChipNum = nullptr;
};
