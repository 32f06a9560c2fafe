#pragma once

#include <cstdint>
#include <span>

// How many entries of a table hold chip: the quarters of the 32x32 chips that hold a 16x16
// chip, or the map cells that hold a 32x32 chip. A chip outside 0..255 is held nowhere.
int ChipUseCount(std::span<const std::uint8_t> table, int chip);
