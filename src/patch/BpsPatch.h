#pragma once

#include "base/Outcome.h"
#include "patch/PatchMessages.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The BPS patch format: "BPS1", the source, target and metadata sizes as variable-length
// numbers, the metadata, the actions (source read, target read, source copy, target copy), then
// the CRC32 of the source, of the target and of everything before it, each little-endian.
class BpsPatch {
public:
    // The reader refuses larger targets: no patch may make it allocate without bound.
    static constexpr std::size_t MaxTargetSize = 0x1000000;

    // The patch that turns original into target, with source reads and target reads only.
    static std::vector<std::uint8_t> Create(std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> target,
                                            const std::string& metadata = {});
    // Checks the checksums and every action before the result is handed out.
    static Outcome Apply(std::span<const std::uint8_t> original,
                         std::span<const std::uint8_t> patch, std::vector<std::uint8_t>& patched);
    static bool HasMagic(std::span<const std::uint8_t> patch);
    // The metadata of a well-formed patch, empty otherwise.
    static std::string Metadata(std::span<const std::uint8_t> patch);
    static std::uint32_t Crc32(std::span<const std::uint8_t> bytes);
};
