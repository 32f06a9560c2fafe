// The 16x16 chip tab, driven through the real window: presses on the tile table, the chip
// table and the edit panel, the radio groups, the PT write number, the chip-set switch and the
// reload button, down to the saved file. Expected pictures are decoded here from the cartridge
// bytes and coloured through the master palette, independently of the editor.
#include "MainFormFixture.h"
#include "TabTestSupport.h"
#include "ViewDriver.h"

#include "16x16chipedit/Chip16x16EditClass.h"
#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/ChipTypeCaptions.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/ViewSurface.h"
#include "romgen/CartridgeGenerator.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using G = CartridgeGenerator;

// Default "LevelDataAddress" offsets and the generator's layout behind them.
constexpr std::size_t PatternTableData = 0x6E010;
constexpr std::size_t ChipTypeTable = 0x7DB23;
constexpr std::size_t ChipBankOffset(int stage) {
    return static_cast<std::size_t>(G::ChipBank[static_cast<std::size_t>(stage)]) *
           LevelFormat::BankSize;
}
constexpr std::size_t NormalTiles(int stage) {
    return ChipBankOffset(stage) + G::Chip16x16Page[static_cast<std::size_t>(stage)] * 0x100u -
           LevelFormat::Bank8000Base;
}
constexpr std::size_t NormalAttributes(int stage) {
    return NormalTiles(stage) + 0x400;
}
constexpr std::size_t DestroyedTiles(int stage) {
    return ChipBankOffset(stage) + 0x1B10;
}
constexpr std::size_t DestroyedAttributes(int stage) {
    return ChipBankOffset(stage) + 0x1F10;
}

const std::string ReloadQuestion =
    "yesno:このステージのチップ・BGバンクを読み込み直します。よろしいですか？";

std::string Text(const QLabel* label) {
    return label->text().toStdString();
}

QImage Picture(const TImageEx* view) {
    return view->Surface()->Image();
}

