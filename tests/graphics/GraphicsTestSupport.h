#pragma once

#include "fileio/FcPaletteData.h"

#include <array>
#include <cstdint>

// A master palette whose 64 colours differ from each other, from white and from magenta:
// colour n is RGB (n, 100 + n, 200 - n).
inline FcPaletteData DistinctMasterPalette() {
    std::array<std::uint8_t, FcPaletteData::FileSize> triples{};
    for (std::size_t n = 0; n < FcPaletteData::ColorCount; ++n) {
        triples[3 * n] = static_cast<std::uint8_t>(n);
        triples[3 * n + 1] = static_cast<std::uint8_t>(100 + n);
        triples[3 * n + 2] = static_cast<std::uint8_t>(200 - n);
    }
    return FcPaletteData(triples);
}

constexpr std::uint32_t Red = 0x0000FF;
constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t Magenta = 0xFF00FF;
