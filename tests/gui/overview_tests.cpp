#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "16x16chipedit/Chip16x16EditClass.h"
#include "32x32chipedit/Chip32x32EditClass.h"
#include "ImageEx/TImageEx.h"
#include "editdata/StageData.h"
#include "fileio/FcPaletteData.h"
#include "fileio/RomImageData.h"
#include "graphics/StagePicture.h"
#include "mapsetedit/MapSetEditClass.h"
#include "romgen/CartridgeGenerator.h"
#include "stageOverviewForm/TStageOverviewForm.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Half = StageOverview::Scale;

class Overview : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        WriteStartupFiles();
        std::ofstream(SettingsPath()) << "[Timer]\nInterval=3600000\n";
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        OpenThroughMenu(WriteCartridge("overview.nes"));
    }

    TStageOverviewForm& ShowOverview() {
        if (!Form->StageOverview1->isChecked())
            Form->StageOverview1->trigger();
        return *Form->StageOverviewForm;
    }

    // The exported map picture of the current stage, drawn as the export command draws it.
    QImage ExportedMap(bool objects) const {
        const FcPaletteData palette(CartridgeGenerator::MakeMasterPalette());
        StagePicture::Options options;
        options.Stage = Form->ImageHolder().CurrentStage();
        options.PaletteSet = Form->CBSelectPaletteSet->currentIndex();
        options.Objects = objects;
        options.ExtraPatternEntry = Form->ScrBarSelectScrollIndex->value();
        return StagePicture::Render(palette, Form->ImageHolder(), options)
            .convertToFormat(QImage::Format_RGB32);
    }

    // Overview pixels that differ from the exported picture's pixel (2x, 2y), and the first.
    std::string DifferencesFromExport() const {
        const TStageOverviewForm& form = *Form->StageOverviewForm;
        const QImage full = ExportedMap(form.ChkDrawObjects->isChecked());
        const QImage& half = form.Overview().Image();
        if (half.size() != full.size() / Half)
            return "size " + std::to_string(half.width()) + "x" + std::to_string(half.height());
        int count = 0;
        std::string first;
        for (int y = 0; y < half.height(); ++y)
            for (int x = 0; x < half.width(); ++x)
                if (half.pixel(x, y) != full.pixel(x * Half, y * Half) && count++ == 0)
                    first = " first at " + std::to_string(x) + "," + std::to_string(y);
        return count == 0 ? "" : std::to_string(count) + " pixels" + first;
    }

    // The view as the screen shows it, at its own scale.
    QImage ViewPicture() const {
        return Form->StageOverviewForm->View->grab().toImage().convertToFormat(
            QImage::Format_RGB32);
    }

    static QPoint PageCentre(int page, int zoom) {
        const QRect area = StageOverview::PageRect(page);
        return area.center() * zoom;
    }
};

