#include "FakePrompts.h"

#include <QDialog>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

std::string Utf8(const QString& text) {
    return text.toStdString();
}

template <typename T> T Next(std::deque<T>& answers, const T& fallback, const std::string& what) {
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected " << what;
        return fallback;
    }
    T answer = answers.front();
    answers.pop_front();
    return answer;
}

} // namespace

void FakePrompts::ShowMessage(QWidget*, const QString& text) {
    Log.push_back("message:" + Utf8(text));
}

UserPrompts::Answer FakePrompts::AskYesNoCancel(QWidget*, const QString& caption,
                                                const QString& text) {
    Log.push_back("ask:" + Utf8(caption) + "|" + Utf8(text));
    return Next(YesNoCancelAnswers, Answer::Cancel, "question " + Utf8(text));
}

bool FakePrompts::AskYesNo(QWidget*, const QString& text) {
    Log.push_back("yesno:" + Utf8(text));
    return Next(YesNoAnswers, false, "question " + Utf8(text));
}

QString FakePrompts::ChooseOpenFile(QWidget*, const QString& filter) {
    Log.push_back("open:" + Utf8(filter));
    return Next(OpenFiles, QString(), "open dialog");
}

QString FakePrompts::ChooseSaveFile(QWidget*, const QString& filter, const QString& defaultSuffix) {
    Log.push_back("save:" + Utf8(filter) + "|" + Utf8(defaultSuffix));
    return Next(SaveFiles, QString(), "save dialog");
}

void FakePrompts::ShowModal(QDialog* dialog) {
    Log.push_back("modal:" + Utf8(dialog->windowTitle()));
    if (OnModal)
        OnModal(dialog);
}

void FakePrompts::PopupMenu(QMenu* menu, const QPoint&) {
    Log.push_back("popup");
    if (OnPopup)
        OnPopup(menu);
}

std::vector<std::string> FakePrompts::Messages() const {
    std::vector<std::string> messages;
    for (const std::string& entry : Log)
        if (entry.rfind("message:", 0) == 0)
            messages.push_back(entry.substr(8));
    return messages;
}