std::uint32_t PanelColour(const QFrame* panel) {
    const QColor c = panel->palette().color(QPalette::Window);
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

// Every pixel of the size x size outline at (x, y) is in the frame colour.
bool FramedAt(const TImageEx* view, int x, int y, int size) {
    for (int i = 0; i < size; ++i) {
        for (const auto& [px, py] : {std::pair{x + i, y}, std::pair{x + i, y + size - 1},
                                     std::pair{x, y + i}, std::pair{x + size - 1, y + i}})
            if (ViewDriver::PixelOf(view, px, py) != Magenta)
                return false;
    }
    return true;
}

class Chip16x16Tab : public MainFormFixture {
protected:
    // A started window with image open on the 16x16 chip tab.
    void StartWithImage(std::vector<std::uint8_t> image = G::MakeImage(),
                        const std::string& settings = "") {
        WriteStartupFiles();
        if (!settings.empty())
            WriteTextFile(SettingsPath(), settings);
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        Image = std::move(image);
        ImagePath = Dir.File("stage.nes");
        WriteWholeFile(ImagePath, Image);
        OpenThroughMenu(QString::fromStdString(ImagePath));
        ASSERT_TRUE(Form->ImageHolder().HasStages());
        Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
        UseOwnTiles(0);
    }

    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    const EditFlagManagement& Tracker() { return Form->Tracker(); }
    void SelectStage(int stage) { Form->CBStage->setCurrentIndex(stage); }
    std::uint8_t TileOf(int chip, int quarter) {
        return Stage().Chip16x16Table()[static_cast<std::size_t>(quarter * 256 + chip)];
    }
    std::uint8_t AttributeOf(int chip) {
        return Stage().ChipPropertyTable()[static_cast<std::size_t>(chip)];
    }

    // The user's actions.
    void PickChip(int chip) {
        ViewDriver::Click(Form->ImgEdit16x16ChipView, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
    }
    void PickTile(int tile) {
        ViewDriver::Click(Form->ImgBGBankTable, Qt::LeftButton, (tile % 16) * 16 + 5,
                          (tile / 16) * 16 + 5);
    }
    void CycleTablePalette() { ViewDriver::Click(Form->ImgBGBankTable, Qt::RightButton, 100, 100); }
    void SetQuarter(int quarter) {
        ViewDriver::Click(Form->ImgEdit16x16Chip, Qt::LeftButton, (quarter % 2) * 32 + 10,
                          (quarter / 2) * 32 + 10);
    }

    // The colour of stage colour index i: palette set 0 through the master palette, or (for
    // the animation) whatever the engine holds now.
    std::uint32_t Master(int number) const {
        const auto at = [&](int k) {
            return std::uint32_t{MasterPalette[static_cast<std::size_t>(number * 3 + k)]};
        };
        return at(0) | at(1) << 8 | at(2) << 16;
    }
    std::uint32_t StageColour(int index) {
        if (UseEngineColours)
            return Form->Graphics().GetStageColor(index);
        return Master(Stage().StagePalette[static_cast<std::size_t>(index)] & 0x3F);
    }

    // Where the bytes of each tile of the first pattern table come from.
    void UseOwnTiles(int stage) {
        for (int t = 0; t < 256; ++t)
            Tiles[static_cast<std::size_t>(t)] =
                TileBlock(stage) + static_cast<std::size_t>(t) * 16;
    }
    int TileColour(std::size_t tileOffset, int x, int y) const {
        return TilePixel(Image, tileOffset, x, y);
    }

    // Pixels that differ from the tile at tileOffset drawn in subPalette, enlarged scale times,
    // with its top-left corner at (left, top) of the view.
    int TileMismatches(const TImageEx* view, int left, int top, int scale, std::size_t tileOffset,
                       int subPalette) {
        int wrong = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const std::uint32_t expected =
                    StageColour(subPalette * 4 + TileColour(tileOffset, x, y));
                for (int sy = 0; sy < scale; ++sy)
                    for (int sx = 0; sx < scale; ++sx)
                        if (ViewDriver::PixelOf(view, left + x * scale + sx,
                                                top + y * scale + sy) != expected)
                            ++wrong;
            }
        return wrong;
    }
    int ChipMismatches(const TImageEx* view, int left, int top, int scale, int chip) {
        int wrong = 0;
        for (int q = 0; q < 4; ++q)
            wrong += TileMismatches(view, left + (q % 2) * 8 * scale, top + (q / 2) * 8 * scale,
                                    scale, Tiles[TileOf(chip, q)], AttributeOf(chip) & 3);
        return wrong;
    }
    int ChipViewMismatches(int chip) {
        return ChipMismatches(Form->ImgEdit16x16ChipView, (chip % 16) * 16, (chip / 16) * 16, 1,
                              chip);
    }
    int AllChipsMismatches() {
        int wrong = 0;
        for (int chip = 0; chip < 256; ++chip)
            wrong += ChipViewMismatches(chip);
        return wrong;
    }
    int EditChipMismatches(int chip) {
        return ChipMismatches(Form->ImgEdit16x16Chip, 0, 0, 4, chip);
    }
    int TableTileMismatches(int tile, int subPalette) {
        return TileMismatches(Form->ImgBGBankTable, (tile % 16) * 16, (tile / 16) * 16, 2,
                              Tiles[static_cast<std::size_t>(tile)], subPalette);
    }
    int TileTableMismatches(int subPalette) {
        int wrong = 0;
        for (int tile = 0; tile < 256; ++tile)
            wrong += TableTileMismatches(tile, subPalette);
        return wrong;
    }
    int SelectedTileMismatches(int tile, int subPalette) {
        return TileMismatches(Form->ImgSelectTile, 0, 0, 4, Tiles[static_cast<std::size_t>(tile)],
                              subPalette);
    }

    std::string ItemText(int i) { return Form->RGChipPropertySelect->ItemText(i).toStdString(); }

    std::vector<std::uint8_t> Image;
    std::string ImagePath;
    std::array<std::size_t, 256> Tiles{};
    std::array<std::uint8_t, 192> MasterPalette = G::MakeMasterPalette();
    bool UseEngineColours = false;
};

// ---- Loading a stage ----

TEST_F(Chip16x16Tab, OpeningShowsStageZeroInEveryView) {
    StartWithImage();
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(Form->Graphics().GetStageColor(i), StageColour(i)) << "stage colour " << i;

    EXPECT_EQ(Text(Form->LblSelectChipIndex), "00");
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "00");
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "00");
    EXPECT_EQ(Text(Form->LblSelectScrollIndex), "00");
    for (QLabel* label : Form->LblSelectChipTile)
        EXPECT_EQ(Text(label), "00");
    EXPECT_EQ(Form->ScrBarSelectScrollIndex->value(), 0);
    EXPECT_EQ(Form->RGChipPropertySelect->ItemIndex(), 0);
    EXPECT_EQ(Form->RGPaletteSelect->ItemIndex(), 0);
    EXPECT_EQ(Form->BtnSwitch16X16ChipSet->text().toStdString(), "破壊後に切替");

    // The captions come from the stage's chip type row (row 0 for stage 0).
    EXPECT_EQ(ItemText(0), "0x 00 背景");
    EXPECT_EQ(ItemText(6), "6x 0B P.Kで破壊");
    const auto codes = G::ChipTypeRow(0);
    for (int i = 0; i < 16; ++i) {
        const std::string& caption = ChipTypeCaptions::Of(codes[static_cast<std::size_t>(i)]);
        EXPECT_EQ(Form->ImageHolder().PropertyCaptions()[static_cast<std::size_t>(i)], caption);
        EXPECT_EQ(ItemText(i), QString::number(i, 16).toUpper().toStdString() + "x " + caption);
    }

    // The stage's own pattern entry has count 0: all 256 tiles, tile FF included.
    EXPECT_EQ(TileTableMismatches(0), 0);
    EXPECT_EQ(AllChipsMismatches(), 0);
    EXPECT_EQ(EditChipMismatches(0), 0);
    EXPECT_EQ(SelectedTileMismatches(0, 0), 0);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(PanelColour(Form->PanelPaletteColor[static_cast<std::size_t>(i)]), StageColour(i))
            << "panel " << i;
    EXPECT_FALSE(Tracker().IsModified());
}

