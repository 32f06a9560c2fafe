// Play-testing the open image in an emulator without saving it.
#include "mainform/TMainForm.h"

#include "document/DisplayText.h"
#include "document/LevelDocument.h"
#include "inifile/IniFile.h"
#include "mainform/PlayTestLauncher.h"
#include "prompts/UserPrompts.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

const char* const ProgramFilter = QT_TRANSLATE_NOOP("TMainForm", "プログラム (*)");
const char* const NoTemporaryFolderMessage =
    QT_TRANSLATE_NOOP("TMainForm", "一時フォルダを作成できませんでした");

QString Tr(const char* source) {
    return QCoreApplication::translate("TMainForm", source);
}

} // namespace

void TMainForm::PlayTest1Click() {
    if (!Document->Image().HasStages())
        return;
    const std::string section = PlayTestLauncher::SettingsSection;
    const std::string key = PlayTestLauncher::CommandKey;
    QString command = QString::fromStdString(Settings->ReadString(section, key, "")).trimmed();
    if (command.isEmpty()) {
        if (const std::optional<QString> found = PlayTestLauncher::FindEmulatorCommand())
            command = *found;
        else {
            const QString program = Prompts().ChooseOpenFile(this, Tr(ProgramFilter));
            if (program.isEmpty())
                return;
            command = PlayTestLauncher::CommandFor(program);
        }
        Settings->WriteString(section, key, command.toStdString());
    }
    if (!PlayTestFolder)
        PlayTestFolder = std::make_unique<QTemporaryDir>();
    if (!PlayTestFolder->isValid()) {
        PlayTestFolder.reset();
        ShowMessage(Tr(NoTemporaryFolderMessage));
        return;
    }
    const Outcome launched =
        PlayTestLauncher::Launch(Document->Image(), *Settings, command, PlayTestFolder->path());
    if (!launched.Ok)
        ShowMessage(DisplayText::Of(launched.Message));
}
