#pragma once

#include <cstdint>

// The tabs a step of the edit history belongs to.
enum class EditorTabId { MapSet, Chip32x32, Chip16x16, Palette, Object };

// The byte arrays of a stage that the byte-data steps change. The after-destruction arrays are
// the shared ones: an edit there shows on every stage of the chip bank.
enum class EditorArray : std::uint8_t {
    MapSet,
    Chip32x32,
    NormalChip16x16,
    DestroyedChip16x16,
    NormalProperty,
    DestroyedProperty,
    StagePalette,
    AnimePalette,
};

// Where a step shows: its stage, its tab and, where the tab shows one of two sets (the normal or
// after-destruction 16x16 chips, palette set 0 or 1), that set; -1 leaves the set as it is.
struct StepPlace {
    int Stage = 0;
    EditorTabId Tab = EditorTabId::MapSet;
    int Set = -1;
    bool operator==(const StepPlace&) const = default;
};

// One changed byte of a stage array. A step may change bytes of several stages: an edited
// palette entry goes to every stage that reads the same block.
struct ByteChange {
    std::uint8_t Stage = 0;
    EditorArray Array = EditorArray::MapSet;
    std::uint16_t Index = 0;
    std::uint8_t Old = 0;
    std::uint8_t New = 0;
    bool operator==(const ByteChange&) const = default;
};