TEST_F(Chip16x16Tab, PatternEntryWithCountZeroCopies256Tiles) {
    auto image = G::MakeImage();
    // Entry F0: 256 tiles of the alternative block 10 over the whole first table.
    const std::array<std::uint8_t, 4> entry = {0x00, 0x00, 0x00, 0x10};
    std::copy(entry.begin(), entry.end(), image.begin() + PatternTableData + 4 * 0xF0);
    StartWithImage(image);
    Form->ScrBarSelectScrollIndex->setValue(0xF0);
    EXPECT_EQ(Text(Form->LblSelectScrollIndex), "F0");
    for (int t = 0; t < 256; ++t)
        Tiles[static_cast<std::size_t>(t)] = TileBlock(0x10) + static_cast<std::size_t>(t) * 16;
    EXPECT_EQ(TileTableMismatches(0), 0);
    EXPECT_EQ(AllChipsMismatches(), 0);
}

TEST_F(Chip16x16Tab, PtWriteNumberLaysItsEntryOverTheStageTiles) {
    StartWithImage();
    PickChip(G::ChipBackground + 0x13); // chip 14: tiles 40..43, which the entry replaces
    PickTile(0x41);
    CycleTablePalette();

    // Entry 10 copies 16 tiles of block 10 to tiles 40..4F.
    Form->ScrBarSelectScrollIndex->setValue(0x10);
    EXPECT_EQ(Text(Form->LblSelectScrollIndex), "10");
    for (int i = 0; i < 16; ++i)
        Tiles[static_cast<std::size_t>(0x40 + i)] =
            TileBlock(0x10) + static_cast<std::size_t>(i) * 16;
    EXPECT_EQ(TileTableMismatches(1), 0);
    EXPECT_EQ(AllChipsMismatches(), 0);
    EXPECT_EQ(EditChipMismatches(0x14), 0);
    EXPECT_EQ(SelectedTileMismatches(0x41, 1), 0);
    // The same stage: selections and the table palette stay.
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "14");
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "41");
    EXPECT_EQ(Form->Chip16x16Edit->CurrentBankTablePalette(), 1);

    // Back on the stage's own number only its own entry applies.
    Form->ScrBarSelectScrollIndex->setValue(0);
    UseOwnTiles(0);
    EXPECT_EQ(TileTableMismatches(1), 0);
    EXPECT_EQ(AllChipsMismatches(), 0);
    EXPECT_FALSE(Tracker().IsModified());
}

TEST_F(Chip16x16Tab, PatternCopiesStopAtTheEndOfEitherBuffer) {
    auto image = G::MakeImage();
    // The last 16 bytes of the image: one recognisable tile.
    for (std::size_t i = 0; i < 8; ++i) {
        image[image.size() - 16 + i] = 0xF0;
        image[image.size() - 8 + i] = 0x3C;
    }
    const std::array<std::array<std::uint8_t, 4>, 2> entries = {{
        {0x00, 0xF0, 0xFF, 0x7F}, // F1: the source runs past the end of the image
        {0x00, 0xF0, 0x00, 0xFF}, // F2: second table, the destination runs past its end
    }};
    for (std::size_t e = 0; e < entries.size(); ++e)
        std::copy(entries[e].begin(), entries[e].end(),
                  image.begin() + PatternTableData + 4 * (0xF1 + e));
    StartWithImage(image);

    Form->ScrBarSelectScrollIndex->setValue(0xF1);
    Tiles[0xF0] = image.size() - 16;
    EXPECT_EQ(TileTableMismatches(0), 0);

    Form->ScrBarSelectScrollIndex->setValue(0xF2);
    UseOwnTiles(0);
    EXPECT_EQ(TileTableMismatches(0), 0);
    const auto tables = Form->Chip16x16Edit->PatternTables();
    ASSERT_EQ(tables.size(), 8192u);
    // Tiles F0..FF of the second table got tiles 0..F of block 7F; the rest was cut.
    for (std::size_t i = 0; i < 256; ++i)
        ASSERT_EQ(tables[4096 + 0xF00 + i], image[TileBlock(0x7F) + i]) << i;
}

