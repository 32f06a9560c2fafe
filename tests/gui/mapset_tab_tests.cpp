// The map-set tab, driven through the real window: presses on the page views and the chip
// table, the scroll bars, the grid box and the reload button, down to the saved file.
#include "MainFormFixture.h"
#include "TabTestSupport.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "inifile/IniFile.h"
#include "mapsetedit/MapSetEditClass.h"
#include "romgen/CartridgeGenerator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include <array>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int Cell = 32;

// Default "LevelDataAddress" offsets of the per-stage map-set bytes.
constexpr std::size_t MapDataBankA000 = 0x7DF35;
constexpr std::size_t MapDataAddressLow = 0x7DF45;
constexpr std::size_t MapDataAddressHigh = 0x7DF55;

int CellX(int cell) {
    return (cell % 8) * Cell;
}
int CellY(int cell) {
    return (cell / 8) * Cell;
}

// A view's whole picture, for before/after comparisons.
std::vector<std::uint32_t> Picture(const TImageEx* view) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < view->height(); ++y)
        for (int x = 0; x < view->width(); ++x)
            pixels.push_back(ViewDriver::PixelOf(view, x, y));
    return pixels;
}

class MapSetTab : public MainFormFixture {
protected:
    // A started window with the generated image open and the map-set tab in front.
    void StartWithImage(const std::string& settings = "") {
        WriteStartupFiles();
        if (!settings.empty())
            WriteTextFile(SettingsPath(), settings);
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        ImagePath = WriteCartridge("stage.nes");
        OpenThroughMenu(ImagePath);
        ShowMapSetTab();
    }

