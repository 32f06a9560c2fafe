#pragma once

#include "base/LevelFormat.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class AddressData;

// The compressed data one palette set is decoded from, as the decoder walks it: the start-entry
// byte, then colour bytes (bits 5-0 the colour, bit 6 "store 0F first", bit 7 "last byte").
// The walk stops after the last byte, once the set is full, or at the end of the bytes given.
class PaletteBlock {
public:
    static constexpr int SetSize = LevelFormat::StageColorCount;
    static constexpr std::uint8_t InsertBlack = LevelFormat::PaletteInsertBlack;
    static constexpr std::uint8_t LastByte = LevelFormat::PaletteLastByte;
    static constexpr std::uint8_t Black = LevelFormat::PaletteBlack;
    static constexpr std::uint8_t ColorMask = LevelFormat::ColorNumberMask;

    // The block starting at offset of bytes; an offset outside bytes gives an empty block
    // (Length 0) that writes nothing.
    static PaletteBlock Read(std::span<const std::uint8_t> bytes, std::int64_t offset);
    // The block of palette set `set` (0 or 1) of palette number `number`, through the pointer
    // tables; an empty block when a pointer byte or the start lies outside cartridge.
    static PaletteBlock Of(std::span<const std::uint8_t> cartridge, const AddressData& address,
                           int set, int number);

    std::int64_t Offset = 0; // file offset of the start-entry byte
    int Length = 0;          // bytes the walk read, start-entry byte included
    int StartEntry = 0;
    // The walk ended on a byte with bit 7 (not at the end of the set or of the bytes).
    bool Terminated = false;
    // The colours in data order, those that fall past entry 15 included.
    std::vector<std::uint8_t> Values;

    bool Writes(int entry) const {
        return entry >= StartEntry && entry < SetSize &&
               entry - StartEntry < static_cast<int>(Values.size());
    }
    // The set as a first decode leaves it: written entries from the data, the others 0.
    std::array<std::uint8_t, SetSize> Decoded() const;

    bool Empty() const { return Length == 0; }
    std::int64_t End() const { return Offset + Length; }
    bool SameBlock(const PaletteBlock& other) const {
        return Offset == other.Offset && Length == other.Length;
    }
    bool Overlaps(std::int64_t offset, std::int64_t length) const {
        return !Empty() && length > 0 && offset < End() && Offset < offset + length;
    }
};
