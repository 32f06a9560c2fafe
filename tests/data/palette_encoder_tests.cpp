#include "address/AddressData.h"
#include "base/LevelFormat.h"
#include "editdata/PaletteBlock.h"
#include "editdata/PaletteEncoder.h"
#include "editdata/PaletteLayout.h"
#include "editdata/StageData.h"
#include "inifile/IniFile.h"
#include "support/GeneratedCartridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Set = std::array<std::uint8_t, 16>;

struct EncodeCase {
    std::string Name;
    Bytes Block;
    std::vector<std::pair<int, std::uint8_t>> Edits; // entry, colour
    PaletteSetOutcome Outcome;
    PaletteRefusal Reason;
    int Entry;
    Bytes Expected; // the written block, when there is one
};

class PaletteEncode : public testing::TestWithParam<EncodeCase> {};

TEST_P(PaletteEncode, WritesTheEditedSetIntoTheSameBytesOrSaysWhyNot) {
    const EncodeCase& c = GetParam();
    Set edited = PaletteBlock::Read(c.Block, 0).Decoded();
    for (const auto& [entry, colour] : c.Edits)
        edited[static_cast<std::size_t>(entry)] = colour;

    const PaletteSetWrite result = PaletteEncoder::Encode(c.Block, edited);
    EXPECT_EQ(result.Outcome, c.Outcome);
    EXPECT_EQ(result.Reason, c.Reason);
    EXPECT_EQ(result.Entry, c.Entry);
    EXPECT_EQ(result.Bytes, c.Expected);
    if (result.Outcome != PaletteSetOutcome::Written)
        return;

    // Same length and start entry, bit 7 on the last byte only, and the decode is the edit.
    ASSERT_EQ(result.Bytes.size(), c.Block.size());
    EXPECT_EQ(result.Bytes[0], c.Block[0]);
    for (std::size_t i = 1; i + 1 < result.Bytes.size(); ++i)
        EXPECT_FALSE(result.Bytes[i] & PaletteBlock::LastByte) << "byte " << i;
    EXPECT_TRUE(result.Bytes.back() & PaletteBlock::LastByte);
    const PaletteBlock written = PaletteBlock::Read(result.Bytes, 0);
    EXPECT_TRUE(written.Terminated);
    EXPECT_EQ(written.Length, static_cast<int>(c.Block.size()));
    EXPECT_EQ(written.Decoded(), edited);
}

using O = PaletteSetOutcome;
using R = PaletteRefusal;

INSTANTIATE_TEST_SUITE_P(
    Cases, PaletteEncode,
    testing::Values(EncodeCase{"UnchangedSetLeavesTheBytes",
                               {0x00, 0x0F, 0x01, 0x41, 0x82},
                               {},
                               O::Unchanged,
                               R::None,
                               -1,
                               {}},
                    EncodeCase{"SingleColourChangesOneByte",
                               {0x00, 0x0F, 0x01, 0x41, 0x82},
                               {{1, 0x21}},
                               O::Written,
                               R::None,
                               -1,
                               {0x00, 0x0F, 0x21, 0x41, 0x82}},
                    EncodeCase{"LastColourKeepsBit7",
                               {0x03, 0x11, 0x92},
                               {{4, 0x3F}},
                               O::Written,
                               R::None,
                               -1,
                               {0x03, 0x11, 0xBF}},
                    // 0F 01 0F 02: the first 0F pair becomes two plain colours, the second pair
                    // takes bit 6 instead.
                    EncodeCase{"PairTurnsIntoTwoPlainColours",
                               {0x00, 0x41, 0x0F, 0x82},
                               {{0, 0x05}},
                               O::Written,
                               R::None,
                               -1,
                               {0x00, 0x05, 0x01, 0xC2}},
                    EncodeCase{"PlainColoursTurnBackIntoAPair",
                               {0x00, 0x05, 0x01, 0xC2},
                               {{0, 0x0F}},
                               O::Written,
                               R::None,
                               -1,
                               {0x00, 0x0F, 0x01, 0xC2}},
                    EncodeCase{"ChangedBlackMovesBit6ToAnotherBlack",
                               {0x00, 0x0F, 0x01, 0x41, 0x82},
                               {{2, 0x03}},
                               O::Written,
                               R::None,
                               -1,
                               {0x00, 0x41, 0x03, 0x01, 0x82}},
                    EncodeCase{"EntryBeforeTheStartEntry",
                               {0x04, 0x01, 0x02, 0x83},
                               {{2, 0x11}},
                               O::Refused,
                               R::EntryOutsideBlock,
                               2,
                               {}},
                    EncodeCase{"EntryAfterTheLastByte",
                               {0x04, 0x01, 0x02, 0x83},
                               {{7, 0x11}},
                               O::Refused,
                               R::EntryOutsideBlock,
                               7,
                               {}},
                    EncodeCase{
                        "NoBlockAtAll", {}, {{0, 0x01}}, O::Refused, R::EntryOutsideBlock, 0, {}},
                    EncodeCase{"ChangeNeedsOneByteMore",
                               {0x00, 0x41, 0x82},
                               {{0, 0x05}},
                               O::Refused,
                               R::DoesNotFit,
                               -1,
                               {}},
                    EncodeCase{"ColourAbove3F",
                               {0x00, 0x01, 0x82},
                               {{1, 0x40}},
                               O::Refused,
                               R::NotAColourNumber,
                               1,
                               {}},
                    // 01 at 14, then 0F at 15 and 05 past the set: the 05 is not shown but kept.
                    EncodeCase{"ColourPastTheSetIsKept",
                               {0x0E, 0x01, 0xC5},
                               {{14, 0x02}},
                               O::Written,
                               R::None,
                               -1,
                               {0x0E, 0x02, 0xC5}},
                    EncodeCase{"BlackBeforeTheEndOfTheSetCannotGo",
                               {0x0E, 0x01, 0xC5},
                               {{15, 0x03}},
                               O::Refused,
                               R::DoesNotFit,
                               -1,
                               {}},
                    // The data fills the set without a last byte: the game reads on past it.
                    EncodeCase{"DataRunningPastTheSet",
                               {0x0E, 0x01, 0x02},
                               {{14, 0x03}},
                               O::Refused,
                               R::BlockNotTerminated,
                               -1,
                               {}}),
    [](const testing::TestParamInfo<EncodeCase>& caseInfo) { return caseInfo.param.Name; });

