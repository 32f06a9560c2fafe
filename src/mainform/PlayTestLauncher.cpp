#include "mainform/PlayTestLauncher.h"

#include "atomicfile/AtomicFileWriter.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#include <vector>

namespace {

// A phrase of the launcher's messages, in the language shown.
std::string Tr(const char* source) {
    return QCoreApplication::translate("PlayTestLauncher", source).toStdString();
}

// The offset as the level-data offsets are written: hexadecimal, "$" allowed in front.
std::optional<qulonglong> ParseOffset(QString text) {
    text = text.trimmed();
    if (text.startsWith(u'$'))
        text.remove(0, 1);
    bool ok = false;
    const qulonglong offset = text.toULongLong(&ok, 16);
    if (!ok || text.startsWith(u'+') || text.startsWith(u'-'))
        return std::nullopt;
    return offset;
}

} // namespace

QString PlayTestLauncher::CommandFor(const QString& program) {
    return "\"" + program + "\" \"%image\"";
}

std::optional<QString> PlayTestLauncher::FindEmulatorCommand(const QStringList& extraFolders) {
    for (const char* name : KnownEmulators) {
        QString program = QStandardPaths::findExecutable(name);
        if (program.isEmpty() && !extraFolders.isEmpty())
            program = QStandardPaths::findExecutable(name, extraFolders);
        if (!program.isEmpty())
            return CommandFor(program);
    }
    return std::nullopt;
}

QStringList PlayTestLauncher::Arguments(const QString& command, const QString& imagePath,
                                        int stage) {
    QStringList arguments = QProcess::splitCommand(command);
    for (QString& argument : arguments)
        argument.replace("%image", imagePath).replace("%stage", QString::number(stage));
    return arguments;
}

Outcome PlayTestLauncher::Launch(const RomImageData& rom, const IniFile& settings,
                                 const QString& command, const QString& folder) {
    std::vector<std::uint8_t> image;
    const Outcome composed = rom.ComposeSavedImage(image);
    if (!composed.Ok)
        return composed;
    const std::string offsetText = settings.ReadString(SettingsSection, StartStageOffsetKey, "");
    if (!offsetText.empty()) {
        const std::optional<qulonglong> offset = ParseOffset(QString::fromStdString(offsetText));
        if (!offset || *offset >= image.size())
            return Outcome::Failure(std::string(StartStageOffsetKey) + Tr(BadOffsetPhrase));
        image[*offset] = static_cast<std::uint8_t>(rom.CurrentStage());
    }
    // Replaced by a rename, so an emulator still running never reads half an image; not waited
    // for on disk, since the file lives only as long as the window.
    const QString imagePath = QDir(folder).filePath(ImageFileName);
    const Outcome written =
        AtomicFileWriter::WriteUnflushed(imagePath.toStdString(), image.data(), image.size());
    if (!written.Ok)
        return written;

    QStringList arguments = Arguments(command, imagePath, rom.CurrentStage());
    QProcess process;
    QString reason = QCoreApplication::translate("PlayTestLauncher", "コマンドが空です");
    if (!arguments.isEmpty()) {
        process.setProgram(arguments.takeFirst());
        process.setArguments(arguments);
        if (process.startDetached())
            return Outcome::Success();
        reason = process.errorString();
    }
    return Outcome::Failure(command.toStdString() + Tr(CannotStartPhrase) + "\n" +
                            reason.toStdString());
}
