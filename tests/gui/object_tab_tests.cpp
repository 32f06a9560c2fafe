// The object tab, driven through the real window: hovers, presses and drags on the room views,
// the pop-up menu, the panel's lists, arrows and buttons, down to the saved file.
#include "MainFormFixture.h"
#include "TabTestSupport.h"
#include "ViewDriver.h"
#include "history/EditHistory.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "romgen/CartridgeGenerator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Cell = 32;
const std::string LimitMessage =
    "オブジェクトの総数を越えるため、オブジェクトを作成できませんでした";
const std::string ReloadQuestion =
    "yesno:このステージのオブジェクトデータを読み込み直します。よろしいですか？";

// Default "LevelDataAddress" offsets of the object pointer and count tables.
constexpr std::size_t ObjectDataAddressLow = 0x740CF;
constexpr std::size_t ObjectDataAddressHigh = 0x740DF;
constexpr std::size_t ObjectCount = 0x740EF;

struct Placed {
    int Room, X, Y, Type;
};
// X, Y, Type of one object, in list order.
using Object = std::array<int, 3>;
using Rooms = std::array<std::vector<Object>, 32>;

std::string Text(const QLabel* label) {
    return label->text().toStdString();
}

class ObjectTab : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        ImagePath = StartWithGeneratedImage();
        Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    }

    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    int CurrentStage() { return Form->ImageHolder().CurrentStage(); }
    TImageEx* View(int side) {
        return side == 0 ? Form->ImgObjectMapPage0 : Form->ImgObjectMapPage1;
    }
    bool Modified() { return Form->Tracker().IsObjectModified(CurrentStage()); }

    // Gives the current stage exactly these objects and reloads the editors, as selecting the
    // stage does.
    void Place(const std::vector<Placed>& objects) {
        std::vector<std::vector<ObjectRecord>> rooms(32);
        for (const Placed& object : objects)
            rooms.at(static_cast<std::size_t>(object.Room))
                .push_back({0, static_cast<std::uint8_t>(object.X),
                            static_cast<std::uint8_t>(object.Y),
                            static_cast<std::uint8_t>(object.Type)});
        SetUpObjects(CurrentStage(), rooms);
        Form->CBStageChange(CurrentStage());
    }
    std::vector<Object> Room(int room, int stage = -1) {
        const StageData& data = stage < 0 ? Stage() : Form->ImageHolder().Stage(stage);
        std::vector<Object> objects;
        for (const ObjectNode& node : data.ObjectsOfPage(room))
            objects.push_back({node.X, node.Y, node.Type});
        return objects;
    }
    Rooms AllRooms(int stage = -1) {
        Rooms rooms;
        for (int room = 0; room < 32; ++room)
            rooms[static_cast<std::size_t>(room)] = Room(room, stage);
        return rooms;
    }
    std::array<Rooms, 16> EveryStage() {
        std::array<Rooms, 16> stages;
        for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
            stages[static_cast<std::size_t>(stage)] = AllRooms(stage);
        return stages;
    }

    void ShowRooms(int left) { Form->ScrBarObjectMap->setValue(left); }
    void Hover(int side, int x, int y) { ViewDriver::Move(View(side), x, y); }
    // A left click where the pointer has come to rest, as the user clicks.
    void LeftClick(int side, int x, int y) {
        Hover(side, x, y);
        ViewDriver::Click(View(side), Qt::LeftButton, x, y);
    }
    void Drag(int side, int fromX, int fromY, int toX, int toY,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Hover(side, fromX, fromY);
        ViewDriver::Press(View(side), Qt::LeftButton, fromX, fromY);
        ViewDriver::Move(View(side), toX, toY, Qt::LeftButton, modifiers);
        ViewDriver::Release(View(side), Qt::LeftButton, toX, toY, modifiers);
    }
    // A right press; whileOpen runs while the pop-up menu is open.
    void RightPress(int side, int x, int y, const std::function<void(QMenu*)>& whileOpen = {}) {
        Hover(side, x, y);
        Prompts.OnPopup = whileOpen;
        ViewDriver::Click(View(side), Qt::RightButton, x, y);
        Prompts.OnPopup = nullptr;
    }
    void Choose(int side, int x, int y, QAction* item) {
        RightPress(side, x, y, [item](QMenu*) {
            ASSERT_TRUE(item->isEnabled());
            item->trigger();
        });
    }

    // The colour the current stage gives a sheet pixel: palette set 0 through the master
    // palette the window was started with.
    std::uint32_t StageColour(int index) {
        const int number = Stage().StagePalette[static_cast<std::size_t>(index)] & 0x3F;
        const auto at = [&](int k) {
            return std::uint32_t{Master[static_cast<std::size_t>(number * 3 + k)]};
        };
        return at(0) | at(1) << 8 | at(2) << 16;
    }
    // Pixel (x, y) of a room's map page, without marks.
    std::uint32_t RoomPixel(int room, int x, int y) {
        const int chip =
            Stage().MapSetTable[static_cast<std::size_t>(room * 64 + (y / Cell) * 8 + x / Cell)];
        const PalettedImage& sheet = Form->Graphics().Chip32x32Sheet();
        return StageColour(
            sheet.PixelAt((chip % 16) * Cell + x % Cell, (chip / 16) * Cell + y % Cell));
    }
    bool WhiteAt(int side, int x, int y) { return ViewDriver::PixelOf(View(side), x, y) == White; }
    // A square outline of the given size centred as the marks are: its left edge at
    // x - size / 2 from y - size / 2 down, drawn in white.
    bool Outlined(int side, int x, int y, int size) {
        const int half = size / 2;
        for (int i = 0; i < size; ++i)
            for (const auto& [px, py] : {std::pair{x - half + i, y - half},
                                         {x - half + i, y + half - 1},
                                         {x - half, y - half + i},
                                         {x + half - 1, y - half + i}})
                if (px >= 0 && px < 256 && py >= 0 && py < 256 && !WhiteAt(side, px, py))
                    return false;
        return true;
    }
    // The outline's left edge shows the room instead (no mark of that size there).
    bool Unmarked(int side, int room, int x, int y, int size) {
        const int half = size / 2;
        for (int i = 1; i < size - 1; ++i)
            if (ViewDriver::PixelOf(View(side), x - half, y - half + i) !=
                RoomPixel(room, x - half, y - half + i))
                return false;
        return true;
    }

    QString ImagePath;
    const std::array<std::uint8_t, 192> Master = CartridgeGenerator::MakeMasterPalette();
};