    void ShowMapSetTab() { Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit); }
    void SelectStage(int stage) { Form->CBStage->setCurrentIndex(stage); }
    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    int CurrentStage() { return Form->ImageHolder().CurrentStage(); }
    TImageEx* PageView(int side) {
        return side == 0 ? Form->ImgEditMapSetPage0 : Form->ImgEditMapSetPage1;
    }
    std::uint8_t MapByte(int page, int cell) {
        return Stage().MapSetTable[static_cast<std::size_t>(page * 64 + cell)];
    }
    static std::string Text(const QLabel* label) { return label->text().toStdString(); }

    // The colours the current stage gives the sheet's pixel values 0-15: palette set 0 through
    // the master palette the window was started with.
    std::array<std::uint32_t, 16> StageColours() {
        const auto master = CartridgeGenerator::MakeMasterPalette();
        std::array<std::uint32_t, 16> colours{};
        for (std::size_t i = 0; i < colours.size(); ++i) {
            const std::size_t number = (Stage().StagePalette[i] & 0x3F) * 3U;
            colours[i] = std::uint32_t{master[number]} | std::uint32_t{master[number + 1]} << 8 |
                         std::uint32_t{master[number + 2]} << 16;
        }
        return colours;
    }
    // Stage colour index (0-15) of pixel (x, y) of 32x32 chip n of the current stage.
    int ChipColourIndex(int chip, int x, int y) {
        return Chip32x32ColourIndex(Stage(), CurrentStage(), Cartridge, chip, x, y);
    }
    std::uint32_t ChipPixel(int chip, int x, int y, const std::array<std::uint32_t, 16>& colours) {
        return colours.at(static_cast<std::size_t>(ChipColourIndex(chip, x, y)));
    }
    std::uint32_t ChipPixel(int chip, int x, int y) {
        return ChipPixel(chip, x, y, StageColours());
    }

    // Pixels of the view's rectangle that do not show chip n at the given enlargement
    // (scale 1: a map cell, 2: the enlarged chip). inset skips a border of that many pixels.
    int Mismatches(const TImageEx* view, int left, int top, int chip, int scale = 1,
                   int inset = 0) {
        const auto colours = StageColours();
        int wrong = 0;
        const int size = Cell * scale;
        for (int y = inset; y < size - inset; ++y)
            for (int x = inset; x < size - inset; ++x)
                if (ViewDriver::PixelOf(view, left + x, top + y) !=
                    ChipPixel(chip, x / scale, y / scale, colours))
                    ++wrong;
        return wrong;
    }
    int CellMismatches(int side, int cell, int chip, int inset = 0) {
        return Mismatches(PageView(side), CellX(cell), CellY(cell), chip, 1, inset);
    }
    // Cells of a page view that do not show the given page of the current stage.
    std::vector<int> CellsNotShowing(int side, int page) {
        std::vector<int> wrong;
        for (int cell = 0; cell < 64; ++cell)
            if (CellMismatches(side, cell, MapByte(page, cell)) != 0)
                wrong.push_back(cell);
        return wrong;
    }
    bool FramedAt(const TImageEx* view, int left, int top, int size) {
        const int last = size - 1;
        for (int i = 0; i < size; ++i) {
            const std::array<std::pair<int, int>, 4> edges = {
                {{i, 0}, {i, last}, {0, i}, {last, i}}};
            for (const auto& [x, y] : edges)
                if (ViewDriver::PixelOf(view, left + x, top + y) != Magenta)
                    return false;
        }
        return true;
    }
    // A cell of the page whose chip differs from chip.
    int CellNotHolding(int page, int chip) {
        for (int cell = 0; cell < 64; ++cell)
            if (MapByte(page, cell) != chip)
                return cell;
        ADD_FAILURE() << "page " << page << " holds only chip " << chip;
        return 0;
    }
    void ClickChipInTable(int chip, Qt::MouseButton button = Qt::LeftButton) {
        ViewDriver::Click(Form->Img32x32ChipTable, button, (chip % 16) * 16 + 7,
                          (chip / 16) * 16 + 7);
    }
    void PressCell(int side, int cell, Qt::MouseButton button,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ViewDriver::Move(PageView(side), CellX(cell) + 10, CellY(cell) + 10);
        ViewDriver::Click(PageView(side), button, CellX(cell) + 10, CellY(cell) + 10, modifiers);
    }
    void ExpectPlaceChipPanel(int chip) {
        EXPECT_EQ(Text(Form->LblMapSetSelect32x32ChipIndex), Hex2(chip));
        EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), chip);
        const auto& captions = Form->ImageHolder().PropertyCaptions();
        for (std::size_t q = 0; q < 4; ++q) {
            const int chip16 = Stage().Chip32x32Table[static_cast<std::size_t>(chip) * 4 + q];
            EXPECT_EQ(Text(Form->LblMapSetStructChipIndex[q]), Hex2(chip16)) << q;
            EXPECT_EQ(Text(Form->LblMapSetStructChipProperty[q]),
                      captions[Stage().ChipPropertyTable()[static_cast<std::size_t>(chip16)] >> 4])
                << q;
        }
        EXPECT_EQ(Mismatches(Form->ImgSelect32x32Chip, 0, 0, chip, 2), 0);
    }
    void ExpectPages(int page0, int page1) {
        EXPECT_EQ(Text(Form->LblMapSetPage0), Hex2(page0));
        EXPECT_EQ(Text(Form->LblMapSetPage1), Hex2(page1));
        EXPECT_EQ(Form->MapSetEdit->PageIndex(0), page0);
        EXPECT_EQ(Form->MapSetEdit->PageIndex(1), page1);
        EXPECT_EQ(CellsNotShowing(0, page0), std::vector<int>{});
        EXPECT_EQ(CellsNotShowing(1, page1), std::vector<int>{});
    }
    bool AnyMapSetModified() {
        for (int s = 0; s < LevelFormat::StageCount; ++s)
            if (Form->Tracker().IsMapSetModified(s))
                return true;
        return false;
    }

    QString ImagePath;
    // The bytes every test opens (WriteCartridge writes the same).
    const std::vector<std::uint8_t> Cartridge = CartridgeGenerator::MakeImage();
};

// ---- Loading and the panel ----

TEST_F(MapSetTab, LoadShowsPagesZeroAndOneAndChipZeroToPlace) {
    StartWithImage();
    SelectStage(4);
    ExpectPages(0, 1);
    ExpectPlaceChipPanel(0);
    EXPECT_EQ(Form->ScrBarMapSet->value(), 0);
    EXPECT_EQ(Form->ScrBarSelectPage0->value(), 0);
    EXPECT_EQ(Form->ScrBarSelectPage1->value(), 1);
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "");
}

