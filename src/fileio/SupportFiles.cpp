#include "fileio/SupportFiles.h"

#include "fileio/FcPaletteData.h"

#include <filesystem>
#include <system_error>

namespace {

std::string PathIn(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : (std::filesystem::path(folder) / name).string();
}

} // namespace

std::string SupportFiles::Find(const std::string& name, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        const std::string path = PathIn(folder, name);
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
    }
    return PathIn(folders.empty() ? std::string() : folders.front(), name);
}

std::string SupportFiles::DataFolder(const std::string& executableDir) {
    return (std::filesystem::path(executableDir) / K6_DATA_DIR_FROM_BIN)
        .lexically_normal()
        .string();
}

SupportFiles::PaletteLookup
SupportFiles::LoadMasterPalette(const std::string& name, const std::string& chosen,
                                const std::string& executableDir, const std::string& dataDir,
                                std::unique_ptr<FcPaletteData>& palette) {
    std::error_code error;
    if (name.find('/') != std::string::npos || std::filesystem::is_regular_file(name, error))
        return {FcPaletteData::Create(name, palette), {}};
    PaletteLookup lookup;
    if (!chosen.empty()) {
        const Outcome loaded = FcPaletteData::Create(chosen, palette);
        if (loaded.Ok)
            return {loaded, {}};
        lookup.ChosenProblem = loaded.Message;
    }
    // With no file anywhere, the failure names the bare name, the first place looked in.
    lookup.Loaded =
        FcPaletteData::Create(Find(name, {std::string(), executableDir, dataDir}), palette);
    return lookup;
}
