#include "fileio/FcPaletteData.h"

#include <filesystem>
#include <fstream>

Outcome FcPaletteData::Create(const std::string& name, std::unique_ptr<FcPaletteData>& palette) {
    const std::string cannotRead = name + CannotReadPhrase;
    std::error_code error;
    if (!std::filesystem::is_regular_file(name, error))
        return Outcome::Failure(cannotRead);
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return Outcome::Failure(cannotRead);
    const std::uintmax_t size = std::filesystem::file_size(name, error);
    if (error)
        return Outcome::Failure(cannotRead);
    // Only the first table is read: the size decides before anything is read.
    if (size != FileSize && size != EmphasisFileSize)
        return Outcome::Failure(name + BadSizePhrase);
    std::array<std::uint8_t, FileSize> triples{};
    in.read(reinterpret_cast<char*>(triples.data()), static_cast<std::streamsize>(FileSize));
    if (in.gcount() != static_cast<std::streamsize>(FileSize))
        return Outcome::Failure(cannotRead);
    palette = std::make_unique<FcPaletteData>(triples);
    return Outcome::Success();
}

FcPaletteData::FcPaletteData(const std::array<std::uint8_t, FileSize>& triples) : Raw(triples) {
    for (std::size_t i = 0; i < ColorCount; ++i) {
        Colors[i] = std::uint32_t{Raw[3 * i]} | (std::uint32_t{Raw[3 * i + 1]} << 8) |
                    (std::uint32_t{Raw[3 * i + 2]} << 16);
    }
}