TEST_F(MapSetTab, ChipTableShowsTheSheetAtHalfSize) {
    StartWithImage();
    // Whatever the reduction, each table pixel comes from its 2x2 block of the chip.
    const auto c = StageColours();
    int wrong = 0;
    for (int chip : {0x00, 0x05, 0x12, 0x1F, 0x80, 0xFF}) {
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const std::set<std::uint32_t> block = {
                    ChipPixel(chip, 2 * x, 2 * y, c), ChipPixel(chip, 2 * x + 1, 2 * y, c),
                    ChipPixel(chip, 2 * x, 2 * y + 1, c), ChipPixel(chip, 2 * x + 1, 2 * y + 1, c)};
                if (!block.contains(ViewDriver::PixelOf(
                        Form->Img32x32ChipTable, (chip % 16) * 16 + x, (chip / 16) * 16 + y)))
                    ++wrong;
            }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(MapSetTab, OnlyALeftPressOnTheChipTablePicksTheChipToPlace) {
    StartWithImage();
    ClickChipInTable(0x12, Qt::RightButton);
    ClickChipInTable(0x12, Qt::MiddleButton);
    EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), 0);
    EXPECT_EQ(Text(Form->LblMapSetSelect32x32ChipIndex), "00");
    ClickChipInTable(0x12);
    ExpectPlaceChipPanel(0x12);
    ClickChipInTable(0x07, Qt::LeftButton);
    ExpectPlaceChipPanel(0x07);
    EXPECT_FALSE(Form->Tracker().IsModified());
}

// ---- Pages and scroll bars ----

struct ScrollCase {
    const char* Name;
    int Start; // ScrBarMapSet position before the sides are set
    int Page0; // through ScrBarSelectPage0 first; -1: untouched
    int Page1; // through ScrBarSelectPage1 first; -1: untouched
    int Position;
    int Shown0;
    int Shown1;
};

void PrintTo(const ScrollCase& c, std::ostream* os) {
    *os << c.Name;
}

class MapSetScroll : public MapSetTab, public testing::WithParamInterface<ScrollCase> {};

TEST_P(MapSetScroll, BothPagesBarKeepsTheDistanceAndClamps) {
    const ScrollCase& c = GetParam();
    StartWithImage();
    SelectStage(5);
    Form->ScrBarMapSet->setValue(c.Start);
    if (c.Page0 >= 0)
        Form->ScrBarSelectPage0->setValue(c.Page0);
    if (c.Page1 >= 0)
        Form->ScrBarSelectPage1->setValue(c.Page1);
    // The sides' own bars leave the shared bar where it was.
    EXPECT_EQ(Form->ScrBarMapSet->value(), c.Start);
    Form->ScrBarMapSet->setValue(c.Position);
    ExpectPages(c.Shown0, c.Shown1);
    EXPECT_EQ(Form->ScrBarSelectPage0->value(), c.Shown0);
    EXPECT_EQ(Form->ScrBarSelectPage1->value(), c.Shown1);
    EXPECT_EQ(Form->ScrBarMapSet->value(), c.Position);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapSetScroll,
    testing::Values(ScrollCase{"ToTheEnd", 0, -1, -1, 30, 0x1E, 0x1F},
                    ScrollCase{"Side1HeldAtTheLastPage", 0, -1, 0x1F, 5, 0x05, 0x1F},
                    ScrollCase{"SidesInEitherOrder", 0, 0x10, 0x01, 2, 0x02, 0x01},
                    ScrollCase{"Side1NeverBelowPage1", 4, 0x06, 0x00, 0, 0x00, 0x01},
                    ScrollCase{"BackToTheStart", 10, 0x14, 0x1A, 0, 0x00, 0x06},
                    ScrollCase{"SidesApartKeepTheirDistance", 0, 0x03, 0x0A, 7, 0x07, 0x0E}),
    [](const testing::TestParamInfo<ScrollCase>& param) { return std::string(param.param.Name); });

TEST_F(MapSetTab, EachSideBarMovesOnlyItsSideAndBothMayShowOnePage) {
    StartWithImage();
    Form->ScrBarSelectPage1->setValue(0);
    ExpectPages(0, 0);
    Form->ScrBarSelectPage0->setValue(0x1F);
    ExpectPages(0x1F, 0);
    EXPECT_EQ(Form->ScrBarMapSet->value(), 0);
}

// ---- Placing and picking ----

