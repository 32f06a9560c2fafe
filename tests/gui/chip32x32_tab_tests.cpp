#include "MainFormFixture.h"
#include "TabTestSupport.h"
#include "ViewDriver.h"

#include "32x32chipedit/Chip32x32EditClass.h"
#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
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
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

using ViewDriver::PixelOf;

// The pixels of a size x size square of a view, every step-th pixel.
std::vector<std::uint32_t> Square(const TImageEx* view, int x, int y, int size, int step = 1) {
    std::vector<std::uint32_t> pixels;
    for (int dy = 0; dy < size; dy += step)
        for (int dx = 0; dx < size; dx += step)
            pixels.push_back(PixelOf(view, x + dx, y + dy));
    return pixels;
}

class Chip32x32Tab : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        WriteStartupFiles();
        std::ofstream(SettingsPath()) << SettingsText();
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        OpenThroughMenu(WriteCartridge("tab.nes"));
        ShowTab();
    }

    // The real frame timer never fires during a test: ticks are driven by hand.
    virtual std::string SettingsText() { return "[Timer]\nInterval=3600000\n"; }

    void ShowTab() { Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit); }

    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    int QuarterOf(int chip, int q) {
        return Stage().Chip32x32Table[static_cast<std::size_t>(chip * 4 + q)];
    }
    bool Modified() {
        return Form->Tracker().IsChip32x32Modified(Form->ImageHolder().CurrentStage());
    }
    QString CaptionOf(int chip16) {
        const int type = Stage().ChipPropertyTable()[static_cast<std::size_t>(chip16)] >> 4;
        return QString::fromStdString(
            Form->ImageHolder().PropertyCaptions()[static_cast<std::size_t>(type)]);
    }

    // A point inside quarter q of the view cell that shows chip (in whichever half is shown).
    static int ViewX(int chip, int q) { return (chip % 16) * 32 + (q % 2) * 16 + 5; }
    static int ViewY(int chip, int q) { return ((chip / 16) % 8) * 32 + (q / 2) * 16 + 5; }
    void PressView(Qt::MouseButton button, int chip, int q = 0,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ViewDriver::Press(Form->ImgEdit32x32ChipView, button, ViewX(chip, q), ViewY(chip, q),
                          modifiers);
    }
    void PressPanel(Qt::MouseButton button, int q,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ViewDriver::Press(Form->ImgEdit32x32Chip, button, (q % 2) * 32 + 9, (q / 2) * 32 + 9,
                          modifiers);
    }
    void PressTable(Qt::MouseButton button, int chip16,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ViewDriver::Press(Form->Img16x16ChipTable, button, (chip16 % 16) * 16 + 3,
                          (chip16 / 16) * 16 + 3, modifiers);
    }
    void SelectChip16(int chip16) { PressTable(Qt::LeftButton, chip16); }

    // The picture of a 16x16 chip as the chip table shows it, 1:1.
    std::vector<std::uint32_t> Chip16Picture(int chip16) {
        return Square(Form->Img16x16ChipTable, (chip16 % 16) * 16, (chip16 / 16) * 16, 16);
    }
    // Quarter q of the view cell at (x, y) shows 16x16 chip chip16.
    void ExpectViewQuarter(int x, int y, int q, int chip16) {
        EXPECT_EQ(Square(Form->ImgEdit32x32ChipView, x + (q % 2) * 16, y + (q / 2) * 16, 16),
                  Chip16Picture(chip16))
            << "view cell (" << x << ", " << y << ") quarter " << q;
    }
    // The view cell at (x, y) shows the composition of chip in the stage's table.
    void ExpectViewCellShows(int x, int y, int chip) {
        for (int q = 0; q < 4; ++q)
            ExpectViewQuarter(x, y, q, QuarterOf(chip, q));
    }
    // The edit panel shows chip enlarged twice, with its number, parts and attributes.
    void ExpectPanelShows(int chip) {
        EXPECT_EQ(Form->LblSelect32x32ChipIndex->text().toStdString(), Hex2(chip));
        for (int q = 0; q < 4; ++q) {
            const int part = QuarterOf(chip, q);
            EXPECT_EQ(Square(Form->ImgEdit32x32Chip, (q % 2) * 32, (q / 2) * 32, 32, 2),
                      Chip16Picture(part))
                << "panel quarter " << q;
            EXPECT_EQ(Form->LblStructChipIndex[static_cast<std::size_t>(q)]->text().toStdString(),
                      Hex2(part));
            EXPECT_EQ(Form->LblStructChipProperty[static_cast<std::size_t>(q)]->text(),
                      CaptionOf(part));
        }
    }
    void ExpectSelected(int chip16) {
        EXPECT_EQ(Form->LblSelect16x16ChipIndex->text().toStdString(), Hex2(chip16));
        EXPECT_EQ(Form->LblSelect16x16ChipProperty->text(), CaptionOf(chip16));
        EXPECT_EQ(Square(Form->ImgSelect16x16Chip, 0, 0, 32, 2), Chip16Picture(chip16));
    }
    // A 16x16 chip other than those in quarter q of chip.
    int OtherThan(int chip, int q) { return (QuarterOf(chip, q) + 1) & 0xFF; }
    // A 32x32 chip of the first half whose four quarters differ from those of chip.
    int DifferentChip(int chip) {
        for (int n = 0; n < 128; ++n) {
            bool allDiffer = true;
            for (int q = 0; q < 4; ++q)
                allDiffer = allDiffer && QuarterOf(n, q) != QuarterOf(chip, q);
            if (allDiffer)
                return n;
        }
        ADD_FAILURE() << "no chip differs from " << chip;
        return 0;
    }
    void ClickHalfArrow(bool up) {
        (up ? Form->UDChange32x32ChipView->UpButton() : Form->UDChange32x32ChipView->DownButton())
            ->click();
    }
};

