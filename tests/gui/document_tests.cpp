// The document's one write path, seen from the window: palette edits shared between stages
// through undo and save, an undo made elsewhere showing where its step happened, and the
// reload buttons as steps of the history.
#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TRadioGroup.h"
#include "ImageEx/TUpDown.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/ViewSurface.h"
#include "history/EditHistory.h"
#include "romgen/CartridgeGenerator.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QUndoStack>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class DocumentSteps : public MainFormFixture {
protected:
    void OpenImage(const Bytes& image) {
        WriteStartupFiles();
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        ImagePath = QString::fromStdString(Dir.File("stage.nes"));
        WriteWholeFile(ImagePath.toStdString(), image);
        OpenThroughMenu(ImagePath);
        ASSERT_TRUE(Form->ImageHolder().HasStages());
    }

    const StageData& Stage(int stage) { return Form->ImageHolder().Stage(stage); }
    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    QUndoStack& Stack() { return Form->History().Stack(); }
    void ShowTab(QWidget* tab) { Form->EditPageControl->setCurrentWidget(tab); }

    // An entry of the chosen set given a master colour with the mouse: a press on the colour
    // table, then one on the entry's cell.
    void PaintEntry(int entry, int colour) {
        ViewDriver::Press(Form->ImgColorTable, Qt::LeftButton, (colour % 16) * 24 + 5,
                          (colour / 16) * 24 + 5);
        ViewDriver::Press(Form->ImgPalView[static_cast<std::size_t>(entry / 4)], Qt::LeftButton,
                          (entry % 4) * 24 + 5, 5);
        ViewDriver::Leave(Form->ImgPalView[static_cast<std::size_t>(entry / 4)]);
    }

    // 32x32 chip 09's quarter 0 set to another 16x16 chip: the chip into the panel, a 16x16
    // chip from the table, a press on the panel's quarter.
    void EditA32x32Quarter() {
        ViewDriver::Press(Form->ImgEdit32x32ChipView, Qt::LeftButton, 9 * 32 + 5, 5);
        const int other = (Stage().Chip32x32Table[9 * 4] + 1) & 0xFF;
        ViewDriver::Press(Form->Img16x16ChipTable, Qt::LeftButton, (other % 16) * 16 + 3,
                          (other / 16) * 16 + 3);
        ViewDriver::Press(Form->ImgEdit32x32Chip, Qt::LeftButton, 9, 9);
        ViewDriver::Leave(Form->ImgEdit32x32Chip);
        ViewDriver::Leave(Form->Img16x16ChipTable);
        ViewDriver::Leave(Form->ImgEdit32x32ChipView);
    }

    // Quarter 0 of 16x16 chip 0A of the set shown set to a tile that looks different.
    void EditA16x16Tile() {
        constexpr int Chip = CartridgeGenerator::ChipBreakable;
        ViewDriver::Click(Form->ImgEdit16x16ChipView, Qt::LeftButton, (Chip % 16) * 16 + 3,
                          (Chip / 16) * 16 + 3);
        const int own = Stage().Chip16x16Table()[Chip];
        int tile = (own + 1) & 0xFF;
        while (tile != own && TilePicture(tile) == TilePicture(own))
            tile = (tile + 1) & 0xFF;
        ViewDriver::Click(Form->ImgBGBankTable, Qt::LeftButton, (tile % 16) * 16 + 5,
                          (tile / 16) * 16 + 5);
        ViewDriver::Click(Form->ImgEdit16x16Chip, Qt::LeftButton, 10, 10);
        for (TImageEx* view :
             {Form->ImgEdit16x16ChipView, Form->ImgBGBankTable, Form->ImgEdit16x16Chip})
            ViewDriver::Leave(view);
    }
    // Tile t as the tile table shows it.
    QImage TilePicture(int tile) {
        return Form->ImgBGBankTable->Surface()->Image().copy((tile % 16) * 16, (tile / 16) * 16, 16,
                                                             16);
    }

    // A new object on empty ground of the left room: a press where no object is, then Create.
    void CreateAnObject() {
        Form->ScrBarObjectMap->setValue(0);
        const auto& room = Stage().ObjectsOfPage(0);
        for (int y = 0x18; y < 0x100; y += 0x20)
            for (int x = 0x18; x < 0x100; x += 0x20) {
                bool free = true;
                for (const ObjectNode& object : room)
                    free = free && (std::abs(object.X - x) > 0x10 || std::abs(object.Y - y) > 0x10);
                if (!free)
                    continue;
                ViewDriver::Move(Form->ImgObjectMapPage0, x, y);
                ViewDriver::Click(Form->ImgObjectMapPage0, Qt::LeftButton, x, y);
                ASSERT_TRUE(Form->BtnObjectCreate->isEnabled());
                Form->BtnObjectCreate->click();
                ViewDriver::Leave(Form->ImgObjectMapPage0);
                return;
            }
        FAIL() << "no empty ground in room 0";
    }

    static Bytes Objects(const StageData& stage) {
        Bytes rows;
        for (const StageData::ObjectRow& row : stage.FlattenObjects())
            rows.insert(rows.end(), {row.Page, row.X, row.Y, row.Type});
        return rows;
    }
    static Bytes Join(std::initializer_list<std::span<const std::uint8_t>> arrays) {
        Bytes joined;
        for (const auto& array : arrays)
            joined.insert(joined.end(), array.begin(), array.end());
        return joined;
    }

    QString ImagePath;
};