// Three colour bytes without an end mark, then one with it just past the bytes given: the walk
// stops at the end of what it is given, so the block stays unterminated and is not rewritten.
TEST(PaletteBlockWalk, StopsAtTheEndOfTheBytesGiven) {
    const Bytes memory = {0x00, 0x01, 0x02, 0x83};
    const auto block = std::span<const std::uint8_t>(memory).first(3);
    const PaletteBlock walked = PaletteBlock::Read(block, 0);
    EXPECT_FALSE(walked.Terminated);
    EXPECT_EQ(walked.Length, 3);
    EXPECT_EQ(walked.Values, (Bytes{0x01, 0x02}));

    Set edited = walked.Decoded();
    edited[0] = 0x05;
    const PaletteSetWrite result = PaletteEncoder::Encode(block, edited);
    EXPECT_EQ(result.Outcome, O::Refused);
    EXPECT_EQ(result.Reason, R::BlockNotTerminated);
}

// A 0F pair turned into plain colours and back ends where it began, colour for colour.
TEST(PaletteEncoder, PairRoundTripRestoresTheColours) {
    const Bytes original = {0x08, 0x41, 0x0F, 0x02, 0x43, 0x84};
    const Set before = PaletteBlock::Read(original, 0).Decoded();

    Set edited = before;
    edited[8] = 0x16;
    const auto first = PaletteEncoder::Encode(original, edited);
    ASSERT_EQ(first.Outcome, PaletteSetOutcome::Written);
    EXPECT_EQ(PaletteBlock::Read(first.Bytes, 0).Decoded(), edited);

    const auto second = PaletteEncoder::Encode(first.Bytes, before);
    ASSERT_EQ(second.Outcome, PaletteSetOutcome::Written);
    EXPECT_EQ(PaletteBlock::Read(second.Bytes, 0).Decoded(), before);
    EXPECT_EQ(PaletteEncoder::Encode(second.Bytes, before).Outcome, PaletteSetOutcome::Unchanged);
}

// A one-bank image of our own: number table at 0x10, pointer tables at 0x100 (set 0 low),
// 0x200 (set 0 high), 0x300 (set 1 low), 0x400 (set 1 high); in bank 0 file offset F is CPU
// address F + 0x7FF0.
class PaletteLayoutTest : public testing::Test {
protected:
    static constexpr std::size_t NumberTable = 0x10;
    static constexpr std::array<std::size_t, 2> Low = {0x100, 0x300};
    static constexpr std::array<std::size_t, 2> High = {0x200, 0x400};

    Bytes Image = Bytes(0x2010, 0x00);
    IniFile Settings{""};
    std::unique_ptr<AddressData> Address;
    std::vector<std::unique_ptr<StageData>> Stages;

