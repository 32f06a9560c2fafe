// Fuzz entry point: arbitrary bytes read as a BPS patch of a small fixed original. The first
// byte chooses which checksums are set right before reading (bit 0 the source's, bit 1 the
// patch's), so that mutations reach the actions instead of stopping at the checksums. A patch
// the reader accepts must come back unchanged through the writer.
#include "patch/BpsPatch.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

constexpr std::size_t RoundTripLimit = 0x10000;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

constexpr std::size_t DefaultOriginalSize = 4096;
constexpr std::size_t MaxOriginalSize = 0x10000;

std::vector<std::uint8_t> Original(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 / 5);
    return bytes;
}

// The source size after "BPS1", read the way the format writes numbers; none when it is
// missing or large.
std::size_t DeclaredSourceSize(const std::vector<std::uint8_t>& patch) {
    std::uint64_t value = 0;
    std::uint64_t shift = 1;
    for (std::size_t at = 4; at < patch.size() && shift <= MaxOriginalSize; ++at) {
        value += (patch[at] & 0x7Fu) * shift;
        if (patch[at] & 0x80)
            return value <= MaxOriginalSize ? static_cast<std::size_t>(value) : DefaultOriginalSize;
        shift <<= 7;
        value += shift;
    }
    return DefaultOriginalSize;
}

void PutCrc(std::vector<std::uint8_t>& patch, std::size_t at, std::uint32_t crc) {
    for (std::size_t i = 0; i < 4; ++i)
        patch[at + i] = static_cast<std::uint8_t>(crc >> (8 * i));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::uint8_t fixes = data[0];
    std::vector<std::uint8_t> patch(data + 1, data + size);
    const std::vector<std::uint8_t> original =
        Original((fixes & 4) ? DeclaredSourceSize(patch) : DefaultOriginalSize);
    if (patch.size() >= 12) {
        if (fixes & 1)
            PutCrc(patch, patch.size() - 12, BpsPatch::Crc32(original));
        if (fixes & 2)
            PutCrc(patch, patch.size() - 4,
                   BpsPatch::Crc32(std::span<const std::uint8_t>(patch).first(patch.size() - 4)));
    }
    std::vector<std::uint8_t> patched;
    const Outcome outcome = BpsPatch::Apply(original, patch, patched);
    if (!outcome.Ok) {
        Require(!outcome.Message.empty() && patched.empty());
        return 0;
    }
    Require(patched.size() <= BpsPatch::MaxTargetSize);
    // Large results only widen each run, not what the writer sees.
    if (patched.size() > RoundTripLimit)
        return 0;
    const std::vector<std::uint8_t> again = BpsPatch::Create(original, patched);
    std::vector<std::uint8_t> replayedBytes;
    const Outcome replayed = BpsPatch::Apply(original, again, replayedBytes);
    Require(replayed.Ok && replayedBytes == patched);
    return 0;
}
