// The zoom of the editing views, through the real window: exact blocks on screen, presses and
// hover frames in console pixels, the menu, Ctrl+wheel and the settings file.
#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/ViewSurface.h"
#include "inifile/IniFile.h"
#include "mapsetedit/MapSetEditClass.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int Cell = 32;
constexpr QRgb Magenta = 0xFFFF00FF;

class Zoom : public MainFormFixture {
protected:
    void StartWithImage(const std::string& settings = "") {
        WriteStartupFiles();
        if (!settings.empty())
            WriteTextFile(SettingsPath(), settings);
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        OpenThroughMenu(WriteCartridge("stage.nes"));
        Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    }

    TImageEx* Page() { return Form->ImgEditMapSetPage0; }
    std::uint8_t MapByte(int cell) {
        const int page = Form->MapSetEdit->PageIndex(0);
        return Form->ImageHolder()
            .CurrentStageData()
            .MapSetTable[static_cast<std::size_t>(page * 64 + cell)];
    }
    std::vector<std::uint8_t> ShownPage() {
        std::vector<std::uint8_t> cells;
        for (int cell = 0; cell < 64; ++cell)
            cells.push_back(MapByte(cell));
        return cells;
    }

    // The view as the window paints it, in device pixels.
    static QImage Painted(TImageEx* view) {
        return view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
    // Device pixels of the painted view that do not show the surface pixel they cover: each
    // surface pixel must be an exact block of (zoom x device pixel ratio) pixels.
    static int BlockMismatches(TImageEx* view) {
        const QImage painted = Painted(view);
        const QImage& surface = std::as_const(*view->Surface()).Image();
        const int block = view->Zoom() * static_cast<int>(painted.devicePixelRatio());
        if (painted.size() != surface.size() * block) {
            ADD_FAILURE() << "painted " << painted.width() << "x" << painted.height()
                          << ", surface " << surface.width() << "x" << surface.height()
                          << ", block " << block;
            return -1;
        }
        int wrong = 0;
        for (int y = 0; y < painted.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(painted.constScanLine(y));
            const auto* source = reinterpret_cast<const QRgb*>(surface.constScanLine(y / block));
            for (int x = 0; x < painted.width(); ++x)
                if ((row[x] | 0xFF000000u) != (source[x / block] | 0xFF000000u))
                    ++wrong;
        }
        return wrong;
    }
};

// ---- What the views show ----

TEST_F(Zoom, APageShowsEachConsolePixelAsAnExactBlockAtEveryZoom) {
    StartWithImage();
    // A frame in the surface too: overlays scale with the picture.
    ViewDriver::Move(Page(), 40, 40);
    for (int zoom = 1; zoom <= 4; ++zoom) {
        SCOPED_TRACE(zoom);
        Form->SetZoom(zoom);
        EXPECT_EQ(Page()->size(),
                  QSize(MapSetEditClass::PageSize, MapSetEditClass::PageSize) * zoom);
        EXPECT_EQ(BlockMismatches(Page()), 0);
    }
}

TEST_F(Zoom, OnlyTheEditingViewsFollowTheZoom) {
    StartWithImage();
    const std::vector<TImageEx*> following = {
        Form->ImgEditMapSetPage0,   Form->ImgEditMapSetPage1, Form->Img32x32ChipTable,
        Form->ImgEdit32x32ChipView, Form->Img16x16ChipTable,  Form->ImgEdit16x16ChipView,
        Form->ImgBGBankTable,       Form->ImgObjectMapPage0,  Form->ImgObjectMapPage1};
    const std::vector<TImageEx*> keeping = {
        Form->ImgSelect32x32Chip, Form->ImgEdit32x32Chip, Form->ImgSelect16x16Chip,
        Form->ImgEdit16x16Chip,   Form->ImgSelectTile,    Form->ImgColorTable,
        Form->ImgSelectColor,     Form->ImgPalView[0],    Form->ImgAnimePal[0]};
    std::vector<QSize> before;
    for (TImageEx* view : following)
        before.push_back(view->size());
    std::vector<QSize> kept;
    for (TImageEx* view : keeping)
        kept.push_back(view->size());
    Form->SetZoom(3);
    for (std::size_t i = 0; i < following.size(); ++i)
        EXPECT_EQ(following[i]->size(), before[i] * 3) << i;
    for (std::size_t i = 0; i < keeping.size(); ++i)
        EXPECT_EQ(keeping[i]->size(), kept[i]) << i;
}

// ---- Presses and hover frames in console pixels ----

TEST_F(Zoom, PressesPlaceAtTheCellUnderThePointer) {
    struct Case {
        int Zoom;
        QPoint At;
        int Cell;
    };
    const Case cases[] = {
        {1, {100, 100}, 27}, {3, {100, 100}, 9}, {2, {511, 0}, 7},      {4, {127, 127}, 0},
        {4, {128, 128}, 9},  {3, {95, 96}, 8},   {4, {1023, 1023}, 63},
    };
    StartWithImage();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "zoom " << c.Zoom << " at " << c.At.x() << "," << c.At.y());
        Form->SetZoom(c.Zoom);
        // The chip to place comes from the chip table, itself enlarged.
        const int chip = MapByte(c.Cell) ^ 0x01;
        ViewDriver::Click(Form->Img32x32ChipTable, Qt::LeftButton, ((chip % 16) * 16 + 8) * c.Zoom,
                          ((chip / 16) * 16 + 8) * c.Zoom);
        ASSERT_EQ(Form->MapSetEdit->PlaceChipIndex(), chip);
        std::vector<std::uint8_t> expected = ShownPage();
        expected[static_cast<std::size_t>(c.Cell)] = static_cast<std::uint8_t>(chip);
        ViewDriver::Click(Page(), Qt::LeftButton, c.At.x(), c.At.y());
        EXPECT_EQ(ShownPage(), expected);
    }
}