TEST_F(MapSetTab, LeftPressPlacesTheChipAndMarksTheStagesMapSet) {
    StartWithImage();
    SelectStage(2);
    Form->ScrBarSelectPage1->setValue(7);
    ClickChipInTable(0x12);
    const int cell = CellNotHolding(7, 0x12);
    PressCell(1, cell, Qt::LeftButton);
    EXPECT_EQ(MapByte(7, cell), 0x12);
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(2));
    EXPECT_TRUE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "変更あり");
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        if (s != 2) {
            EXPECT_FALSE(Form->Tracker().IsMapSetModified(s)) << s;
        }
    }
    // The new chip shows, with the hover frame drawn over it again.
    EXPECT_EQ(CellMismatches(1, cell, 0x12, 1), 0);
    EXPECT_TRUE(FramedAt(PageView(1), CellX(cell), CellY(cell), Cell));
    ViewDriver::Leave(PageView(1));
    EXPECT_EQ(CellsNotShowing(1, 7), std::vector<int>{});
    EXPECT_EQ(CellsNotShowing(0, 0), std::vector<int>{});
}

TEST_F(MapSetTab, PlacingTheChipACellHoldsMarksNothing) {
    StartWithImage();
    SelectStage(1);
    const int cell = 8 * 7 + 3; // the floor
    const int chip = MapByte(0, cell);
    PressCell(0, cell, Qt::RightButton);
    ExpectPlaceChipPanel(chip);
    PressCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(MapByte(0, cell), chip);
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "");
}

TEST_F(MapSetTab, RightPressPicksTheChipOfTheCellOnEitherSide) {
    StartWithImage();
    SelectStage(6);
    Form->ScrBarSelectPage1->setValue(0x0C);
    const std::array<std::tuple<int, int, int>, 3> presses = {
        {{1, 0x0C, 8 * 3 + 2}, {0, 0, 0}, {1, 0x0C, 63}}}; // side, page, cell
    for (const auto& [side, page, cell] : presses) {
        PressCell(side, cell, Qt::RightButton);
        ExpectPlaceChipPanel(MapByte(page, cell));
    }
    // Shift changes nothing on this tab.
    PressCell(0, 8 * 7 + 4, Qt::RightButton, Qt::ShiftModifier);
    ExpectPlaceChipPanel(MapByte(0, 8 * 7 + 4));
    PressCell(1, 9, Qt::MiddleButton);
    ExpectPlaceChipPanel(MapByte(0, 8 * 7 + 4));
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(MapSetTab, PlacementOnAPageBothSidesShowUpdatesBoth) {
    StartWithImage();
    Form->ScrBarSelectPage1->setValue(0);
    ClickChipInTable(0x0D);
    const int cell = CellNotHolding(0, 0x0D);
    PressCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(CellMismatches(1, cell, 0x0D), 0);
}

// ---- Copying pages ----

TEST_F(MapSetTab, CtrlRightCopiesAPageAndCtrlLeftPastesIt) {
    StartWithImage();
    SelectStage(9);
    Form->ScrBarSelectPage0->setValue(0x11);
    std::array<std::uint8_t, 64> source{};
    for (int cell = 0; cell < 64; ++cell)
        source[static_cast<std::size_t>(cell)] = MapByte(0x11, cell);
    PressCell(0, 20, Qt::RightButton, Qt::ControlModifier);
    EXPECT_FALSE(Form->Tracker().IsModified()); // copying changes nothing
    ExpectPlaceChipPanel(0);                    // and picks nothing
    ViewDriver::Leave(PageView(0));
    PressCell(1, 5, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier);
    for (int cell = 0; cell < 64; ++cell)
        EXPECT_EQ(MapByte(1, cell), source[static_cast<std::size_t>(cell)]) << cell;
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(9));
    ViewDriver::Leave(PageView(1));
    ExpectPages(0x11, 0x01);
}

