#pragma once

#include "base/Outcome.h"
#include "patch/PatchMessages.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The file side of patches: reading the inputs with a size limit, choosing the format from the
// patch's name or its first bytes, and writing the results atomically.
class PatchFiles {
public:
    enum class Format { Ips, Bps };

    // No input of a patch command is read past this size.
    static constexpr std::size_t MaxFileSize = 0x1000000;

    // From the name's extension (".ips" or ".bps", any case); none for other names.
    static std::optional<Format> FormatOfName(const std::string& path);
    // Reads the whole file; a failure's message names the file.
    static Outcome ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes);
    // The patch in the format its first bytes name; patched is set only on success.
    static Outcome Apply(std::span<const std::uint8_t> original,
                         std::span<const std::uint8_t> patch, std::vector<std::uint8_t>& patched);
    static std::vector<std::uint8_t> Create(Format format, std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> target);
};