TEST_F(Overview, FollowsEveryChangeAndStaysTheHalfSizeExport) {
    TStageOverviewForm& form = ShowOverview();
    ASSERT_TRUE(form.isVisible());
    const auto quarterEdit = [this] {
        EditStage([](StageData& stage) {
            const int chip = stage.MapSetTable[0];
            stage.Chip32x32Table[static_cast<std::size_t>(chip * 4 + 3)] ^= 0x05;
        });
    };
    const auto tileEdit = [this] {
        EditStage([](StageData& stage) {
            const int chip16 =
                stage.Chip32x32Table[static_cast<std::size_t>(stage.MapSetTable[0] * 4)];
            stage.NormalChip16x16Table[static_cast<std::size_t>(chip16)] ^= 0x11;
            stage.NormalChipPropertyTable[static_cast<std::size_t>(chip16)] ^= 0x03;
        });
    };
    const auto paletteEdit = [this] {
        EditStage([](StageData& stage) {
            for (int entry = 1; entry < 16; ++entry)
                stage.StagePalette[static_cast<std::size_t>(entry)] = static_cast<std::uint8_t>(
                    (stage.StagePalette[static_cast<std::size_t>(entry)] + 7) & 0x3F);
        });
    };
    const struct {
        const char* What;
        std::function<void()> Do;
    } steps[] = {
        {"as opened", [] {}},
        {"a placed chip", [this] { EditAMapSetCell(); }},
        {"a 32x32 quarter edit", quarterEdit},
        {"a 16x16 tile and attribute edit", tileEdit},
        {"a palette change", paletteEdit},
        {"undo of the palette change", [this] { Form->Undo1->trigger(); }},
        {"undo of the tile edit", [this] { Form->Undo1->trigger(); }},
        {"redo", [this] { Form->Redo1->trigger(); }},
        {"the other palette set", [this] { Form->CBSelectPaletteSet->setCurrentIndex(1); }},
        {"marks on",
         [this, &form] {
             // Marks over the first rows of room 0, where the next placements go.
             std::vector<ObjectRecord> marks;
             for (int cell = 0; cell < 16; ++cell)
                 marks.push_back({.Id = 0,
                                  .X = static_cast<std::uint8_t>((cell % 8) * 32 + 4),
                                  .Y = static_cast<std::uint8_t>((cell / 8) * 32 + 8),
                                  .Type = static_cast<std::uint8_t>(0x20 + cell)});
             SetUpRoom(0, marks);
             form.ChkDrawObjects->setChecked(true);
         }},
        {"a placed chip under marks", [this] { EditAMapSetCell(); }},
        {"an object added", [this] { SetUpRoom(5, {{.Id = 0, .X = 200, .Y = 10, .Type = 0x07}}); }},
        {"an edit while hidden",
         [this] {
             Form->StageOverview1->trigger();
             EditAMapSetCell();
             Form->StageOverview1->trigger();
         }},
        {"a stage switch while hidden",
         [this] {
             Form->StageOverview1->trigger();
             Form->CBStage->setCurrentIndex(2);
             Form->StageOverview1->trigger();
         }},
        {"a stage switch", [this] { Form->CBStage->setCurrentIndex(3); }},
        {"a placed chip on the new stage", [this] { EditAMapSetCell(); }},
        {"undo across the stage switch",
         [this] {
             Form->Undo1->trigger();
             Form->Undo1->trigger();
         }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.What);
        step.Do();
        EXPECT_EQ(DifferencesFromExport(), "");
    }
}

// The picture's pixels against the view's own painting: whole, and of one area alone as a partial
// update paints it.
TEST_F(Overview, EachPicturePixelIsAnExactBlockAtTheZoom) {
    TStageOverviewForm& form = ShowOverview();
    const QImage& picture = form.Overview().Image();
    // Pages 0 and 1 carry the map-set tab's outlines; these show the picture alone.
    const QRect areas[] = {QRect(StageOverview::PageSize * 2, 0,
                                 picture.width() - StageOverview::PageSize * 2, picture.height()),
                           StageOverview::CellRect(21 * 64 + 27)};
    for (const int zoom : {1, 2}) {
        form.SetZoom(zoom);
        for (const QRect& area : areas) {
            SCOPED_TRACE(std::to_string(zoom) + " " + std::to_string(area.x()));
            const QRect onScreen(area.topLeft() * zoom, area.size() * zoom);
            QImage shown(form.View->size(), QImage::Format_RGB32);
            shown.fill(Qt::transparent);
            form.View->render(&shown, onScreen.topLeft(), QRegion(onScreen));
            int wrong = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    for (int dy = 0; dy < zoom; ++dy)
                        for (int dx = 0; dx < zoom; ++dx)
                            wrong +=
                                shown.pixel(x * zoom + dx, y * zoom + dy) != picture.pixel(x, y);
            EXPECT_EQ(wrong, 0);
        }
    }
}

// The overview is drawn at the views' zoom, whoever changes it: the menu, Ctrl+wheel over a
// view, or Ctrl+wheel over the overview itself; a plain wheel over it zooms nothing.
TEST_F(Overview, FollowsTheWindowsZoomAndCtrlWheelOverItZoomsTheViews) {
    Form->SetZoom(2);
    TStageOverviewForm& form = ShowOverview();
    EXPECT_EQ(form.Zoom(), 2) << "a zoom set before the overview was made";
    Form->ZoomIn1->trigger();
    EXPECT_EQ(form.Zoom(), 3);
    ViewDriver::Wheel(form.View, 10, 10, -1, Qt::ControlModifier);
    EXPECT_EQ(Form->Zoom(), 2);
    EXPECT_EQ(form.Zoom(), 2);
    ViewDriver::Wheel(form.View, 10, 10, 1);
    EXPECT_EQ(Form->Zoom(), 2);
    ViewDriver::Wheel(Form->ImgEditMapSetPage0, 10, 10, 1, Qt::ControlModifier);
    EXPECT_EQ(form.Zoom(), 3);
    EXPECT_EQ(form.View->size(), form.Overview().Image().size() * 3);
}