// ---- Rooms, counts and marks ----

TEST_F(ObjectTab, OpeningShowsRoomsZeroAndOneWithTheirCountsAndAnEmptyPanel) {
    int all = 0;
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
        all += static_cast<int>(CartridgeGenerator::ObjectsOfStage(stage).size());
    const auto stage0 = CartridgeGenerator::ObjectsOfStage(0);
    int inRoom[2] = {0, 0};
    for (const auto& object : stage0)
        if (object.Page < 2)
            ++inRoom[object.Page];

    EXPECT_EQ(Text(Form->LblObjectRoom), "00-01");
    EXPECT_EQ(Text(Form->LblObjectNum),
              std::to_string(inRoom[0]) + "-" + std::to_string(inRoom[1]));
    EXPECT_EQ(Text(Form->LblObjectSum), std::to_string(stage0.size()) + " / 127");
    EXPECT_EQ(Text(Form->LblAllObjectSum), std::to_string(all) + " / 1657");
    for (const QLabel* label :
         {Form->LblObjectIndex, Form->LblObjectScreen, Form->LblObjectX, Form->LblObjectY})
        EXPECT_EQ(Text(label), "--");
    EXPECT_EQ(Form->CBSelectObject->currentIndex(), -1);
    EXPECT_FALSE(Form->CBSelectObject->isEnabled());
    EXPECT_EQ(Form->CBSelectScroll->currentIndex(), -1);
    EXPECT_FALSE(Form->CBSelectScroll->isEnabled());
    EXPECT_TRUE(Form->BtnObjectCreate->isEnabled());
    EXPECT_FALSE(Form->BtnObjectRemove->isEnabled());
    EXPECT_FALSE(Form->UDObjectX->isEnabled());
    EXPECT_FALSE(Form->UDObjectY->isEnabled());
    EXPECT_EQ(View(0)->size(), QSize(256, 256));
    EXPECT_EQ(View(1)->size(), QSize(256, 256));
}

TEST_F(ObjectTab, RoomsShowTheirMapPagesWithAMarkPerObject) {
    Place({{0, 0x30, 0x40, 0x01},
           {1, 0x80, 0x90, 0x02},
           {1, 0xC0, 0x20, 0x03},
           {2, 0x50, 0x50, 0x04}});
    const std::vector<std::pair<int, Object>> shown = {
        {0, {0x30, 0x40, 1}}, {1, {0x80, 0x90, 2}}, {1, {0xC0, 0x20, 3}}};
    for (const auto& [side, object] : shown) {
        SCOPED_TRACE(side);
        EXPECT_TRUE(Outlined(side, object[0], object[1], 16));
    }
    // Outside the marks, each side shows its room's map page.
    int wrong = 0;
    for (int side = 0; side < 2; ++side)
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                bool inMark = false;
                for (const auto& [markSide, object] : shown)
                    inMark |= markSide == side && std::abs(x - object[0]) <= 8 &&
                              std::abs(y - object[1]) <= 8;
                if (!inMark && ViewDriver::PixelOf(View(side), x, y) != RoomPixel(side, x, y))
                    ++wrong;
            }
    EXPECT_EQ(wrong, 0);

    ShowRooms(1);
    EXPECT_EQ(Text(Form->LblObjectRoom), "01-02");
    EXPECT_EQ(Text(Form->LblObjectNum), "2-1");
    EXPECT_TRUE(Outlined(0, 0x80, 0x90, 16));
    EXPECT_TRUE(Outlined(1, 0x50, 0x50, 16));
    EXPECT_TRUE(Unmarked(1, 2, 0x80, 0x90, 16));
    EXPECT_EQ(ViewDriver::PixelOf(View(1), 200, 200), RoomPixel(2, 200, 200));
}

TEST_F(ObjectTab, ScrollBarReachesRoomsThirtyAndThirtyOneAndAStageChangeReturnsToZero) {
    Place({{31, 0x10, 0x10, 0x01}});
    ShowRooms(30);
    EXPECT_EQ(Text(Form->LblObjectRoom), "1E-1F");
    EXPECT_EQ(Text(Form->LblObjectNum), "0-1");
    EXPECT_EQ(Form->ScrBarObjectMap->maximum(), 30);

    Form->CBStage->setCurrentIndex(1);
    EXPECT_EQ(Form->ScrBarObjectMap->value(), 0);
    EXPECT_EQ(Text(Form->LblObjectRoom), "00-01");
}

