#include "address/AddressData.h"
#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "editdata/StageData.h"
#include "inifile/IniFile.h"
#include "romgen/CartridgeGenerator.h"
#include "support/GeneratedCartridge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using G = CartridgeGenerator;

// What the user reads when the object blocks would leave their bank.
constexpr const char* DoNotFit = "オブジェクトデータがバンクに収まらないため、保存できませんでした";

// The generated image with the default keys; tests poke bytes, then build the tables and stages.
class StageDataTest : public ::testing::Test {
protected:
    std::vector<std::uint8_t> Image = GeneratedImage();
    IniFile Settings{""};
    std::unique_ptr<AddressData> Address;
    std::vector<std::unique_ptr<StageData>> Stages;

    void Decode() {
        Address = std::make_unique<AddressData>(Image, Settings);
        Stages.clear();
        for (int s = 0; s < LevelFormat::StageCount; ++s) {
            Stages.push_back(std::make_unique<StageData>(s, *Address, Image));
            Stages.back()->DecodeStage();
        }
        StageData::LinkSharedChipSets(Stages);
    }
    StageData& Stage(int s) { return *Stages.at(static_cast<std::size_t>(s)); }

    // Writes an object block for stage s at the stage's current pointer: count byte N and the
    // given columns (each already followed by its terminator, or not, as the test needs).
    void WriteObjectBlock(int s, int count, const std::vector<std::vector<int>>& columns) {
        const std::size_t pointer = Image[0x740CF + s] + 256u * Image[0x740DF + s];
        const std::size_t data = ObjectBankFile(pointer) + 1;
        Image[0x740EF + s] = static_cast<std::uint8_t>(count);
        for (std::size_t c = 0; c < columns.size(); ++c)
            for (std::size_t i = 0; i < columns[c].size(); ++i)
                Image[data + c * (static_cast<std::size_t>(count) + 1) + i] =
                    static_cast<std::uint8_t>(columns[c][i]);
    }

    std::vector<int> Xs(int s, int page) {
        std::vector<int> xs;
        for (const ObjectNode& node : Stage(s).ObjectsOfPage(page))
            xs.push_back(node.X);
        return xs;
    }
};

TEST_F(StageDataTest, MapByteIsReadAndWrittenByRowStrips) {
    Decode();
    const std::size_t file =
        static_cast<std::size_t>(Address->MapSetTableAddress(4)) + 3 * 256 + 5 * 8 + 2;
    Image[file] = 0x5A;
    Stage(4).DecodeMapSetTable();
    EXPECT_EQ(Stage(4).MapSetTable[5 * 64 + 3 * 8 + 2], 0x5A);

    Stage(4).MapSetTable[5 * 64 + 3 * 8 + 2] = 0xA5;
    const auto before = Image;
    Stage(4).EncodeMapSetTable();
    EXPECT_EQ(Image[file], 0xA5);
    Image[file] = before[file];
    EXPECT_EQ(Image, before);
}

TEST_F(StageDataTest, ChipTablesRoundTripThroughTheirBlocks) {
    Decode();
    const auto before = Image;
    for (StageData* stage : {&Stage(0), &Stage(9), &Stage(13)}) {
        stage->EncodeChip16x16Tables();
        stage->EncodeChipPropertyTables();
        stage->EncodeChip32x32Table();
        stage->EncodeMapSetTable();
    }
    EXPECT_EQ(Image, before);

    const auto chip16 = static_cast<std::size_t>(Address->Chip16x16TableAddress(9));
    EXPECT_EQ(Stage(9).NormalChip16x16Table[2 * 256 + G::ChipBrick],
              Image[chip16 + 2 * 256 + G::ChipBrick]);
    EXPECT_EQ(Stage(9).NormalChipPropertyTable[G::ChipIce], 0x87);
    EXPECT_EQ(Stage(9).Chip32x32Table[G::BlockBrick * 4 + 3], G::ChipBrick);
}

