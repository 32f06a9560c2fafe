#include "editdata/UnusedNumbers.h"

#include <array>

namespace {

constexpr int NumberCount = 256;
constexpr int NumbersPerLine = 16;
constexpr const char* HexDigits = "0123456789ABCDEF";

} // namespace

std::string UnusedNumberList(std::span<const std::uint8_t> scanned) {
    std::array<bool, NumberCount> used{};
    for (const std::uint8_t value : scanned)
        used[value] = true;

    std::string list;
    for (int group = 0; group < NumberCount / NumbersPerLine; ++group) {
        std::string line;
        for (int k = 0; k < NumbersPerLine; ++k) {
            const int number = group * NumbersPerLine + k;
            if (used[static_cast<std::size_t>(number)])
                continue;
            line += HexDigits[number >> 4];
            line += HexDigits[number & 0xF];
            line += ' ';
        }
        if (!line.empty())
            list += line + "\r\n";
    }
    return list;
}