QImage Picture(const TImageEx* view) {
    return view->Surface()->Image();
}

// ---- Palettes shared between stages ----

// The generated image gives every stage its own palette number: stage 1 is made to read 0's.
Bytes ImageWithStagesSharingAPalette() {
    Bytes image = CartridgeGenerator::MakeImage();
    image[CartridgeGenerator::PaletteNumberTable + 1] = 0;
    return image;
}

// The edit was made with write-back on, so it went to both stages; its undo takes it back
// from both, whatever the box says when the undo is made.
TEST_F(DocumentSteps, AnUndoneSharedPaletteEditStaysOutOfTheFile) {
    const Bytes image = ImageWithStagesSharingAPalette();
    OpenImage(image);
    ShowTab(Form->TabPaletteEdit);
    ASSERT_TRUE(Form->ChkPaletteSave->isChecked());
    const std::uint8_t original6 = Stage(0).StagePalette[6];
    ASSERT_NE(original6, 0x30);
    PaintEntry(6, 0x30);
    ASSERT_EQ(Stage(1).StagePalette[6], 0x30);

    Form->ChkPaletteSave->click();
    Form->Undo1->trigger();
    Form->ChkPaletteSave->click();
    EXPECT_EQ(Stage(0).StagePalette[6], original6);
    EXPECT_EQ(Stage(1).StagePalette[6], original6);

    Form->CBStage->setCurrentIndex(1);
    PaintEntry(7, 0x21);
    Form->Save1Click();
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{});

    OpenThroughMenu(ImagePath);
    for (const int stage : {0, 1}) {
        SCOPED_TRACE(stage);
        EXPECT_EQ(Stage(stage).StagePalette[6], original6) << "the undone colour reached the file";
        EXPECT_EQ(Stage(stage).StagePalette[7], 0x21);
    }
}

TEST_F(DocumentSteps, ASharedBlockTheStagesHoldDifferentlyIsNotSaved) {
    const Bytes image = ImageWithStagesSharingAPalette();
    OpenImage(image);
    ShowTab(Form->TabPaletteEdit);
    Form->ChkPaletteSave->click(); // off: the edit stays on stage 0
    PaintEntry(6, 0x30);
    ASSERT_NE(Stage(1).StagePalette[6], 0x30);
    Form->ChkPaletteSave->click();

    Form->Save1Click();

    EXPECT_EQ(Prompts.Messages(),
              std::vector<std::string>{
                  "次のパレットの変更はファイルに保存できませんでした(ファイルでは変更前のまま"
                  "です)。\n00 ステージ1 定義0: 同じパレットデータを使う他のステージと色が異なり"
                  "ます"});
    EXPECT_TRUE(ReadWholeFile(ImagePath.toStdString()) == image);
    EXPECT_TRUE(Form->Tracker().IsPaletteModified(0));
    EXPECT_EQ(Form->StatusPanels[0]->text(), "変更あり");
}

// ---- Where an undo shows its step ----

// One kind of edit per tab, made on the stage shown.
struct TabEdit {
    const char* Name;
    QWidget* Tab;
    std::function<void()> Prepare; // before the edit: the set to edit in
    std::function<void()> Edit;
    std::function<void()> Away; // after it: another set shown
    std::function<Bytes(const StageData&)> Data;
    TImageEx* View;
    std::function<int()> Set; // the set shown, where the tab has sets
};

Bytes MapSet(const StageData& s) {
    return {s.MapSetTable.begin(), s.MapSetTable.end()};
}
Bytes Chips32(const StageData& s) {
    return {s.Chip32x32Table.begin(), s.Chip32x32Table.end()};
}
Bytes Palette(const StageData& s) {
    return {s.StagePalette.begin(), s.StagePalette.end()};
}
Bytes AnimePalette(const StageData& s) {
    return {s.AnimePalette.begin(), s.AnimePalette.end()};
}

