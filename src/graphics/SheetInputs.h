#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

// What an engine sheet was last rendered from, whole. A sheet is a pure function of its
// inputs, so rendering it again from equal inputs would write the pixels it already holds;
// a tab that shows the sheets re-renders them every time it comes to the front, and most of the
// time nothing they are made of has changed. Any other drawing into the sheet forgets them.
class SheetInputs {
public:
    using Part = std::span<const std::uint8_t>;

    bool Match(std::initializer_list<Part> parts, std::uint64_t stamp) const {
        if (!Known || stamp != Stamp || parts.size() != Parts.size())
            return false;
        auto held = Parts.begin();
        for (const Part part : parts) {
            if (!std::ranges::equal(part, *held++))
                return false;
        }
        return true;
    }
    void Remember(std::initializer_list<Part> parts, std::uint64_t stamp) {
        Parts.clear();
        for (const Part part : parts)
            Parts.emplace_back(part.begin(), part.end());
        Stamp = stamp;
        Known = true;
    }
    void Forget() { Known = false; }

private:
    bool Known = false;
    std::uint64_t Stamp = 0;
    std::vector<std::vector<std::uint8_t>> Parts;
};
