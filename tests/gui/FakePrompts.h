#pragma once

#include "prompts/UserPrompts.h"

#include <QString>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Stands in for every modal interaction: records what the window asked, in order, and answers
// from queues the test fills. An unexpected question fails the test and answers "cancel".
class FakePrompts : public UserPrompts {
public:
    void ShowMessage(QWidget* parent, const QString& text) override;
    Answer AskYesNoCancel(QWidget* parent, const QString& caption, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    QString ChooseOpenFile(QWidget* parent, const QString& filter) override;
    QString ChooseSaveFile(QWidget* parent, const QString& filter,
                           const QString& defaultSuffix) override;
    void ShowModal(QDialog* dialog) override;
    void PopupMenu(QMenu* menu, const QPoint& globalPosition) override;

    // Everything shown, one entry per interaction: "message:", "ask:", "yesno:", "open:",
    // "save:", "modal:", "popup" followed by its text.
    std::vector<std::string> Log;
    std::vector<std::string> Messages() const;

    std::deque<Answer> YesNoCancelAnswers;
    std::deque<bool> YesNoAnswers;
    std::deque<QString> OpenFiles; // an empty string cancels the dialog
    std::deque<QString> SaveFiles;
    // Runs while a pop-up menu is "open", e.g. to trigger one of its actions.
    std::function<void(QMenu*)> OnPopup;
    std::function<void(QDialog*)> OnModal;
};