TEST_F(ObjectTab, TabActivationRedrawsTheRoomsFromTheCurrentMap) {
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    const std::uint8_t other = Stage().MapSetTable[0] == 0x03 ? 0x04 : 0x03;
    EditStage([other](StageData& stage) { stage.MapSetTable[0] = other; });
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    int wrong = 0;
    for (int y = 8; y < Cell; ++y)
        for (int x = 0; x < Cell; ++x)
            wrong += ViewDriver::PixelOf(View(0), x, y) != RoomPixel(0, x, y);
    EXPECT_EQ(wrong, 0);
}

// ---- Hover and hint ----

TEST_F(ObjectTab, PointerWithinNinePixelsHoversTheFirstObjectInListOrder) {
    Place({{1, 0x40, 0x70, 0x06}, {1, 0x48, 0x70, 0x07}});
    const struct {
        int X, Y;
        int HoveredX; // -1: none
    } cases[] = {{0x40, 0x70, 0x40}, {0x49, 0x67, 0x40}, {0x37, 0x79, 0x40}, {0x4A, 0x70, 0x48},
                 {0x52, 0x70, -1},   {0x40, 0x7A, -1},   {0x36, 0x70, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
        Hover(1, c.X, c.Y);
        EXPECT_EQ(View(1)->HintShown(), c.HoveredX >= 0);
        if (c.HoveredX >= 0) {
            EXPECT_TRUE(
                View(1)->HintText().contains("X座標:" + QString::fromStdString(Hex2(c.HoveredX))));
            EXPECT_TRUE(Outlined(1, c.HoveredX, 0x70, 24));
        }
        if (c.HoveredX != 0x40) {
            EXPECT_TRUE(Unmarked(1, 1, 0x40, 0x70, 24));
        }
    }
}

TEST_F(ObjectTab, HintListsPlacementPositionAndTypeCaption) {
    Place({{0, 0x20, 0x20, 0x01}, {1, 0x40, 0x70, 0x06}});
    Hover(1, 0x43, 0x75);
    EXPECT_TRUE(View(1)->HintShown());
    EXPECT_EQ(View(1)->HintText(), "設置番号:01\r\nX座標:40\r\nY座標:70\r\n種類:\r\n" +
                                       Form->CBSelectObject->itemText(6));
    Hover(1, 0xA0, 0xA0);
    EXPECT_FALSE(View(1)->HintShown());
}

TEST_F(ObjectTab, HintOfAScrollObjectShowsItsScrollCaptionOnSeveralLines) {
    Place({{0, 0x30, 0x02, 0x80}});
    QString caption = Form->CBSelectScroll->itemText(2);
    ASSERT_TRUE(caption.contains('\t'));
    Hover(0, 0x30, 0x05);
    caption.replace("\t", "\r\n");
    EXPECT_EQ(View(0)->HintText(), "設置番号:00\r\nX座標:30\r\nY座標:02\r\n種類:\r\n" +
                                       Form->CBSelectObject->itemText(0x80) + "\r\n------\r\n" +
                                       caption);
    EXPECT_GE(View(0)->HintText().count("\r\n"), 7);
}

TEST_F(ObjectTab, HintStaysOffWhileTheBoxIsClearedAndDuringADrag) {
    Place({{1, 0x40, 0x70, 0x06}});
    Form->ChkPopupHint->setChecked(false);
    Hover(1, 0x40, 0x70);
    EXPECT_FALSE(View(1)->HintShown());

    Form->ChkPopupHint->setChecked(true);
    Hover(1, 0x40, 0x70);
    EXPECT_TRUE(View(1)->HintShown());
    ViewDriver::Press(View(1), Qt::LeftButton, 0x40, 0x70);
    ViewDriver::Move(View(1), 0x60, 0x70, Qt::LeftButton);
    EXPECT_FALSE(View(1)->HintShown());
}

// ---- Selection and the panel ----

TEST_F(ObjectTab, LeftPressSelectsTheHoveredObjectAndEmptyGroundClearsTheSelection) {
    Place({{0, 0x30, 0x02, 0x80}, {1, 0x40, 0x70, 0x06}});
    LeftClick(1, 0x42, 0x71);
    EXPECT_EQ(Text(Form->LblObjectIndex), "01");
    EXPECT_EQ(Text(Form->LblObjectScreen), "01");
    EXPECT_EQ(Text(Form->LblObjectX), "40");
    EXPECT_EQ(Text(Form->LblObjectY), "70");
    EXPECT_EQ(Form->CBSelectObject->currentIndex(), 6);
    EXPECT_TRUE(Form->CBSelectObject->isEnabled());
    EXPECT_EQ(Form->CBSelectScroll->currentIndex(), -1);
    EXPECT_FALSE(Form->CBSelectScroll->isEnabled());
    EXPECT_FALSE(Form->BtnObjectCreate->isEnabled());
    EXPECT_TRUE(Form->BtnObjectRemove->isEnabled());
    EXPECT_TRUE(Form->UDObjectX->isEnabled());
    EXPECT_TRUE(Form->UDObjectY->isEnabled());
    EXPECT_TRUE(Outlined(1, 0x40, 0x70, 32));

    LeftClick(0, 0x30, 0x04);
    EXPECT_EQ(Text(Form->LblObjectIndex), "00");
    EXPECT_EQ(Form->CBSelectObject->currentIndex(), 0x80);
    EXPECT_EQ(Form->CBSelectScroll->currentIndex(), 2);
    EXPECT_TRUE(Form->CBSelectScroll->isEnabled());
    EXPECT_TRUE(Unmarked(1, 1, 0x40, 0x70, 32));

    LeftClick(1, 0xA0, 0xA0);
    EXPECT_EQ(Text(Form->LblObjectX), "--");
    EXPECT_FALSE(Form->CBSelectObject->isEnabled());
    EXPECT_TRUE(Form->BtnObjectCreate->isEnabled());
    EXPECT_FALSE(Form->BtnObjectRemove->isEnabled());
    EXPECT_FALSE(Modified());
}

TEST_F(ObjectTab, PressAfterAKeyboardScrollActsOnTheRoomNowUnderThePointer) {
    Place({{0, 0x40, 0x70, 0x06}, {1, 0x90, 0x30, 0x11}});
    const auto scrollByKey = [this] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(Form->ScrBarObjectMap, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_PageDown, Qt::NoModifier);
        QApplication::sendEvent(Form->ScrBarObjectMap, &release);
    };

    // The pointer rests on room 00's object; the keyboard then shows rooms 01-02.
    Hover(0, 0x40, 0x70);
    scrollByKey();
    ASSERT_EQ(Text(Form->LblObjectRoom), "01-02");
    ViewDriver::Press(View(0), Qt::LeftButton, 0x40, 0x70);
    EXPECT_EQ(Text(Form->LblObjectX), "--") << "room 01 has nothing there";
    ViewDriver::Move(View(0), 0x50, 0x80, Qt::LeftButton);
    ViewDriver::Release(View(0), Qt::LeftButton, 0x50, 0x80);
    EXPECT_EQ(Room(0), (std::vector<Object>{{0x40, 0x70, 6}}));

    // The pointer rests on empty ground; after the scroll a press where the room now shown has
    // an object selects that object.
    ShowRooms(0);
    Hover(1, 0x40, 0x70);
    scrollByKey();
    ViewDriver::Press(View(0), Qt::LeftButton, 0x90, 0x30);
    EXPECT_EQ(Text(Form->LblObjectScreen), "01");
    EXPECT_EQ(Text(Form->LblObjectX), "90");
    ViewDriver::Release(View(0), Qt::LeftButton, 0x90, 0x30);
    EXPECT_FALSE(Modified());
}