TEST_F(Chip16x16Tab, StageChangeResetsSelectionsPtNumberAndTablePalette) {
    StartWithImage();
    PickChip(G::ChipBrick);
    PickTile(0x07);
    CycleTablePalette();
    CycleTablePalette();
    Form->ScrBarSelectScrollIndex->setValue(0x14);

    SelectStage(3);
    EXPECT_EQ(Form->ScrBarSelectScrollIndex->value(), 3);
    EXPECT_EQ(Text(Form->LblSelectScrollIndex), "03");
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "00");
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "00");
    UseOwnTiles(3);
    EXPECT_EQ(TileTableMismatches(0), 0);
    EXPECT_EQ(SelectedTileMismatches(0, 0), 0);
    EXPECT_EQ(AllChipsMismatches(), 0);
    // Stage 3 uses chip type row 3.
    EXPECT_EQ(ItemText(8), "8x 1F W3カプセル床？");
    EXPECT_EQ(ItemText(14), "Ex 1B P.Kで破壊(細)");
    EXPECT_EQ(Form->ImageHolder().PropertyCaptions()[14], "1B P.Kで破壊(細)");
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(PanelColour(Form->PanelPaletteColor[static_cast<std::size_t>(i)]),
                  StageColour(i));
}

TEST_F(Chip16x16Tab, InvalidChipTypeCodesReadAsInvalidHereAndOnThe32x32Tab) {
    auto image = G::MakeImage();
    // Row 0 (stage 0): type 3 gets code 40, type 4 the first invalid code 20, type 5 code 1F.
    image[ChipTypeTable + 3] = 0x40;
    image[ChipTypeTable + 4] = 0x20;
    image[ChipTypeTable + 5] = 0x1F;
    StartWithImage(image);
    EXPECT_EQ(ItemText(3), "3x XX 不正な値");
    EXPECT_EQ(ItemText(4), "4x XX 不正な値");
    EXPECT_EQ(ItemText(5), "5x 1F W3カプセル床？");
    EXPECT_EQ(Form->ImageHolder().PropertyCaptions()[3], "XX 不正な値");

    // The ladder chip has attribute type 3.
    ASSERT_EQ(AttributeOf(G::ChipLadder) >> 4, 3);
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    ViewDriver::Click(Form->Img16x16ChipTable, Qt::LeftButton, G::ChipLadder * 16 + 4, 4);
    EXPECT_EQ(Text(Form->LblSelect16x16ChipProperty), "XX 不正な値");
}

// ---- Presses on the views ----

TEST_F(Chip16x16Tab, ChipTablePressesSelectTheChipOrTheTileOfAQuarter) {
    StartWithImage();
    PickChip(G::ChipIce); // tiles 38..3B, attribute 87
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "0C");
    EXPECT_EQ(Text(Form->LblSelectChipTile[0]), "38");
    EXPECT_EQ(Text(Form->LblSelectChipTile[1]), "39");
    EXPECT_EQ(Text(Form->LblSelectChipTile[2]), "3A");
    EXPECT_EQ(Text(Form->LblSelectChipTile[3]), "3B");
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "87");
    EXPECT_EQ(Form->RGChipPropertySelect->ItemIndex(), 8);
    EXPECT_EQ(Form->RGPaletteSelect->ItemIndex(), 3);
    EXPECT_EQ(EditChipMismatches(G::ChipIce), 0);

    // A right press takes the tile of the quarter under the pointer, of any chip.
    struct Case {
        int X, Y;
        const char* Tile;
    };
    const int left = G::ChipConveyorRight * 16; // tiles 31 30 / 33 32
    for (const Case& c : {Case{left + 2, 3, "31"}, Case{left + 12, 1, "30"},
                          Case{left + 7, 8, "33"}, Case{left + 15, 15, "32"}}) {
        ViewDriver::Click(Form->ImgEdit16x16ChipView, Qt::RightButton, c.X, c.Y);
        EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), c.Tile);
        EXPECT_EQ(SelectedTileMismatches(std::stoi(c.Tile, nullptr, 16), 0), 0);
    }
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "0C");

    // A right press on the edit panel takes the tile of its quarter.
    ViewDriver::Click(Form->ImgEdit16x16Chip, Qt::RightButton, 40, 50);
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "3B");

    // Middle presses do nothing anywhere.
    const QImage table = Picture(Form->ImgBGBankTable);
    for (TImageEx* view :
         {Form->ImgBGBankTable, Form->ImgEdit16x16ChipView, Form->ImgEdit16x16Chip})
        ViewDriver::Click(view, Qt::MiddleButton, 20, 20);
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "0C");
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "3B");
    EXPECT_EQ(TileOf(G::ChipIce, 0), 0x38);
    EXPECT_EQ(Picture(Form->ImgBGBankTable), table);
    EXPECT_FALSE(Tracker().IsModified());
}

