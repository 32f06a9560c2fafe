// Copy and paste through the system clipboard, driven through the real window: what one stage
// copies another takes, typed rows of numbers become a stamp, and whatever else the clipboard
// holds is refused with a message and changes nothing.
#include "FakePrompts.h"
#include "MainFormFixture.h"
#include "TabTestSupport.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "document/ClipboardContent.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"
#include "mapsetedit/MapSetEditClass.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int Cell = 32;
constexpr const char* Refused = "クリップボードの内容を貼り付けられません";

class Clipboard : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        QGuiApplication::clipboard()->clear();
        WriteStartupFiles();
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        OpenThroughMenu(WriteCartridge("stage.nes"));
    }
    // The clipboard outlives the window: later tests start without what these put there.
    void TearDown() override {
        QGuiApplication::clipboard()->clear();
        MainFormFixture::TearDown();
    }
    void Show(QWidget* tab) { Form->EditPageControl->setCurrentWidget(tab); }
    void SelectStage(int stage) { Form->CBStage->setCurrentIndex(stage); }
    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    int Steps() { return Form->History().Stack().index(); }
    std::string Status() { return Form->StatusPanels[0]->text().toStdString(); }
    static void PutOnClipboard(const char* mimeType, const QByteArray& data) {
        auto* mime = new QMimeData;
        mime->setData(mimeType, data);
        QGuiApplication::clipboard()->setMimeData(mime);
    }
    static void PutText(const QString& text) { QGuiApplication::clipboard()->setText(text); }

    // Map-set tab: page 0 on side 0.
    TImageEx* Page0() { return Form->ImgEditMapSetPage0; }
    std::array<std::uint8_t, 64> MapPage0() {
        std::array<std::uint8_t, 64> bytes{};
        std::copy_n(Stage().MapSetTable.begin(), 64, bytes.begin());
        return bytes;
    }
    void RightDrag(int from, int to) {
        ViewDriver::Press(Page0(), Qt::RightButton, (from % 8) * Cell + 9, (from / 8) * Cell + 9);
        ViewDriver::Move(Page0(), (to % 8) * Cell + 9, (to / 8) * Cell + 9, Qt::RightButton);
        ViewDriver::Release(Page0(), Qt::RightButton, (to % 8) * Cell + 9, (to / 8) * Cell + 9);
    }
    void LeftClick(int cell) {
        ViewDriver::Click(Page0(), Qt::LeftButton, (cell % 8) * Cell + 9, (cell / 8) * Cell + 9);
    }
    std::string StampSize() { return Form->LblMapSetStampSize->text().toStdString(); }
};

TEST_F(Clipboard, AStampCopiedOnStage2IsPlacedOnStage9) {
    Show(Form->TabMapSetEdit);
    SelectStage(2);
    EXPECT_FALSE(Form->Paste1->isEnabled()); // nothing on the clipboard yet
    RightDrag(9, 27);                        // 3x3 from column 1, row 1
    const auto source = MapPage0();
    Form->Copy1->trigger();
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(mime->hasFormat(ClipboardFormat::MimeType));
    const QString rows = mime->text();
    EXPECT_EQ(rows.count('\n'), 3);
    EXPECT_EQ(rows.section('\n', 0, 0), QStringLiteral("%1 %2 %3")
                                            .arg(source[9], 2, 16, QChar('0'))
                                            .arg(source[10], 2, 16, QChar('0'))
                                            .arg(source[11], 2, 16, QChar('0'))
                                            .toUpper());

    SelectStage(9);
    EXPECT_EQ(StampSize(), "1x1");
    ASSERT_TRUE(Form->Paste1->isEnabled());
    Form->Paste1->trigger();
    EXPECT_EQ(StampSize(), "3x3");
    const int steps = Steps();
    LeftClick(36); // column 4, row 4
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(Stage().MapSetTable[static_cast<std::size_t>((4 + row) * 8 + 4 + column)],
                      source[static_cast<std::size_t>((1 + row) * 8 + 1 + column)])
                << row << "," << column;
    EXPECT_EQ(Steps(), steps + 1);
    EXPECT_TRUE(Prompts.Messages().empty());
}

