// The edit history, driven through the real window: every tab's edits undone and redone in any
// order, the Edit menu and its keys, and the modified state at and past the save point.
#include "MainFormFixture.h"
#include "RandomEditor.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "ImageEx/TUpDown.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"
#include "objectedit/ObjectEditClass.h"
#include "support/TempDir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>
#include <QUndoView>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Hex(int value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

class History : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        ImagePath = StartWithGeneratedImage();
    }

    QUndoStack& Stack() { return Form->History().Stack(); }
    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    bool Modified() { return Form->Tracker().IsModified(); }
    std::string Panel() { return Form->StatusPanels[0]->text().toStdString(); }
    std::vector<std::uint8_t> Composed() {
        std::vector<std::uint8_t> image;
        EXPECT_TRUE(Form->ImageHolder().ComposeSavedImage(image).Ok);
        return image;
    }
    // Everything the editors can change, of every stage, palettes and object lists included
    // (the saved image holds neither the palettes nor the objects of unflagged stages).
    std::vector<std::uint8_t> AllStageData() {
        std::vector<std::uint8_t> data;
        for (int s = 0; s < 16; ++s) {
            const StageData& stage = Form->ImageHolder().Stage(s);
            auto add = [&data](const auto& array) {
                data.insert(data.end(), array.begin(), array.end());
            };
            add(stage.MapSetTable);
            add(stage.Chip32x32Table);
            add(stage.NormalChip16x16Table);
            add(*stage.DestroyedChip16x16Table);
            add(stage.NormalChipPropertyTable);
            add(*stage.DestroyedChipPropertyTable);
            add(stage.StagePalette);
            add(stage.AnimePalette);
            for (const StageData::ObjectRow& row : stage.FlattenObjects())
                data.insert(data.end(), {row.Page, row.X, row.Y, row.Type});
        }
        return data;
    }
    void PlaceMapChip(int chip, int cell) {
        Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
        ViewDriver::Click(Form->Img32x32ChipTable, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
        ViewDriver::Click(Form->ImgEditMapSetPage0, Qt::LeftButton, (cell % 8) * 32 + 5,
                          (cell / 8) * 32 + 5);
    }
    // A press on the object at (x, y) of the right-hand room selects it.
    void SelectObjectInRightRoom(int x, int y) {
        ViewDriver::Move(Form->ImgObjectMapPage1, x, y);
        ViewDriver::Click(Form->ImgObjectMapPage1, Qt::LeftButton, x, y);
        ASSERT_EQ(Form->LblObjectX->text().toInt(nullptr, 16), x);
    }
    void UndoAll() {
        while (Stack().canUndo())
            Form->Undo1->trigger();
    }
    void RedoAll() {
        while (Stack().canRedo())
            Form->Redo1->trigger();
    }

    QString ImagePath;
};

// ---- A random walk over every tab and stage, undone and redone ----

TEST_F(History, UndoingEverythingGivesTheOpenedFileAndRedoingGivesTheEditsBack) {
    const std::vector<std::uint8_t> opened = Composed();
    const std::vector<std::uint8_t> openedData = AllStageData();
    for (const std::uint32_t seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomEditor editor(*Form, Prompts, seed);
        for (int step = 0; step < 150; ++step)
            editor.Step();
        ASSERT_GT(Stack().count(), 0);
        const std::vector<std::uint8_t> edited = Composed();
        const std::vector<std::uint8_t> editedData = AllStageData();

        UndoAll();
        EXPECT_TRUE(Composed() == opened) << "seed " << seed;
        EXPECT_TRUE(AllStageData() == openedData) << "seed " << seed;
        EXPECT_FALSE(Modified()) << "seed " << seed;
        EXPECT_EQ(Panel(), "");

        RedoAll();
        EXPECT_TRUE(Composed() == edited) << "seed " << seed;
        EXPECT_TRUE(AllStageData() == editedData) << "seed " << seed;
        EXPECT_TRUE(Modified());
        EXPECT_EQ(Panel(), "変更あり");
        // The next seed starts from the opened file again.
        UndoAll();
        Stack().clear();
    }
}

// ---- Objects ----