TEST_F(Chip16x16Tab, LeftPressOnTheEditPanelSetsTheQuarterAndMarksTheStage) {
    StartWithImage();
    PickChip(G::ChipWindow); // tiles 08..0B, sub-palette 1
    PickTile(0x20);
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "20");
    EXPECT_EQ(SelectedTileMismatches(0x20, 0), 0);
    ViewDriver::Move(Form->ImgEdit16x16Chip, 40, 10);
    SetQuarter(1);
    EXPECT_EQ(TileOf(G::ChipWindow, 1), 0x20);
    EXPECT_EQ(Text(Form->LblSelectChipTile[1]), "20");
    EXPECT_EQ(ChipViewMismatches(G::ChipWindow), 0);
    // The panel shows the new tile, with the hover frame drawn again over quarter 1.
    EXPECT_TRUE(FramedAt(Form->ImgEdit16x16Chip, 32, 0, 32));
    EXPECT_EQ(TileMismatches(Form->ImgEdit16x16Chip, 0, 32, 4, Tiles[TileOf(G::ChipWindow, 2)], 1),
              0);
    EXPECT_EQ(TileMismatches(Form->ImgEdit16x16Chip, 32, 32, 4, Tiles[TileOf(G::ChipWindow, 3)], 1),
              0);
    EXPECT_TRUE(Tracker().IsChip16x16Modified(0));
    EXPECT_TRUE(Tracker().IsModified());
    EXPECT_EQ(Text(Form->StatusPanels[0]), "変更あり");
    for (int s = 1; s < LevelFormat::StageCount; ++s)
        EXPECT_FALSE(Tracker().IsChip16x16Modified(s)) << s;
    // Leaving the panel removes the frame.
    ViewDriver::Leave(Form->ImgEdit16x16Chip);
    EXPECT_EQ(EditChipMismatches(G::ChipWindow), 0);
}

TEST_F(Chip16x16Tab, WritingTheStoredValueIsNoChange) {
    StartWithImage();
    PickChip(G::ChipIce); // attribute 87
    const std::vector<std::pair<const char*, std::function<void()>>> actions = {
        {"quarter to its own tile",
         [&] {
             ViewDriver::Click(Form->ImgEdit16x16Chip, Qt::RightButton, 10, 40); // takes tile 3A
             SetQuarter(2);
         }},
        {"attribute type in effect", [&] { Form->RGChipPropertySelect->Item(8)->click(); }},
        {"sub-palette in effect", [&] { Form->RGPaletteSelect->Item(3)->click(); }},
        {"another chip's radio states", [&] { PickChip(G::ChipSpikes); }},
    };
    const auto tiles = Stage().Chip16x16Table();
    const auto attributes = Stage().ChipPropertyTable();
    const QImage chips = Picture(Form->ImgEdit16x16ChipView);
    for (const auto& [name, action] : actions) {
        SCOPED_TRACE(name);
        action();
        EXPECT_FALSE(Tracker().IsModified());
        EXPECT_EQ(Stage().Chip16x16Table(), tiles);
        EXPECT_EQ(Stage().ChipPropertyTable(), attributes);
        EXPECT_EQ(Picture(Form->ImgEdit16x16ChipView), chips);
    }
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "43");
    EXPECT_EQ(Form->RGChipPropertySelect->ItemIndex(), 4);
    EXPECT_EQ(Form->RGPaletteSelect->ItemIndex(), 3);
}

TEST_F(Chip16x16Tab, AttributeTypeChangesTheHighBitsAndSubPaletteTheLowBits) {
    auto image = G::MakeImage();
    image[NormalAttributes(0) + G::ChipIce] = 0x35;
    StartWithImage(image);
    PickChip(G::ChipIce);
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "35");
    const QImage chips = Picture(Form->ImgEdit16x16ChipView);

    Form->RGChipPropertySelect->Item(2)->click();
    EXPECT_EQ(AttributeOf(G::ChipIce), 0x25);
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "25");
    EXPECT_TRUE(Tracker().IsChip16x16Modified(0));
    EXPECT_EQ(Picture(Form->ImgEdit16x16ChipView), chips); // the type does not show

    Form->RGPaletteSelect->Item(2)->click();
    EXPECT_EQ(AttributeOf(G::ChipIce), 0x26);
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "26");
    EXPECT_EQ(ChipViewMismatches(G::ChipIce), 0);
    EXPECT_EQ(EditChipMismatches(G::ChipIce), 0);
    EXPECT_NE(Picture(Form->ImgEdit16x16ChipView), chips);
    // The item clicked keeps the keyboard focus.
    EXPECT_EQ(Form->focusWidget(), Form->RGPaletteSelect->Item(2));
    // The stored byte goes back to the file on save.
    Form->Save1Click();
    EXPECT_EQ(ReadWholeFile(ImagePath)[NormalAttributes(0) + G::ChipIce], 0x26);
}