TEST_F(Overview, PressesChooseTheMapSetPagesAndTheOutlinesFollow) {
    TStageOverviewForm& form = ShowOverview();
    const struct {
        int Zoom;
        Qt::MouseButton Button;
        int Page;
    } presses[] = {
        {1, Qt::LeftButton, 13}, {1, Qt::RightButton, 30}, {2, Qt::LeftButton, 31},
        {2, Qt::RightButton, 0}, {1, Qt::LeftButton, 8},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(std::to_string(press.Zoom) + " " + std::to_string(press.Page));
        form.SetZoom(press.Zoom);
        const QPoint at = PageCentre(press.Page, press.Zoom);
        ViewDriver::Click(form.View, press.Button, at.x(), at.y());
        const int side = press.Button == Qt::LeftButton ? 0 : 1;
        EXPECT_EQ(Form->MapSetEdit->PageIndex(side), press.Page);
        QLabel* label = side == 0 ? Form->LblMapSetPage0 : Form->LblMapSetPage1;
        QScrollBar* bar = side == 0 ? Form->ScrBarSelectPage0 : Form->ScrBarSelectPage1;
        EXPECT_EQ(label->text().toInt(nullptr, 16), press.Page);
        EXPECT_EQ(bar->value(), press.Page);
        const QPoint corner = StageOverview::PageRect(press.Page).topLeft() * press.Zoom;
        EXPECT_EQ(ViewPicture().pixel(corner),
                  side == 0 ? TStageOverviewView::Page0Color : TStageOverviewView::Page1Color);
    }
    // Moving both pages on the tab moves the outlines.
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    Form->ScrBarMapSet->setValue(20);
    form.SetZoom(1);
    const QImage shown = ViewPicture();
    EXPECT_EQ(shown.pixel(StageOverview::PageRect(Form->MapSetEdit->PageIndex(0)).topLeft()),
              TStageOverviewView::Page0Color);
    EXPECT_EQ(shown.pixel(StageOverview::PageRect(Form->MapSetEdit->PageIndex(1)).topLeft()),
              TStageOverviewView::Page1Color);
}