TEST_F(History, ADragOfManyMovesIsOneStepAndUndoShowsItsRoomAgain) {
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    Form->ScrBarObjectMap->setValue(5);
    SetUpRoom(6, {{0, 0x40, 0x50, 3}, {0, 0x90, 0x20, 4}});
    Form->ObjectEdit->SetRooms(5);
    const int before = Stack().count();
    ViewDriver::Move(Form->ImgObjectMapPage1, 0x40, 0x50);
    ViewDriver::Press(Form->ImgObjectMapPage1, Qt::LeftButton, 0x40, 0x50);
    for (int move = 1; move <= 100; ++move)
        ViewDriver::Move(Form->ImgObjectMapPage1, 0x40 + move, 0x50 + move / 2, Qt::LeftButton);
    ViewDriver::Release(Form->ImgObjectMapPage1, Qt::LeftButton, 0xA4, 0x82);
    ASSERT_EQ(Stage().ObjectsOfPage(6).back().X, 0xA4);
    ASSERT_EQ(Stack().count(), before + 1);
    EXPECT_EQ(Form->Undo1->text(), "元に戻す オブジェクトの移動(&U)");

    Form->ScrBarObjectMap->setValue(20);
    Form->Undo1->trigger();
    // The room comes back into view with the object where it was, first in its list again
    // (the move had sorted it behind its neighbour).
    EXPECT_EQ(Form->ObjectEdit->LeftRoom(), 6);
    const auto& list = Stage().ObjectsOfPage(6);
    ASSERT_EQ(list.size(), 2U);
    EXPECT_EQ(list.front().X, 0x40);
    EXPECT_EQ(list.front().Y, 0x50);
    EXPECT_EQ(Form->LblObjectX->text(), "40");
    EXPECT_EQ(Form->LblObjectY->text(), "50");
    EXPECT_FALSE(Modified());
    Form->Redo1->trigger();
    EXPECT_EQ(Stage().ObjectsOfPage(6).back().X, 0xA4);
    EXPECT_EQ(Form->LblObjectX->text(), "A4");
}

TEST_F(History, ConsecutiveNudgesOfOneObjectAreOneStep) {
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    SetUpRoom(1, {{0, 0x40, 0x50, 3}});
    Form->ObjectEdit->SetRooms(0);
    ViewDriver::Move(Form->ImgObjectMapPage1, 0x40, 0x50);
    ViewDriver::Click(Form->ImgObjectMapPage1, Qt::LeftButton, 0x40, 0x50);
    const int before = Stack().count();
    for (int i = 0; i < 3; ++i)
        Form->UDObjectX->UpButton()->click();
    Form->UDObjectY->DownButton()->click();
    EXPECT_EQ(Stack().count(), before + 1);
    Form->Undo1->trigger();
    EXPECT_EQ(Stage().ObjectsOfPage(1).front().X, 0x40);
    EXPECT_EQ(Stage().ObjectsOfPage(1).front().Y, 0x50);
    // The object stays selected: the next nudge moves it again.
    Form->UDObjectX->UpButton()->click();
    EXPECT_EQ(Stage().ObjectsOfPage(1).front().X, 0x41);
}

TEST_F(History, NudgingAnotherObjectOfTheRoomIsAStepOfItsOwn) {
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    SetUpRoom(1, {{0, 0x40, 0x50, 3}, {0, 0x90, 0x20, 4}});
    Form->ObjectEdit->SetRooms(0);
    const int before = Stack().count();
    SelectObjectInRightRoom(0x40, 0x50);
    Form->UDObjectX->UpButton()->click();
    Form->UDObjectX->UpButton()->click();
    SelectObjectInRightRoom(0x90, 0x20);
    Form->UDObjectX->UpButton()->click();
    EXPECT_EQ(Stack().count(), before + 2);

    Form->Undo1->trigger();
    const auto& room = Stage().ObjectsOfPage(1);
    ASSERT_EQ(room.size(), 2U);
    EXPECT_EQ(room.front().X, 0x42) << "the first object's nudges went with the second's";
    EXPECT_EQ(room.back().X, 0x90);
}

TEST_F(History, UndoingADeletePutsTheObjectBackInItsPlaceInTheList) {
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    SetUpRoom(0, {{0, 0x30, 0x40, 1}, {0, 0x60, 0x40, 1}, {0, 0x90, 0x40, 1}});
    Form->ObjectEdit->SetRooms(0);
    ViewDriver::Move(Form->ImgObjectMapPage0, 0x60, 0x40);
    ViewDriver::Click(Form->ImgObjectMapPage0, Qt::LeftButton, 0x60, 0x40);
    Form->BtnObjectRemove->click();
    ASSERT_EQ(Stage().ObjectsOfPage(0).size(), 2U);
    Form->Undo1->trigger();
    std::vector<int> xs;
    for (const ObjectNode& node : Stage().ObjectsOfPage(0))
        xs.push_back(node.X);
    EXPECT_EQ(xs, (std::vector<int>{0x30, 0x60, 0x90}));
    EXPECT_EQ(Form->LblObjectX->text(), "60");
}

// ---- Where a step shows ----