// --- Stage load and the shown pictures ---

TEST_F(Chip32x32Tab, StageLoadShowsFirstHalfTableAndChipZero) {
    EXPECT_EQ(Form->LblEdit32x32ChipView->text(), "00-7F");
    EXPECT_EQ(Form->UDChange32x32ChipView->Position(), 1);
    EXPECT_EQ(Form->ImgEdit32x32ChipView->size(), QSize(512, 256));
    EXPECT_EQ(Form->Img16x16ChipTable->size(), QSize(256, 256));
    EXPECT_EQ(Form->ImgEdit32x32Chip->size(), QSize(64, 64));
    EXPECT_EQ(Form->ImgSelect16x16Chip->size(), QSize(32, 32));
    // The chip table is the 16x16 tab's chip sheet, 1:1.
    EXPECT_EQ(Square(Form->Img16x16ChipTable, 0, 0, 256),
              Square(Form->ImgEdit16x16ChipView, 0, 0, 256));
    for (const int chip : {0x00, 0x01, 0x12, 0x35, 0x7F})
        ExpectViewCellShows((chip % 16) * 32, (chip / 16) * 32, chip);
    ExpectPanelShows(0);
    ExpectSelected(0);
}

TEST_F(Chip32x32Tab, HalfSwitchShowsSecondHalfAndRepeatedArrowDoesNothing) {
    // Give chip 80 a composition that tells it apart from chip 00.
    const auto other = static_cast<std::uint8_t>(OtherThan(0, 1));
    EditStage([other](StageData& stage) { stage.Chip32x32Table[0x80 * 4 + 1] = other; });
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    ShowTab();

    ClickHalfArrow(false);
    EXPECT_EQ(Form->LblEdit32x32ChipView->text(), "80-FF");
    EXPECT_EQ(Form->UDChange32x32ChipView->Position(), 0);
    ExpectViewCellShows(0, 0, 0x80);
    ExpectViewCellShows(15 * 32, 7 * 32, 0xFF);
    PressView(Qt::LeftButton, 0x80);
    ExpectPanelShows(0x80);

    // The arrow already in effect leaves everything, even the hover frame, as it is.
    ViewDriver::Move(Form->ImgEdit32x32ChipView, 40, 40);
    ASSERT_EQ(PixelOf(Form->ImgEdit32x32ChipView, 32, 32), Magenta);
    ClickHalfArrow(false);
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32ChipView, 32, 32), Magenta);
    EXPECT_EQ(Form->LblEdit32x32ChipView->text(), "80-FF");

    ClickHalfArrow(true);
    EXPECT_EQ(Form->LblEdit32x32ChipView->text(), "00-7F");
    ExpectViewCellShows(0, 0, 0x00);
    ClickHalfArrow(true);
    EXPECT_EQ(Form->LblEdit32x32ChipView->text(), "00-7F");
}