TEST_F(MapSetTab, PastingAnIdenticalPageMarksNothing) {
    StartWithImage();
    PressCell(1, 0, Qt::RightButton, Qt::ControlModifier);
    PressCell(1, 0, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(MapSetTab, PastingBeforeAnyCopyWritesChip00EverywhereOnThePage) {
    StartWithImage();
    SelectStage(3);
    CellNotHolding(0, 0x00);
    PressCell(0, 12, Qt::LeftButton, Qt::ControlModifier);
    for (int cell = 0; cell < 64; ++cell)
        EXPECT_EQ(MapByte(0, cell), 0) << cell;
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(3));
    ViewDriver::Leave(PageView(0));
    EXPECT_EQ(CellsNotShowing(0, 0), std::vector<int>{});
}

TEST_F(MapSetTab, APageCopiedInOneStagePastesIntoAnotherStage) {
    StartWithImage();
    SelectStage(2);
    Form->ScrBarSelectPage0->setValue(4);
    PressCell(0, 0, Qt::RightButton, Qt::ControlModifier);
    const auto& stage2 = Form->ImageHolder().Stage(2).MapSetTable;
    SelectStage(7);
    PressCell(1, 0, Qt::LeftButton, Qt::ControlModifier);
    for (int cell = 0; cell < 64; ++cell)
        EXPECT_EQ(MapByte(1, cell), stage2[static_cast<std::size_t>(4 * 64 + cell)]) << cell;
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(7));
    EXPECT_FALSE(Form->Tracker().IsMapSetModified(2));
}

// ---- The chip handed over by the 32x32 chip tab ----

TEST_F(MapSetTab, PlainLeftPressIn32x32ChipViewBecomesTheChipToPlace) {
    StartWithImage();
    SelectStage(8);
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    // Chip 3C: column 12, row 3 of the first half.
    ViewDriver::Click(Form->ImgEdit32x32ChipView, Qt::LeftButton, 12 * Cell + 9, 3 * Cell + 9);
    EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), 0x3C);
    EXPECT_EQ(Text(Form->LblMapSetSelect32x32ChipIndex), "00"); // shown at the next activation
    ShowMapSetTab();
    ExpectPlaceChipPanel(0x3C);
    const int cell = CellNotHolding(0, 0x3C);
    PressCell(0, cell, Qt::LeftButton);
    EXPECT_EQ(MapByte(0, cell), 0x3C);
}

TEST_F(MapSetTab, ShiftOrCtrlPressIn32x32ChipViewHandsNothingOver) {
    StartWithImage();
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    ViewDriver::Click(Form->ImgEdit32x32ChipView, Qt::LeftButton, 5 * Cell + 3, 3,
                      Qt::ShiftModifier);
    ViewDriver::Click(Form->ImgEdit32x32ChipView, Qt::LeftButton, 6 * Cell + 3, 3,
                      Qt::ControlModifier);
    ShowMapSetTab();
    ExpectPlaceChipPanel(0);
}

// ---- Tab activation and the palette animation ----

TEST_F(MapSetTab, ActivationShowsChipEditsMadeOnOtherTabs) {
    StartWithImage();
    const int cell = 8 * 7 + 1; // the floor
    const int chip = MapByte(0, cell);
    const auto before = Picture(PageView(0));
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    // A composition changed elsewhere: the chip's four quarters become 16x16 chip 03.
    EditStage([chip](StageData& stage) {
        for (std::size_t q = 0; q < 4; ++q)
            stage.Chip32x32Table[static_cast<std::size_t>(chip) * 4 + q] =
                CartridgeGenerator::ChipWindow;
    });
    ShowMapSetTab();
    EXPECT_NE(Picture(PageView(0)), before);
    EXPECT_EQ(CellsNotShowing(0, 0), std::vector<int>{});
    EXPECT_EQ(CellMismatches(0, cell, chip), 0);
}