TEST_F(Zoom, ADragPastTheLeftEdgePlacesNothingThere) {
    StartWithImage();
    Form->SetZoom(3);
    // A chip that cell 8, left of the pressed cell 9, does not hold.
    const int chip = MapByte(8) ^ 0x01;
    ViewDriver::Click(Form->Img32x32ChipTable, Qt::LeftButton, ((chip % 16) * 16 + 8) * 3,
                      ((chip / 16) * 16 + 8) * 3);
    ViewDriver::Press(Page(), Qt::LeftButton, 100, 100);
    const std::vector<std::uint8_t> afterPress = ShownPage();
    // Left of the view by less than one console pixel: still outside, not column 0.
    ViewDriver::Move(Page(), -2, 100, Qt::LeftButton);
    ViewDriver::Release(Page(), Qt::LeftButton, -2, 100);
    EXPECT_EQ(ShownPage(), afterPress);
    EXPECT_EQ(Form->MapSetEdit->PageHover(0).Current, -1);
}

TEST_F(Zoom, TheHoverFrameIsPaintedOnScreenAroundTheCellUnderThePointer) {
    StartWithImage();
    // The offscreen screen's grab does not scale with QT_SCALE_FACTOR; the exact blocks at a
    // ratio of 2 are checked on the view's own grab below.
    if (Form->devicePixelRatio() != 1)
        GTEST_SKIP() << "the screen grab needs one device pixel per pixel";
    Form->SetZoom(3);
    QApplication::processEvents();
    const auto screenBlock = [&](int left, int top, int size) {
        const QPoint origin = Page()->mapTo(Form.get(), QPoint(left, top));
        return Form->screen()
            ->grabWindow(Form->winId(), origin.x(), origin.y(), size, size)
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    // Framed on screen: a 3-pixel magenta outline around the 96x96 block of the cell.
    const auto framedOnScreen = [&](int cell) {
        const int size = Cell * 3;
        const QImage block = screenBlock((cell % 8) * size, (cell / 8) * size, size);
        for (int i = 0; i < size; ++i)
            for (int edge = 0; edge < 3; ++edge)
                for (const QPoint p : {QPoint(i, edge), QPoint(edge, i), QPoint(i, size - 1 - edge),
                                       QPoint(size - 1 - edge, i)})
                    if (block.pixel(p) != Magenta)
                        return false;
        return true;
    };
    ViewDriver::Move(Page(), 100, 100);
    QApplication::processEvents();
    EXPECT_TRUE(framedOnScreen(9));
    ViewDriver::Move(Page(), 200, 100);
    QApplication::processEvents();
    EXPECT_TRUE(framedOnScreen(10));
    EXPECT_FALSE(framedOnScreen(9)) << "the old frame stayed on screen";
}

TEST_F(Zoom, AnObjectRoomPressSelectsTheObjectUnderThePointer) {
    StartWithImage();
    std::vector<std::vector<ObjectRecord>> rooms(32);
    rooms[1].push_back({0, 0x40, 0x70, 0x06});
    SetUpObjects(0, rooms);
    Form->CBStageChange(0);
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    Form->SetZoom(2);
    TImageEx* room = Form->ImgObjectMapPage1;
    // The screen pixel (0x84, 0xE2) is console pixel (0x42, 0x71), beside the object.
    ViewDriver::Move(room, 0x84, 0xE2);
    ViewDriver::Click(room, Qt::LeftButton, 0x84, 0xE2);
    EXPECT_EQ(Form->LblObjectIndex->text(), "00");
    EXPECT_EQ(Form->LblObjectX->text(), "40");
    EXPECT_EQ(Form->LblObjectY->text(), "70");
}

// ---- Changing the zoom ----

TEST_F(Zoom, MenuItemsAndCtrlWheelStepWithinOneToFour) {
    StartWithImage();
    QSignalSpy changes(Form.get(), &TMainForm::ZoomChanged);
    const auto state = [&] {
        return std::tuple(Form->Zoom(), Form->ZoomIn1->isEnabled(), Form->ZoomOut1->isEnabled());
    };
    EXPECT_EQ(state(), std::tuple(1, true, false));
    ViewDriver::Wheel(Page(), 10, 10, 1); // no Ctrl: the view does not zoom
    EXPECT_EQ(Form->Zoom(), 1);
    ViewDriver::Wheel(Page(), 10, 10, 1, Qt::ControlModifier);
    EXPECT_EQ(state(), std::tuple(2, true, true));
    Form->ZoomIn1->trigger();
    ViewDriver::Wheel(Form->ImgObjectMapPage0, 10, 10, 5, Qt::ControlModifier);
    EXPECT_EQ(state(), std::tuple(4, false, true));
    ViewDriver::Wheel(Page(), 10, 10, -1, Qt::ControlModifier);
    EXPECT_EQ(Form->Zoom(), 3);
    Form->ZoomOut1->trigger();
    EXPECT_EQ(Form->Zoom(), 2);
    Form->ZoomReset1->trigger();
    EXPECT_EQ(state(), std::tuple(1, true, false));
    const std::vector<int> heard = [&] {
        std::vector<int> zooms;
        for (const QList<QVariant>& signal : changes)
            zooms.push_back(signal.at(0).toInt());
        return zooms;
    }();
    EXPECT_EQ(heard, (std::vector<int>{2, 3, 4, 3, 2, 1}));
}

TEST_F(Zoom, TheWindowGrowsWithinTheScreenAndScrollsTheRest) {
    StartWithImage();
    const QSize unzoomed = Form->size();
    const QSize unzoomedFrame = Form->frameGeometry().size();
    const QSize unzoomedMinimum = Form->minimumSizeHint();
    const QRect screen = Form->screen()->availableGeometry();
    // Low on the screen: growing downwards would leave it.
    Form->move(screen.left(), screen.bottom() - unzoomedFrame.height());
    Form->SetZoom(4);
    EXPECT_LE(Form->frameGeometry().bottom(), std::max(screen.bottom(), unzoomedFrame.height()));
    EXPECT_GE(Form->frameGeometry().top(), screen.top());
    // The window grows, but only up to the screen (or what it already took at zoom 1).
    const QSize available = Form->screen()->availableGeometry().size();
    const QSize frame = Form->frameGeometry().size();
    if (unzoomedFrame.height() < available.height()) {
        EXPECT_GT(frame.height(), unzoomedFrame.height());
    }
    EXPECT_LE(frame.width(), std::max(available.width(), unzoomedFrame.width()));
    EXPECT_LE(frame.height(), std::max(available.height(), unzoomedFrame.height()));
    EXPECT_EQ(Form->minimumSizeHint(), unzoomedMinimum);
    // The page is larger than the window: its tab scrolls to reach the far corner.
    auto* area = Form->TabMapSetEdit->findChild<QScrollArea*>();
    ASSERT_NE(area, nullptr);
    EXPECT_GT(area->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(area->verticalScrollBar()->maximum(), 0);
    // On every tab, the enlarged views lie wholly inside what the tab scrolls over.
    for (TImageEx* view :
         {Form->ImgEditMapSetPage1, Form->Img32x32ChipTable, Form->ImgEdit32x32ChipView,
          Form->Img16x16ChipTable, Form->ImgEdit16x16ChipView, Form->ImgBGBankTable,
          Form->ImgObjectMapPage1}) {
        QWidget* tab = Form->EditPageControl->widget(0);
        for (int i = 0; i < Form->EditPageControl->count(); ++i)
            if (Form->EditPageControl->widget(i)->isAncestorOf(view))
                tab = Form->EditPageControl->widget(i);
        Form->EditPageControl->setCurrentWidget(tab);
        QApplication::processEvents();
        const QWidget* content = tab->findChild<QScrollArea*>()->widget();
        const QRect placed(view->mapTo(content, QPoint(0, 0)), view->size());
        EXPECT_TRUE(content->rect().contains(placed)) << view->objectName().toStdString();
    }
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    Form->SetZoom(1);
    EXPECT_EQ(Form->size(), unzoomed);
    EXPECT_EQ(area->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(area->verticalScrollBar()->maximum(), 0);
}

// ---- Settings ----

TEST_F(Zoom, TheZoomSurvivesARestart) {
    StartWithImage();
    Form->SetZoom(3);
    ASSERT_TRUE(CloseForm());
    EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("View", "Zoom", 0), 3);
    StartWithImage();
    EXPECT_EQ(Form->Zoom(), 3);
    EXPECT_EQ(Page()->width(), 3 * MapSetEditClass::PageSize);
}

// The overview window may set the zoom before the tabs are made; the stored zoom then meets a
// window whose zoom is already that value.
TEST_F(Zoom, AZoomSetBeforeThePagesExistReachesTheirViews) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(), "[View]\nZoom=3\n");
    StartupOptions options = FormOptions();
    options.BuildPagesAfterFirstFrame = true;
    Form = std::make_unique<TMainForm>(options);
    Form->SetZoom(3);
    ASSERT_FALSE(Form->PagesBuilt());
    Form->EnsurePages();
    EXPECT_EQ(Form->Zoom(), 3);
    EXPECT_EQ(Page()->width(), 3 * MapSetEditClass::PageSize);
}