TEST_F(Chip16x16Tab, RightPressesCycleOnlyTheTileTablesSubPalette) {
    StartWithImage();
    PickChip(G::ChipSpikes);
    PickTile(0x1A);
    const QImage chips = Picture(Form->ImgEdit16x16ChipView);
    const QImage edited = Picture(Form->ImgEdit16x16Chip);
    std::array<std::uint32_t, 16> panels{};
    for (std::size_t i = 0; i < 16; ++i)
        panels[i] = PanelColour(Form->PanelPaletteColor[i]);
    for (int expected : {1, 2, 3, 0}) {
        SCOPED_TRACE(expected);
        CycleTablePalette();
        EXPECT_EQ(TileTableMismatches(expected), 0);
        EXPECT_EQ(SelectedTileMismatches(0x1A, expected), 0);
        EXPECT_EQ(Picture(Form->ImgEdit16x16ChipView), chips);
        EXPECT_EQ(Picture(Form->ImgEdit16x16Chip), edited);
        for (std::size_t i = 0; i < 16; ++i)
            EXPECT_EQ(PanelColour(Form->PanelPaletteColor[i]), panels[i]);
    }
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "1A");
    EXPECT_FALSE(Tracker().IsModified());
}

// ---- Hover frames ----

TEST_F(Chip16x16Tab, HoverFramesFollowThePointerOnAllThreeViews) {
    StartWithImage();
    PickChip(G::ChipBrick);

    TImageEx* table = Form->ImgBGBankTable;
    ViewDriver::Move(table, 20, 5); // tile 01
    EXPECT_TRUE(FramedAt(table, 16, 0, 16));
    ViewDriver::Move(table, 30, 14); // still tile 01
    EXPECT_TRUE(FramedAt(table, 16, 0, 16));
    ViewDriver::Move(table, 40, 40); // tile 22
    EXPECT_TRUE(FramedAt(table, 32, 32, 16));
    EXPECT_EQ(TableTileMismatches(0x01, 0), 0);
    ViewDriver::Move(table, 300, 40); // a drag past the edge: no tile
    EXPECT_EQ(TableTileMismatches(0x22, 0), 0);
    ViewDriver::Move(table, 40, 40);
    ViewDriver::Leave(table);
    EXPECT_EQ(TileTableMismatches(0), 0);

    TImageEx* chips = Form->ImgEdit16x16ChipView;
    ViewDriver::Move(chips, 3 * 16 + 2, 2); // chip 03
    EXPECT_TRUE(FramedAt(chips, 48, 0, 16));
    ViewDriver::Move(chips, 20, 20); // chip 11
    EXPECT_TRUE(FramedAt(chips, 16, 16, 16));
    EXPECT_EQ(ChipViewMismatches(0x03), 0);
    ViewDriver::Leave(chips);
    EXPECT_EQ(AllChipsMismatches(), 0);

    TImageEx* panel = Form->ImgEdit16x16Chip;
    ViewDriver::Move(panel, 40, 10); // quarter 1
    EXPECT_TRUE(FramedAt(panel, 32, 0, 32));
    ViewDriver::Move(panel, 10, 40); // quarter 2
    EXPECT_TRUE(FramedAt(panel, 0, 32, 32));
    EXPECT_FALSE(FramedAt(panel, 32, 0, 32));
    ViewDriver::Leave(panel);
    EXPECT_EQ(EditChipMismatches(G::ChipBrick), 0);
}

// ---- Chip sets, reload and save ----

TEST_F(Chip16x16Tab, ChipSetSwitchMovesEveryStageTogether) {
    StartWithImage();
    PickChip(G::ChipBreakable); // normal tiles 28..2B, after destruction 2C..2F
    EXPECT_EQ(Text(Form->LblSelectChipTile[0]), "28");

    Form->BtnSwitch16X16ChipSet->click();
    EXPECT_EQ(Form->BtnSwitch16X16ChipSet->text().toStdString(), "破壊前に切替");
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        EXPECT_EQ(Form->ImageHolder().Stage(s).Chip16x16SetIndexValue(), 1) << s;
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "0A");
    EXPECT_EQ(Text(Form->LblSelectChipTile[0]), "2C");
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "01");
    EXPECT_EQ(AllChipsMismatches(), 0);
    EXPECT_EQ(EditChipMismatches(G::ChipBreakable), 0);

    // Another stage shows its after-destruction chips: the falling block is gone.
    SelectStage(7);
    UseOwnTiles(7);
    PickChip(G::ChipFalling);
    for (QLabel* label : Form->LblSelectChipTile)
        EXPECT_EQ(Text(label), "00");
    EXPECT_EQ(AllChipsMismatches(), 0);

    Form->BtnSwitch16X16ChipSet->click();
    EXPECT_EQ(Form->BtnSwitch16X16ChipSet->text().toStdString(), "破壊後に切替");
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        EXPECT_EQ(Form->ImageHolder().Stage(s).Chip16x16SetIndexValue(), 0) << s;
    EXPECT_EQ(Text(Form->LblSelectChipTile[0]), "14");
    EXPECT_EQ(AllChipsMismatches(), 0);
    EXPECT_FALSE(Tracker().IsModified());
}

