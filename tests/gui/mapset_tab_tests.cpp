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
#include "history/EditHistory.h"
#include "inifile/IniFile.h"
#include "mapsetedit/MapSetEditClass.h"
#include "romgen/CartridgeGenerator.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QUndoStack>

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

// ---- Stamps, drag painting and fill ----

// A page as eight rows of eight characters, each character the chip number of its cell.
using PageRows = std::array<const char*, 8>;
constexpr PageRows AllDots = {"........", "........", "........", "........",
                              "........", "........", "........", "........"};
// Page 1, where every stamp is picked: every cell a different chip.
constexpr PageRows Source = {"ABCDEFGH", "IJKLMNOP", "QRSTUVWX", "YZabcdef",
                             "ghijklmn", "opqrstuv", "wxyz0123", "456789+-"};

std::array<std::uint8_t, 64> BytesOf(const PageRows& rows) {
    std::array<std::uint8_t, 64> bytes{};
    for (std::size_t cell = 0; cell < 64; ++cell)
        bytes[cell] = static_cast<std::uint8_t>(rows[cell / 8][cell % 8]);
    return bytes;
}

class MapSetStamp : public MapSetTab {
protected:
    // Stage 5 with page 0 as target and page 1 as Source.
    void StartWithPages(const PageRows& target) {
        StartWithImage();
        SelectStage(5);
        SetPages(target);
    }
    void SetPages(const PageRows& target) {
        EditStage([&](StageData& stage) {
            const auto first = BytesOf(target);
            const auto second = BytesOf(Source);
            std::copy(first.begin(), first.end(), stage.MapSetTable.begin());
            std::copy(second.begin(), second.end(), stage.MapSetTable.begin() + 64);
        });
    }
    std::array<std::uint8_t, 64> Page(int page) {
        std::array<std::uint8_t, 64> bytes{};
        for (int cell = 0; cell < 64; ++cell)
            bytes[static_cast<std::size_t>(cell)] = MapByte(page, cell);
        return bytes;
    }
    QPoint CellPoint(int cell) { return {CellX(cell) + 10, CellY(cell) + 12}; }
    // A right press on one cell and its release on another.
    void RightDrag(int side, int from, int to) {
        const QPoint a = CellPoint(from);
        const QPoint b = CellPoint(to);
        ViewDriver::Move(PageView(side), a.x(), a.y());
        ViewDriver::Press(PageView(side), Qt::RightButton, a.x(), a.y());
        ViewDriver::Move(PageView(side), b.x(), b.y(), Qt::RightButton);
        ViewDriver::Release(PageView(side), Qt::RightButton, b.x(), b.y());
    }
    // A left press on the first cell, moves with the button held over the others, a release
    // on the last.
    void LeftStroke(int side, const std::vector<int>& cells) {
        const QPoint first = CellPoint(cells.front());
        ViewDriver::Move(PageView(side), first.x(), first.y());
        ViewDriver::Press(PageView(side), Qt::LeftButton, first.x(), first.y());
        for (std::size_t i = 1; i < cells.size(); ++i) {
            const QPoint at = CellPoint(cells[i]);
            ViewDriver::Move(PageView(side), at.x(), at.y(), Qt::LeftButton);
        }
        const QPoint last = CellPoint(cells.back());
        ViewDriver::Release(PageView(side), Qt::LeftButton, last.x(), last.y());
    }
    int Steps() { return Form->History().Stack().index(); }
    std::string UndoText() { return Form->History().Stack().undoText().toStdString(); }
    std::string Status() { return Form->StatusPanels[0]->text().toStdString(); }
    // Pixels of the view's frame colour along the outline of a rectangle.
    bool OutlinedAt(const TImageEx* view, int left, int top, int width, int height) {
        for (int x = left; x < left + width; ++x)
            if (ViewDriver::PixelOf(view, x, top) != Magenta ||
                ViewDriver::PixelOf(view, x, top + height - 1) != Magenta)
                return false;
        for (int y = top; y < top + height; ++y)
            if (ViewDriver::PixelOf(view, left, y) != Magenta ||
                ViewDriver::PixelOf(view, left + width - 1, y) != Magenta)
                return false;
        return true;
    }
};

struct StampCase {
    const char* Name;
    int PickFrom; // cells of page 1 (side 1) picked as the stamp
    int PickTo;
    const char* Size;
    PageRows Before;
    bool Fill;
    std::vector<int> Stroke; // cells of page 0 (side 0): press, moves, release
    PageRows After;
};