TEST_F(MapSetTab, AnimationTickRecoloursPagesAndKeepsTheFrame) {
    const std::string settings = GeneratedAnimationSettings();
    StartWithImage(settings);
    ViewDriver::Move(PageView(0), 70, 70);
    ViewDriver::Move(Form->Img32x32ChipTable, 20, 4);
    // Sub-palette 1 of palette set 0 runs animation 1.
    EditStage([](StageData& stage) { stage.AnimePalette[1] = 0x81; });
    ASSERT_TRUE(TickUntilStageColorChanges(5));
    // Every cell shows the sheet with the colours now in effect.
    int wrong = 0;
    for (int cell = 0; cell < 64; ++cell) {
        const int chip = MapByte(0, cell);
        for (int y = 1; y < Cell - 1; ++y)
            for (int x = 1; x < Cell - 1; ++x)
                if (ViewDriver::PixelOf(PageView(0), CellX(cell) + x, CellY(cell) + y) !=
                    Form->Graphics().GetStageColor(ChipColourIndex(chip, x, y)))
                    ++wrong;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(FramedAt(PageView(0), 64, 64, Cell));
    EXPECT_TRUE(FramedAt(Form->Img32x32ChipTable, 16, 0, 16));
}

// ---- Hover frames ----

TEST_F(MapSetTab, HoverFrameFollowsThePointerOverAPage) {
    StartWithImage();
    for (int side : {0, 1}) {
        SCOPED_TRACE(side);
        const auto untouched = Picture(PageView(side));
        ViewDriver::Move(PageView(side), 40, 40); // cell 9
        EXPECT_TRUE(FramedAt(PageView(side), 32, 32, Cell));
        ViewDriver::Move(PageView(side), 45, 50); // still cell 9
        EXPECT_TRUE(FramedAt(PageView(side), 32, 32, Cell));
        ViewDriver::Move(PageView(side), 200, 250); // cell 62
        EXPECT_TRUE(FramedAt(PageView(side), 192, 224, Cell));
        EXPECT_EQ(CellMismatches(side, 9, MapByte(side, 9)), 0); // side s shows page s
        ViewDriver::Leave(PageView(side));
        EXPECT_EQ(Picture(PageView(side)), untouched);
    }
}

TEST_F(MapSetTab, HoverFrameFollowsThePointerOverTheChipTable) {
    StartWithImage();
    TImageEx* table = Form->Img32x32ChipTable;
    const auto untouched = Picture(table);
    ViewDriver::Move(table, 16 + 3, 32 + 3); // chip 21
    EXPECT_TRUE(FramedAt(table, 16, 32, 16));
    ViewDriver::Move(table, 5 * 16, 0); // chip 05
    EXPECT_TRUE(FramedAt(table, 80, 0, 16));
    EXPECT_FALSE(FramedAt(table, 16, 32, 16));
    ViewDriver::Leave(table);
    EXPECT_EQ(Picture(table), untouched);
}

TEST_F(MapSetTab, DraggingOutOfAPageDropsTheFrame) {
    StartWithImage();
    const auto untouched = Picture(PageView(0));
    ViewDriver::Move(PageView(0), 250, 10);
    ViewDriver::Move(PageView(0), 300, -20, Qt::LeftButton);
    EXPECT_EQ(Picture(PageView(0)), untouched);
    EXPECT_EQ(Form->MapSetEdit->PageHover(0).Current, -1);
}

// ---- Grid ----

TEST_F(MapSetTab, GridBoxDrawsLinesOnBothPagesAndTheyOutliveHoverAndPlacement) {
    StartWithImage();
    Form->ChkMapSetEditDrawGrid->setChecked(true);
    const auto lines = [&](int side) {
        int missing = 0;
        for (int i = 0; i < 256; ++i)
            for (int k = 0; k < 8; ++k) {
                missing += ViewDriver::PixelOf(PageView(side), k * Cell, i) != White;
                missing += ViewDriver::PixelOf(PageView(side), i, k * Cell) != White;
            }
        return missing;
    };
    EXPECT_EQ(lines(0), 0);
    EXPECT_EQ(lines(1), 0);
    // Inside the cells the chips show; there is no line along the right and bottom edge.
    EXPECT_EQ(CellMismatches(0, 27, MapByte(0, 27), 1), 0);
    EXPECT_EQ(ViewDriver::PixelOf(PageView(0), 255, 100), ChipPixel(MapByte(0, 7 + 8 * 3), 31, 4));
    ViewDriver::Move(PageView(0), 40, 40);
    ViewDriver::Move(PageView(0), 100, 40);
    // The cell the frame left has its grid lines back.
    EXPECT_EQ(ViewDriver::PixelOf(PageView(0), 32, 50), White);
    EXPECT_EQ(ViewDriver::PixelOf(PageView(0), 50, 32), White);
    ClickChipInTable(0x0E);
    PressCell(0, CellNotHolding(0, 0x0E), Qt::LeftButton);
    ViewDriver::Leave(PageView(0));
    EXPECT_EQ(lines(0), 0);
    Form->ChkMapSetEditDrawGrid->setChecked(false);
    EXPECT_EQ(CellsNotShowing(0, 0), std::vector<int>{});
    EXPECT_EQ(CellsNotShowing(1, 1), std::vector<int>{});
}

TEST_F(MapSetTab, GridSettingIsReadAtStartAndWrittenAtExit) {
    StartWithImage("[MapSetEdit]\nGrid=1\n");
    EXPECT_TRUE(Form->ChkMapSetEditDrawGrid->isChecked());
    EXPECT_EQ(ViewDriver::PixelOf(PageView(1), 32, 77), White);
    Form->ChkMapSetEditDrawGrid->setChecked(false);
    ASSERT_TRUE(CloseForm());
    IniFile saved(SettingsPath());
    EXPECT_FALSE(saved.ReadBool("MapSetEdit", "Grid", true));
}

// ---- Reload ----

TEST_F(MapSetTab, ReloadAsksAndOnYesReturnsTheMapSetToTheImage) {
    StartWithImage();
    SelectStage(10);
    const std::string question =
        "yesno:このステージのマップセットデータを読み込み直します。よろしいですか？";
    Form->ScrBarSelectPage0->setValue(3);
    ClickChipInTable(0x11);
    const int cell = CellNotHolding(3, 0x11);
    const int original = MapByte(3, cell);
    PressCell(0, cell, Qt::LeftButton);

    Prompts.YesNoAnswers = {false};
    Form->Button3->click();
    EXPECT_EQ(Prompts.Log.back(), question);
    EXPECT_EQ(MapByte(3, cell), 0x11);
    EXPECT_EQ(Form->MapSetEdit->PageIndex(0), 3);
    EXPECT_EQ(Text(Form->LblMapSetSelect32x32ChipIndex), "11");

    Prompts.YesNoAnswers = {true};
    Form->Button3->click();
    EXPECT_EQ(Prompts.Log.back(), question);
    EXPECT_EQ(MapByte(3, cell), original);
    ExpectPages(0, 1);
    ExpectPlaceChipPanel(0);
    EXPECT_EQ(Form->ScrBarSelectPage0->value(), 0);
    EXPECT_EQ(Form->ScrBarSelectPage1->value(), 1);
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(10)); // the flag stays
}