TEST_F(Chip16x16Tab, ReloadAnsweredNoChangesNothing) {
    StartWithImage();
    PickChip(G::ChipWall);
    PickTile(0x55);
    SetQuarter(3);
    Prompts.YesNoAnswers.push_back(false);
    Form->Button1->click();
    EXPECT_EQ(Prompts.Log.back(), ReloadQuestion);
    EXPECT_EQ(TileOf(G::ChipWall, 3), 0x55);
    EXPECT_EQ(Text(Form->LblSelectChipTile[3]), "55");
    EXPECT_EQ(ChipViewMismatches(G::ChipWall), 0);
    EXPECT_TRUE(Tracker().IsChip16x16Modified(0));
}

TEST_F(Chip16x16Tab, ReloadAnsweredYesRestoresBothSetsAndKeepsTheSelections) {
    StartWithImage();
    PickChip(G::ChipWall);
    PickTile(0x55);
    SetQuarter(0);
    Form->RGChipPropertySelect->Item(9)->click();
    Form->BtnSwitch16X16ChipSet->click();
    SetQuarter(1);
    Form->RGPaletteSelect->Item(3)->click();
    Form->BtnSwitch16X16ChipSet->click();
    PickChip(G::ChipStone);
    PickTile(0x21);
    Form->ScrBarSelectScrollIndex->setValue(0x12);

    Prompts.YesNoAnswers.push_back(true);
    Form->Button1->click();
    EXPECT_EQ(Prompts.Log.back(), ReloadQuestion);
    const StageData& stage = Stage();
    EXPECT_TRUE(std::equal(stage.NormalChip16x16Table.begin(), stage.NormalChip16x16Table.end(),
                           Image.begin() + NormalTiles(0)));
    EXPECT_TRUE(std::equal(stage.NormalChipPropertyTable.begin(),
                           stage.NormalChipPropertyTable.end(),
                           Image.begin() + NormalAttributes(0)));
    EXPECT_TRUE(std::equal(stage.DestroyedChip16x16Table->begin(),
                           stage.DestroyedChip16x16Table->end(),
                           Image.begin() + DestroyedTiles(0)));
    EXPECT_TRUE(std::equal(stage.DestroyedChipPropertyTable->begin(),
                           stage.DestroyedChipPropertyTable->end(),
                           Image.begin() + DestroyedAttributes(0)));
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "05");
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "21");
    EXPECT_EQ(Form->ScrBarSelectScrollIndex->value(), 0x12);
    EXPECT_TRUE(Tracker().IsChip16x16Modified(0)); // the mark stays
}

TEST_F(Chip16x16Tab, SharedAfterDestructionSetIsEditedSeenAndSavedOnce) {
    // Stages 5, 6 and 13 share chip bank 34 and so one after-destruction set.
    StartWithImage();
    Form->BtnSwitch16X16ChipSet->click();
    SelectStage(5);
    UseOwnTiles(5);
    PickChip(G::ChipBreakable);
    PickTile(0x7E);
    SetQuarter(0);
    Form->RGPaletteSelect->Item(3)->click();
    EXPECT_TRUE(Tracker().IsChip16x16Modified(5));
    EXPECT_FALSE(Tracker().IsChip16x16Modified(6));
    EXPECT_FALSE(Tracker().IsChip16x16Modified(13));

    SelectStage(6);
    UseOwnTiles(6);
    PickChip(G::ChipBreakable);
    EXPECT_EQ(Text(Form->LblSelectChipTile[0]), "7E");
    EXPECT_EQ(Text(Form->LblSelectChipProperty), "03");
    EXPECT_EQ(ChipViewMismatches(G::ChipBreakable), 0);
    EXPECT_FALSE(Tracker().IsChip16x16Modified(6));

    SelectStage(13);
    UseOwnTiles(13);
    PickChip(G::ChipBreakable);
    PickTile(0x6D);
    SetQuarter(3);
    EXPECT_TRUE(Tracker().IsChip16x16Modified(13));

    // Both marked stages write the one shared set: the file gets both edits and nothing else.
    Form->Save1Click();
    EXPECT_FALSE(Tracker().IsModified());
    std::vector<std::uint8_t> expected = Image;
    expected[DestroyedTiles(5) + 0 * 256 + G::ChipBreakable] = 0x7E;
    expected[DestroyedTiles(5) + 3 * 256 + G::ChipBreakable] = 0x6D;
    expected[DestroyedAttributes(5) + G::ChipBreakable] =
        static_cast<std::uint8_t>((Image[DestroyedAttributes(5) + G::ChipBreakable] & 0xFC) | 3);
    const std::vector<std::uint8_t> saved = ReadWholeFile(ImagePath);
    ASSERT_EQ(saved.size(), expected.size());
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != expected[i])
            differing.push_back(i);
    EXPECT_EQ(differing, std::vector<std::size_t>{});
}