// --- The mouse on the view ---

TEST_F(Chip32x32Tab, PlainLeftPressEditsTheChipAndHandsItToTheMapSetTab) {
    PressView(Qt::LeftButton, 0x5A, 3);
    ExpectPanelShows(0x5A);
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), 0x5A);
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    EXPECT_EQ(Form->LblMapSetSelect32x32ChipIndex->text(), "5A");
}

// The map-set tab, hidden during a stage switch, takes the new stage only when it comes to the
// front: a chip handed to it before then must survive that load.
TEST_F(Chip32x32Tab, AChipHandedOverAfterAStageSwitchReachesTheMapSetTab) {
    Form->CBStage->setCurrentIndex(2);
    PressView(Qt::LeftButton, 0x5A, 3);
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), 0x5A);
    EXPECT_EQ(Form->LblMapSetSelect32x32ChipIndex->text(), "5A");
}

TEST_F(Chip32x32Tab, ModifiedPressesDoNotHandTheChipToTheMapSetTab) {
    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        PressView(Qt::LeftButton, 0x21, 0, modifiers);
        EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), 0);
    }
    PressView(Qt::RightButton, 0x22);
    PressView(Qt::MiddleButton, 0x23);
    EXPECT_EQ(Form->MapSetEdit->PlaceChipIndex(), 0);
}

TEST_F(Chip32x32Tab, RightPressPicksTheSixteenChipOfTheQuarter) {
    const int chip = 0x03;
    for (int q = 0; q < 4; ++q) {
        PressView(Qt::RightButton, chip, q);
        ExpectSelected(QuarterOf(chip, q));
    }
    ExpectPanelShows(0);
    EXPECT_FALSE(Modified());
}

TEST_F(Chip32x32Tab, MiddlePressDoesNothing) {
    PressView(Qt::LeftButton, 0x05);
    PressView(Qt::MiddleButton, 0x07, 2);
    PressView(Qt::MiddleButton, 0x07, 2, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectPanelShows(0x05);
    ExpectSelected(0);
    EXPECT_FALSE(Modified());
}

TEST_F(Chip32x32Tab, ShiftLeftSetsTheQuarterOfAnotherChipAndRefreshesThePanel) {
    const int edited = 0x01;
    const int target = 0x07;
    PressView(Qt::LeftButton, edited);
    const int part = OtherThan(target, 1);
    SelectChip16(part);

    PressView(Qt::LeftButton, target, 1, Qt::ShiftModifier);
    EXPECT_EQ(QuarterOf(target, 1), part);
    EXPECT_TRUE(Modified());
    ExpectPanelShows(edited);
    // The changed cell is redrawn, and the hover frame drawn again over it.
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32ChipView, (target % 16) * 32, 0), Magenta);
    ViewDriver::Leave(Form->ImgEdit32x32ChipView);
    ExpectViewCellShows((target % 16) * 32, 0, target);

    // On the edited chip itself the panel shows the new part.
    const int ownPart = OtherThan(edited, 2);
    SelectChip16(ownPart);
    PressView(Qt::LeftButton, edited, 2, Qt::ShiftModifier);
    EXPECT_EQ(Form->LblStructChipIndex[2]->text().toStdString(), Hex2(ownPart));
    ExpectPanelShows(edited);
}

