#pragma once

#include "base/Outcome.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// What a patch reader answered, with the bytes it handed out (none when it refused).
struct Applied {
    bool Ok = false;
    std::string Message;
    std::vector<std::uint8_t> Patched;
};

using PatchReader = Outcome (*)(std::span<const std::uint8_t>, std::span<const std::uint8_t>,
                                std::vector<std::uint8_t>&);

inline Applied ApplyWith(PatchReader reader, std::span<const std::uint8_t> original,
                         std::span<const std::uint8_t> patch) {
    Applied applied;
    const Outcome outcome = reader(original, patch, applied.Patched);
    applied.Ok = outcome.Ok;
    applied.Message = outcome.Message;
    return applied;
}
