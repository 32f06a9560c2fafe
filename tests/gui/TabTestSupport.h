#pragma once

// What the tab tests share: the colours of the views' overlays and numbers as the tabs show
// them, spelled out here rather than taken from the program.

#include "base/LevelFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Pixels as the views report them: red in the lowest byte.
// Hover frames are magenta; grid lines and object markers are white.
constexpr std::uint32_t Magenta = 0xFF00FF;
constexpr std::uint32_t White = 0xFFFFFF;

// A number as two upper-case hexadecimal digits, the way every label and field shows it.
inline std::string Hex2(int value) {
    static const char* const digits = "0123456789ABCDEF";
    return {digits[(value >> 4) & 15], digits[value & 15]};
}

// File offset of 4 KiB tile block b of the generated cartridge; stage s draws the first pattern
// table from its own block s.
constexpr std::size_t TileBlock(int block) {
    return LevelFormat::HeaderSize + static_cast<std::size_t>(block) * 0x1000;
}

// Colour 0-3 of pixel (x, y) of the tile whose 16 bytes start at tileOffset of image: two bit
// planes of eight rows, the leftmost pixel in bit 7.
inline int TilePixel(const std::vector<std::uint8_t>& image, std::size_t tileOffset, int x, int y) {
    const int plane0 = image.at(tileOffset + static_cast<std::size_t>(y));
    const int plane1 = image.at(tileOffset + 8 + static_cast<std::size_t>(y));
    return ((plane0 >> (7 - x)) & 1) | (((plane1 >> (7 - x)) & 1) << 1);
}
