#pragma once

#include <vector>

// One axis of a rectangle copy between two pictures: which source column (or row) each
// destination column takes. Destination coordinate d of the rectangle [dstLo, dstHi) takes
// source coordinate srcLo + (d - dstLo) * srcSize / dstSize (rounded down), so an enlargement
// by a whole factor turns every source pixel into a block, and a reduction by a whole factor
// keeps the top-left pixel of every block (point sampling: the pictures hold palette indices,
// which cannot be averaged). Only destination coordinates inside the destination picture whose
// source lies inside the source picture are listed; they form one unbroken run.
class CopyAxis {
public:
    CopyAxis(int dstLo, int dstHi, int dstLimit, int srcLo, int srcHi, int srcLimit);

    int First() const { return FirstDestination; }
    int Count() const { return Length; }
    bool Scaled() const { return IsScaled; }
    // Source coordinate of destination First() + i, 0 <= i < Count().
    int SourceAt(int i) const {
        return IsScaled ? Sources[static_cast<std::size_t>(i)] : FirstSource + i;
    }

private:
    int FirstDestination = 0;
    int Length = 0;
    int FirstSource = 0;
    bool IsScaled = false;
    std::vector<int> Sources;
};