TEST_F(ObjectTab, CreateButtonWorksAfterAPressOnEmptyGroundAndSelectsTheNewObject) {
    Place({{1, 0x40, 0x70, 0x06}});
    LeftClick(1, 0x40, 0x70);
    EXPECT_FALSE(Form->BtnObjectCreate->isEnabled());

    LeftClick(1, 0x90, 0x20);
    ASSERT_TRUE(Form->BtnObjectCreate->isEnabled());
    Form->BtnObjectCreate->click();
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x40, 0x70, 6}, {0x90, 0x20, 0}}));
    EXPECT_EQ(Text(Form->LblObjectIndex), "01");
    EXPECT_EQ(Text(Form->LblObjectScreen), "01");
    EXPECT_EQ(Text(Form->LblObjectX), "90");
    EXPECT_EQ(Text(Form->LblObjectY), "20");
    EXPECT_EQ(Form->CBSelectObject->currentIndex(), 0);
    EXPECT_FALSE(Form->BtnObjectCreate->isEnabled());
    EXPECT_EQ(Text(Form->LblObjectNum), "0-2");
    EXPECT_EQ(Text(Form->LblObjectSum), "2 / 127");
    EXPECT_TRUE(Outlined(1, 0x90, 0x20, 16));
    EXPECT_TRUE(Outlined(1, 0x90, 0x20, 32));
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Form->StatusPanels[0]->text().toStdString(), "変更あり");
}

TEST_F(ObjectTab, CreatingSortsTheRoomKeepingObjectsOfEqualXInTheirOrder) {
    Place({{1, 0x30, 0x20, 0x0A},
           {1, 0x10, 0x40, 0x0B},
           {1, 0x30, 0x60, 0x0C},
           {1, 0x05, 0x80, 0x0D}});
    LeftClick(1, 0x20, 0xA0);
    Form->BtnObjectCreate->click();
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x05, 0x80, 0x0D},
                                            {0x10, 0x40, 0x0B},
                                            {0x20, 0xA0, 0},
                                            {0x30, 0x20, 0x0A},
                                            {0x30, 0x60, 0x0C}}));
    EXPECT_EQ(Text(Form->LblObjectIndex), "02");

    // Without sorting the new object stays last.
    Form->ChkSortObjectList->setChecked(false);
    LeftClick(1, 0x08, 0xC0);
    Form->BtnObjectCreate->click();
    EXPECT_EQ(Room(1).back(), (Object{0x08, 0xC0, 0}));
    EXPECT_EQ(Text(Form->LblObjectIndex), "05");
}

// ---- Dragging ----

