#include "address/AddressData.h"
#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "inifile/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr const char* Section = "LevelDataAddress";
constexpr std::size_t ImageSize = LevelFormat::CartridgeSize;

const std::vector<std::string> KeyOrder = {"MapDataBankA000",
                                           "MapDataAddressLow",
                                           "MapDataAddressHigh",
                                           "ChipDataBank8000",
                                           "Chip16x16DataAddressHigh",
                                           "Chip32x32DataAddressHigh",
                                           "PatternTableDataNo",
                                           "PatternTableData",
                                           "PaletteDataNo",
                                           "PalettePointerAddressLow[0]",
                                           "PalettePointerAddressHigh[0]",
                                           "PalettePointerAddressLow[1]",
                                           "PalettePointerAddressHigh[1]",
                                           "ObjectDataAddressLow",
                                           "ObjectDataAddressHigh",
                                           "ObjectCount",
                                           "RefChipTypeTable",
                                           "ChipTypeTable"};

class AddressDataTest : public ::testing::Test {
protected:
    TempDir Folder;
    IniFile Settings{Folder.File("kestrin6editor.ini")};
    std::vector<std::uint8_t> Image = std::vector<std::uint8_t>(ImageSize, 0);
};

TEST_F(AddressDataTest, MissingSectionGetsDefaultsWrittenInTableOrder) {
    AddressData address(Image, Settings);
    ASSERT_EQ(Settings.Flush(), Outcome::Success());

    std::string expected = "[LevelDataAddress]\n";
    const std::vector<std::string> values = {"7DF35", "7DF45", "7DF55", "7DF65", "7DF75", "7DF85",
                                             "7DF95", "6E010", "7DFA5", "6F010", "6F110", "51010",
                                             "51110", "740CF", "740DF", "740EF", "7DB13", "7DB23"};
    for (std::size_t i = 0; i < KeyOrder.size(); ++i)
        expected += KeyOrder[i] + "=" + values[i] + "\n";
    EXPECT_EQ(ReadTextFile(Settings.Path()), expected);
    EXPECT_EQ(address.KeyValue(LevelDataKey::PalettePointerAddressLow1), 0x51010);
    EXPECT_EQ(address.KeyValue(LevelDataKey::PalettePointerAddressHigh1), 0x51110);
    EXPECT_EQ(address.KeyValue(LevelDataKey::ChipTypeTable), 0x7DB23);
}

struct KeyCase {
    const char* Key;
    LevelDataKey Id;
    const char* Text;
    std::int32_t Value;
    const char* Written;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.Key << "=" << c.Text;
}

class KeyReading : public AddressDataTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyReading, ConvertsWithDollarPrefixOrFallsBack) {
    const KeyCase& c = GetParam();
    Settings.WriteString(Section, c.Key, c.Text);
    AddressData address(Image, Settings);
    EXPECT_EQ(address.KeyValue(c.Id), c.Value);
    EXPECT_EQ(Settings.ReadString(Section, c.Key, "?"), c.Written);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyReading,
    ::testing::Values(
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "0740EF", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "$740EF", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "0x740EF", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "-10", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "12 ", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "100000000", 0x740EF, "740EF"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "7def0", 0x7DEF0, "7DEF0"},
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "0000", 0, "0"},
        // A 32-bit key takes the upper half too, as a negative offset (refused later).
        KeyCase{"ObjectCount", LevelDataKey::ObjectCount, "FFFFFFFF", -1, "FFFFFFFF"},
        KeyCase{"PalettePointerAddressLow[1]", LevelDataKey::PalettePointerAddressLow1, "zz",
                0x50010, "50010"},
        KeyCase{"PalettePointerAddressHigh[1]", LevelDataKey::PalettePointerAddressHigh1, "",
                0x50110, "50110"},
        KeyCase{"PalettePointerAddressLow[0]", LevelDataKey::PalettePointerAddressLow0, "zz",
                0x6F010, "6F010"},
        KeyCase{"MapDataBankA000", LevelDataKey::MapDataBankA000, "1234", 0x1234, "1234"}));

TEST_F(AddressDataTest, ComputesTheSevenTablesFromTheBuffer) {
    // Stage 0: chip bank 3E, 16x16 page 90, 32x32 page 94; map bank 21 at B123; palette 7.
    Image[0x7DF65] = 0x3E;
    Image[0x7DF75] = 0x90;
    Image[0x7DF85] = 0x94;
    Image[0x7DF35] = 0x21;
    Image[0x7DF45] = 0x23;
    Image[0x7DF55] = 0xB1;
    Image[0x7DFA5] = 0x07;
    // Stage 1 shares the chip bank with another 16x16 page.
    Image[0x7DF65 + 1] = 0x3E;
    Image[0x7DF75 + 1] = 0x85;
    AddressData address(Image, Settings);

    EXPECT_EQ(address.Chip16x16TableAddress(0), 0x7D010);
    EXPECT_EQ(address.ChipPropertyTableAddress(0), 0x7D410);
    EXPECT_EQ(address.DestroyedChip16x16TableAddress(0), 0x7DB10);
    EXPECT_EQ(address.DestroyedChipPropertyTableAddress(0), 0x7DF10);
    EXPECT_EQ(address.Chip32x32TableAddress(0), 0x7D410); // bank 3E at 8000, CPU 9400
    EXPECT_EQ(address.MapSetTableAddress(0), 0x43133);    // bank 21 at A000, CPU B123
    EXPECT_EQ(address.PaletteNumber(0), 7);

    EXPECT_NE(address.Chip16x16TableAddress(1), address.Chip16x16TableAddress(0));
    EXPECT_EQ(address.DestroyedChip16x16TableAddress(1), address.DestroyedChip16x16TableAddress(0));
    EXPECT_EQ(address.DestroyedChipPropertyTableAddress(1),
              address.DestroyedChipPropertyTableAddress(0));
}

TEST_F(AddressDataTest, OffsetsOutsideTheBufferReadAsZero) {
    Settings.WriteString(Section, "ChipDataBank8000", "7FFFFFFF");
    Settings.WriteString(Section, "PaletteDataNo", "80005");
    AddressData address(Image, Settings);
    EXPECT_EQ(address.DestroyedChip16x16TableAddress(15), 0x1B10);
    EXPECT_EQ(address.PaletteNumber(15), 0);
}

TEST(BankFileOffset, ConvertsCpuAddressesOfBothWindows) {
    EXPECT_EQ(AddressData::BankFileOffset8000(0x3E, 0x9000), 0x7D010);
    EXPECT_EQ(AddressData::BankFileOffsetA000(0x21, 0xA000), 0x42010);
    // A pointer read in bank 3A (file 0x74010-0x7600F) for the same bank at 0x8000.
    EXPECT_EQ(AddressData::SameBankFileOffset(0x740DF, 0x80FF), 0x7410F);
    EXPECT_EQ(AddressData::SameBankFileOffset(0x74010, 0x8000), 0x74010);
    EXPECT_EQ(AddressData::SameBankFileOffset(0x7600F, 0x9FFF), 0x7600F);
}

} // namespace
