#include "editdata/ChipUses.h"

#include <algorithm>

int ChipUseCount(std::span<const std::uint8_t> table, int chip) {
    if (chip < 0 || chip > 0xFF)
        return 0;
    return static_cast<int>(
        std::count(table.begin(), table.end(), static_cast<std::uint8_t>(chip)));
}