TEST_F(ObjectTab, DragPutsTheObjectAtThePointerWithItsSnapping) {
    const struct {
        const char* Name;
        Qt::KeyboardModifiers Keys;
        int ToX, ToY;
        int X, Y;
    } cases[] = {
        {"plain", Qt::NoModifier, 0x53, 0x6E, 0x53, 0x6E},
        {"ctrl snaps to 8", Qt::ControlModifier, 0x53, 0x6E, 0x50, 0x68},
        {"shift snaps to 4", Qt::ShiftModifier, 0x53, 0x6E, 0x50, 0x6C},
        {"both freeze", Qt::ControlModifier | Qt::ShiftModifier, 0x53, 0x6E, 0x40, 0x70},
        {"beyond the left edge", Qt::NoModifier, -30, 0x50, 0x00, 0x50},
        {"beyond the right and top edges", Qt::NoModifier, 300, -5, 0xFF, 0x00},
        {"ctrl left of the edge", Qt::ControlModifier, -3, 0x57, 0x00, 0x50},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Place({{1, 0x40, 0x70, 0x06}});
        Form->History().MarkSaved({});
        Drag(1, 0x42, 0x72, c.ToX, c.ToY, c.Keys);
        EXPECT_EQ(Room(1), (std::vector<Object>{{c.X, c.Y, 6}}));
        EXPECT_EQ(Text(Form->LblObjectX), Hex2(c.X));
        EXPECT_EQ(Text(Form->LblObjectY), Hex2(c.Y));
        EXPECT_EQ(Modified(), c.X != 0x40 || c.Y != 0x70);
    }
}

TEST_F(ObjectTab, DragFromEmptyGroundMovesNothing) {
    Place({{1, 0x40, 0x70, 0x06}});
    Drag(1, 0xA0, 0xA0, 0x40, 0x70);
    ViewDriver::Move(View(1), 0x42, 0x72, Qt::LeftButton);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x40, 0x70, 6}}));
    EXPECT_FALSE(Modified());
}

TEST_F(ObjectTab, DraggingPastTwoObjectsWithSortingOnRaisesThePlacementNumberByTwo) {
    const std::vector<Placed> objects = {{0, 0x20, 0x20, 0x01},
                                         {1, 0x0A, 0x50, 0x02},
                                         {1, 0x60, 0x50, 0x03},
                                         {1, 0x90, 0x50, 0x04},
                                         {1, 0xE0, 0x50, 0x05}};
    Place(objects);
    Hover(1, 0x0A, 0x50);
    EXPECT_TRUE(View(1)->HintText().startsWith("設置番号:01\r\n"));
    Drag(1, 0x0A, 0x50, 0xC8, 0x50);
    EXPECT_EQ(Room(1), (std::vector<Object>{
                           {0x60, 0x50, 3}, {0x90, 0x50, 4}, {0xC8, 0x50, 2}, {0xE0, 0x50, 5}}));
    EXPECT_EQ(Text(Form->LblObjectIndex), "03");
    Hover(1, 0xC8, 0x50);
    EXPECT_TRUE(View(1)->HintText().startsWith("設置番号:03\r\n"));

    // With sorting off the list keeps its order.
    Form->ChkSortObjectList->setChecked(false);
    Place(objects);
    Drag(1, 0x0A, 0x50, 0xC8, 0x50);
    EXPECT_EQ(Room(1).front(), (Object{0xC8, 0x50, 2}));
    EXPECT_EQ(Text(Form->LblObjectIndex), "01");
}

// ---- Arrows and lists ----

TEST_F(ObjectTab, ArrowsNudgeByOneClampAtTheBoundsAndMarkOnlyAMove) {
    const struct {
        const char* Name;
        int X, Y;
        std::function<QToolButton*(TMainForm&)> Arrow;
        int ExpectedX, ExpectedY;
    } cases[] = {
        {"left at 00", 0x00, 0x70, [](TMainForm& f) { return f.UDObjectX->DownButton(); }, 0x00,
         0x70},
        {"right at FF", 0xFF, 0x70, [](TMainForm& f) { return f.UDObjectX->UpButton(); }, 0xFF,
         0x70},
        {"right", 0x40, 0x70, [](TMainForm& f) { return f.UDObjectX->UpButton(); }, 0x41, 0x70},
        {"left", 0x40, 0x70, [](TMainForm& f) { return f.UDObjectX->DownButton(); }, 0x3F, 0x70},
        {"up at 00", 0x40, 0x00, [](TMainForm& f) { return f.UDObjectY->UpButton(); }, 0x40, 0x00},
        {"down at FF", 0x40, 0xFF, [](TMainForm& f) { return f.UDObjectY->DownButton(); }, 0x40,
         0xFF},
        {"up", 0x40, 0x70, [](TMainForm& f) { return f.UDObjectY->UpButton(); }, 0x40, 0x6F},
        {"down", 0x40, 0x70, [](TMainForm& f) { return f.UDObjectY->DownButton(); }, 0x40, 0x71},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Place({{1, c.X, c.Y, 0x06}});
        LeftClick(1, c.X, c.Y);
        Form->History().MarkSaved({});
        c.Arrow(*Form)->click();
        EXPECT_EQ(Room(1), (std::vector<Object>{{c.ExpectedX, c.ExpectedY, 6}}));
        EXPECT_EQ(Text(Form->LblObjectX), Hex2(c.ExpectedX));
        EXPECT_EQ(Text(Form->LblObjectY), Hex2(c.ExpectedY));
        // A nudge against a bound moves nothing: no step, nothing to save.
        EXPECT_EQ(Modified(), c.ExpectedX != c.X || c.ExpectedY != c.Y);
        EXPECT_EQ(Form->UDObjectX->Position(), 0);
        EXPECT_EQ(Form->UDObjectY->Position(), 0);
        EXPECT_TRUE(Outlined(1, c.ExpectedX, c.ExpectedY, 16) &&
                    Outlined(1, c.ExpectedX, c.ExpectedY, 32));
    }
}