TEST_F(MapSetStamp, StampsAndFillsWriteTheExpectedCellsAsOneUndoableStep) {
    const std::vector<StampCase> cases = {
        {"1x1 stamp",
         0,
         0,
         "1x1",
         AllDots,
         false,
         {9},
         {"........", ".A......", "........", "........", "........", "........", "........",
          "........"}},
        {"8x8 stamp", 0, 63, "8x8", AllDots, false, {0}, Source},
        {"picked from the bottom right up", 63, 0, "8x8", AllDots, false, {0}, Source},
        {"3x2 stamp cut at the page's corner",
         0,
         10,
         "3x2",
         AllDots,
         false,
         {62},
         {"........", "........", "........", "........", "........", "........", "........",
          "......AB"}},
        {"3x2 stamp cut at the page's right edge",
         0,
         10,
         "3x2",
         AllDots,
         false,
         {30},
         {"........", "........", "........", "......AB", "......IJ", "........", "........",
          "........"}},
        {"2x1 stamp dragged over three cells",
         0,
         1,
         "2x1",
         AllDots,
         false,
         {0, 1, 2},
         {"AAAB....", "........", "........", "........", "........", "........", "........",
          "........"}},
        {"drag back over a placed cell",
         8,
         8,
         "1x1",
         AllDots,
         false,
         {0, 1, 0, 9},
         {"II......", ".I......", "........", "........", "........", "........", "........",
          "........"}},
        {"fill of a single cell",
         0,
         0,
         "1x1",
         {"########", "#.######", "########", "########", "########", "########", "########",
          "########"},
         true,
         {9},
         {"########", "#A######", "########", "########", "########", "########", "########",
          "########"}},
        {"fill of a whole page",
         1,
         1,
         "1x1",
         AllDots,
         true,
         {36},
         {"BBBBBBBB", "BBBBBBBB", "BBBBBBBB", "BBBBBBBB", "BBBBBBBB", "BBBBBBBB", "BBBBBBBB",
          "BBBBBBBB"}},
        {"fill of a region with holes and a walled-off corner",
         0,
         0,
         "1x1",
         {"........", ".##.....", ".##..#..", "........", "####....", "...#....", "...#....",
          "...#...."},
         true,
         {7},
         {"AAAAAAAA", "A##AAAAA", "A##AA#AA", "AAAAAAAA", "####AAAA", "...#AAAA", "...#AAAA",
          "...#AAAA"}},
        {"fill stops at a diagonal wall",
         0,
         0,
         "1x1",
         {".......#", "......#.", ".....#..", "....#...", "...#....", "..#.....", ".#......",
          "#......."},
         true,
         {0},
         {"AAAAAAA#", "AAAAAA#.", "AAAAA#..", "AAAA#...", "AAA#....", "AA#.....", "A#......",
          "#......."}},
        {"fill tiled by a 2x3 stamp from column 3, row 2",
         0,
         17,
         "2x3",
         AllDots,
         true,
         {19},
         {"JIJIJIJI", "RQRQRQRQ", "BABABABA", "JIJIJIJI", "RQRQRQRQ", "BABABABA", "JIJIJIJI",
          "RQRQRQRQ"}},
        {"fill tiled by a 3x2 stamp from column 1, row 1",
         0,
         10,
         "3x2",
         AllDots,
         true,
         {9},
         {"KIJKIJKI", "CABCABCA", "KIJKIJKI", "CABCABCA", "KIJKIJKI", "CABCABCA", "KIJKIJKI",
          "CABCABCA"}},
        {"fill with a 2x1 stamp where the clicked cell holds its first chip",
         0,
         1,
         "2x1",
         {"AAAAAAAA", "AAAAAAAA", "AAAAAAAA", "AAAAAAAA", "........", "........", "........",
          "........"},
         true,
         {0},
         {"ABABABAB", "ABABABAB", "ABABABAB", "ABABABAB", "........", "........", "........",
          "........"}},
    };
    StartWithImage();
    SelectStage(5);
    for (const StampCase& c : cases) {
        SCOPED_TRACE(c.Name);
        SetPages(c.Before);
        RightDrag(1, c.PickFrom, c.PickTo);
        EXPECT_EQ(Text(Form->LblMapSetStampSize), c.Size);
        Form->ChkMapSetFill->setChecked(c.Fill);
        const int steps = Steps();
        const std::string status = Status();
        LeftStroke(0, c.Stroke);
        EXPECT_EQ(Page(0), BytesOf(c.After));
        EXPECT_EQ(Page(1), BytesOf(Source));
        EXPECT_EQ(Steps(), steps + 1);
        EXPECT_EQ(UndoText(), c.Fill ? "マップの塗りつぶし" : "マップチップの配置");
        ViewDriver::Leave(PageView(0));
        EXPECT_EQ(CellsNotShowing(0, 0), std::vector<int>{});
        Form->Undo1->trigger();
        EXPECT_EQ(Page(0), BytesOf(c.Before));
        EXPECT_EQ(Status(), status);
        EXPECT_EQ(CellsNotShowing(0, 0), std::vector<int>{});
        Form->Redo1->trigger();
        EXPECT_EQ(Page(0), BytesOf(c.After));
    }
}