// ---- The road of one edit: open, place, save ----

TEST_F(MapSetTab, OneEditOnStage3Page5ChangesExactlyOneByteOfTheSavedFile) {
    StartWithImage();
    SelectStage(3);
    Form->ScrBarSelectPage0->setValue(5);
    // Pick the chip of one cell, place it into a cell holding another.
    const int source = 8 * 7 + 0;
    const int chip = MapByte(5, source);
    int target = -1;
    for (int cell = 0; cell < 64 && target < 0; ++cell)
        if (MapByte(5, cell) != chip)
            target = cell;
    ASSERT_GE(target, 0);
    PressCell(0, source, Qt::RightButton);
    PressCell(0, target, Qt::LeftButton);
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "変更あり");

    Form->Save1Click();
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "");
    EXPECT_FALSE(AnyMapSetModified());

    const std::vector<std::uint8_t> original = CartridgeGenerator::MakeImage();
    const std::vector<std::uint8_t> saved = ReadWholeFile(ImagePath.toStdString());
    ASSERT_EQ(saved.size(), original.size());
    // Where stage 3's map set lies, from the per-stage bytes at the default offsets.
    const std::size_t mapSet = original[MapDataBankA000 + 3] * LevelFormat::BankSize +
                               original[MapDataAddressHigh + 3] * 0x100 +
                               original[MapDataAddressLow + 3] - LevelFormat::BankA000Base;
    ASSERT_EQ(mapSet, CartridgeGenerator::MapBankOf(3) * LevelFormat::BankSize +
                          CartridgeGenerator::MapCpuAddressOf(3) - LevelFormat::BankA000Base);
    const std::size_t row = static_cast<std::size_t>(target / 8);
    const std::size_t column = static_cast<std::size_t>(target % 8);
    const std::size_t expected = mapSet + row * 256 + 5 * 8 + column;
    std::vector<std::size_t> changed;
    for (std::size_t i = 0; i < saved.size(); ++i)
        if (saved[i] != original[i])
            changed.push_back(i);
    EXPECT_EQ(changed, std::vector<std::size_t>{expected});
    EXPECT_EQ(saved[expected], chip);
}

} // namespace