// The map-set and object tabs keep what they last drew and draw again, when they come to the
// front, only what changed meanwhile: a quarter edited here must show there.
TEST_F(Chip32x32Tab, AQuarterEditedHereShowsOnTheMapSetAndObjectTabsWhenTheyComeBack) {
    // A cell of map page 0, which is also room 0, with no object marker drawn over it.
    const auto clearOfObjects = [this](int cellX, int cellY) {
        for (const ObjectNode& object : Stage().ObjectsOfPage(0)) {
            if (object.X > cellX - 24 && object.X < cellX + 56 && object.Y > cellY - 24 &&
                object.Y < cellY + 56)
                return false;
        }
        return true;
    };
    int cell = 0;
    while (cell < 63 && !clearOfObjects((cell % 8) * 32, (cell / 8) * 32))
        ++cell;
    const int cellX = (cell % 8) * 32;
    const int cellY = (cell / 8) * 32;
    ASSERT_TRUE(clearOfObjects(cellX, cellY));
    const int target = Stage().MapSetTable[static_cast<std::size_t>(cell)];
    if (target >= 128)
        ClickHalfArrow(false);
    const std::vector<TImageEx*> shownThere = {Form->ImgEditMapSetPage0, Form->ImgObjectMapPage0};
    // The top-left quarter of a 32x32 cell, inside any grid line.
    const auto quarter = [](TImageEx* view, int x, int y) {
        return Square(view, x + 1, y + 1, 14);
    };
    // As this tab's view shows the chip, without the hover frame.
    const auto here = [&] {
        ViewDriver::Leave(Form->ImgEdit32x32ChipView);
        return quarter(Form->ImgEdit32x32ChipView, (target % 16) * 32, ((target / 16) % 8) * 32);
    };
    for (QWidget* page : {Form->TabMapSetEdit, Form->TabObjectEdit, Form->Tab32x32ChipEdit})
        Form->EditPageControl->setCurrentWidget(page);
    const std::vector<std::uint32_t> before = here();
    for (TImageEx* view : shownThere)
        ASSERT_EQ(quarter(view, cellX, cellY), before) << (view == Form->ImgObjectMapPage0);

    SelectChip16(OtherThan(target, 0));
    PressView(Qt::LeftButton, target, 0, Qt::ShiftModifier);
    const std::vector<std::uint32_t> after = here();
    ASSERT_NE(after, before);

    const std::vector<QWidget*> pages = {Form->TabMapSetEdit, Form->TabObjectEdit};
    for (std::size_t i = 0; i < pages.size(); ++i) {
        Form->EditPageControl->setCurrentWidget(pages[i]);
        EXPECT_EQ(quarter(shownThere[i], cellX, cellY), after) << i;
    }
}