TEST_F(ObjectTab, NudgingPastANeighbourDoesNotSort) {
    Place({{1, 0x40, 0x70, 0x06}, {1, 0x40, 0x20, 0x07}});
    LeftClick(1, 0x40, 0x70);
    Form->UDObjectX->UpButton()->click();
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x41, 0x70, 6}, {0x40, 0x20, 7}}));
}

TEST_F(ObjectTab, TypeAndScrollListsRetypeTheSelectedObject) {
    Place({{1, 0x40, 0x70, 0x06}});
    LeftClick(1, 0x40, 0x70);
    Form->History().MarkSaved({});
    Form->CBSelectObject->setCurrentIndex(0x80);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x40, 0x70, 0x80}}));
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(Form->CBSelectScroll->isEnabled());
    EXPECT_EQ(Form->CBSelectScroll->currentIndex(), 0x70);
    EXPECT_TRUE(Outlined(1, 0x40, 0x70, 32));

    Form->CBSelectScroll->setCurrentIndex(3);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x40, 0x03, 0x80}}));
    EXPECT_EQ(Text(Form->LblObjectY), "03");

    Form->CBSelectObject->setCurrentIndex(0x2A);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x40, 0x03, 0x2A}}));
    EXPECT_FALSE(Form->CBSelectScroll->isEnabled());
}

// ---- Pop-up menu ----

TEST_F(ObjectTab, PopupMenuEnablesItsItemsByWhatIsUnderThePointer) {
    QStringList captions;
    for (const QAction* item : Form->PopupMenuObjectEdit->actions())
        captions << item->text();
    EXPECT_EQ(captions, (QStringList{"オブジェクトの新規作成", "このオブジェクトをコピー",
                                     "このオブジェクトを切り取り", "オブジェクトを貼り付け",
                                     "このオブジェクトを削除", "キャンセル"}));

    Place({{1, 0x40, 0x70, 0x06}});
    const auto states = [this] {
        std::vector<bool> enabled;
        for (const QAction* item : Form->PopupMenuObjectEdit->actions())
            enabled.push_back(item->isEnabled());
        return enabled;
    };
    std::vector<bool> onEmpty, onObject;
    RightPress(1, 0xA0, 0xA0, [&](QMenu*) { onEmpty = states(); });
    EXPECT_EQ(onEmpty, (std::vector<bool>{true, false, false, false, false, true}));
    EXPECT_EQ(Form->MenuPasteObject->text(), "オブジェクトを貼り付け");
    RightPress(1, 0x40, 0x70, [&](QMenu*) { onObject = states(); });
    EXPECT_EQ(onObject, (std::vector<bool>{true, true, true, false, true, true}));

    // Cancel changes nothing; copying fills the clipboard for every stage.
    Choose(1, 0x40, 0x70, Form->N9);
    Choose(1, 0x40, 0x70, Form->MenuCopyObject);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x40, 0x70, 6}}));
    EXPECT_FALSE(Modified());
    Form->CBStage->setCurrentIndex(2);
    RightPress(0, 0xF0, 0xF0, [&](QMenu*) { onEmpty = states(); });
    EXPECT_EQ(onEmpty, (std::vector<bool>{true, false, false, true, false, true}));
    EXPECT_EQ(Form->MenuPasteObject->text(), "オブジェクト(06)を貼り付け");
    EXPECT_EQ(std::count(Prompts.Log.begin(), Prompts.Log.end(), "popup"), 5);
}

TEST_F(ObjectTab, CutInRoomThreeAndPasteInRoomSixteenKeepsTheType) {
    Place({{3, 0x50, 0x60, 0x2A}, {0x10, 0x80, 0x80, 0x01}});
    ShowRooms(2);
    Choose(1, 0x52, 0x61, Form->MenuCutObject);
    EXPECT_TRUE(Room(3).empty());
    EXPECT_EQ(Text(Form->LblObjectNum), "0-0");

    ShowRooms(0x10);
    LeftClick(0, 0x80, 0x80);
    Choose(0, 0x33, 0x44, Form->MenuPasteObject);
    EXPECT_EQ(Room(0x10), (std::vector<Object>{{0x33, 0x44, 0x2A}, {0x80, 0x80, 0x01}}));
    EXPECT_EQ(Text(Form->LblObjectSum), "2 / 127");
    EXPECT_EQ(Text(Form->LblObjectNum), "2-0");
    // The pasted object is not selected; the selection stays on the one pressed before.
    EXPECT_EQ(Text(Form->LblObjectX), "80");
    EXPECT_EQ(Text(Form->LblObjectIndex), "01");
    EXPECT_TRUE(Modified());
    Hover(0, 0xC0, 0xC0);
    EXPECT_TRUE(Outlined(0, 0x33, 0x44, 16));
    EXPECT_TRUE(Unmarked(0, 0x10, 0x33, 0x44, 32));
}

TEST_F(ObjectTab, MenuCreatePlacesAnUnselectedTypeZeroObjectShownAtTheNextMove) {
    Place({});
    Choose(0, 0x70, 0x80, Form->MenuCreateObject);
    EXPECT_EQ(Room(0), (std::vector<Object>{{0x70, 0x80, 0}}));
    EXPECT_EQ(Text(Form->LblObjectX), "--");
    EXPECT_TRUE(Form->BtnObjectCreate->isEnabled());
    EXPECT_TRUE(Modified());
    Hover(1, 0x10, 0x10);
    EXPECT_TRUE(Outlined(0, 0x70, 0x80, 16));
}

// ---- Removal: no reference outlives its object ----