TEST_F(Clipboard, TypedRowsOfNumbersBecomeTheStamp) {
    Show(Form->TabMapSetEdit);
    PutText("0a 0B\t1c\r\n  2d\t\t3E 4f  \r\n");
    Form->Paste1->trigger();
    EXPECT_EQ(StampSize(), "3x2");
    LeftClick(0);
    const std::array<std::uint8_t, 6> expected = {0x0A, 0x0B, 0x1C, 0x2D, 0x3E, 0x4F};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Stage().MapSetTable[(i / 3) * 8 + i % 3], expected[i]) << i;
    EXPECT_TRUE(Prompts.Messages().empty());
}

TEST_F(Clipboard, AChipOrAPaletteSetCopiedOnStage2IsPastedOnStage9AsOneStep) {
    using Reader = std::function<std::vector<std::uint8_t>(const StageData&)>;
    const auto quarters32 = [](int chip) -> Reader {
        return [chip](const StageData& stage) {
            std::vector<std::uint8_t> bytes;
            for (int q = 0; q < 4; ++q)
                bytes.push_back(stage.Chip32x32Table[static_cast<std::size_t>(chip * 4 + q)]);
            return bytes;
        };
    };
    const auto chip16 = [](int chip) -> Reader {
        return [chip](const StageData& stage) {
            std::vector<std::uint8_t> bytes;
            for (int q = 0; q < 4; ++q)
                bytes.push_back(stage.Chip16x16Table()[static_cast<std::size_t>(q * 256 + chip)]);
            bytes.push_back(stage.ChipPropertyTable()[static_cast<std::size_t>(chip)]);
            return bytes;
        };
    };
    const auto paletteSet = [](int set) -> Reader {
        return [set](const StageData& stage) {
            return std::vector<std::uint8_t>(stage.StagePalette.begin() + set * 16,
                                             stage.StagePalette.begin() + set * 16 + 16);
        };
    };
    const auto press32 = [this](int chip) {
        ViewDriver::Click(Form->ImgEdit32x32ChipView, Qt::LeftButton, (chip % 16) * 32 + 5,
                          (chip / 16) * 32 + 5);
    };
    const auto press16 = [this](int chip) {
        ViewDriver::Click(Form->ImgEdit16x16ChipView, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
    };
    const auto set = [this](int index) { Form->CBSelectPaletteSet->setCurrentIndex(index); };
    struct TabCase {
        const char* Name;
        QWidget* Tab;
        std::function<void()> ChooseOnStage2;
        std::function<void()> ChooseOnStage9;
        Reader Copied;
        Reader Pasted;
    };
    const std::vector<TabCase> cases = {
        {"32x32 chip 11 onto 25", Form->Tab32x32ChipEdit, [&] { press32(0x11); },
         [&] { press32(0x25); }, quarters32(0x11), quarters32(0x25)},
        {"16x16 chip 13 onto 42", Form->Tab16x16ChipEdit, [&] { press16(0x13); },
         [&] { press16(0x42); }, chip16(0x13), chip16(0x42)},
        {"palette set 0 onto set 1", Form->TabPaletteEdit, [&] { set(0); }, [&] { set(1); },
         paletteSet(0), paletteSet(1)},
    };
    for (const TabCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const Reader& copied = c.Copied;
        const Reader& pasted = c.Pasted;
        Show(c.Tab);
        SelectStage(2);
        c.ChooseOnStage2();
        const auto source = copied(Stage());
        Form->Copy1->trigger();

        SelectStage(9);
        c.ChooseOnStage9();
        const auto before = pasted(Stage());
        ASSERT_NE(before, source);
        const int steps = Steps();
        const std::string status = Status();
        ASSERT_TRUE(Form->Paste1->isEnabled());
        Form->Paste1->trigger();
        EXPECT_EQ(pasted(Stage()), source);
        EXPECT_EQ(Steps(), steps + 1);
        EXPECT_EQ(Status(), "変更あり");
        Form->Undo1->trigger();
        EXPECT_EQ(pasted(Stage()), before);
        EXPECT_EQ(Status(), status);
        EXPECT_TRUE(Prompts.Messages().empty());
    }
}

TEST_F(Clipboard, AnythingElseIsRefusedAndChangesNothing) {
    const QByteArray mapJson =
        R"({"format":"kestrin6editor","kind":"map-cells","width":2,"height":1,"values":[1,2]})";
    struct RefusedCase {
        const char* Name;
        const char* MimeType; // nullptr: plain text
        QByteArray Data;
    };
    const char* own = ClipboardFormat::MimeType;
    const std::vector<RefusedCase> cases = {
        {"another program's text", nullptr, "hello, world"},
        {"rows of different lengths", nullptr, "00 01\n02\n"},
        {"nine numbers in a row", nullptr, "00 01 02 03 04 05 06 07 08"},
        {"nine rows", nullptr, "00\n01\n02\n03\n04\n05\n06\n07\n08\n"},
        {"a number beyond FF", nullptr, "00 100"},
        {"an empty text", nullptr, ""},
        {"malformed JSON", own, R"({"format":"kestrin6editor","kind":"map-cells",)"},
        {"JSON that is not an object", own, "[1,2,3]"},
        {"another format's name", own, QByteArray(mapJson).replace("kestrin6editor", "other")},
        {"a kind this tab does not take", own,
         R"({"format":"kestrin6editor","kind":"chip32x32","width":4,"height":1,)"
         R"("values":[1,2,3,4]})"},
        {"an unknown kind", own, QByteArray(mapJson).replace("map-cells", "sprites")},
        {"width nine", own,
         R"({"format":"kestrin6editor","kind":"map-cells","width":9,"height":1,)"
         R"("values":[1,2,3,4,5,6,7,8,9]})"},
        {"height zero", own, QByteArray(mapJson).replace("\"height\":1", "\"height\":0")},
        {"fewer values than cells", own, QByteArray(mapJson).replace("[1,2]", "[1]")},
        {"a value of 256", own, QByteArray(mapJson).replace("[1,2]", "[1,256]")},
        {"a negative value", own, QByteArray(mapJson).replace("[1,2]", "[1,-2]")},
        {"a fraction", own, QByteArray(mapJson).replace("[1,2]", "[1,2.5]")},
        {"a value as text", own, QByteArray(mapJson).replace("[1,2]", "[1,\"2\"]")},
        {"a width as text", own, QByteArray(mapJson).replace("\"width\":2", "\"width\":\"2\"")},
    };
    Show(Form->TabMapSetEdit);
    SelectStage(4);
    RightDrag(0, 9); // a 2x2 stamp to keep
    const auto stamp = Form->MapSetEdit->Stamp();
    const auto bytes = MapPage0();
    const int steps = Steps();
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Prompts.Log.clear();
        if (c.MimeType == nullptr)
            PutText(QString::fromUtf8(c.Data));
        else
            PutOnClipboard(c.MimeType, c.Data);
        Form->Paste1->trigger();
        EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{Refused});
        EXPECT_EQ(Form->MapSetEdit->Stamp(), stamp);
        LeftClick(63);
        EXPECT_EQ(MapPage0(), bytes);
        EXPECT_EQ(Steps(), steps);
    }
}

