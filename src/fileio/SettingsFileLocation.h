#pragma once

#include <string>

// Where the settings file lives. A portable copy keeps it beside the executable, as it always
// did; an installed program's folder belongs to the system, so there the file goes to the
// user's configuration folder instead. The window and the command line read the same file.
class SettingsFileLocation {
public:
    static constexpr const char* FileName = "kestrin6editor.ini";
    // The window's application name, which names its folders in the user's configuration and
    // data folders; the command line looks there too.
    static constexpr const char* ApplicationName = "KESTRIN 6 EDITOR";

    // Beside the executable when the file is there already or the folder takes new files as
    // AtomicFileWriter judges it (the file is written there at exit); otherwise in configDir,
    // which need not exist yet. An empty configDir (the platform names none) leaves it beside
    // the executable.
    static std::string Choose(const std::string& executableDir, const std::string& configDir);
};