TEST_F(ObjectTab, RemovingTheSelectedObjectThroughTheMenuClearsThePanel) {
    Place({{1, 0x40, 0x70, 0x06}, {1, 0x90, 0x70, 0x07}});
    LeftClick(1, 0x40, 0x70);
    Choose(1, 0x40, 0x70, Form->MenuRemoveObject);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x90, 0x70, 7}}));
    EXPECT_EQ(Text(Form->LblObjectX), "--");
    EXPECT_FALSE(Form->BtnObjectRemove->isEnabled());
    EXPECT_EQ(Text(Form->LblObjectNum), "0-1");
    EXPECT_TRUE(Modified());
    // A drag begun without a new hover finds nothing to move.
    ViewDriver::Press(View(1), Qt::LeftButton, 0x40, 0x70);
    ViewDriver::Move(View(1), 0x20, 0x20, Qt::LeftButton);
    ViewDriver::Release(View(1), Qt::LeftButton, 0x20, 0x20);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x90, 0x70, 7}}));
    EXPECT_TRUE(Unmarked(1, 1, 0x40, 0x70, 16));
}

TEST_F(ObjectTab, CuttingTheSelectedObjectLeavesNoReferenceBehind) {
    Place({{1, 0x40, 0x70, 0x06}});
    LeftClick(1, 0x40, 0x70);
    Choose(1, 0x40, 0x70, Form->MenuCutObject);
    EXPECT_TRUE(Room(1).empty());
    Form->UDObjectX->UpButton()->click();
    Form->CBSelectObject->setCurrentIndex(3);
    Drag(1, 0x40, 0x70, 0x10, 0x10);
    EXPECT_TRUE(Room(1).empty());
    Choose(1, 0x20, 0x30, Form->MenuPasteObject);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x20, 0x30, 6}}));
}

TEST_F(ObjectTab, RemoveButtonRemovesTheSelectionEvenWhileThePointerRestsOnIt) {
    Place({{1, 0x40, 0x70, 0x06}, {1, 0x90, 0x70, 0x07}});
    LeftClick(1, 0x40, 0x70);
    Form->BtnObjectRemove->click();
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x90, 0x70, 7}}));
    EXPECT_EQ(Text(Form->LblObjectIndex), "--");
    EXPECT_TRUE(Form->BtnObjectCreate->isEnabled());
    EXPECT_EQ(Text(Form->LblObjectSum), "1 / 127");
    EXPECT_TRUE(Modified());
    EXPECT_TRUE(Unmarked(1, 1, 0x40, 0x70, 16));
    // The pointer has not moved: the press and drag that follow must not reach the freed object.
    ViewDriver::Press(View(1), Qt::LeftButton, 0x40, 0x70);
    ViewDriver::Move(View(1), 0x20, 0x20, Qt::LeftButton);
    ViewDriver::Release(View(1), Qt::LeftButton, 0x20, 0x20);
    RightPress(1, 0x40, 0x70);
    EXPECT_EQ(Room(1), (std::vector<Object>{{0x90, 0x70, 7}}));
}

TEST_F(ObjectTab, ReloadAsksThenRereadsTheStageKeepingTheModifiedMark) {
    const Rooms decoded = AllRooms();
    Drag(0, 0x10, 0x00, 0x60, 0x60);
    const Rooms dragged = AllRooms();
    ASSERT_NE(dragged, decoded);

    Prompts.YesNoAnswers = {false};
    Form->BtnObjectEditReload->click();
    EXPECT_EQ(Prompts.Log.back(), ReloadQuestion);
    EXPECT_EQ(AllRooms(), dragged);

    LeftClick(0, 0x60, 0x60);
    Prompts.YesNoAnswers = {true};
    Form->BtnObjectEditReload->click();
    EXPECT_EQ(AllRooms(), decoded);
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Text(Form->LblObjectX), "--");
    // Selection and hover went with the old objects.
    ViewDriver::Move(View(0), 0x30, 0x30, Qt::LeftButton);
    Form->UDObjectY->DownButton()->click();
    EXPECT_EQ(AllRooms(), decoded);
}

// ---- Limits ----

TEST_F(ObjectTab, AStageTakesAtMost127Objects) {
    std::vector<Placed> objects;
    for (int i = 0; i < 126; ++i)
        objects.push_back({5 + i % 20, 0x10 + i, 0x40, 0x01});
    Place(objects);
    EXPECT_EQ(Text(Form->LblObjectSum), "126 / 127");

    LeftClick(0, 0x20, 0x20);
    Form->BtnObjectCreate->click();
    EXPECT_EQ(Text(Form->LblObjectSum), "127 / 127");
    EXPECT_TRUE(Prompts.Messages().empty());

    const Rooms full = AllRooms();
    Choose(0, 0x20, 0x20, Form->MenuCopyObject);
    LeftClick(0, 0x80, 0x80);
    Form->BtnObjectCreate->click();
    Choose(0, 0x90, 0x90, Form->MenuCreateObject);
    Choose(0, 0x90, 0x90, Form->MenuPasteObject);
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>(3, LimitMessage));
    EXPECT_EQ(AllRooms(), full);
    EXPECT_EQ(Text(Form->LblObjectSum), "127 / 127");
}

