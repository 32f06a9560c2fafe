#pragma once

#include "base/Outcome.h"
#include "base/TextMark.h"

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Keeps the file as it was before the first save over it in this run of the program, beside
// it under its full name plus ".bak" ("stage.nes" -> "stage.nes.bak"): one generation, replaced
// by the next run's first save. Where nothing can be written beside the file (a read-only
// folder), the restore point goes to a fallback folder of the program's instead, under the
// file's name, a key of its full path and ".bak" ("stage.nes.0123abcd.bak").
class RestorePoint {
public:
    static constexpr const char* Suffix = ".bak";
    // The fallback folder's name inside the program's data folder.
    static constexpr const char* FallbackFolderName = "restore";
    // The fixed phrases of its messages, each after a path.
    static constexpr const char* CannotCreatePhrase =
        K6_TEXT("DataMessages", " を作成できませんでした。");
    static constexpr const char* FallbackBeforePhrase =
        K6_TEXT("DataMessages", " を作成できなかったため、");
    static constexpr const char* FallbackAfterPhrase = K6_TEXT("DataMessages", " に作成しました。");
    // The switch in the settings file: "[Backup] Keep=0" turns restore points off.
    static constexpr const char* SettingsSection = "Backup";
    static constexpr const char* SettingsKey = "Keep";
    // A file larger than this is no cartridge image: it is not copied.
    static constexpr std::uintmax_t MaxFileSize = 64 * 1024 * 1024;

    // An empty fallbackFolder keeps restore points beside their files only.
    explicit RestorePoint(bool enabled, std::string fallbackFolder = {})
        : Enabled(enabled), Fallback(std::move(fallbackFolder)) {}

    bool IsEnabled() const { return Enabled; }

    // Call before saving over path. Copies an existing file at path to path + ".bak" the first
    // time it is asked for that file; later calls, a missing file or a disabled restore point do
    // nothing. A failure's message names the file that could not be kept. A restore point kept
    // in the fallback folder is a success whose message says where it went.
    Outcome KeepBeforeSave(const std::string& path);

private:
    Outcome KeepInFallback(const std::string& path, const std::string& backup,
                           const std::string& besideMessage,
                           const std::vector<std::uint8_t>& bytes) const;

    bool Enabled;
    std::string Fallback;
    // The files already kept (or tried) in this run, by their canonical path.
    std::set<std::string> Handled;
};
