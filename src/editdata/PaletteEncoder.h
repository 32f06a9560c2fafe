#pragma once

#include "editdata/PaletteBlock.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

class AddressData;

// What became of one palette set at write-back.
enum class PaletteSetOutcome {
    Unchanged, // the set is what its block decodes to: its bytes are not touched
    Written,   // re-encoded into its block (same start entry, same length)
    Refused,   // nothing of the set was written; see PaletteRefusal
};

enum class PaletteRefusal {
    None,
    EntryOutsideBlock,  // an edited entry that the block never writes
    DoesNotFit,         // no encoding of the block's length gives the edited colours
    NotAColourNumber,   // an entry above 3F
    BlockNotTerminated, // the data runs past the set or the image: rewriting it would change
                        // what the game reads after it
    BlockOverlaps,      // the block overlaps another palette block or the pointer tables
    SharedSetsDisagree, // both sets of the stage read this block but are edited differently
    SharersDisagree,    // another stage reads this block and holds other colours for it
};

struct PaletteSetWrite {
    PaletteSetOutcome Outcome = PaletteSetOutcome::Unchanged;
    PaletteRefusal Reason = PaletteRefusal::None;
    int Entry = -1;                  // the entry a refusal is about, where there is one
    std::vector<std::uint8_t> Bytes; // the new block, start-entry byte included (Written only)
};

// Re-encodes edited palette sets into the compressed blocks they were decoded from, never
// growing or moving a block. Among the encodings of the block's length it picks the one that
// changes the fewest of its bytes.
class PaletteEncoder {
public:
    using PaletteSet = std::span<const std::uint8_t, PaletteBlock::SetSize>;

    // block: the set's original bytes, from its start-entry byte to its last byte (what
    // PaletteBlock::Read walked); empty when the set has no block. Entries the block never
    // writes hold 0 after the set is decoded, so any other value there is an edit that cannot
    // be saved. Written results carry exactly block.size() bytes.
    static PaletteSetWrite Encode(std::span<const std::uint8_t> block, PaletteSet edited);

    // What EncodeStage would do with cartridge's bytes, writing nothing: for showing, before a
    // save, which edits cannot be written.
    static std::array<PaletteSetWrite, 2> PlanStage(const AddressData& address, int stage,
                                                    std::span<const std::uint8_t, 32> palette,
                                                    std::span<const std::uint8_t> cartridge);
    // Writes both sets of one stage (palette: set 0 then set 1, 32 entries) into target, each
    // only inside its own block as target's bytes and address give it; a refused set writes
    // nothing. Blocks overlapping another palette block, or the bytes the pointers are read
    // from, are refused rather than written (see PaletteLayout). Sets shared with other stages
    // are written with this stage's colours: the editor keeps shared sets equal.
    static std::array<PaletteSetWrite, 2> EncodeStage(const AddressData& address, int stage,
                                                      std::span<const std::uint8_t, 32> palette,
                                                      std::span<std::uint8_t> target);

    // Why a set was not written, for the message after the save.
    static const char* RefusalText(PaletteRefusal reason);
};
