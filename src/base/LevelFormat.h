#pragma once

#include <cstddef>
#include <cstdint>

// The fixed numbers of the cartridge format and of the level data inside it, defined once.
namespace LevelFormat {

// The iNES image: a 16-byte header, then 512 KiB of program data in 8 KiB banks.
inline constexpr std::size_t HeaderSize = 0x10;
inline constexpr std::size_t CartridgeSize = 0x80010;
inline constexpr std::int64_t BankSize = 0x2000;
// A CPU address in a bank mapped at 0x8000 or 0xA000 minus this, plus bank * BankSize, is its
// file offset (the header comes first in the file).
inline constexpr std::int64_t Bank8000Base = 0x8000 - static_cast<std::int64_t>(HeaderSize);
inline constexpr std::int64_t BankA000Base = 0xA000 - static_cast<std::int64_t>(HeaderSize);
// The bank part of a file offset less the header, for offsets below 16 MiB.
inline constexpr std::int64_t BankBitsMask = 0xFFE000;

inline constexpr int StageCount = 16;
inline constexpr int PageCount = 32;  // rooms of a stage's map set
inline constexpr int ChipCount = 256; // 16x16 and 32x32 chips alike
inline constexpr int TileCount = 256;
inline constexpr int TileBytes = 16; // plane 0, then plane 1, 8 bytes each
inline constexpr int PatternTableBytes = TileCount * TileBytes;
inline constexpr int AttributeTypeCount = 16;
inline constexpr int SubPaletteCount = 4;

// A map page: 8 x 8 cells, each a 32x32 chip; a 32x32 chip is four 16x16 chips (quarters 0 top
// left, 1 top right, 2 bottom left, 3 bottom right). The chip sheets show 16 chips a row.
inline constexpr int MapCellsPerRow = 8;
inline constexpr int MapCellsPerPage = MapCellsPerRow * MapCellsPerRow;
inline constexpr int QuartersPerChip = 4;
inline constexpr int SheetChipsPerRow = 16;

// A 16x16 chip's attribute byte: the attribute type in bits 7-4, the sub-palette in bits 1-0.
inline constexpr int AttributeTypeOf(std::uint8_t attribute) {
    return attribute >> 4;
}
inline constexpr int SubPaletteOf(std::uint8_t attribute) {
    return attribute & 0x03;
}
inline constexpr std::uint8_t WithAttributeType(std::uint8_t attribute, int type) {
    return static_cast<std::uint8_t>(((type & 0x0F) << 4) | (attribute & 0x0F));
}
inline constexpr std::uint8_t WithSubPalette(std::uint8_t attribute, int subPalette) {
    return static_cast<std::uint8_t>((attribute & 0xFC) | (subPalette & 0x03));
}

// Console colour numbers 00..3F; a stage palette holds sixteen of them per set.
inline constexpr int ColorNumberCount = 64;
inline constexpr std::uint8_t ColorNumberMask = 0x3F;
inline constexpr int HighestColorNumber = ColorNumberCount - 1;
inline constexpr int StageColorCount = 16;
// A stage palette set's bytes: the first names the first entry written; each further byte is a
// colour, bit 6 set meaning a black (0F) comes before it, bit 7 set on the set's last byte.
inline constexpr std::uint8_t PaletteInsertBlack = 0x40;
inline constexpr std::uint8_t PaletteLastByte = 0x80;
inline constexpr std::uint8_t PaletteBlack = 0x0F;

inline constexpr int MaxObjectsPerStage = 127;
inline constexpr int MaxObjectsAllStages = 1657;
// Objects of this type keep a scroll selection in Y instead of a position.
inline constexpr int ScrollObjectType = 0x80;

} // namespace LevelFormat
