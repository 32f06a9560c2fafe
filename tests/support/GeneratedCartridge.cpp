#include "support/GeneratedCartridge.h"

#include "romgen/CartridgeGenerator.h"
#include "support/TempDir.h"

const std::vector<std::uint8_t>& GeneratedImage() {
    static const std::vector<std::uint8_t> image = CartridgeGenerator::MakeImage();
    return image;
}

std::string WriteGeneratedImage(const TempDir& folder, const std::string& name) {
    const std::string path = folder.File(name);
    WriteWholeFile(path, GeneratedImage());
    return path;
}

std::string WriteGeneratedPalette(const TempDir& folder) {
    const auto palette = CartridgeGenerator::MakeMasterPalette();
    const std::string path = folder.File("fcpalette.pal");
    WriteWholeFile(path, std::vector<std::uint8_t>(palette.begin(), palette.end()));
    return path;
}
