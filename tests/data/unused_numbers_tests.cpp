#include "editdata/UnusedNumbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace {

// Every number 00..FF once, except those in unused.
std::vector<std::uint8_t> AllBut(const std::set<int>& unused) {
    std::vector<std::uint8_t> table;
    for (int n = 0; n < 256; ++n)
        if (!unused.contains(n))
            table.push_back(static_cast<std::uint8_t>(n));
    return table;
}

// The sixteen numbers of one group, each followed by a blank, then CR LF.
std::string FullLine(int group) {
    static const char* digits = "0123456789ABCDEF";
    std::string line;
    for (int k = 0; k < 16; ++k)
        line += std::string{digits[group], digits[k], ' '};
    return line + "\r\n";
}

struct ListCase {
    const char* Name;
    std::vector<std::uint8_t> Scanned;
    std::string Expected;
};

class UnusedNumberListTest : public testing::TestWithParam<ListCase> {};

TEST_P(UnusedNumberListTest, GivesTheExactText) {
    EXPECT_EQ(UnusedNumberList(GetParam().Scanned), GetParam().Expected);
}

std::string OnlyZeroUsed() {
    std::string text = "01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F \r\n";
    for (int group = 1; group < 16; ++group)
        text += FullLine(group);
    return text;
}

std::string NothingUsed() {
    std::string text;
    for (int group = 0; group < 16; ++group)
        text += FullLine(group);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, UnusedNumberListTest,
    testing::Values(
        ListCase{"EveryNumberUsed", AllBut({}), ""},
        ListCase{"ThreeGapsInTwoGroups", AllBut({0x03, 0x0A, 0x41}), "03 0A \r\n41 \r\n"},
        ListCase{"OnlyZeros", std::vector<std::uint8_t>(1024, 0), OnlyZeroUsed()},
        ListCase{"EmptyTable", {}, NothingUsed()},
        ListCase{"EdgesOfTheRange", AllBut({0x00, 0x0F, 0xF0, 0xFF}), "00 0F \r\nF0 FF \r\n"},
        // Repeats and order do not matter: a number counts once it appears anywhere.
        ListCase{"RepeatedBytes",
                 [] {
                     std::vector<std::uint8_t> table = AllBut({0x80});
                     table.insert(table.end(), 2048 - table.size(), 0x7F);
                     return table;
                 }(),
                 "80 \r\n"}),
    [](const testing::TestParamInfo<ListCase>& caseInfo) {
        return std::string(caseInfo.param.Name);
    });

} // namespace
