#pragma once

#include <cstdint>
#include <optional>

// File offsets of the four tables the palette animation reads from the cartridge image. The
// shell takes them from the settings file (section "PaletteAnimation"); while any is unset the
// animation is off.
struct PaletteAnimationTables {
    // Low and high bytes of each animation record's address, indexed by animation number.
    std::optional<std::uint32_t> AnimeLowTable;
    std::optional<std::uint32_t> AnimeHighTable;
    // Three colour numbers per colour set.
    std::optional<std::uint32_t> AnimeColorTable;
    // File offset of the record at the game's address 0xBB43.
    std::optional<std::uint32_t> AnimeBase;

    bool Complete() const {
        return AnimeLowTable && AnimeHighTable && AnimeColorTable && AnimeBase;
    }
};
