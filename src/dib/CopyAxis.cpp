#include "dib/CopyAxis.h"

#include <algorithm>
#include <cstdint>

CopyAxis::CopyAxis(int dstLo, int dstHi, int dstLimit, int srcLo, int srcHi, int srcLimit) {
    // 64-bit throughout: rectangles come from callers and may be far outside either picture.
    const std::int64_t dstSize = std::int64_t{dstHi} - dstLo;
    const std::int64_t srcSize = std::int64_t{srcHi} - srcLo;
    if (dstSize <= 0 || srcSize <= 0 || dstLimit <= 0 || srcLimit <= 0) {
        return;
    }
    const std::int64_t from = std::max<std::int64_t>(dstLo, 0);
    const std::int64_t to = std::min<std::int64_t>(dstHi, dstLimit);
    if (dstSize == srcSize) {
        // 1:1: intersect the destination range with the one whose source lies inside.
        const std::int64_t shift = std::int64_t{srcLo} - dstLo;
        const std::int64_t first = std::max(from, -shift);
        const std::int64_t last = std::min(to, srcLimit - shift);
        if (first < last) {
            FirstDestination = static_cast<int>(first);
            FirstSource = static_cast<int>(first + shift);
            Length = static_cast<int>(last - first);
        }
        return;
    }
    IsScaled = true;
    bool started = false;
    for (std::int64_t d = from; d < to; ++d) {
        // (d - dstLo) < dstSize and srcSize both fit in 33 bits, so the product fits unsigned.
        const auto offset = static_cast<std::uint64_t>(d - dstLo) *
                            static_cast<std::uint64_t>(srcSize) /
                            static_cast<std::uint64_t>(dstSize);
        const std::int64_t s = srcLo + static_cast<std::int64_t>(offset);
        if (s < 0 || s >= srcLimit) {
            if (started) {
                break; // the source only grows from here on
            }
            continue;
        }
        if (!started) {
            started = true;
            FirstDestination = static_cast<int>(d);
        }
        Sources.push_back(static_cast<int>(s));
    }
    Length = static_cast<int>(Sources.size());
}
