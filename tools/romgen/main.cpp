// Writes the synthetic cartridge image and/or the computed master palette.
//   kestrin6-romgen --image PATH --palette PATH
#include "romgen/CartridgeGenerator.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

bool WriteFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "kestrin6-romgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int Usage() {
    std::fprintf(stderr, "usage: kestrin6-romgen [--image PATH] [--palette PATH]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    std::string imagePath;
    std::string palettePath;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--image") == 0 && hasValue)
            imagePath = argv[++i];
        else if (std::strcmp(argv[i], "--palette") == 0 && hasValue)
            palettePath = argv[++i];
        else
            return Usage();
    }
    if (imagePath.empty() && palettePath.empty())
        return Usage();
    if (!imagePath.empty()) {
        const auto image = CartridgeGenerator::MakeImage();
        if (!WriteFile(imagePath, image.data(), image.size()))
            return 1;
    }
    if (!palettePath.empty()) {
        const auto palette = CartridgeGenerator::MakeMasterPalette();
        if (!WriteFile(palettePath, palette.data(), palette.size()))
            return 1;
    }
    return 0;
}
