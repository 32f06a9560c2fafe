// The decoders of the 16x16 chip tab's sources: pattern load entries and chip type rows.
#include "address/AddressData.h"
#include "base/LevelFormat.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/PatternLoadEntry.h"
#include "inifile/IniFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::size_t TablesBytes = PatternLoadEntry::TablesBytes;
constexpr std::uint8_t Untouched = 0xAA;
constexpr std::size_t Header = LevelFormat::HeaderSize;
constexpr std::size_t Block = 0x1000; // the source blocks of an entry

std::vector<std::uint8_t> NumberedCartridge() {
    std::vector<std::uint8_t> cartridge(LevelFormat::CartridgeSize);
    for (std::size_t i = 0; i < cartridge.size(); ++i)
        cartridge[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return cartridge;
}

struct EntryCase {
    const char* Name;
    std::int64_t EntryOffset;
    std::vector<std::uint8_t> Entry; // written at EntryOffset, as far as it lies inside
    std::size_t Destination;         // what lands where in the tables
    std::size_t Source;
    std::size_t Length;
};

class PatternLoadEntryApply : public testing::TestWithParam<EntryCase> {};

TEST_P(PatternLoadEntryApply, CopiesTheRunItNamesAndNothingElse) {
    const EntryCase& c = GetParam();
    auto cartridge = NumberedCartridge();
    for (std::size_t i = 0; i < c.Entry.size(); ++i) {
        const std::int64_t at = c.EntryOffset + static_cast<std::int64_t>(i);
        if (at >= 0 && at < static_cast<std::int64_t>(cartridge.size()))
            cartridge[static_cast<std::size_t>(at)] = c.Entry[i];
    }
    // Guard bytes after the tables show a write past their end.
    std::vector<std::uint8_t> buffer(TablesBytes + 64, Untouched);
    PatternLoadEntry::Apply(cartridge, c.EntryOffset,
                            std::span<std::uint8_t>(buffer).first(TablesBytes));

    std::vector<std::uint8_t> expected(TablesBytes + 64, Untouched);
    for (std::size_t i = 0; i < c.Length; ++i)
        expected[c.Destination + i] = cartridge[c.Source + i];
    EXPECT_EQ(buffer, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, PatternLoadEntryApply,
    testing::Values(
        // Two tiles from tile 5 of block 2 to tile 3 of the first table.
        EntryCase{"FirstTable", 0x6E010, {2, 3, 5, 0x02}, 3 * 16, Header + 2 * Block + 5 * 16, 32},
        EntryCase{
            "SecondTable", 0x6E010, {1, 0x10, 0, 0x85}, 0x1000 + 0x100, Header + 5 * Block, 16},
        EntryCase{"CountZeroMeans256", 0x6E010, {0, 0, 0, 0x03}, 0, Header + 3 * Block, 0x1000},
        // 256 tiles from tile F0 of the second table: only 16 fit before the tables end.
        EntryCase{
            "CutAtTheEndOfTheTables", 0x6E010, {0, 0xF0, 0, 0x81}, 0x1F00, Header + Block, 0x100},
        // Tile FF of block 7F is the last 16 bytes of the cartridge.
        EntryCase{"CutAtTheEndOfTheCartridge", 0x6E010, {4, 0, 0xFF, 0x7F}, 0, 0x80000, 16},
        // Bytes 2 and 3 lie past the end and read as 0: source block 0, tile 0.
        EntryCase{"EntryHalfOutsideTheCartridge",
                  static_cast<std::int64_t>(LevelFormat::CartridgeSize) - 2,
                  {1, 2, 9, 9},
                  2 * 16,
                  Header,
                  16},
        EntryCase{"EntryBeforeTheCartridge", -4, {}, 0, Header, 0x1000},
        EntryCase{"EntryFarPastTheCartridge", 0x7FFFFFFF, {}, 0, Header, 0x1000}),
    [](const testing::TestParamInfo<EntryCase>& entry) { return std::string(entry.param.Name); });

struct ChipTypeCase {
    const char* Name;
    const char* RefChipTypeTable; // settings text, or null for the default
    const char* ChipTypeTable;
    std::uint8_t RowByte; // written at the stage's row byte when inside
    std::int64_t RowStart;
};

class ChipTypeCodes : public testing::TestWithParam<ChipTypeCase> {};

TEST_P(ChipTypeCodes, ReadTheStagesRowInsideTheCartridge) {
    const ChipTypeCase& c = GetParam();
    constexpr int stage = 6;
    auto cartridge = NumberedCartridge();
    IniFile settings("");
    if (c.RefChipTypeTable)
        settings.WriteString(AddressData::SectionName, "RefChipTypeTable", c.RefChipTypeTable);
    if (c.ChipTypeTable)
        settings.WriteString(AddressData::SectionName, "ChipTypeTable", c.ChipTypeTable);
    const AddressData probe(cartridge, settings);
    const std::int64_t rowByte = probe.KeyValue(LevelDataKey::RefChipTypeTable) + stage;
    if (rowByte >= 0 && rowByte < static_cast<std::int64_t>(cartridge.size()))
        cartridge[static_cast<std::size_t>(rowByte)] = c.RowByte;
    const AddressData address(cartridge, settings);

    std::array<std::uint8_t, LevelFormat::AttributeTypeCount> expected{};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::int64_t at = c.RowStart + static_cast<std::int64_t>(i);
        if (at < static_cast<std::int64_t>(cartridge.size()))
            expected[i] = cartridge[static_cast<std::size_t>(at)];
    }
    EXPECT_EQ(ChipTypeCaptions::CodesOfStage(cartridge, address, stage), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ChipTypeCodes,
    testing::Values(ChipTypeCase{"DefaultTables", nullptr, nullptr, 3, 0x7DB23 + 3 * 16},
                    ChipTypeCase{"RowByteOutsideMeansRowZero", "80010", nullptr, 3, 0x7DB23},
                    // Row 1 starts 8 bytes before the end: the rest reads as 0.
                    ChipTypeCase{"RowCutAtTheEnd", nullptr, "7FFF8", 1, 0x80008}),
    [](const testing::TestParamInfo<ChipTypeCase>& row) { return std::string(row.param.Name); });

} // namespace