TEST_F(MapSetStamp, GesturesThatChangeNoCellMakeNoStep) {
    const PageRows allA = {"AAAAAAAA", "AAAAAAAA", "AAAAAAAA", "AAAAAAAA",
                           "AAAAAAAA", "AAAAAAAA", "AAAAAAAA", "AAAAAAAA"};
    StartWithPages(allA);
    PressCell(1, 0, Qt::RightButton); // chip 'A'
    const int steps = Steps();
    LeftStroke(0, {0, 1, 9, 63});
    Form->ChkMapSetFill->setChecked(true);
    LeftStroke(0, {20});
    EXPECT_EQ(Page(0), BytesOf(allA));
    EXPECT_EQ(Steps(), steps);
}

TEST_F(MapSetStamp, UndoOfAStrokeOrAFillClearsTheModifiedMark) {
    StartWithImage();
    SelectStage(2);
    const auto before = Page(0);
    for (bool fill : {false, true}) {
        SCOPED_TRACE(fill);
        Form->ChkMapSetFill->setChecked(fill);
        ClickChipInTable(0xFE);
        LeftStroke(0, {0, 1, 2, 10, 18});
        EXPECT_NE(Page(0), before);
        EXPECT_EQ(Status(), "変更あり");
        EXPECT_TRUE(Form->Tracker().IsMapSetModified(2));
        Form->Undo1->trigger();
        EXPECT_EQ(Page(0), before);
        EXPECT_EQ(Status(), "");
        EXPECT_FALSE(Form->Tracker().IsModified());
    }
}

TEST_F(MapSetStamp, PicksStayInOnePageAndTheChipTablePicksOneChip) {
    StartWithPages(AllDots);
    RightDrag(1, 9, 27); // 3x3 from column 1, row 1
    EXPECT_EQ(Text(Form->LblMapSetStampSize), "3x3");
    ExpectPlaceChipPanel('J');
    // A release outside the page keeps the one chip the press picked.
    const QPoint at = CellPoint(4);
    ViewDriver::Press(PageView(1), Qt::RightButton, at.x(), at.y());
    ViewDriver::Release(PageView(1), Qt::RightButton, 300, at.y());
    EXPECT_EQ(Text(Form->LblMapSetStampSize), "1x1");
    ExpectPlaceChipPanel('E');
    RightDrag(1, 0, 63);
    ClickChipInTable(0x30);
    EXPECT_EQ(Text(Form->LblMapSetStampSize), "1x1");
    ExpectPlaceChipPanel(0x30);
    // Ctrl+right still copies the page and leaves the stamp alone.
    RightDrag(1, 0, 63);
    PressCell(0, 0, Qt::RightButton, Qt::ControlModifier);
    EXPECT_EQ(Text(Form->LblMapSetStampSize), "8x8");
    EXPECT_EQ(Form->MapSetEdit->CopiedPage(), BytesOf(AllDots));
    // Activating the tab again keeps the stamp.
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    ShowMapSetTab();
    EXPECT_EQ(Text(Form->LblMapSetStampSize), "8x8");
}

TEST_F(MapSetStamp, HoverFrameOutlinesTheStampCutAtThePageEdge) {
    StartWithPages(AllDots);
    const auto untouched = Picture(PageView(0));
    RightDrag(1, 0, 10);                   // 3x2
    ViewDriver::Move(PageView(0), 40, 40); // cell 9
    EXPECT_TRUE(OutlinedAt(PageView(0), 32, 32, 3 * Cell, 2 * Cell));
    ViewDriver::Move(PageView(0), 7 * Cell + 5, 7 * Cell + 5); // cell 63: one cell is left
    EXPECT_TRUE(OutlinedAt(PageView(0), 7 * Cell, 7 * Cell, Cell, Cell));
    EXPECT_EQ(CellsNotShowing(0, 0).size(), 1U); // only the framed cell
    // A smaller stamp picked while the frame shows: the larger frame goes away.
    ViewDriver::Move(PageView(0), 40, 40);
    PressCell(1, 0, Qt::RightButton);
    ViewDriver::Move(PageView(0), 40, 40);
    EXPECT_TRUE(OutlinedAt(PageView(0), 32, 32, Cell, Cell));
    ViewDriver::Leave(PageView(0));
    EXPECT_EQ(Picture(PageView(0)), untouched);
}

} // namespace
