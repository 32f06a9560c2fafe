#pragma once

#include "base/Outcome.h"

#include <cstdint>
#include <set>
#include <string>

// Keeps the file as it was before the first save over it in this run of the program, beside
// it under its full name plus ".bak" ("stage.nes" -> "stage.nes.bak"): one generation, replaced
// by the next run's first save.
class RestorePoint {
public:
    static constexpr const char* Suffix = ".bak";
    // The switch in the settings file: "[Backup] Keep=0" turns restore points off.
    static constexpr const char* SettingsSection = "Backup";
    static constexpr const char* SettingsKey = "Keep";
    // A file larger than this is no cartridge image: it is not copied.
    static constexpr std::uintmax_t MaxFileSize = 64 * 1024 * 1024;

    explicit RestorePoint(bool enabled) : Enabled(enabled) {}

    bool IsEnabled() const { return Enabled; }

    // Call before saving over path. Copies an existing file at path to path + ".bak" the first
    // time it is asked for that file; later calls, a missing file or a disabled restore point do
    // nothing. A failure's message names the file that could not be kept.
    Outcome KeepBeforeSave(const std::string& path);

private:
    bool Enabled;
    // The files already kept (or tried) in this run, by their canonical path.
    std::set<std::string> Handled;
};