TEST_F(Chip32x32Tab, ShiftLeftWithTheSameChipChangesNothing) {
    const int chip = 0x04;
    SelectChip16(QuarterOf(chip, 2));
    PressView(Qt::LeftButton, chip, 2, Qt::ShiftModifier);
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(Chip32x32Tab, CtrlRightCopiesAndCtrlLeftPastesTheComposition) {
    const int source = 0x02;
    const std::array<int, 4> copied = {QuarterOf(source, 0), QuarterOf(source, 1),
                                       QuarterOf(source, 2), QuarterOf(source, 3)};
    PressView(Qt::RightButton, source, 0, Qt::ControlModifier);
    EXPECT_FALSE(Modified());
    ExpectSelected(0); // a copy picks nothing

    for (const Qt::KeyboardModifiers modifiers :
         {Qt::KeyboardModifiers(Qt::ControlModifier), Qt::ControlModifier | Qt::ShiftModifier}) {
        const int target = DifferentChip(source);
        PressView(Qt::LeftButton, target, 3, modifiers);
        for (int q = 0; q < 4; ++q)
            EXPECT_EQ(QuarterOf(target, q), copied[static_cast<std::size_t>(q)]);
        EXPECT_EQ(PixelOf(Form->ImgEdit32x32ChipView, ViewX(target, 0), (target / 16) * 32),
                  Magenta);
        ViewDriver::Leave(Form->ImgEdit32x32ChipView);
        ExpectViewCellShows((target % 16) * 32, (target / 16) * 32, target);
        EXPECT_TRUE(Modified());
    }
    ExpectPanelShows(0);
}

TEST_F(Chip32x32Tab, PasteBeforeAnyCopyWritesZeros) {
    int target = -1;
    for (int n = 0; n < 128 && target < 0; ++n)
        if (QuarterOf(n, 0) && QuarterOf(n, 1) && QuarterOf(n, 2) && QuarterOf(n, 3))
            target = n;
    ASSERT_GE(target, 0);
    PressView(Qt::LeftButton, target, 0, Qt::ControlModifier);
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(QuarterOf(target, q), 0);
    EXPECT_TRUE(Modified());
}

TEST_F(Chip32x32Tab, PasteOntoAnEqualCompositionMarksNothing) {
    int zeroChip = -1;
    for (int n = 0; n < 128 && zeroChip < 0; ++n)
        if (!QuarterOf(n, 0) && !QuarterOf(n, 1) && !QuarterOf(n, 2) && !QuarterOf(n, 3))
            zeroChip = n;
    ASSERT_GE(zeroChip, 0);
    PressView(Qt::LeftButton, zeroChip, 0, Qt::ControlModifier);
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(Chip32x32Tab, CopiedCompositionSurvivesAStageChange) {
    const int source = 0x03;
    const std::array<int, 4> copied = {QuarterOf(source, 0), QuarterOf(source, 1),
                                       QuarterOf(source, 2), QuarterOf(source, 3)};
    PressView(Qt::RightButton, source, 0, Qt::ControlModifier);

    Form->CBStage->setCurrentIndex(4);
    ASSERT_EQ(Form->ImageHolder().CurrentStage(), 4);
    ShowTab();
    const int target = 0x60;
    ASSERT_NE(QuarterOf(target, 0), copied[0]);
    PressView(Qt::LeftButton, target, 0, Qt::ControlModifier);
    for (int q = 0; q < 4; ++q)
        EXPECT_EQ(QuarterOf(target, q), copied[static_cast<std::size_t>(q)]);
    EXPECT_TRUE(Form->Tracker().IsChip32x32Modified(4));
    EXPECT_FALSE(Form->Tracker().IsChip32x32Modified(0));
}

// --- The edit panel and the chip table ---

TEST_F(Chip32x32Tab, PanelLeftSetsTheQuarterAndRightPicksIt) {
    const int edited = 0x06;
    PressView(Qt::LeftButton, edited);
    const int part = OtherThan(edited, 3);
    SelectChip16(part);
    // Modifier keys mean nothing on the panel.
    PressPanel(Qt::LeftButton, 3, Qt::ControlModifier);
    EXPECT_EQ(QuarterOf(edited, 3), part);
    EXPECT_TRUE(Modified());
    // The quarter's hover frame is drawn again over the refreshed panel.
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32Chip, 32, 32), Magenta);
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32Chip, 63, 63), Magenta);
    ViewDriver::Leave(Form->ImgEdit32x32Chip);
    ExpectPanelShows(edited);
    ExpectViewCellShows((edited % 16) * 32, 0, edited);

    PressPanel(Qt::RightButton, 1, Qt::ShiftModifier);
    ExpectSelected(QuarterOf(edited, 1));
}

TEST_F(Chip32x32Tab, SettingAQuarterToItsOwnChipMarksNothing) {
    PressView(Qt::LeftButton, 0x08);
    PressPanel(Qt::RightButton, 2); // select what quarter 2 holds
    PressPanel(Qt::LeftButton, 2);
    EXPECT_FALSE(Modified());
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->StatusPanels[0]->text(), "");
}