TEST_F(Chip16x16Tab, ReloadOnOneStageRestoresTheSharedSetForAll) {
    StartWithImage();
    Form->BtnSwitch16X16ChipSet->click();
    SelectStage(5);
    PickChip(G::ChipBreakable);
    PickTile(0x7E);
    SetQuarter(0);
    SelectStage(6);
    Prompts.YesNoAnswers.push_back(true);
    Form->Button1->click();
    PickChip(G::ChipBreakable);
    EXPECT_EQ(Text(Form->LblSelectChipTile[0]), "2C");
    EXPECT_EQ(Form->ImageHolder().Stage(5).Chip16x16Table()[G::ChipBreakable], 0x2C);
    EXPECT_TRUE(Tracker().IsChip16x16Modified(5)); // the mark of the edit stays
}

// ---- Colours: other tabs, tab activation and the animation ----

TEST_F(Chip16x16Tab, PaletteEditsShowOnActivationAndReachTheSharedSheet) {
    StartWithImage();
    PickChip(G::ChipWall);
    PickTile(0x30);
    SetQuarter(2);
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    Form->EditPal[1]->setText("30");
    ASSERT_EQ(Stage().StagePalette[1], 0x30);

    // The other tabs re-colour and re-render the shared sheet before they draw from it.
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    const PalettedImage& sheet = Form->Graphics().Chip16x16Sheet();
    EXPECT_EQ(sheet.GetColor(1), Master(0x30));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(sheet.PixelAt(G::ChipWall * 16 + x, 8 + y), TileColour(Tiles[0x30], x, y));

    Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
    EXPECT_EQ(PanelColour(Form->PanelPaletteColor[1]), Master(0x30));
    EXPECT_EQ(TileTableMismatches(0), 0);
    EXPECT_EQ(AllChipsMismatches(), 0);
    EXPECT_EQ(EditChipMismatches(G::ChipWall), 0);
    EXPECT_EQ(SelectedTileMismatches(0x30, 0), 0);
}

TEST_F(Chip16x16Tab, AnimationTickRecoloursEveryViewAndKeepsTheFrames) {
    const std::string settings = GeneratedAnimationSettings();
    StartWithImage(G::MakeImage(), settings);
    PickChip(G::ChipWindow); // sub-palette 1
    PickTile(0x09);
    CycleTablePalette();
    ViewDriver::Move(Form->ImgBGBankTable, 20, 5);
    ViewDriver::Move(Form->ImgEdit16x16ChipView, 20, 5);
    ViewDriver::Move(Form->ImgEdit16x16Chip, 40, 40);

    // Sub-palette 1 of palette set 0 runs animation 1.
    EditStage([](StageData& stage) { stage.AnimePalette[1] = 0x81; });
    ASSERT_TRUE(TickUntilStageColorChanges(5));
    UseEngineColours = true;
    EXPECT_EQ(TableTileMismatches(0x09, 1), 0);
    EXPECT_EQ(SelectedTileMismatches(0x09, 1), 0);
    EXPECT_EQ(ChipViewMismatches(G::ChipWindow), 0);
    EXPECT_EQ(TileMismatches(Form->ImgEdit16x16Chip, 0, 0, 4, Tiles[TileOf(G::ChipWindow, 0)], 1),
              0);
    for (int i = 4; i < 8; ++i)
        EXPECT_EQ(PanelColour(Form->PanelPaletteColor[static_cast<std::size_t>(i)]),
                  StageColour(i));
    EXPECT_TRUE(FramedAt(Form->ImgBGBankTable, 16, 0, 16));
    EXPECT_TRUE(FramedAt(Form->ImgEdit16x16ChipView, 16, 0, 16));
    EXPECT_TRUE(FramedAt(Form->ImgEdit16x16Chip, 32, 32, 32));
}

TEST_F(Chip16x16Tab, OpeningAnImageAtStageZeroResetsWhatTheLastImageLeft) {
    StartWithImage();
    PickChip(G::ChipBrick);
    PickTile(0x07);
    CycleTablePalette();
    Form->ScrBarSelectScrollIndex->setValue(0x14);

    // Stage 0 of the next image has other chip type captions.
    auto other = G::MakeImage();
    other[ChipTypeTable + 3] = 0x40;
    const std::string otherPath = Dir.File("other.nes");
    WriteWholeFile(otherPath, other);
    OpenThroughMenu(QString::fromStdString(otherPath));

    EXPECT_EQ(Form->ScrBarSelectScrollIndex->value(), 0);
    EXPECT_EQ(Text(Form->LblSelectScrollIndex), "00");
    EXPECT_EQ(Text(Form->LblSelectChipIndex), "00");
    EXPECT_EQ(Text(Form->LblSelectBGBankTileIndex), "00");
    EXPECT_EQ(Form->Chip16x16Edit->CurrentBankTablePalette(), 0);
    EXPECT_EQ(ItemText(3), "3x XX 不正な値");
    EXPECT_EQ(Form->ImageHolder().PropertyCaptions()[3], "XX 不正な値");
}

} // namespace