TEST_F(Zoom, StoredValuesOutsideOneToFourFallBackToOne) {
    struct Case {
        const char* Stored;
        int Zoom;
    };
    const Case cases[] = {{"4", 4},   {"0", 1}, {"5", 1},  {"-2", 1},
                          {"abc", 1}, {"", 1},  {"2x", 1}, {"99999999999999999999", 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Stored);
        StartWithImage(std::string("[View]\nZoom=") + c.Stored + "\n");
        EXPECT_EQ(Form->Zoom(), c.Zoom);
        EXPECT_EQ(Page()->width(), c.Zoom * MapSetEditClass::PageSize);
        ASSERT_TRUE(CloseForm());
    }
}

// ---- A screen with two device pixels per window pixel (run with QT_SCALE_FACTOR=2) ----

TEST_F(Zoom, AtTwoDevicePixelsPerPixelEachConsolePixelIsStillAnExactBlock) {
    StartWithImage();
    if (Form->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs QT_SCALE_FACTOR=2";
    ViewDriver::Move(Page(), 40, 40);
    for (int zoom = 1; zoom <= 4; ++zoom) {
        SCOPED_TRACE(zoom);
        Form->SetZoom(zoom);
        EXPECT_EQ(BlockMismatches(Page()), 0);
    }
}

} // namespace