// The round trip above would pass with encoders that write nothing: change one entry of every
// table, encode into a copy and expect exactly those bytes to change, at file offsets worked
// out from the generator's layout.
TEST_F(StageDataTest, EncodersWriteEachChangedEntryIntoItsOwnByte) {
    Decode();
    for (const int s : {0, 9, 13}) {
        StageData& stage = Stage(s);
        struct Change {
            const char* Table;
            std::uint8_t& Entry;
            std::size_t File;
        };
        const Change changes[] = {
            {"16x16 chips", stage.NormalChip16x16Table[2 * 256 + 0x31],
             Normal16File(s) + 2 * 256 + 0x31},
            {"attributes", stage.NormalChipPropertyTable[0x31], Normal16File(s) + 0x400 + 0x31},
            {"32x32 chips", stage.Chip32x32Table[0x40 * 4 + 3], Chip32File(s) + 0x40 * 4 + 3},
            {"map set", stage.MapSetTable[5 * 64 + 3 * 8 + 2], MapFile(s) + 3 * 256 + 5 * 8 + 2},
        };
        auto expected = Image;
        for (const Change& change : changes) {
            change.Entry = static_cast<std::uint8_t>(change.Entry ^ 0xFF);
            expected[change.File] = change.Entry;
        }
        auto encoded = Image;
        stage.EncodeChip16x16Tables(encoded);
        stage.EncodeChipPropertyTables(encoded);
        stage.EncodeChip32x32Table(encoded);
        stage.EncodeMapSetTable(encoded);
        for (const Change& change : changes)
            EXPECT_EQ(encoded[change.File], change.Entry) << change.Table << " of stage " << s;
        EXPECT_EQ(encoded, expected) << "stage " << s;
    }
}

TEST_F(StageDataTest, PaletteDataStoresFromStartEntryAndKeepsTheRest) {
    Decode();
    const auto start =
        static_cast<std::size_t>(*Address->PaletteDataOffset(Image, 0, Address->PaletteNumber(2)));
    Image[start] = 0x02;
    Image[start + 1] = 0x41;
    Image[start + 2] = 0x90;
    Stage(2).StagePalette.fill(0x2A);
    Stage(2).DecodePalettes();

    for (int k = 0; k < 16; ++k) {
        const std::uint8_t expected = k == 2 ? 0x0F : k == 3 ? 0x01 : k == 4 ? 0x10 : 0x2A;
        EXPECT_EQ(Stage(2).StagePalette[static_cast<std::size_t>(k)], expected) << "entry " << k;
    }
}

TEST_F(StageDataTest, PaletteEntriesPastTheSetAreDropped) {
    Decode();
    const auto start =
        static_cast<std::size_t>(*Address->PaletteDataOffset(Image, 1, Address->PaletteNumber(0)));
    Image[start] = 0x0E;
    Image[start + 1] = 0x41; // 0F at 14, 01 at 15
    Image[start + 2] = 0x42; // would be 16 and 17
    Image[start + 3] = 0x83;
    const auto setZero = Stage(0).StagePalette;
    Stage(0).DecodePalettes();
    EXPECT_EQ(Stage(0).StagePalette[16 + 14], 0x0F);
    EXPECT_EQ(Stage(0).StagePalette[16 + 15], 0x01);
    EXPECT_TRUE(std::equal(setZero.begin(), setZero.begin() + 16, Stage(0).StagePalette.begin()));
}

TEST_F(StageDataTest, PaletteWalkStopsAtTheEndOfTheBuffer) {
    // Set 0's pointer tables moved into the last bank; palette 3's pointer names the image's
    // last byte, which holds the start entry and nothing after it.
    Settings.WriteString("LevelDataAddress", "PalettePointerAddressLow[0]", "7F000");
    Settings.WriteString("LevelDataAddress", "PalettePointerAddressHigh[0]", "7F100");
    Image[0x7DFA5 + 6] = 3;
    Image[0x7F000 + 3] = 0xFF;
    Image[0x7F100 + 3] = 0x9F;
    Image[0x8000F] = 0x00;
    Decode();
    ASSERT_EQ(*Address->PaletteDataOffset(Image, 0, 3), 0x8000F);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(Stage(6).StagePalette[static_cast<std::size_t>(k)], 0);
    EXPECT_EQ(Stage(6).StagePalette[16 + 4], G::PaletteOfStage(3)[16 + 4]);
}