TEST_F(History, UndoOfAStepOnAnotherStageAndTabSelectsBothAndShowsTheOldPixels) {
    Form->CBStage->setCurrentIndex(2);
    Form->EditPageControl->setCurrentWidget(Form->TabMapSetEdit);
    const int cell = 9;
    const std::uint8_t old = Stage().MapSetTable[cell];
    const std::uint32_t oldPixel = ViewDriver::PixelOf(Form->ImgEditMapSetPage0, 32 + 8, 32 + 8);
    PlaceMapChip(old == 0x11 ? 0x12 : 0x11, cell);
    ASSERT_NE(ViewDriver::PixelOf(Form->ImgEditMapSetPage0, 32 + 8, 32 + 8), oldPixel);

    Form->CBStage->setCurrentIndex(5);
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    Form->Undo1->trigger();
    EXPECT_EQ(Form->CBStage->currentIndex(), 2);
    EXPECT_EQ(Form->EditPageControl->currentWidget(), Form->TabMapSetEdit);
    EXPECT_EQ(Form->ImageHolder().Stage(2).MapSetTable[cell], old);
    EXPECT_EQ(ViewDriver::PixelOf(Form->ImgEditMapSetPage0, 32 + 8, 32 + 8), oldPixel);
}

TEST_F(History, UndoOfAPaletteEntryShowsItsSetAndTheStoredValue) {
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    const std::uint8_t old = Stage().StagePalette[16 + 5];
    const std::string typed = old == 0x21 ? "22" : "21";
    Form->EditPal[5]->setText(QString::fromStdString(typed));
    EXPECT_EQ(Stack().count(), 1);
    EXPECT_EQ(Form->Undo1->text(), "元に戻す パレットの変更(&U)");
    Form->CBSelectPaletteSet->setCurrentIndex(0);
    Form->Undo1->trigger();
    EXPECT_EQ(Form->CBSelectPaletteSet->currentIndex(), 1);
    EXPECT_EQ(Stage().StagePalette[16 + 5], old);
    EXPECT_EQ(Form->EditPal[5]->text().toStdString(), Hex(old));
    EXPECT_EQ(Stack().count(), 1); // showing the old value made no new step
}

// ---- The save point ----

TEST_F(History, UndoBackToTheSavePointIsUnmodifiedAndPastItModifiedAgain) {
    const std::uint8_t old = Stage().MapSetTable[3];
    PlaceMapChip(old == 0x21 ? 0x22 : 0x21, 3);
    Prompts.SaveFiles.push_back(ImagePath);
    Form->SaveAs1Click();
    ASSERT_FALSE(Modified());
    PlaceMapChip(old == 0x31 ? 0x32 : 0x31, 4);
    ASSERT_TRUE(Modified());

    Form->Undo1->trigger();
    EXPECT_FALSE(Modified());
    EXPECT_EQ(Panel(), "");
    Form->Undo1->trigger();
    EXPECT_TRUE(Modified());
    EXPECT_EQ(Panel(), "変更あり");
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(0));

    // Close asks; the saved file gets the cell back as it was opened.
    Prompts.YesNoCancelAnswers.push_back(UserPrompts::Answer::Cancel);
    Form->Close1Click();
    ASSERT_FALSE(Prompts.Log.empty());
    EXPECT_EQ(Prompts.Log.back().rfind("ask:", 0), 0U);
    Form->Save1Click();
    EXPECT_FALSE(Modified());
    Form->OpenChosenFile(ImagePath);
    EXPECT_EQ(Form->ImageHolder().Stage(0).MapSetTable[3], old);
}

// A push after undoing past the save point drops the undone steps: what they had changed
// since the save still differs from the file and must still be saved.
TEST_F(History, ANewEditAfterUndoingPastTheSaveKeepsTheDroppedStepsCategories) {
    Form->CBStage->setCurrentIndex(1);
    PlaceMapChip(Stage().MapSetTable[0] == 0x21 ? 0x22 : 0x21, 0);
    Prompts.SaveFiles.push_back(ImagePath);
    Form->SaveAs1Click();
    Form->Undo1->trigger();
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    Form->EditPal[1]->setText(Stage().StagePalette[1] == 0x05 ? "06" : "05");
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(1));
    EXPECT_TRUE(Form->Tracker().IsPaletteModified(1));
    Form->Undo1->trigger();
    EXPECT_TRUE(Form->Tracker().IsMapSetModified(1));
    EXPECT_TRUE(Modified());
}