TEST_F(Clipboard, OtherTabsRefuseKindsAndValuesTheyDoNotTake) {
    struct RefusedCase {
        const char* Name;
        QWidget* Tab;
        QByteArray Json;
    };
    const std::vector<RefusedCase> cases = {
        {"map cells on the 32x32 chip tab", Form->Tab32x32ChipEdit,
         R"({"format":"kestrin6editor","kind":"map-cells","width":4,"height":1,)"
         R"("values":[1,2,3,4]})"},
        {"five values for a 32x32 chip", Form->Tab32x32ChipEdit,
         R"({"format":"kestrin6editor","kind":"chip32x32","width":5,"height":1,)"
         R"("values":[1,2,3,4,5]})"},
        {"a 32x32 chip on the 16x16 chip tab", Form->Tab16x16ChipEdit,
         R"({"format":"kestrin6editor","kind":"chip32x32","width":4,"height":1,)"
         R"("values":[1,2,3,4]})"},
        {"colour 40 in a palette set", Form->TabPaletteEdit,
         R"({"format":"kestrin6editor","kind":"palette-set","width":4,"height":4,)"
         R"("values":[15,1,2,3,15,17,18,19,15,33,34,35,15,48,49,64]})"},
    };
    SelectStage(6);
    const std::vector<std::uint8_t> buffer(Form->ImageHolder().Buffer().begin(),
                                           Form->ImageHolder().Buffer().end());
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Show(c.Tab);
        Prompts.Log.clear();
        PutOnClipboard(ClipboardFormat::MimeType, c.Json);
        Form->Paste1->trigger();
        EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{Refused});
        EXPECT_EQ(Steps(), 0);
        EXPECT_FALSE(Form->Tracker().IsModified());
    }
    // Plain text is for map cells only: elsewhere the paste stays off.
    Show(Form->TabPaletteEdit);
    PutText("0F 01 02 03");
    EXPECT_FALSE(Form->Paste1->isEnabled());
}