TEST_F(StageDataTest, ObjectPagesOutOfOrderEndTheDecoding) {
    WriteObjectBlock(7, 5,
                     {{0, 0, 2, 1, 3, 0xFF},
                      {10, 11, 12, 13, 14, 0xFF},
                      {20, 21, 22, 23, 24, 0xFF},
                      {1, 2, 3, 4, 5, 0xFF}});
    Decode();
    EXPECT_EQ(Stage(7).ObjectTotal(), 3);
    EXPECT_EQ(Xs(7, 0), (std::vector<int>{10, 11}));
    EXPECT_EQ(Xs(7, 2), (std::vector<int>{12}));
    EXPECT_EQ(Stage(7).ObjectCountOfPage(1), 0);
    EXPECT_EQ(Stage(7).ObjectCountOfPage(3), 0);
}

TEST_F(StageDataTest, ObjectPageAbove31EndsTheDecoding) {
    WriteObjectBlock(7, 3, {{4, 32, 5, 0xFF}, {1, 2, 3, 0xFF}, {1, 2, 3, 0xFF}, {1, 2, 3, 0xFF}});
    Decode();
    EXPECT_EQ(Stage(7).ObjectTotal(), 1);
    EXPECT_EQ(Stage(7).ObjectCountOfPage(4), 1);
}