TEST_F(ObjectTab, AllStagesTogetherTakeAtMost1657Objects) {
    int all = 0;
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
        all += Form->ImageHolder().Stage(stage).ObjectTotal();
    // Fill the other stages up to 1656 in all, leaving the current one below its own limit.
    constexpr int AllButOne = LevelFormat::MaxObjectsAllStages - 1;
    for (int stage = 1; stage < LevelFormat::StageCount && all < AllButOne; ++stage) {
        const StageData& data = Form->ImageHolder().Stage(stage);
        std::vector<std::vector<ObjectRecord>> rooms(32);
        for (int room = 0; room < 32; ++room)
            rooms[static_cast<std::size_t>(room)] = data.PageRecords(room);
        for (int total = data.ObjectTotal();
             total < LevelFormat::MaxObjectsPerStage && all < AllButOne; ++total, ++all)
            rooms[20].push_back({0, 0x80, 0x80, 0x01});
        SetUpObjects(stage, rooms);
    }
    ASSERT_EQ(all, AllButOne);
    Form->CBStageChange(0);
    EXPECT_EQ(Text(Form->LblAllObjectSum), "1656 / 1657");

    LeftClick(0, 0xA0, 0xA0);
    Form->BtnObjectCreate->click();
    EXPECT_EQ(Text(Form->LblAllObjectSum), "1657 / 1657");
    const int stageTotal = Stage().ObjectTotal();
    EXPECT_LT(stageTotal, LevelFormat::MaxObjectsPerStage);

    LeftClick(0, 0xE0, 0xE0);
    Form->BtnObjectCreate->click();
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{LimitMessage});
    EXPECT_EQ(Stage().ObjectTotal(), stageTotal);
}

// ---- Saving ----

TEST_F(ObjectTab, SavedObjectsOfAllStagesComeBackAfterReopening) {
    const std::vector<std::uint8_t> original = CartridgeGenerator::MakeImage();

    // Stage 0: create and retype in room 1, drag another object of room 1.
    LeftClick(1, 0x70, 0x20);
    Form->BtnObjectCreate->click();
    Form->CBSelectObject->setCurrentIndex(0x33);
    Drag(1, 0xC0, 0xB0, 0x20, 0x40);
    // Stage 3: a scroll object created from the menu, then selected and given scroll 4.
    Form->CBStage->setCurrentIndex(3);
    Choose(0, 0x44, 0x55, Form->MenuCreateObject);
    LeftClick(0, 0x44, 0x55);
    Form->CBSelectObject->setCurrentIndex(0x80);
    Form->CBSelectScroll->setCurrentIndex(4);
    ShowRooms(5);
    LeftClick(1, 0x10, 0x10);
    Form->BtnObjectCreate->click();

    const std::array<Rooms, 16> expected = EveryStage();
    const auto& room1 = expected[0][1];
    EXPECT_NE(std::find(room1.begin(), room1.end(), Object{0x20, 0x40, 0x05}), room1.end());
    EXPECT_NE(std::find(room1.begin(), room1.end(), Object{0x70, 0x20, 0x33}), room1.end());
    EXPECT_EQ(expected[3][0].back(), (Object{0x44, 0x04, 0x80}));

    Form->Save1Click();
    EXPECT_FALSE(Form->Tracker().IsModified());
    const std::vector<std::uint8_t> saved = ReadWholeFile(ImagePath.toStdString());
    ASSERT_EQ(saved.size(), original.size());

    // The blocks lie back to back from stage 0's unchanged pointer.
    EXPECT_EQ(saved[ObjectDataAddressLow], original[ObjectDataAddressLow]);
    EXPECT_EQ(saved[ObjectDataAddressHigh], original[ObjectDataAddressHigh]);
    int pointer = CartridgeGenerator::Stage0ObjectPointer;
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage) {
        SCOPED_TRACE(stage);
        const auto s = static_cast<std::size_t>(stage);
        EXPECT_EQ(saved[ObjectDataAddressLow + s] | saved[ObjectDataAddressHigh + s] << 8, pointer);
        std::vector<std::array<int, 4>> rows;
        for (int room = 0; room < 32; ++room)
            for (const Object& object : expected[s][static_cast<std::size_t>(room)])
                rows.push_back({room, object[0], object[1], object[2]});
        const auto count = rows.size();
        EXPECT_EQ(saved[ObjectCount + s], count);
        rows.push_back({0xFF, 0xFF, 0xFF, 0xFF});
        const std::size_t data = CartridgeGenerator::ObjectBank * LevelFormat::BankSize +
                                 static_cast<std::size_t>(pointer) - LevelFormat::Bank8000Base + 1;
        for (std::size_t r = 0; r < rows.size(); ++r)
            for (std::size_t column = 0; column < 4; ++column)
                EXPECT_EQ(saved[data + column * (count + 1) + r], rows[r][column]) << "row " << r;
        pointer += 4 * static_cast<int>(count + 1);
    }
    // Nothing else moved. The last block ends with the byte the next pointer would address.
    const std::size_t blocksEnd = CartridgeGenerator::ObjectBank * LevelFormat::BankSize +
                                  static_cast<std::size_t>(pointer) - LevelFormat::Bank8000Base + 1;
    int changedElsewhere = 0;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        const bool tables = i >= ObjectDataAddressLow && i < ObjectCount + 16;
        const bool blocks = i >= CartridgeGenerator::ObjectBlockStart && i < blocksEnd;
        changedElsewhere += !tables && !blocks && saved[i] != original[i];
    }
    EXPECT_EQ(changedElsewhere, 0);

    OpenThroughMenu(ImagePath);
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{});
    EXPECT_EQ(EveryStage(), expected);
}

} // namespace