TEST_F(Clipboard, AnObjectTypeCopiedOnStage2IsPastedOnStage9AtTheLastRightPress) {
    Show(Form->TabObjectEdit);
    TImageEx* room0 = Form->ImgObjectMapPage0;
    const auto rightPress = [&](int x, int y, QAction* item) {
        ViewDriver::Move(room0, x, y);
        Prompts.OnPopup = [item](QMenu*) {
            if (item != nullptr)
                item->trigger();
        };
        ViewDriver::Click(room0, Qt::RightButton, x, y);
        Prompts.OnPopup = nullptr;
    };
    const auto objectsOfRoom0 = [this] {
        std::vector<std::array<int, 3>> objects;
        for (const ObjectNode& node : Stage().ObjectsOfPage(0))
            objects.push_back({node.X, node.Y, node.Type});
        return objects;
    };
    SelectStage(2);
    SetUpObjects(2, {{{0, 0x40, 0x50, 0x2B}}});
    Form->CBStageChange(2);
    rightPress(0x41, 0x51, Form->MenuCopyObject);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    const auto held = ClipboardFormat::ReadJson(mime->data(ClipboardFormat::MimeType));
    ASSERT_TRUE(held.has_value());
    EXPECT_EQ(*held, ClipboardFormat::ObjectType(0x2B));

    SelectStage(9);
    SetUpObjects(9, {});
    Form->CBStageChange(9);
    rightPress(0x90, 0xA0, nullptr);
    ASSERT_TRUE(Form->Paste1->isEnabled());
    const int steps = Steps();
    Form->Paste1->trigger();
    EXPECT_EQ(objectsOfRoom0(), (std::vector<std::array<int, 3>>{{0x90, 0xA0, 0x2B}}));
    EXPECT_EQ(Steps(), steps + 1);

    // The pop-up's paste refuses what is not an object type, whatever it copied before.
    PutText("00 01");
    PutOnClipboard(ClipboardFormat::MimeType,
                   ClipboardFormat::ToJson(ClipboardFormat::MapCells(1, 1, {7})));
    rightPress(0x20, 0x20, Form->MenuPasteObject);
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{Refused});
    EXPECT_EQ(objectsOfRoom0().size(), 1U);
    EXPECT_EQ(Steps(), steps + 1);
}

} // namespace