TEST_F(Chip32x32Tab, ChipTablePicksOnlyWithTheLeftButton) {
    PressTable(Qt::LeftButton, 0x13, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectSelected(0x13);
    PressTable(Qt::RightButton, 0x05);
    PressTable(Qt::MiddleButton, 0x06);
    ExpectSelected(0x13);
}

TEST_F(Chip32x32Tab, ChangeToTheHiddenHalfUpdatesTheSheetButNotTheView) {
    ClickHalfArrow(false);
    const int edited = 0x85;
    PressView(Qt::LeftButton, edited);
    ViewDriver::Leave(Form->ImgEdit32x32ChipView);
    ClickHalfArrow(true);
    const std::vector<std::uint32_t> before = Square(Form->ImgEdit32x32ChipView, 0, 0, 256);

    const int part = OtherThan(edited, 0);
    SelectChip16(part);
    PressPanel(Qt::LeftButton, 0);
    ViewDriver::Leave(Form->ImgEdit32x32Chip);
    EXPECT_EQ(QuarterOf(edited, 0), part);
    EXPECT_EQ(Square(Form->ImgEdit32x32ChipView, 0, 0, 256), before);
    ExpectPanelShows(edited);

    ClickHalfArrow(false);
    ExpectViewCellShows((edited % 16) * 32, 0, edited);
}

// --- Hover frames and the grid ---

TEST_F(Chip32x32Tab, HoverFrameFollowsThePointerOverTheView) {
    TImageEx* view = Form->ImgEdit32x32ChipView;
    const std::vector<std::uint32_t> plain = Square(view, 0, 0, 64);
    const std::vector<std::uint32_t> plainChip1 = Square(view, 32, 0, 32);
    ViewDriver::Move(view, 40, 10); // chip 01
    EXPECT_EQ(PixelOf(view, 32, 0), Magenta);
    EXPECT_EQ(PixelOf(view, 63, 31), Magenta);
    EXPECT_EQ(PixelOf(view, 63, 0), Magenta);
    ViewDriver::Move(view, 50, 20); // same chip: nothing changes
    EXPECT_EQ(PixelOf(view, 32, 31), Magenta);
    ViewDriver::Move(view, 10, 40); // chip 10
    EXPECT_EQ(PixelOf(view, 0, 32), Magenta);
    EXPECT_EQ(Square(view, 32, 0, 32), plainChip1);
    ViewDriver::Leave(view);
    EXPECT_EQ(Square(view, 0, 0, 64), plain);
}

TEST_F(Chip32x32Tab, HoverFramesOfTableAndPanel) {
    TImageEx* table = Form->Img16x16ChipTable;
    const std::vector<std::uint32_t> plainTable = Square(table, 0, 0, 64);
    ViewDriver::Move(table, 20, 40); // 16x16 chip 21
    EXPECT_EQ(PixelOf(table, 16, 32), Magenta);
    EXPECT_EQ(PixelOf(table, 31, 47), Magenta);
    ViewDriver::Leave(table);
    EXPECT_EQ(Square(table, 0, 0, 64), plainTable);

    TImageEx* panel = Form->ImgEdit32x32Chip;
    const std::vector<std::uint32_t> plainPanel = Square(panel, 0, 0, 64);
    ViewDriver::Move(panel, 40, 5); // quarter 1
    EXPECT_EQ(PixelOf(panel, 32, 0), Magenta);
    EXPECT_EQ(PixelOf(panel, 63, 31), Magenta);
    ViewDriver::Move(panel, 5, 40); // quarter 2: quarter 1 is clean again
    EXPECT_EQ(PixelOf(panel, 0, 63), Magenta);
    EXPECT_NE(PixelOf(panel, 63, 31), Magenta);
    ViewDriver::Leave(panel);
    EXPECT_EQ(Square(panel, 0, 0, 64), plainPanel);
}

TEST_F(Chip32x32Tab, GridCheckBoxDrawsLinesAlongTopAndLeftOfEveryCell) {
    TImageEx* view = Form->ImgEdit32x32ChipView;
    // Chips of the lower rows of the generated stage are blank: no white of their own.
    const int y = 200;
    ASSERT_NE(PixelOf(view, 32, y), White);
    Form->Chk32x32ChipEditDrawGrid->setChecked(true);
    for (const int x : {0, 32, 224, 480})
        EXPECT_EQ(PixelOf(view, x, y), White) << x;
    for (const int lineY : {0, 32, 192, 224})
        EXPECT_EQ(PixelOf(view, 100, lineY), White) << lineY;
    // None along the right and bottom edges.
    EXPECT_NE(PixelOf(view, 511, y), White);
    EXPECT_NE(PixelOf(view, 100, 255), White);
    EXPECT_NE(PixelOf(view, 33, y), White);

    // A cell the hover frame leaves gets its grid lines back.
    ViewDriver::Move(view, 40, 200);
    EXPECT_EQ(PixelOf(view, 32, y), Magenta);
    ViewDriver::Move(view, 100, 200);
    EXPECT_EQ(PixelOf(view, 32, y), White);
    ViewDriver::Leave(view);
    EXPECT_EQ(PixelOf(view, 96, y), White);

    // An edit that redraws a cell keeps the grid.
    PressView(Qt::LeftButton, 0x61);
    SelectChip16(OtherThan(0x61, 0));
    ViewDriver::Leave(view);
    PressPanel(Qt::LeftButton, 0);
    EXPECT_EQ(PixelOf(view, 32, 192 + 5), White);

    Form->Chk32x32ChipEditDrawGrid->setChecked(false);
    EXPECT_NE(PixelOf(view, 32, y), White);
    // The table never has a grid.
    EXPECT_EQ(Square(Form->Img16x16ChipTable, 0, 0, 256),
              Square(Form->ImgEdit16x16ChipView, 0, 0, 256));
}

// --- Reload, tab activation and the palette animation ---

TEST_F(Chip32x32Tab, ReloadAnsweredNoChangesNothing) {
    PressView(Qt::LeftButton, 0x09);
    const int part = OtherThan(0x09, 0);
    SelectChip16(part);
    PressPanel(Qt::LeftButton, 0);
    const auto table = Stage().Chip32x32Table;
    ViewDriver::Leave(Form->ImgEdit32x32Chip);
    const std::vector<std::uint32_t> view = Square(Form->ImgEdit32x32ChipView, 0, 0, 256);

    Prompts.YesNoAnswers.push_back(false);
    Form->Button2->click();
    EXPECT_EQ(Prompts.Log.back(),
              "yesno:このステージの32x32チップデータを読み込み直します。よろしいですか？");
    EXPECT_EQ(Stage().Chip32x32Table, table);
    EXPECT_EQ(Square(Form->ImgEdit32x32ChipView, 0, 0, 256), view);
    ExpectPanelShows(0x09);
    ExpectSelected(part);
}

TEST_F(Chip32x32Tab, ReloadAnsweredYesRestoresTheTableAndKeepsTheMark) {
    const auto original = Stage().Chip32x32Table;
    ClickHalfArrow(false);
    PressView(Qt::LeftButton, 0x90);
    SelectChip16(OtherThan(0x90, 2));
    PressPanel(Qt::LeftButton, 2);
    ASSERT_NE(Stage().Chip32x32Table, original);

    Prompts.YesNoAnswers.push_back(true);
    Form->Button2->click();
    EXPECT_EQ(Stage().Chip32x32Table, original);
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Form->LblEdit32x32ChipView->text(), "00-7F");
    ExpectPanelShows(0);
    ExpectSelected(0);
    for (const int chip : {0x00, 0x01, 0x12})
        ExpectViewCellShows((chip % 16) * 32, (chip / 16) * 32, chip);
    PressView(Qt::LeftButton, 0x12);
    ExpectPanelShows(0x12);
}

