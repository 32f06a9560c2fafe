// Fuzz entry point: arbitrary bytes read as an IPS patch of a small fixed original. A patch the
// reader accepts must come back unchanged through the writer: made again from its result and
// applied, it gives the same bytes.
#include "patch/IpsPatch.h"

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

const std::vector<std::uint8_t>& Original() {
    static const std::vector<std::uint8_t> original = [] {
        std::vector<std::uint8_t> bytes(4096);
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 7 / 5);
        return bytes;
    }();
    return original;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> patch(data, size);
    std::vector<std::uint8_t> patched;
    const Outcome outcome = IpsPatch::Apply(Original(), patch, patched);
    if (!outcome.Ok) {
        Require(!outcome.Message.empty() && patched.empty());
        return 0;
    }
    Require(patched.size() <= IpsPatch::MaxTargetSize);
    // Large results only widen each run, not what the writer sees.
    if (patched.size() > RoundTripLimit)
        return 0;
    const std::vector<std::uint8_t> again = IpsPatch::Create(Original(), patched);
    std::vector<std::uint8_t> replayedBytes;
    const Outcome replayed = IpsPatch::Apply(Original(), again, replayedBytes);
    Require(replayed.Ok && replayedBytes == patched);
    return 0;
}
