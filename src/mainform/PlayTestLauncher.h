#pragma once

#include "base/Outcome.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>

class IniFile;
class RomImageData;

// Play-testing without touching the user's file: the image as a save would write it now goes to
// a file of its own, and the emulator command of the settings is started on it, detached.
class PlayTestLauncher {
public:
    static constexpr const char* SettingsSection = "PlayTest";
    static constexpr const char* CommandKey = "Command";
    static constexpr const char* StartStageOffsetKey = "StartStageOffset";
    static constexpr const char* ImageFileName = "playtest.nes";
    // Looked for in this order on the PATH, then in DebianGamesFolder.
    static constexpr const char* KnownEmulators[] = {"fceux", "nestopia", "mednafen"};
    static constexpr const char* DebianGamesFolder = "/usr/games";
    // After the key's name and after the command; translated where they are shown.
    static constexpr const char* BadOffsetPhrase =
        QT_TRANSLATE_NOOP("PlayTestLauncher", "の値がイメージの範囲外です");
    static constexpr const char* CannotStartPhrase =
        QT_TRANSLATE_NOOP("PlayTestLauncher", "を起動できませんでした");

    // The command kept for a program: its path and the image, each quoted.
    static QString CommandFor(const QString& program);
    // The command of the first known emulator found, if any.
    static std::optional<QString> FindEmulatorCommand(const QStringList& extraFolders = {
                                                          DebianGamesFolder});
    // The program and its arguments, with "%image" and "%stage" put in; empty when the command
    // names nothing.
    static QStringList Arguments(const QString& command, const QString& imagePath, int stage);

    // Composes the image, writes the current stage at the settings' start-stage offset when
    // there is one, writes it atomically to folder/ImageFileName and starts command on it. A
    // refusal's message is the window's; nothing of the open image changes.
    static Outcome Launch(const RomImageData& rom, const IniFile& settings, const QString& command,
                          const QString& folder);
};
