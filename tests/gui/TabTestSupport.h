#pragma once

// What the tab tests share: the colours of the views' overlays and numbers as the tabs show
// them, spelled out here rather than taken from the program.

#include "base/LevelFormat.h"
#include "editdata/StageData.h"

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

// Stage colour index (0-15) of pixel (x, y) of 32x32 chip n of a stage of the generated
// cartridge, composed from the stage's chip tables and the cartridge's tile bytes: quarters of
// 16x16 chips, each four tiles of the stage's own block drawn in the chip's sub-palette.
inline int Chip32x32ColourIndex(const StageData& stage, int stageNumber,
                                const std::vector<std::uint8_t>& cartridge, int chip, int x,
                                int y) {
    const int chip16 =
        stage.Chip32x32Table[static_cast<std::size_t>(chip * 4 + (y / 16) * 2 + x / 16)];
    const int quarter = ((y % 16) / 8) * 2 + (x % 16) / 8;
    const int tile = stage.Chip16x16Table()[static_cast<std::size_t>(quarter * 256 + chip16)];
    const int subPalette = stage.ChipPropertyTable()[static_cast<std::size_t>(chip16)] & 3;
    const std::size_t tileOffset = TileBlock(stageNumber) + static_cast<std::size_t>(tile) * 16;
    return subPalette * 4 + TilePixel(cartridge, tileOffset, x % 8, y % 8);
}
