#pragma once

// The item under the pointer of one view, before and after the last move; -1 means none.
// A move shifts the pair; when the two differ, the view repaints the previous item and frames
// the current one.
struct HoverPair {
    int Previous = -1;
    int Current = -1;

    // previous := current, current := item; true when the pair now names two different items.
    bool Shift(int item) {
        Previous = Current;
        Current = item;
        return Previous != Current;
    }
    void Reset() { Previous = Current = -1; }
};