    PaletteLayoutTest() {
        Settings.WriteString(AddressData::SectionName, "PaletteDataNo", "10");
        Settings.WriteString(AddressData::SectionName, "PalettePointerAddressLow[0]", "100");
        Settings.WriteString(AddressData::SectionName, "PalettePointerAddressHigh[0]", "200");
        Settings.WriteString(AddressData::SectionName, "PalettePointerAddressLow[1]", "300");
        Settings.WriteString(AddressData::SectionName, "PalettePointerAddressHigh[1]", "400");
        // Palette number n: set 0 at 0x800 + 0x20n, set 1 at 0x1000 + 0x20n, each 00 0F 01 82.
        for (int n = 0; n < 16; ++n) {
            Image[NumberTable + static_cast<std::size_t>(n)] = static_cast<std::uint8_t>(n);
            for (int set = 0; set < 2; ++set) {
                const std::size_t block = (set == 0 ? 0x800u : 0x1000u) + 0x20u * n;
                Point(set, n, block);
                std::copy_n(Bytes{0x00, 0x0F, 0x01, 0x82}.begin(), 4,
                            Image.begin() + static_cast<std::ptrdiff_t>(block));
            }
        }
        Image[NumberTable + 3] = 1;        // stage 3 uses palette 1, as stage 1 does
        Point(1, 2, 0x800 + 0x20 * 2);     // palette 2 reads one block for both sets
        Point(0, 4, 0x800 + 0x20 * 5 + 2); // palette 4's set 0 starts inside palette 5's
        Point(1, 6, NumberTable + 15);     // palette 6's set 1 starts in the number table:
        Image[NumberTable + 16] = 0x81;    // start entry 15, then 01
    }

    void Point(int set, int number, std::size_t offset) {
        const std::size_t cpu = offset + 0x7FF0;
        Image[Low[static_cast<std::size_t>(set)] + static_cast<std::size_t>(number)] =
            static_cast<std::uint8_t>(cpu);
        Image[High[static_cast<std::size_t>(set)] + static_cast<std::size_t>(number)] =
            static_cast<std::uint8_t>(cpu >> 8);
    }

    void Decode() {
        Address = std::make_unique<AddressData>(Image, Settings);
        Stages.clear();
        for (int s = 0; s < 16; ++s) {
            Stages.push_back(std::make_unique<StageData>(s, *Address, Image));
            Stages.back()->DecodePalettes();
        }
    }
    StageData& Stage(int s) { return *Stages.at(static_cast<std::size_t>(s)); }
};

TEST_F(PaletteLayoutTest, BlockTellsWhereASetComesFromAndWhatItWrites) {
    Decode();
    const PaletteLayout layout(Image, *Address);
    const PaletteBlock& block = layout.BlockOf(7, 1);
    EXPECT_EQ(block.Offset, 0x1000 + 0x20 * 7);
    EXPECT_EQ(block.Length, 4);
    EXPECT_EQ(block.StartEntry, 0);
    EXPECT_TRUE(block.Terminated);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(block.Writes(k), k < 3) << "entry " << k;
    EXPECT_TRUE(std::equal(Stage(7).StagePalette.begin() + 16, Stage(7).StagePalette.end(),
                           block.Decoded().begin()));
}

TEST_F(PaletteLayoutTest, FindsSharedAndOverlappingBlocks) {
    Decode();
    const PaletteLayout layout(Image, *Address);
    using Ref = PaletteLayout::SetRef;
    EXPECT_EQ(layout.SharersOf(1, 0), (std::vector<Ref>{{1, 0}, {3, 0}}));
    EXPECT_EQ(layout.SharersOf(3, 1), (std::vector<Ref>{{1, 1}, {3, 1}}));
    EXPECT_EQ(layout.SharersOf(2, 1), (std::vector<Ref>{{2, 0}, {2, 1}}));
    EXPECT_EQ(layout.SharersOf(0, 0), (std::vector<Ref>{{0, 0}}));

    EXPECT_FALSE(layout.Conflicts(0, 0));
    EXPECT_FALSE(layout.Conflicts(1, 0));
    EXPECT_FALSE(layout.Conflicts(2, 0));
    EXPECT_TRUE(layout.Conflicts(4, 0));
    EXPECT_TRUE(layout.Conflicts(5, 0));
    EXPECT_FALSE(layout.Conflicts(5, 1));
    EXPECT_TRUE(layout.Conflicts(6, 1));
}

TEST_F(PaletteLayoutTest, StageWritesOnlyInsideItsBlocks) {
    Decode();
    Stage(0).StagePalette[1] = 0x30;
    const Bytes before = Image;
    const auto plan = PaletteEncoder::PlanStage(*Address, 0, Stage(0).StagePalette, Image);
    EXPECT_EQ(Image, before);
    const auto results = Stage(0).EncodePalettes();
    EXPECT_EQ(results[0].Bytes, plan[0].Bytes);
    EXPECT_EQ(results[0].Outcome, PaletteSetOutcome::Written);
    EXPECT_EQ(results[1].Outcome, PaletteSetOutcome::Unchanged);
    EXPECT_EQ(Image[0x800 + 2], 0x30);
    Image[0x800 + 2] = before[0x800 + 2];
    EXPECT_EQ(Image, before);
}