TEST_F(StageDataTest, CountAbove127LocatesColumnsWithTheCountButTakes127) {
    // Stage 15's block is the last, so 4 * 201 bytes after it are free filler.
    std::vector<std::vector<int>> columns(4, std::vector<int>(200));
    for (int i = 0; i < 200; ++i) {
        columns[0][static_cast<std::size_t>(i)] = i / 8;   // pages 0..24 in order
        columns[1][static_cast<std::size_t>(i)] = i;       // X
        columns[2][static_cast<std::size_t>(i)] = 255 - i; // Y
        columns[3][static_cast<std::size_t>(i)] = 7;
    }
    WriteObjectBlock(15, 200, columns);
    Decode();
    constexpr int taken = LevelFormat::MaxObjectsPerStage;
    EXPECT_EQ(Stage(15).ObjectTotal(), taken);
    const auto rows = Stage(15).FlattenObjects();
    ASSERT_EQ(rows.size(), taken + 1u);
    EXPECT_EQ(rows[taken - 1],
              (StageData::ObjectRow{(taken - 1) / 8, taken - 1, 255 - (taken - 1), 7}));
    EXPECT_EQ(rows[taken], (StageData::ObjectRow{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(StageDataTest, CountZeroYieldsEmptyPagesAndPacksOneTerminatorRow) {
    WriteObjectBlock(3, 0, {});
    Decode();
    EXPECT_EQ(Stage(3).ObjectTotal(), 0);
    for (int page = 0; page < 32; ++page)
        EXPECT_EQ(Stage(3).LastObjectOfPage(page), nullptr);

    ASSERT_EQ(StageData::PackObjects(Stages, *Address, Image), Outcome::Success());
    const int pointer3 = Image[0x740CF + 3] + 256 * Image[0x740DF + 3];
    const int pointer4 = Image[0x740CF + 4] + 256 * Image[0x740DF + 4];
    EXPECT_EQ(Image[0x740EF + 3], 0);
    EXPECT_EQ(pointer4 - pointer3, 4);
    const std::size_t data = ObjectBankFile(static_cast<std::size_t>(pointer3)) + 1;
    EXPECT_EQ(std::vector<std::uint8_t>(Image.begin() + static_cast<std::ptrdiff_t>(data),
                                        Image.begin() + static_cast<std::ptrdiff_t>(data) + 4),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(StageDataTest, SharedAfterDestructionSetIsOneArrayForTheBank) {
    Decode();
    // Stages 5, 6 and 13 share chip bank 34; 3 and 11 share 32.
    EXPECT_EQ(Stage(6).DestroyedChip16x16Table, Stage(5).DestroyedChip16x16Table);
    EXPECT_EQ(Stage(13).DestroyedChipPropertyTable, Stage(5).DestroyedChipPropertyTable);
    EXPECT_EQ(Stage(11).DestroyedChip16x16Table, Stage(3).DestroyedChip16x16Table);
    EXPECT_NE(Stage(4).DestroyedChip16x16Table, Stage(5).DestroyedChip16x16Table);

    Stage(6).ToggleChip16x16Set();
    Stage(6).Chip16x16Table()[G::ChipBreakable] = 0xEE;
    Stage(6).ChipPropertyTable()[G::ChipBreakable] = 0x33;
    Stage(13).ToggleChip16x16Set();
    EXPECT_EQ(Stage(13).Chip16x16Table()[G::ChipBreakable], 0xEE);
    EXPECT_EQ(Stage(5).DestroyedChipPropertyTable->at(G::ChipBreakable), 0x33);

    auto fromSix = Image;
    auto fromThirteen = Image;
    Stage(6).EncodeChip16x16Tables(fromSix);
    Stage(6).EncodeChipPropertyTables(fromSix);
    Stage(13).EncodeChip16x16Tables(fromThirteen);
    Stage(13).EncodeChipPropertyTables(fromThirteen);
    const auto destroyed = static_cast<std::size_t>(Address->DestroyedChip16x16TableAddress(6));
    EXPECT_EQ(fromSix[destroyed + G::ChipBreakable], 0xEE);
    // Same bytes for the shared set; the stages' own normal tables are elsewhere.
    EXPECT_TRUE(std::equal(fromSix.begin() + static_cast<std::ptrdiff_t>(destroyed),
                           fromSix.begin() + static_cast<std::ptrdiff_t>(destroyed) + 0x500,
                           fromThirteen.begin() + static_cast<std::ptrdiff_t>(destroyed)));

    // A reload of one stage returns the shared set to the cartridge's content for all.
    Stage(13).DecodeChip16x16Tables();
    Stage(13).DecodeChipPropertyTables();
    EXPECT_EQ(Stage(6).Chip16x16Table()[G::ChipBreakable], Image[destroyed + G::ChipBreakable]);
}

TEST_F(StageDataTest, TogglingTwiceReturnsToTheNormalSetUnchanged) {
    Decode();
    StageData& stage = Stage(1);
    const auto normal = stage.NormalChip16x16Table;
    EXPECT_EQ(&stage.Chip16x16Table(), &stage.NormalChip16x16Table);
    stage.ToggleChip16x16Set();
    EXPECT_EQ(stage.Chip16x16SetIndexValue(), 1);
    EXPECT_EQ(&stage.Chip16x16Table(), stage.DestroyedChip16x16Table.get());
    EXPECT_EQ(&stage.ChipPropertyTable(), stage.DestroyedChipPropertyTable.get());
    EXPECT_NE(stage.Chip16x16Table()[G::ChipBreakable], normal[G::ChipBreakable]);
    stage.ToggleChip16x16Set();
    EXPECT_EQ(stage.Chip16x16SetIndexValue(), 0);
    EXPECT_EQ(&stage.Chip16x16Table(), &stage.NormalChip16x16Table);
    EXPECT_EQ(stage.NormalChip16x16Table, normal);
}

TEST_F(StageDataTest, SortIsStableAndMovesNodesNotValues) {
    Decode();
    StageData& stage = Stage(2);
    const int page = 30;
    stage.ObjectsOfPage(page).clear();
    ObjectNode* firstThirty = stage.AddObject(page, 30, 1, 0x11);
    stage.AddObject(page, 10, 2, 0x12);
    ObjectNode* secondThirty = stage.AddObject(page, 30, 3, 0x13);
    ObjectNode* five = stage.AddObject(page, 5, 4, 0x14);
    stage.SortPageByX(page);

    EXPECT_EQ(Xs(2, page), (std::vector<int>{5, 10, 30, 30}));
    std::vector<int> ys;
    for (const ObjectNode& node : stage.ObjectsOfPage(page))
        ys.push_back(node.Y);
    EXPECT_EQ(ys, (std::vector<int>{4, 2, 1, 3}));
    // Pointers still name the same objects, now at their new places.
    EXPECT_EQ(firstThirty->Type, 0x11);
    EXPECT_EQ(five->Type, 0x14);
    const int before =
        stage.ObjectTotal() - stage.ObjectCountOfPage(page) - stage.ObjectCountOfPage(31);
    EXPECT_EQ(stage.ObjectIndexOf(five, page), before);
    EXPECT_EQ(stage.ObjectIndexOf(secondThirty, page), before + 3);
}

TEST_F(StageDataTest, ObjectListOperations) {
    Decode();
    StageData& stage = Stage(0);
    // The generator puts objects C0, 40, 80 into room 1 of stage 0, after nothing else there.
    ASSERT_GE(stage.ObjectCountOfPage(1), 3);
    EXPECT_EQ(Xs(0, 1).at(0), 0xC0);
    const int total = stage.ObjectTotal();
    const int onPageZero = stage.ObjectCountOfPage(0);

    ObjectNode* added = stage.AddObject(1, 0x20, 0x30, 0x44);
    EXPECT_EQ(stage.LastObjectOfPage(1), added);
    EXPECT_EQ(stage.ObjectTotal(), total + 1);
    EXPECT_EQ(stage.ObjectIndexOf(added, 1), onPageZero + stage.ObjectCountOfPage(1) - 1);
    EXPECT_EQ(stage.ObjectIndexOf(added, 2), -1);

    stage.RemoveObject(added, 2); // not in that list: nothing happens
    EXPECT_EQ(stage.ObjectTotal(), total + 1);
    stage.RemoveObject(added, 1);
    EXPECT_EQ(stage.ObjectTotal(), total);
    EXPECT_NE(stage.LastObjectOfPage(1), nullptr);
    EXPECT_EQ(stage.LastObjectOfPage(31), nullptr);
}

TEST_F(StageDataTest, FlattenWritesPageOrderAndTerminator) {
    Decode();
    StageData& stage = Stage(4);
    for (auto* page : {&stage.ObjectsOfPage(0), &stage.ObjectsOfPage(1)})
        page->clear();
    for (int page = 2; page < 32; ++page)
        stage.ObjectsOfPage(page).clear();
    stage.AddObject(9, 0x300, -1, 0x80); // low bytes are written
    stage.AddObject(2, 1, 2, 3);
    EXPECT_EQ(stage.FlattenObjects(),
              (std::vector<StageData::ObjectRow>{
                  {2, 1, 2, 3}, {9, 0x00, 0xFF, 0x80}, {0xFF, 0xFF, 0xFF, 0xFF}}));
}

TEST_F(StageDataTest, PackRewritesAllBlocksFromStageZeroAndKeepsItsPointer) {
    Decode();
    Stage(5).AddObject(31, 0xAB, 0xCD, 0x42);
    ASSERT_EQ(StageData::PackObjects(Stages, *Address, Image), Outcome::Success());

    EXPECT_EQ(Image[0x740CF], CartridgeGenerator::Stage0ObjectPointer & 0xFF);
    EXPECT_EQ(Image[0x740DF], CartridgeGenerator::Stage0ObjectPointer >> 8);
    // Decoding the packed image gives the edited objects back, stage by stage.
    const auto edited = [&] {
        std::vector<std::vector<StageData::ObjectRow>> rows;
        for (auto& stage : Stages)
            rows.push_back(stage->FlattenObjects());
        return rows;
    }();
    Decode();
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        EXPECT_EQ(Stage(s).FlattenObjects(), edited[static_cast<std::size_t>(s)]) << "stage " << s;
}

TEST_F(StageDataTest, PackRefusesWithoutWritingWhenBlocksLeaveTheBank) {
    // Stage 0's block starts 0x100 bytes before the end of the object bank.
    Image[0x740CF] = 0x00;
    Image[0x740DF] = 0x9F;
    Decode();
    const auto before = Image;
    EXPECT_EQ(StageData::PackObjects(Stages, *Address, Image), Outcome::Failure(DoNotFit));
    EXPECT_EQ(Image, before);

    // With only empty stages the 64 bytes of sixteen terminator rows fit.
    for (auto& stage : Stages)
        for (int page = 0; page < 32; ++page)
            stage->ObjectsOfPage(page).clear();
    EXPECT_EQ(StageData::PackObjects(Stages, *Address, Image), Outcome::Success());
    EXPECT_EQ(Image[0x740CF + 15] + 256 * Image[0x740DF + 15], 0x9F00 + 15 * 4);
}

// The limits the object editor keeps: 127 objects in a stage, 1657 in all stages.
TEST_F(StageDataTest, PackTakesUpTo127ObjectsAStageAnd1657InAllAndRefuses128) {
    struct Case {
        const char* Name;
        std::vector<int> Counts; // objects of stages 0, 1, ...; the rest hold none
        bool Packs;
    };
    std::vector<int> allowedTotal(13, 127); // 13 * 127 + 6 = 1657
    allowedTotal.push_back(6);
    const Case cases[] = {
        {"127 in one stage", {0, 0, 0, 0, 0, 0, 0, 0, 127}, true},
        {"128 in one stage", {0, 0, 0, 0, 0, 0, 0, 0, 128}, false},
        {"1657 in all", allowedTotal, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Image = GeneratedImage();
        Decode();
        const auto countOf = [&c](int s) {
            const auto at = static_cast<std::size_t>(s);
            return at < c.Counts.size() ? c.Counts[at] : 0;
        };
        for (int s = 0; s < LevelFormat::StageCount; ++s) {
            for (int page = 0; page < 32; ++page)
                Stage(s).ObjectsOfPage(page).clear();
            for (int i = 0; i < countOf(s); ++i)
                Stage(s).AddObject(i / 4, i, 255 - i, s);
        }
        const auto before = Image;
        if (!c.Packs) {
            EXPECT_EQ(StageData::PackObjects(Stages, *Address, Image),
                      Outcome::Failure("オブジェクトの数が多すぎるため、保存できませんでした"));
            EXPECT_EQ(Image, before);
            continue;
        }
        ASSERT_EQ(StageData::PackObjects(Stages, *Address, Image), Outcome::Success());
        Decode();
        for (int s = 0; s < LevelFormat::StageCount; ++s)
            EXPECT_EQ(Stage(s).ObjectTotal(), countOf(s)) << "stage " << s;
    }
}

TEST_F(StageDataTest, DecodersLeaveBlocksOutsideTheBufferAlone) {
    // Pointer tables in the last bank full of FF: object blocks and palette data would start
    // past the end; map bank FF lies past it too. No layout check stands in front here.
    Settings.WriteString("LevelDataAddress", "ObjectDataAddressLow", "7FFE0");
    Settings.WriteString("LevelDataAddress", "ObjectDataAddressHigh", "7FFF0");
    Settings.WriteString("LevelDataAddress", "PalettePointerAddressLow[0]", "7FFC0");
    Settings.WriteString("LevelDataAddress", "PalettePointerAddressHigh[0]", "7FFD0");
    std::fill(Image.end() - 0x50, Image.end(), std::uint8_t{0xFF});
    std::fill(Image.begin() + 0x7DF35, Image.begin() + 0x7DF45, std::uint8_t{0xFF});
    Decode();
    for (auto& stage : Stages) {
        EXPECT_EQ(stage->ObjectTotal(), 0);
        EXPECT_TRUE(std::all_of(stage->StagePalette.begin(), stage->StagePalette.begin() + 16,
                                [](std::uint8_t c) { return c == 0; }));
        EXPECT_TRUE(std::all_of(stage->MapSetTable.begin(), stage->MapSetTable.end(),
                                [](std::uint8_t c) { return c == 0; }));
        stage->MapSetTable[0] = 1;
        stage->EncodeMapSetTable(); // nothing to write to
    }
    EXPECT_EQ(StageData::PackObjects(Stages, *Address, Image), Outcome::Failure(DoNotFit));
}

} // namespace