class DocumentPlaces : public DocumentSteps {
protected:
    std::vector<TabEdit> Edits() {
        TMainForm& f = *Form;
        const auto none = [] {};
        const auto switchSet = [&f] { f.BtnSwitch16X16ChipSet->click(); };
        return {
            {"map set cell", f.TabMapSetEdit, none,
             [this, &f] {
                 EditAMapSetCell();
                 ViewDriver::Leave(f.ImgEditMapSetPage0);
             },
             none, MapSet, f.ImgEditMapSetPage0, nullptr},
            {"32x32 quarter", f.Tab32x32ChipEdit, none, [this] { EditA32x32Quarter(); }, none,
             Chips32, f.ImgEdit32x32ChipView, nullptr},
            {"16x16 tile after destruction", f.Tab16x16ChipEdit, switchSet,
             [this] { EditA16x16Tile(); }, switchSet,
             [](const StageData& s) {
                 return Join({*s.DestroyedChip16x16Table, *s.DestroyedChipPropertyTable});
             },
             f.ImgEdit16x16ChipView,
             [&f] { return f.ImageHolder().CurrentStageData().Chip16x16SetIndexValue(); }},
            {"palette entry in set 1", f.TabPaletteEdit,
             [&f] { f.CBSelectPaletteSet->setCurrentIndex(1); },
             [this] { PaintEntry(5, Stage().StagePalette[16 + 5] == 0x21 ? 0x22 : 0x21); },
             [&f] { f.CBSelectPaletteSet->setCurrentIndex(0); }, Palette, f.ImgPalView[1],
             [&f] { return f.CBSelectPaletteSet->currentIndex(); }},
            {"object created", f.TabObjectEdit, none, [this] { CreateAnObject(); }, none, Objects,
             f.ImgObjectMapPage0, nullptr},
        };
    }
};

TEST_F(DocumentPlaces, AnUndoFromAnotherStageAndTabShowsTheStepsStageTabSetAndOldPixels) {
    OpenImage(CartridgeGenerator::MakeImage());
    constexpr int EditedStage = 3;
    QTabWidget* tabs = Form->EditPageControl;
    for (const TabEdit& edit : Edits()) {
        SCOPED_TRACE(edit.Name);
        Form->CBStage->setCurrentIndex(EditedStage);
        ShowTab(edit.Tab);
        edit.Prepare();
        const int set = edit.Set ? edit.Set() : -1;
        const Bytes before = edit.Data(Stage());
        const QImage shownBefore = Picture(edit.View);
        edit.Edit();
        ASSERT_NE(edit.Data(Stage()), before) << "the edit changed nothing";
        ASSERT_TRUE(Picture(edit.View) != shownBefore) << "the edit did not show";
        edit.Away();

        Form->CBStage->setCurrentIndex(0);
        ShowTab(tabs->widget((tabs->indexOf(edit.Tab) + 1) % tabs->count()));
        Form->Undo1->trigger();

        EXPECT_EQ(Form->CBStage->currentIndex(), EditedStage);
        EXPECT_EQ(tabs->currentWidget(), edit.Tab);
        if (edit.Set) {
            EXPECT_EQ(edit.Set(), set);
        }
        EXPECT_EQ(edit.Data(Stage(EditedStage)), before);
        EXPECT_TRUE(Picture(edit.View) == shownBefore);
        edit.Away();
    }
}

// ---- Reloads ----

struct ReloadCase {
    const char* Name;
    QWidget* Tab;
    std::function<void()> Edit;
    QPushButton* Button;
    const char* Caption;
    std::function<Bytes(const StageData&)> Data;
    // What the tab shows of that data.
    std::function<std::vector<std::uint32_t>()> Shown;
};

std::vector<std::uint32_t> PixelsOf(const TImageEx* view) {
    const QImage image = Picture(view).convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            pixels.push_back(image.pixel(x, y));
    return pixels;
}