// The step at the save point must not take in the next nudge once the step above it is undone:
// the merged step would lie below the save point and its change would never be saved.
TEST_F(History, ANudgeAfterUndoingPastTheSaveIsAStepOfItsOwnAndReachesTheFile) {
    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    SetUpRoom(1, {{0, 0x40, 0x50, 3}});
    Form->ObjectEdit->SetRooms(0);
    SelectObjectInRightRoom(0x40, 0x50);
    Form->UDObjectX->UpButton()->click();
    PlaceMapChip(Stage().MapSetTable[0] == 0x21 ? 0x22 : 0x21, 0);
    Form->Save1Click();
    ASSERT_FALSE(Modified());
    Form->Undo1->trigger(); // the map chip: the image differs from the file again

    Form->EditPageControl->setCurrentWidget(Form->TabObjectEdit);
    SelectObjectInRightRoom(0x41, 0x50);
    Form->UDObjectX->UpButton()->click();
    EXPECT_EQ(Stack().count(), 2);
    EXPECT_TRUE(Form->Tracker().IsObjectModified(0));

    Form->Save1Click();
    Form->OpenChosenFile(ImagePath);
    ASSERT_EQ(Stage().ObjectsOfPage(1).size(), 1U);
    EXPECT_EQ(Stage().ObjectsOfPage(1).front().X, 0x42);
}

// ---- The Edit menu ----

TEST_F(History, TheMenuNamesTheStepsAndIsDisabledWithoutOne) {
    EXPECT_FALSE(Form->Undo1->isEnabled());
    EXPECT_FALSE(Form->Redo1->isEnabled());
    EXPECT_EQ(Form->Undo1->text(), "元に戻す(&U)");
    EXPECT_EQ(Form->Redo1->text(), "やり直し(&R)");
    PlaceMapChip(Stage().MapSetTable[0] == 0x21 ? 0x22 : 0x21, 0);
    EXPECT_TRUE(Form->Undo1->isEnabled());
    EXPECT_EQ(Form->Undo1->text(), "元に戻す マップチップの配置(&U)");
    Form->Undo1->trigger();
    EXPECT_FALSE(Form->Undo1->isEnabled());
    EXPECT_TRUE(Form->Redo1->isEnabled());
    EXPECT_EQ(Form->Redo1->text(), "やり直し マップチップの配置(&R)");
    // Closing starts an empty history.
    Form->Close1Click();
    EXPECT_FALSE(Form->Redo1->isEnabled());
    EXPECT_EQ(Stack().count(), 0);
    const QList<QAction*> menus = Form->menuBar()->actions();
    ASSERT_GE(menus.size(), 2);
    EXPECT_EQ(menus[1]->text(), "編集(&E)");
}

TEST_F(History, CtrlZAndCtrlYReachTheHistoryFromEveryTab) {
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    QWidget* const tabs[] = {Form->TabMapSetEdit, Form->Tab32x32ChipEdit, Form->Tab16x16ChipEdit,
                             Form->TabPaletteEdit, Form->TabObjectEdit};
    for (QWidget* tab : tabs) {
        SCOPED_TRACE(tab->objectName().toStdString() +
                     std::to_string(Form->EditPageControl->indexOf(tab)));
        PlaceMapChip(Stage().MapSetTable[0] == 0x21 ? 0x22 : 0x21, 0);
        const std::uint8_t edited = Stage().MapSetTable[0];
        Form->EditPageControl->setCurrentWidget(tab);
        if (tab == Form->TabPaletteEdit)
            Form->EditPal[0]->setFocus();
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : Form.get();
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_NE(Stage().MapSetTable[0], edited);
        Form->EditPageControl->setCurrentWidget(tab);
        target = QApplication::focusWidget() ? QApplication::focusWidget() : Form.get();
        QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(Stage().MapSetTable[0], edited);
        Form->EditPageControl->setCurrentWidget(tab);
        Form->Undo1->trigger();
        target = QApplication::focusWidget() ? QApplication::focusWidget() : Form.get();
        QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Stage().MapSetTable[0], edited);
    }
}

TEST_F(History, TheHistoryListShowsTheStepsAndGoesBackToAClickedRow) {
    PlaceMapChip(Stage().MapSetTable[0] == 0x21 ? 0x22 : 0x21, 0);
    PlaceMapChip(Stage().MapSetTable[1] == 0x21 ? 0x22 : 0x21, 1);
    Form->History1->trigger();
    ASSERT_NE(Form->HistoryView, nullptr);
    EXPECT_TRUE(Form->HistoryView->isVisible());
    // Row 0 is the opened state, then one row per step.
    ASSERT_EQ(Form->HistoryView->model()->rowCount(), 3);
    EXPECT_EQ(Form->HistoryView->model()->index(1, 0).data().toString(), "マップチップの配置");
    Form->HistoryView->setCurrentIndex(Form->HistoryView->model()->index(0, 0));
    EXPECT_EQ(Stack().index(), 0);
    EXPECT_FALSE(Modified());
}

} // namespace