TEST_F(PaletteLayoutTest, OverlappingBlocksAreNotWritten) {
    Decode();
    Stage(4).StagePalette[1] = 0x00; // its block: 01 82
    Stage(5).StagePalette[1] = 0x00;
    Stage(6).StagePalette[16 + 15] = 0x21;
    const Bytes before = Image;
    EXPECT_EQ(Stage(4).EncodePalettes()[0].Reason, PaletteRefusal::BlockOverlaps);
    EXPECT_EQ(Stage(5).EncodePalettes()[0].Reason, PaletteRefusal::BlockOverlaps);
    EXPECT_EQ(Stage(6).EncodePalettes()[1].Reason, PaletteRefusal::BlockOverlaps);
    EXPECT_EQ(Image, before);
}

TEST_F(PaletteLayoutTest, BothSetsOfOneBlockMustAgree) {
    Decode();
    const Bytes before = Image;
    Stage(2).StagePalette[1] = 0x2C;
    auto results = Stage(2).EncodePalettes();
    EXPECT_EQ(results[0].Outcome, PaletteSetOutcome::Refused);
    EXPECT_EQ(results[0].Reason, PaletteRefusal::SharedSetsDisagree);
    EXPECT_EQ(results[0].Entry, 1);
    EXPECT_EQ(results[1].Outcome, PaletteSetOutcome::Unchanged);
    EXPECT_EQ(Image, before);

    Stage(2).StagePalette[16 + 1] = 0x2C;
    results = Stage(2).EncodePalettes();
    EXPECT_EQ(results[0].Outcome, PaletteSetOutcome::Written);
    EXPECT_EQ(results[1].Outcome, PaletteSetOutcome::Written);
    EXPECT_EQ(Image[0x800 + 0x20 * 2 + 2], 0x2C);
}

// The generated cartridge: set 1 of odd stages starts at entry 4; every sub-palette starts
// with a 0F stored through bit 6.
class GeneratedPaletteTest : public testing::Test {
protected:
    Bytes Image = GeneratedImage();
    IniFile Settings{""};
    std::unique_ptr<AddressData> Address = std::make_unique<AddressData>(Image, Settings);

    std::unique_ptr<StageData> Decoded(int s, std::span<std::uint8_t> image) {
        auto stage = std::make_unique<StageData>(s, *Address, image);
        stage->DecodePalettes();
        return stage;
    }
};

TEST_F(GeneratedPaletteTest, WrittenPalettesDecodeAsEditedAndNothingElseMoves) {
    const Bytes before = Image;
    const PaletteLayout layout(Image, *Address);
    std::vector<std::array<std::uint8_t, 32>> edited;
    for (int s = 0; s < 16; ++s) {
        auto stage = Decoded(s, Image);
        stage->StagePalette[5] = static_cast<std::uint8_t>((stage->StagePalette[5] + 1) & 0x3F);
        stage->StagePalette[16 + 14] = static_cast<std::uint8_t>(stage->StagePalette[30] ^ 0x20);
        const auto results = stage->EncodePalettes();
        EXPECT_EQ(results[0].Outcome, PaletteSetOutcome::Written) << "stage " << s;
        EXPECT_EQ(results[1].Outcome, PaletteSetOutcome::Written) << "stage " << s;
        edited.push_back(stage->StagePalette);
    }

    for (int s = 0; s < 16; ++s)
        EXPECT_EQ(Decoded(s, Image)->StagePalette, edited[static_cast<std::size_t>(s)]);
    for (std::size_t i = 0; i < Image.size(); ++i) {
        const bool inBlock = [&] {
            for (int s = 0; s < 16; ++s)
                for (int set = 0; set < 2; ++set)
                    if (layout.BlockOf(s, set).Overlaps(static_cast<std::int64_t>(i), 1))
                        return true;
            return false;
        }();
        if (!inBlock && Image[i] != before[i])
            ADD_FAILURE() << "byte outside the palette blocks changed at " << i;
    }
}

TEST_F(GeneratedPaletteTest, RefusedSetsLeaveTheImageAsItWas) {
    const Bytes before = Image;
    auto stage = Decoded(3, Image);
    stage->StagePalette[16 + 0] = 0x21; // set 1 of an odd stage starts at entry 4
    stage->StagePalette[8] = 0x21;      // a black stored through bit 6
    const auto results = stage->EncodePalettes();
    EXPECT_EQ(results[0].Reason, PaletteRefusal::DoesNotFit);
    EXPECT_EQ(results[1].Reason, PaletteRefusal::EntryOutsideBlock);
    EXPECT_EQ(results[1].Entry, 0);
    EXPECT_EQ(Image, before);
}

} // namespace