TEST_F(Chip32x32Tab, ActivationShowsChangesMadeOnOtherTabs) {
    const int part = QuarterOf(0x01, 0);
    const std::vector<std::uint32_t> oldPicture = Chip16Picture(part);
    Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
    // Another attribute type and other tiles for the 16x16 chip in quarter 0 of chip 01.
    EditStage([part](StageData& stage) {
        auto& property = stage.ChipPropertyTable()[static_cast<std::size_t>(part)];
        property = static_cast<std::uint8_t>((((property >> 4) + 1) & 0xF) << 4 | (property & 0xF));
        auto& tile = stage.Chip16x16Table()[static_cast<std::size_t>(part)];
        tile = static_cast<std::uint8_t>(tile + 1);
    });
    PressView(Qt::LeftButton, 0x01); // the hidden tab still takes the edit chip
    ShowTab();
    ExpectPanelShows(0x01);
    ExpectViewCellShows(32, 0, 0x01);
    EXPECT_NE(Chip16Picture(part), oldPicture);
}

// With the generated image's animation tables configured.
class Chip32x32TabAnimated : public Chip32x32Tab {
protected:
    std::string SettingsText() override { return GeneratedAnimationSettings(); }
};

TEST_F(Chip32x32TabAnimated, TickRecoloursTheViewsAndKeepsTheFrames) {
    // Animate sub-palette 1 in both palette sets.
    EditStage([](StageData& stage) {
        stage.AnimePalette[1] = 0x80;
        stage.AnimePalette[5] = 0x80;
    });
    ViewDriver::Move(Form->ImgEdit32x32ChipView, 40, 10);
    ViewDriver::Move(Form->Img16x16ChipTable, 20, 40);
    ViewDriver::Move(Form->ImgEdit32x32Chip, 40, 5);

    const std::uint32_t before = Form->Graphics().GetStageColor(5);
    bool changed = false;
    for (int tick = 0; tick < 600 && !changed; ++tick) {
        Form->FrameTimerTimer();
        changed = Form->Graphics().GetStageColor(5) != before;
    }
    ASSERT_TRUE(changed);
    // Every view pixel shows the stage colour its chip's tile gives it, as it is now: the view
    // shows chips 00-7F, sixteen to a row.
    const std::vector<std::uint8_t> cartridge = CartridgeGenerator::MakeImage();
    const int stage = Form->ImageHolder().CurrentStage();
    int animated = 0;
    for (int y = 40; y < 256; y += 7)
        for (int x = 2; x < 512; x += 11) {
            const int chip = (y / 32) * 16 + x / 32;
            const int index = Chip32x32ColourIndex(Stage(), stage, cartridge, chip, x % 32, y % 32);
            animated += index == 5 ? 1 : 0;
            ASSERT_EQ(PixelOf(Form->ImgEdit32x32ChipView, x, y),
                      Form->Graphics().GetStageColor(index))
                << x << ", " << y;
        }
    EXPECT_GT(animated, 0) << "no pixel looked at shows the animated colour";
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32ChipView, 32, 0), Magenta);
    EXPECT_EQ(PixelOf(Form->Img16x16ChipTable, 16, 32), Magenta);
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32Chip, 32, 0), Magenta);
}

// --- The grid setting ---

class Chip32x32GridSetting : public MainFormFixture {};

TEST_F(Chip32x32GridSetting, StoredSettingIsAppliedAtStartUpAndWrittenAtExit) {
    WriteStartupFiles();
    {
        std::ofstream ini(SettingsPath());
        ini << "[32x32ChipEdit]\nGrid=1\n";
    }
    StartForm();
    EXPECT_TRUE(Form->Chk32x32ChipEditDrawGrid->isChecked());
    OpenThroughMenu(WriteCartridge("grid.nes"));
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    EXPECT_EQ(PixelOf(Form->ImgEdit32x32ChipView, 32, 200), White);

    Form->Chk32x32ChipEditDrawGrid->setChecked(false);
    EXPECT_NE(PixelOf(Form->ImgEdit32x32ChipView, 32, 200), White);
    ASSERT_TRUE(CloseForm());
    EXPECT_FALSE(IniFile(SettingsPath()).ReadBool("32x32ChipEdit", "Grid", true));
}

} // namespace
