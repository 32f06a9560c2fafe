#pragma once

#include "editdata/PaletteBlock.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class AddressData;

// Where the palette sets of all sixteen stages come from in one image, and which of them share
// data. Sets whose pointers reach the same block (stages with the same palette number always
// do) share it: an edit of one is an edit of all. Blocks that overlap without being the same
// block, or that overlap the tables the pointers are read from, cannot be rewritten safely.
class PaletteLayout {
public:
    static constexpr int SetCount = 2;

    struct SetRef {
        int Stage = 0;
        int Set = 0;
        bool operator==(const SetRef&) const = default;
    };

    PaletteLayout(std::span<const std::uint8_t> cartridge, const AddressData& address);

    const PaletteBlock& BlockOf(int stage, int set) const;
    // Every set that reads the same block, the given one included, by stage then set; just the
    // given one when its block is empty.
    std::vector<SetRef> SharersOf(int stage, int set) const;
    // The set's block overlaps a different block or a byte of the number and pointer tables.
    bool Conflicts(int stage, int set) const;

private:
    struct ByteRange {
        std::int64_t Offset;
        std::int64_t Length;
    };
    static std::size_t Index(int stage, int set);

    std::vector<PaletteBlock> Blocks;  // stage * 2 + set
    std::vector<ByteRange> TableBytes; // what the blocks' positions are read from
};
