#pragma once

#include "base/Outcome.h"
#include "patch/PatchMessages.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// The IPS patch format: "PATCH", records of a 3-byte offset, a 2-byte length and the bytes (a
// zero length makes a run: a 2-byte count and the one byte repeated), "EOF", and optionally a
// 3-byte size the result is cut to (at most its length). Numbers are big-endian.
class IpsPatch {
public:
    // Nothing may be written at or past 16 MiB: three offset bytes and a record's length.
    static constexpr std::size_t MaxTargetSize = 0x1000000;
    static constexpr std::size_t MaxRecordLength = 0xFFFF;
    // A record offset with these bytes would read as the "EOF" trailer.
    static constexpr std::size_t EofOffset = 0x454F46;

    // The patch that turns original into target; both at most MaxTargetSize bytes.
    static std::vector<std::uint8_t> Create(std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> target);
    // Checks the whole patch first, then applies it to a copy of original.
    static Outcome Apply(std::span<const std::uint8_t> original,
                         std::span<const std::uint8_t> patch, std::vector<std::uint8_t>& patched);
    static bool HasMagic(std::span<const std::uint8_t> patch);
};