TEST_F(Overview, OutlinesTheCellsThatHoldTheChipToPlace) {
    TStageOverviewForm& form = ShowOverview();
    form.ChkShowUses->setChecked(true);
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    const StageData& stage = Form->ImageHolder().CurrentStageData();
    // Pages 0 and 1 carry the page outlines, drawn over the cell outlines.
    for (const int chip : {int(stage.MapSetTable[300]), int(stage.MapSetTable[1500])}) {
        SCOPED_TRACE(chip);
        Form->MapSetEdit->ShowPlaceChip(chip);
        const QImage shown = ViewPicture();
        const QImage& picture = form.Overview().Image();
        int wrong = 0;
        for (int index = 2 * 64; index < StageOverview::MapCells; ++index) {
            // The middle of the cell's top edge: outlined exactly where the chip is.
            const QPoint probe = StageOverview::CellRect(index).topLeft() + QPoint(7, 0);
            const bool holds = stage.MapSetTable[static_cast<std::size_t>(index)] == chip;
            wrong +=
                shown.pixel(probe) != (holds ? TStageOverviewView::UseColor : picture.pixel(probe));
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(Overview, MenuShowsAndHidesAndTheStateSurvivesARestart) {
    TStageOverviewForm& form = ShowOverview();
    EXPECT_TRUE(form.isVisible());
    form.close();
    EXPECT_FALSE(Form->StageOverview1->isChecked());
    Form->StageOverview1->trigger();
    EXPECT_TRUE(form.isVisible());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect place(screen.left() + 30, screen.top() + 40, 500, 300);
    form.setGeometry(place);
    ASSERT_TRUE(CloseForm());
    Form.reset();
    StartForm();
    ASSERT_NE(Form->StageOverviewForm, nullptr);
    EXPECT_TRUE(Form->StageOverview1->isChecked());
    EXPECT_TRUE(Form->StageOverviewForm->isVisible());
    EXPECT_EQ(Form->StageOverviewForm->geometry(), place);
    Form->StageOverview1->trigger();
    EXPECT_FALSE(Form->StageOverviewForm->isVisible());
    ASSERT_TRUE(CloseForm());
    Form.reset();
    StartForm();
    EXPECT_FALSE(Form->StageOverview1->isChecked());
    EXPECT_EQ(Form->StageOverviewForm, nullptr);
}

TEST_F(Overview, ABadPlaceInTheSettingsFallsBackToOneOnScreen) {
    ASSERT_TRUE(CloseForm());
    Form.reset();
    const char* places[] = {"",
                            "garbage",
                            "1,2,3",
                            "a,b,c,d",
                            "10,10,0,0",
                            "99999,5,300,200",
                            "-4000,-4000,300,200",
                            "5,5,300,2147483647",
                            "1,2,3,4,5"};
    for (const char* text : places) {
        SCOPED_TRACE(text);
        std::ofstream(SettingsPath()) << "[Timer]\nInterval=3600000\n[View]\nOverviewShown=1\n"
                                      << "OverviewGeometry=" << text << "\n";
        StartForm();
        ASSERT_NE(Form->StageOverviewForm, nullptr);
        const QRect shown = Form->StageOverviewForm->geometry();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_TRUE(screen.contains(shown))
            << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();
        ASSERT_TRUE(CloseForm());
        Form.reset();
    }
}

// Counts of the edited chips against the stage's own tables.
TEST_F(Overview, UseCountsFollowEditsUndoAndStageSwitches) {
    const auto expectCounts = [this] {
        const StageData& stage = Form->ImageHolder().CurrentStageData();
        const int chip16 = Form->Chip16x16Edit->CurrentEditChip();
        const int chip32 = Form->Chip32x32Edit->EditChip();
        int quarters = 0;
        for (const std::uint8_t part : stage.Chip32x32Table)
            quarters += part == chip16;
        int cells = 0;
        for (const std::uint8_t cell : stage.MapSetTable)
            cells += cell == chip32;
        const QString shown16 = QString("使用数: %1").arg(quarters);
        const QString shown32 = QString("使用数: %1").arg(cells);
        // The tab in front shows the count at once, without being brought forward again.
        if (Form->EditPageControl->currentWidget() == Form->Tab16x16ChipEdit) {
            EXPECT_EQ(Form->LblChip16x16UseCount->text(), shown16) << "in front";
        }
        if (Form->EditPageControl->currentWidget() == Form->Tab32x32ChipEdit) {
            EXPECT_EQ(Form->LblChip32x32UseCount->text(), shown32) << "in front";
        }
        Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
        EXPECT_EQ(Form->LblChip16x16UseCount->text(), shown16);
        Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
        EXPECT_EQ(Form->LblChip32x32UseCount->text(), shown32);
    };
    const StageData& first = Form->ImageHolder().CurrentStageData();
    const int placed = first.MapSetTable[0];
    const struct {
        const char* What;
        std::function<void()> Do;
    } steps[] = {
        {"as opened", [] {}},
        {"other edited chips",
         [this, &first, placed] {
             Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
             Form->Chip32x32Edit->ShowEditChip(placed);
             Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
             Form->Chip16x16Edit->SelectChip(
                 first.Chip32x32Table[static_cast<std::size_t>(placed * 4)]);
         }},
        // The placed chip is the edited 32x32 chip: its count grows.
        {"a placed chip", [this] { EditAMapSetCell(); }},
        // Map cells and quarters changed by other commands (an import, a paste) while the tab
        // that counts them is in front.
        {"a map cell set to the edited 32x32 chip",
         [this] {
             Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
             const int chip32 = Form->Chip32x32Edit->EditChip();
             EditStage([chip32](StageData& stage) {
                 const auto at = std::ranges::find_if(
                     stage.MapSetTable, [chip32](std::uint8_t cell) { return cell != chip32; });
                 *at = static_cast<std::uint8_t>(chip32);
             });
         }},
        {"a quarter set to the edited 16x16 chip",
         [this] {
             Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
             const int chip16 = Form->Chip16x16Edit->CurrentEditChip();
             EditStage([chip16](StageData& stage) {
                 const auto at = std::ranges::find_if(
                     stage.Chip32x32Table, [chip16](std::uint8_t part) { return part != chip16; });
                 *at = static_cast<std::uint8_t>(chip16);
             });
         }},
        {"undo of the quarter", [this] { Form->Undo1->trigger(); }},
        {"undo of the map cell", [this] { Form->Undo1->trigger(); }},
        {"undo of the placed chip", [this] { Form->Undo1->trigger(); }},
        {"redo", [this] { Form->Redo1->trigger(); }},
        {"a stage switch", [this] { Form->CBStage->setCurrentIndex(6); }},
        {"an edit on the new stage", [this] { EditAMapSetCell(); }},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.What);
        step.Do();
        expectCounts();
    }
}

} // namespace