class DocumentReloads : public DocumentSteps {
protected:
    std::vector<ReloadCase> Cases() {
        TMainForm& f = *Form;
        const auto pixels = [](const TImageEx* view) { return [view] { return PixelsOf(view); }; };
        return {
            {"map set", f.TabMapSetEdit,
             [this, &f] {
                 EditAMapSetCell();
                 EditAMapSetCell();
                 ViewDriver::Leave(f.ImgEditMapSetPage0);
             },
             f.Button3, "マップセットの読み込み直し", MapSet, pixels(f.ImgEditMapSetPage0)},
            {"32x32 chips", f.Tab32x32ChipEdit, [this] { EditA32x32Quarter(); }, f.Button2,
             "32x32チップの読み込み直し", Chips32, pixels(f.ImgEdit32x32ChipView)},
            {"16x16 chips", f.Tab16x16ChipEdit,
             [this, &f] {
                 EditA16x16Tile();
                 f.RGPaletteSelect->Item(3)->click();
             },
             f.Button1, "16x16チップの読み込み直し",
             [](const StageData& s) {
                 return Join({s.NormalChip16x16Table, s.NormalChipPropertyTable,
                              *s.DestroyedChip16x16Table, *s.DestroyedChipPropertyTable});
             },
             pixels(f.ImgEdit16x16ChipView)},
            {"palettes", f.TabPaletteEdit,
             [this] { PaintEntry(5, Stage().StagePalette[5] == 0x21 ? 0x22 : 0x21); },
             f.BtnPaletteReload, "パレットの読み込み直し", Palette, pixels(f.ImgPalView[1])},
            {"animation palette", f.TabPaletteEdit, [&f] { f.UDAnimePal[2]->UpButton()->click(); },
             f.BtnAnimationPaletteReload, "アニメーションパレットの読み込み直し", AnimePalette,
             [&f] {
                 std::vector<std::uint32_t> shown;
                 for (const QLineEdit* field : f.EditAnimePal)
                     shown.push_back(field->text().toUInt(nullptr, 16));
                 return shown;
             }},
            {"objects", f.TabObjectEdit, [this] { CreateAnObject(); }, f.BtnObjectEditReload,
             "オブジェクトの読み込み直し", Objects, pixels(f.ImgObjectMapPage0)},
        };
    }
};

TEST_F(DocumentReloads, EachReloadIsOneStepThatUndoAndRedoTakeBackAndRepeat) {
    OpenImage(CartridgeGenerator::MakeImage());
    Form->CBStage->setCurrentIndex(3);
    for (const ReloadCase& c : Cases()) {
        SCOPED_TRACE(c.Name);
        ShowTab(c.Tab);
        const Bytes file = c.Data(Stage());
        c.Edit();
        const Bytes edited = c.Data(Stage());
        const std::vector<std::uint32_t> editedShown = c.Shown();
        ASSERT_NE(edited, file);
        const int steps = Stack().count();

        Prompts.YesNoAnswers.push_back(true);
        c.Button->click();
        EXPECT_EQ(c.Data(Stage()), file);
        EXPECT_EQ(Stack().count(), steps + 1);
        EXPECT_EQ(Form->Undo1->text().toStdString(), std::string("元に戻す ") + c.Caption + "(&U)");
        const std::vector<std::uint32_t> reloadedShown = c.Shown();

        Form->Undo1->trigger();
        EXPECT_EQ(c.Data(Stage()), edited);
        EXPECT_TRUE(c.Shown() == editedShown);
        Form->Redo1->trigger();
        EXPECT_EQ(c.Data(Stage()), file);
        EXPECT_TRUE(c.Shown() == reloadedShown);
        EXPECT_EQ(Stack().index(), steps + 1);
    }
}

// A palette reload re-reads what the blocks hold and nothing else: the animation bytes and
// the entries a block never writes keep what the user made of them.
TEST_F(DocumentReloads, APaletteReloadKeepsTheAnimationAndTheEntriesNoBlockWrites) {
    OpenImage(CartridgeGenerator::MakeImage());
    Form->CBStage->setCurrentIndex(3); // odd stages' second set starts at entry 4
    ShowTab(Form->TabPaletteEdit);
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    const std::uint8_t file10 = Stage().StagePalette[16 + 10];
    PaintEntry(0, 0x21);
    PaintEntry(10, file10 == 0x22 ? 0x23 : 0x22);
    Form->UDAnimePal[2]->UpButton()->click();
    const std::uint8_t anime = Stage().AnimePalette[4 + 2];
    ASSERT_NE(anime, 0);

    Prompts.YesNoAnswers.push_back(true);
    Form->BtnPaletteReload->click();

    EXPECT_EQ(Stage().StagePalette[16 + 10], file10);
    EXPECT_EQ(Stage().StagePalette[16 + 0], 0x21);
    EXPECT_EQ(Form->EditPal[0]->text(), "21");
    EXPECT_EQ(Stage().AnimePalette[4 + 2], anime);
    EXPECT_EQ(Form->EditAnimePal[2]->text().toUInt(nullptr, 16), anime);
}

} // namespace
