#include "fileio/FcPaletteData.h"

#include <filesystem>
#include <fstream>

std::unique_ptr<FcPaletteData> FcPaletteData::Create(const std::string& name,
                                                     std::string& message) {
    const std::string cannotRead = name + "が読み込めませんでした";
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error)) {
        message = cannotRead;
        return nullptr;
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        message = cannotRead;
        return nullptr;
    }
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    if (error) {
        message = cannotRead;
        return nullptr;
    }
    if (size != FileSize) {
        message = name + "のサイズが不正です";
        return nullptr;
    }
    std::array<std::uint8_t, FileSize> triples{};
    in.read(reinterpret_cast<char*>(triples.data()), static_cast<std::streamsize>(FileSize));
    if (in.gcount() != static_cast<std::streamsize>(FileSize)) {
        message = cannotRead;
        return nullptr;
    }
    return std::make_unique<FcPaletteData>(triples);
}

FcPaletteData::FcPaletteData(const std::array<std::uint8_t, FileSize>& triples) : Raw(triples) {
    for (std::size_t i = 0; i < ColorCount; ++i) {
        Colors[i] = std::uint32_t{Raw[3 * i]} | (std::uint32_t{Raw[3 * i + 1]} << 8) |
                    (std::uint32_t{Raw[3 * i + 2]} << 16);
    }
}
