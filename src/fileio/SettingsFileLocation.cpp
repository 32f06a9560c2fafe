#include "fileio/SettingsFileLocation.h"

#include "atomicfile/AtomicFileWriter.h"

#include <filesystem>
#include <system_error>

std::string SettingsFileLocation::Choose(const std::string& executableDir,
                                         const std::string& configDir) {
    const std::string beside = (std::filesystem::path(executableDir) / FileName).string();
    std::error_code error;
    // The writer's own judgement: where it would refuse to add the file at exit, the file
    // does not belong.
    if (configDir.empty() || std::filesystem::exists(beside, error) ||
        AtomicFileWriter::FolderTakesNewFiles(executableDir))
        return beside;
    return (std::filesystem::path(configDir) / FileName).string();
}
