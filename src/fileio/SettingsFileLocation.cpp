#include "fileio/SettingsFileLocation.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// Tried for real and removed again: the permission bits tell nothing for root, read-only mounts
// or access lists. A file that turns up meanwhile is there already, which settles it as well.
bool ThereOrCreatable(const std::string& path) {
    std::error_code error;
    if (std::filesystem::exists(path, error))
        return true;
    // "x": never opens, let alone truncates, a file that is already there.
    std::FILE* probe = std::fopen(path.c_str(), "wbx");
    if (probe == nullptr)
        return errno == EEXIST;
    std::fclose(probe);
    std::filesystem::remove(path, error);
    return true;
}

} // namespace

std::string SettingsFileLocation::Choose(const std::string& executableDir,
                                         const std::string& configDir) {
    const std::string beside = (std::filesystem::path(executableDir) / FileName).string();
    if (configDir.empty() || ThereOrCreatable(beside))
        return beside;
    return (std::filesystem::path(configDir) / FileName).string();
}
