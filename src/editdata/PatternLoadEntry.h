#pragma once

#include "base/LevelFormat.h"

#include <cstdint>
#include <span>

// A pattern load entry: four bytes that tell the game to copy a run of tiles from the program
// data into the console's two pattern tables. Byte 0 is the tile count (0 means 256), byte 1
// the first destination tile, byte 2 the first source tile, byte 3 bit 7 the destination table
// and bits 0-6 the source block of 4 KiB.
class PatternLoadEntry {
public:
    static constexpr int TablesBytes = 2 * LevelFormat::PatternTableBytes;

    // Copies the tiles of the entry at entryOffset of cartridge into tables (the two pattern
    // tables one after the other). Entry bytes outside cartridge read as 0; a copy that would run
    // past the end of cartridge or of tables is cut short there.
    static void Apply(std::span<const std::uint8_t> cartridge, std::int64_t entryOffset,
                      std::span<std::uint8_t> tables);
};
