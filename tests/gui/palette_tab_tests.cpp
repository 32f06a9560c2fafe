// The palette tab and the palette animation tick, driven through the real window: typing into
// the real fields, pressing on the real views, clicking the real buttons.
#include "MainFormFixture.h"
#include "TabTestSupport.h"
#include "ViewDriver.h"
#include "history/EditHistory.h"

#include "ImageEx/TImageEx.h"
#include "ImageEx/TUpDown.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/PaletteEncoder.h"
#include "editdata/PaletteLayout.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/EditorGraphics.h"
#include "graphics/ViewSurface.h"
#include "romgen/CartridgeGenerator.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using ViewDriver::PixelOf;

const std::string SavingOff = "[PaletteEdit]\nSave=0\n";

const std::string ReloadQuestion =
    "yesno:このステージのパレットを読み込み直します。よろしいですか？";
const std::string AnimeReloadQuestion =
    "yesno:このステージのアニメーションパレットを読み込み直します。よろしいですか？";

// Master colour n as the views report pixels (red in the lowest byte).
std::uint32_t Master(int n) {
    static const auto triples = CartridgeGenerator::MakeMasterPalette();
    const auto at = static_cast<std::size_t>(n * 3);
    return triples[at] | (triples[at + 1] << 8) | (triples[at + 2] << 16);
}

// Counts the repaints a view's surface reports while the counter lives.
class RepaintCounter {
public:
    explicit RepaintCounter(TImageEx* view) : Surface(view->Surface()) {
        Surface->AddObserver(
            this, [this] { ++Count; }, nullptr);
    }
    ~RepaintCounter() { Surface->RemoveObserver(this); }
    int Count = 0;

private:
    ViewSurface* Surface;
};

class PaletteTab : public MainFormFixture {
protected:
    // Starts the window with the given settings, opens image (the generated one by default)
    // and shows the palette tab.
    void OpenOnPaletteTab(const std::string& settings = "",
                          const std::vector<std::uint8_t>& image = {}) {
        WriteStartupFiles();
        if (!settings.empty())
            WriteTextFile(SettingsPath(), settings);
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
        if (image.empty()) {
            ImagePath = WriteCartridge("game.nes");
        } else {
            WriteWholeFile(Dir.File("game.nes"), image);
            ImagePath = QString::fromStdString(Dir.File("game.nes"));
        }
        OpenThroughMenu(ImagePath);
        Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    }

    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    std::uint8_t Entry(int set, int i) { return Stage().StagePalette[set * 16 + i]; }
    std::uint8_t AnimeByte(int set, int j) { return Stage().AnimePalette[set * 4 + j]; }
    bool PaletteMarked(int stage = 0) { return Form->Tracker().IsPaletteModified(stage); }

    // Selects the field's text and types keys into it, one key event per character.
    static void Type(QLineEdit* field, const QString& keys) {
        field->selectAll();
        for (const QChar c : keys) {
            const int key = c.toUpper().unicode();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &press);
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(field, &release);
        }
    }

    // Centre pixel of entry i's cell in the palette views / the animation views.
    std::uint32_t PalCell(int i) { return PixelOf(Form->ImgPalView[i / 4], (i % 4) * 24 + 12, 12); }
    std::uint32_t AnimeCell(int i) {
        return PixelOf(Form->ImgAnimePal[i / 4], (i % 4) * 24 + 12, 12);
    }

    void ExpectSetShown(int set, int stage = 0) {
        const auto palette = CartridgeGenerator::PaletteOfStage(stage);
        for (int i = 0; i < 16; ++i) {
            const int colour = palette[static_cast<std::size_t>(set * 16 + i)];
            EXPECT_EQ(Form->EditPal[i]->text().toStdString(), Hex2(colour)) << "entry " << i;
            EXPECT_EQ(PalCell(i), Master(colour)) << "entry " << i;
            EXPECT_EQ(Form->Graphics().GetStageColor(i), Master(colour)) << "entry " << i;
            EXPECT_EQ(AnimeCell(i), Master(colour)) << "entry " << i;
        }
    }

    QString ImagePath;
};

TEST_F(PaletteTab, ShowsTheFirstSetTheColourTableAndThePickedColour) {
    OpenOnPaletteTab();
    ASSERT_EQ(Form->CBSelectPaletteSet->count(), 2);
    EXPECT_EQ(Form->CBSelectPaletteSet->itemText(0), "定義0");
    EXPECT_EQ(Form->CBSelectPaletteSet->itemText(1), "定義1");
    EXPECT_EQ(Form->CBSelectPaletteSet->currentIndex(), 0);
    ExpectSetShown(0);
    for (int n = 0; n < 64; ++n) {
        const int x = (n % 16) * 24;
        const int y = (n / 16) * 24;
        EXPECT_EQ(PixelOf(Form->ImgColorTable, x, y), Master(n)) << n;
        EXPECT_EQ(PixelOf(Form->ImgColorTable, x + 23, y + 23), Master(n)) << n;
    }
    EXPECT_EQ(Form->LblSelectColor->text(), "00");
    EXPECT_EQ(PixelOf(Form->ImgSelectColor, 31, 31), Master(0));
    for (int j = 0; j < 4; ++j)
        EXPECT_EQ(Form->EditAnimePal[j]->text(), "00");
    EXPECT_FALSE(Form->Tracker().IsModified());

    EXPECT_EQ(Form->ImgPalView[0]->size(), QSize(96, 24));
    EXPECT_EQ(Form->ImgAnimePal[3]->size(), QSize(96, 24));
    EXPECT_EQ(Form->ImgColorTable->size(), QSize(384, 96));
    EXPECT_EQ(Form->ImgSelectColor->size(), QSize(32, 32));
    EXPECT_FALSE(Form->GBAnimationPalette->isVisible());
    EXPECT_EQ(Form->GBAnimationPalette->title(), "パレットアニメーション選択");
    EXPECT_TRUE(Form->ImgPalView[3]->isVisible());
}

TEST_F(PaletteTab, TypingAValidNumberStoresItOnceInUpperCase) {
    OpenOnPaletteTab();
    QLineEdit* field = Form->EditPal[5];
    RepaintCounter repaints(Form->ImgPalView[1]);

    Type(field, "3f");

    EXPECT_EQ(field->text(), "3F");
    EXPECT_EQ(Entry(0, 5), 0x3F);
    EXPECT_EQ(repaints.Count, 1) << "the re-entrant change must store and repaint once";
    EXPECT_EQ(PalCell(5), Master(0x3F));
    EXPECT_EQ(PalCell(4), Master(Entry(0, 4))) << "only cell 5 changes";
    EXPECT_EQ(Form->Graphics().GetStageColor(5), Master(0x3F));
    EXPECT_EQ(AnimeCell(5), Master(0x3F)) << "the hidden animation view follows";
    EXPECT_TRUE(PaletteMarked());
    EXPECT_FALSE(PaletteMarked(1));
    EXPECT_EQ(Form->StatusPanels[0]->text(), "変更あり");
    EXPECT_EQ(Stage().StagePalette[16 + 5], CartridgeGenerator::PaletteOfStage(0)[16 + 5])
        << "the other set is untouched";
}

TEST_F(PaletteTab, RefusedEntriesPutTheStoredValueBack) {
    OpenOnPaletteTab();
    const std::uint8_t stored = Entry(0, 5);
    for (const char* typed : {"40", "FF", "g1", "-1", " 1", "0x"}) {
        SCOPED_TRACE(typed);
        Type(Form->EditPal[5], typed);
        EXPECT_EQ(Form->EditPal[5]->text().toStdString(), Hex2(stored));
        EXPECT_EQ(Entry(0, 5), stored);
        EXPECT_EQ(PalCell(5), Master(stored));
    }
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(PaletteTab, OneCharacterIsLeftAsTypedUntilTheTabIsShownAgain) {
    OpenOnPaletteTab();
    const std::uint8_t stored = Entry(0, 6);
    Type(Form->EditPal[6], "2");
    EXPECT_EQ(Form->EditPal[6]->text(), "2");
    EXPECT_EQ(Entry(0, 6), stored);
    EXPECT_FALSE(Form->Tracker().IsModified());

    // Showing the tab again writes the stored values back into the fields.
    Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    EXPECT_EQ(Form->EditPal[6]->text().toStdString(), Hex2(stored));
    EXPECT_FALSE(Form->Tracker().IsModified());
}

TEST_F(PaletteTab, ClickingACellAfterPickingAColourAssignsIt) {
    OpenOnPaletteTab();
    // Only the left button picks.
    ViewDriver::Press(Form->ImgColorTable, Qt::RightButton, 15 * 24 + 3, 3);
    EXPECT_EQ(Form->LblSelectColor->text(), "00");

    ViewDriver::Press(Form->ImgColorTable, Qt::LeftButton, 15 * 24 + 3, 3);
    EXPECT_EQ(Form->LblSelectColor->text(), "0F");
    EXPECT_EQ(PixelOf(Form->ImgSelectColor, 0, 0), Master(0x0F));
    EXPECT_EQ(PixelOf(Form->ImgSelectColor, 31, 31), Master(0x0F));
    EXPECT_FALSE(Form->Tracker().IsModified()) << "picking a colour changes nothing";

    ASSERT_NE(Entry(0, 9), 0x0F);
    ViewDriver::Press(Form->ImgPalView[2], Qt::RightButton, 24 + 5, 5);
    EXPECT_NE(Entry(0, 9), 0x0F);
    ViewDriver::Press(Form->ImgPalView[2], Qt::LeftButton, 24 + 5, 5);
    EXPECT_EQ(Entry(0, 9), 0x0F);
    EXPECT_EQ(Form->EditPal[9]->text(), "0F");
    EXPECT_EQ(PalCell(9), Master(0x0F));
    EXPECT_TRUE(PaletteMarked());

    Form->History().MarkSaved({});
    RepaintCounter repaints(Form->ImgPalView[2]);
    ViewDriver::Press(Form->ImgPalView[2], Qt::LeftButton, 24 + 20, 20);
    EXPECT_EQ(Entry(0, 9), 0x0F);
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(repaints.Count, 0);
}

TEST_F(PaletteTab, LowerCaseDigitsAndTheSecondSetAreStoredInTheChosenSet) {
    OpenOnPaletteTab();
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    Type(Form->EditPal[14], "2a");
    EXPECT_EQ(Form->EditPal[14]->text(), "2A");
    EXPECT_EQ(Entry(1, 14), 0x2A);
    EXPECT_EQ(Entry(0, 14), CartridgeGenerator::PaletteOfStage(0)[14]);
    EXPECT_EQ(PalCell(14), Master(0x2A));
    EXPECT_TRUE(PaletteMarked());
}

TEST_F(PaletteTab, ChoosingTheSecondSetShowsItEverywhere) {
    OpenOnPaletteTab();
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    ExpectSetShown(1);
    EXPECT_FALSE(Form->FrameTimer->isActive()) << "no palette animation is configured";
    EXPECT_FALSE(Form->Tracker().IsModified());

    // The chip editors take the colours when their tab is next shown.
    Form->EditPageControl->setCurrentWidget(Form->Tab32x32ChipEdit);
    const auto palette = CartridgeGenerator::PaletteOfStage(0);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(Form->Graphics().Chip16x16Sheet().GetColor(i), Master(palette[16 + i])) << i;
        EXPECT_EQ(Form->Graphics().Chip32x32Sheet().GetColor(i), Master(palette[16 + i])) << i;
    }
}

TEST_F(PaletteTab, AnotherStageOrAnyOpenReturnsTheSetToTheFirst) {
    OpenOnPaletteTab();
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    // Opening again while stage 0 is the current stage starts afresh all the same.
    OpenThroughMenu(ImagePath);
    EXPECT_EQ(Form->CBSelectPaletteSet->currentIndex(), 0);
    ExpectSetShown(0);

    Form->CBSelectPaletteSet->setCurrentIndex(1);
    Form->CBStage->setCurrentIndex(3);
    EXPECT_EQ(Form->CBSelectPaletteSet->currentIndex(), 0);
    ExpectSetShown(0, 3);

    Form->CBSelectPaletteSet->setCurrentIndex(1);
    OpenThroughMenu(ImagePath);
    EXPECT_EQ(Form->CBSelectPaletteSet->currentIndex(), 0);
    ExpectSetShown(0, 0);
}

TEST_F(PaletteTab, EditsSurviveStageChangesButNotASecondOpen) {
    OpenOnPaletteTab();
    Type(Form->EditPal[1], "30");
    Form->CBStage->setCurrentIndex(2);
    EXPECT_EQ(Form->ImageHolder().Stage(0).StagePalette[1], 0x30);
    ExpectSetShown(0, 2);
    Form->CBStage->setCurrentIndex(0);
    EXPECT_EQ(Form->EditPal[1]->text(), "30");
    EXPECT_EQ(PalCell(1), Master(0x30));

    Prompts.YesNoCancelAnswers.push_back(UserPrompts::Answer::No);
    OpenThroughMenu(ImagePath);
    ExpectSetShown(0);
}

TEST_F(PaletteTab, WithSavingOffTheFileStaysAsItWasAndTheEditIsKept) {
    OpenOnPaletteTab(SavingOff);
    ASSERT_FALSE(Form->ChkPaletteSave->isChecked());
    Type(Form->EditPal[5], "3f");
    ASSERT_TRUE(PaletteMarked());

    Form->Save1Click();

    EXPECT_EQ(ReadWholeFile(ImagePath.toStdString()), CartridgeGenerator::MakeImage())
        << "with the check box off palette edits are never written into the image";
    EXPECT_TRUE(Prompts.Messages().empty());
    EXPECT_FALSE(PaletteMarked());
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->StatusPanels[0]->text(), "");
    EXPECT_EQ(Entry(0, 5), 0x3F);
    EXPECT_EQ(Form->EditPal[5]->text(), "3F");
    EXPECT_EQ(PalCell(5), Master(0x3F));
    EXPECT_EQ(Form->Graphics().GetStageColor(5), Master(0x3F));

    // Opening again asks nothing and brings the file's colour back.
    OpenThroughMenu(ImagePath);
    EXPECT_EQ(Prompts.Log.back().rfind("open:", 0), 0u);
    EXPECT_EQ(Form->EditPal[5]->text().toStdString(),
              Hex2(CartridgeGenerator::PaletteOfStage(0)[5]));
}

TEST_F(PaletteTab, TheSaveCheckBoxFollowsTheSettingsFileAndNamesTheGroup) {
    const struct {
        std::string Settings;
        bool Checked;
    } cases[] = {{"", true}, {"[PaletteEdit]\nSave=1\n", true}, {SavingOff, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Settings);
        OpenOnPaletteTab(c.Settings.empty() ? "[Other]\n" : c.Settings);
        EXPECT_EQ(Form->ChkPaletteSave->text(), "パレットの変更をファイルに保存する");
        EXPECT_EQ(Form->ChkPaletteSave->isChecked(), c.Checked);
        EXPECT_EQ(Form->GBPaletteEdit->title(),
                  c.Checked ? "パレット編集"
                            : "パレット編集(現時点でファイルの保存を行っても反映されません)");

        // The user's choice is what the next start finds.
        Form->ChkPaletteSave->click();
        EXPECT_EQ(Form->GBPaletteEdit->title() == "パレット編集", !c.Checked);
        ASSERT_TRUE(CloseForm());
        const std::string saved = ReadTextFile(SettingsPath());
        EXPECT_NE(saved.find(c.Checked ? "Save=0" : "Save=1"), std::string::npos) << saved;
        Form.reset();
    }
}

TEST_F(PaletteTab, RecolouredSetsAreSavedAndComeBackOnReopen) {
    OpenOnPaletteTab();
    ASSERT_TRUE(Form->ChkPaletteSave->isChecked()) << "saving palettes is the default";
    Type(Form->EditPal[5], "3f");
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    ViewDriver::Press(Form->ImgColorTable, Qt::LeftButton, 10 * 24 + 3, 24 + 3); // colour 1A
    ViewDriver::Press(Form->ImgPalView[3], Qt::LeftButton, 2 * 24 + 5, 5);       // entry 14
    ASSERT_EQ(Entry(1, 14), 0x1A);
    EXPECT_FALSE(Form->LblPaletteWriteHint->isVisible());

    Form->Save1Click();

    EXPECT_TRUE(Prompts.Messages().empty());
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->StatusPanels[0]->text(), "");
    const auto original = CartridgeGenerator::MakeImage();
    const auto saved = ReadWholeFile(ImagePath.toStdString());
    ASSERT_EQ(saved.size(), original.size());
    const PaletteLayout layout(original, *Form->ImageHolder().Address());
    for (std::size_t at = 0; at < saved.size(); ++at) {
        const auto offset = static_cast<std::int64_t>(at);
        if (layout.BlockOf(0, 0).Overlaps(offset, 1) || layout.BlockOf(0, 1).Overlaps(offset, 1))
            continue;
        ASSERT_EQ(saved[at], original[at]) << "outside stage 0's palette blocks at " << at;
    }
    EXPECT_NE(saved, original);

    OpenThroughMenu(ImagePath);
    auto expected = CartridgeGenerator::PaletteOfStage(0);
    expected[5] = 0x3F;
    expected[16 + 14] = 0x1A;
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Stage().StagePalette[i], expected[i]) << "entry " << i;
    Form->CBSelectPaletteSet->setCurrentIndex(0);
    EXPECT_EQ(Form->EditPal[5]->text(), "3F");
}

TEST_F(PaletteTab, StagesSharingAPaletteNumberShowOneEditAndWriteItOnce) {
    auto image = CartridgeGenerator::MakeImage();
    image[CartridgeGenerator::PaletteNumberTable + 1] = 0; // stage 1 reads palette 0
    OpenOnPaletteTab("", image);
    Type(Form->EditPal[6], "30");

    // The step belongs to the stage it was made on; saving that stage writes the one block both
    // stages read.
    EXPECT_TRUE(PaletteMarked(0));
    Form->CBStage->setCurrentIndex(1);
    EXPECT_EQ(Form->EditPal[6]->text(), "30");
    EXPECT_EQ(PalCell(6), Master(0x30));
    // An edit on the second stage comes back to the first.
    Type(Form->EditPal[7], "21");
    Form->CBStage->setCurrentIndex(0);
    EXPECT_EQ(Form->EditPal[7]->text(), "21");

    Form->Save1Click();

    EXPECT_TRUE(Prompts.Messages().empty());
    const auto saved = ReadWholeFile(ImagePath.toStdString());
    const PaletteBlock block = PaletteLayout(image, *Form->ImageHolder().Address()).BlockOf(0, 0);
    for (std::size_t at = 0; at < saved.size(); ++at) {
        if (block.Overlaps(static_cast<std::int64_t>(at), 1))
            continue;
        ASSERT_EQ(saved[at], image[at]) << "outside the shared block at " << at;
    }
    EXPECT_NE(saved, image);
    OpenThroughMenu(ImagePath);
    for (const int stage : {0, 1}) {
        Form->CBStage->setCurrentIndex(stage);
        EXPECT_EQ(Entry(0, 6), 0x30) << "stage " << stage;
        EXPECT_EQ(Entry(0, 7), 0x21) << "stage " << stage;
    }
}

// A set the save cannot write is marked while it is shown, left out of the file and named
// after the save; its stage stays modified. The other set of the stage is written.
TEST_F(PaletteTab, ASetThatCannotBeWrittenIsMarkedNamedAndStaysModified) {
    const struct {
        int Stage;
        int Set;
        int Entry;
        const char* Keys;
        PaletteRefusal Reason;
    } cases[] = {
        // Odd stages' second set starts at entry 4: entry 0 is never written.
        {1, 1, 0, "21", PaletteRefusal::EntryOutsideBlock},
        // Entry 0 is black, stored as "black first" with entry 1: a plain colour needs a byte
        // more.
        {2, 0, 0, "01", PaletteRefusal::DoesNotFit},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Stage);
        OpenOnPaletteTab();
        Form->CBStage->setCurrentIndex(c.Stage);
        const int otherSet = 1 - c.Set;
        Form->CBSelectPaletteSet->setCurrentIndex(otherSet);
        Type(Form->EditPal[10], "3f"); // fits
        Form->CBSelectPaletteSet->setCurrentIndex(c.Set);
        QLineEdit* field = Form->EditPal[static_cast<std::size_t>(c.Entry)];
        EXPECT_EQ(field->styleSheet().contains("red"), false);
        Type(field, c.Keys);

        const std::string reason = PaletteEncoder::RefusalText(c.Reason);
        EXPECT_TRUE(field->styleSheet().contains("red"));
        EXPECT_EQ(field->toolTip().toStdString(), "この定義はファイルに保存できません: " + reason);
        EXPECT_TRUE(Form->LblPaletteWriteHint->isVisible());
        EXPECT_EQ(Form->LblPaletteWriteHint->text(), field->toolTip());
        EXPECT_FALSE(Form->EditPal[c.Entry + 1]->styleSheet().contains("red"));
        // With saving off nothing is marked: the edit stays in memory like every other.
        Form->ChkPaletteSave->click();
        EXPECT_FALSE(field->styleSheet().contains("red"));
        EXPECT_FALSE(Form->LblPaletteWriteHint->isVisible());
        Form->ChkPaletteSave->click();
        EXPECT_TRUE(field->styleSheet().contains("red"));

        Form->Save1Click();

        const std::string stageName = Hex2(c.Stage) + " ステージ" + std::to_string(c.Stage + 1);
        EXPECT_EQ(Prompts.Messages(),
                  (std::vector<std::string>{
                      "次のパレットの変更はファイルに保存できませんでした(ファイルでは変更前の"
                      "ままです)。\n" +
                      stageName + " 定義" + std::to_string(c.Set) + ": " + reason}));
        EXPECT_TRUE(PaletteMarked(c.Stage));
        EXPECT_TRUE(Form->Tracker().IsModified());
        EXPECT_EQ(Form->StatusPanels[0]->text(), "変更あり");
        EXPECT_TRUE(field->styleSheet().contains("red")) << "still not in the file";

        // Putting the colour back clears the mark.
        const auto fileColour = CartridgeGenerator::PaletteOfStage(
            c.Stage)[static_cast<std::size_t>(c.Set * 16 + c.Entry)];
        Type(field, QString::fromStdString(Hex2(fileColour)));
        EXPECT_FALSE(field->styleSheet().contains("red"));
        EXPECT_FALSE(Form->LblPaletteWriteHint->isVisible());

        // Only the other set reached the file.
        Prompts.YesNoCancelAnswers.push_back(UserPrompts::Answer::No);
        OpenThroughMenu(ImagePath);
        Form->CBStage->setCurrentIndex(c.Stage);
        auto expected = CartridgeGenerator::PaletteOfStage(c.Stage);
        expected[static_cast<std::size_t>(otherSet * 16 + 10)] = 0x3F;
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(Stage().StagePalette[i], expected[i]) << "entry " << i;
        ASSERT_TRUE(CloseForm());
        Form.reset();
        Prompts.Log.clear();
    }
}

// Saving from the unsaved-changes question while a set cannot be written: the image is saved,
// the set is named, and the command that asked (here Open) stops, so the edit is not lost.
TEST_F(PaletteTab, ASaveFromTheQuestionThatLeavesASetOutStopsTheCommand) {
    OpenOnPaletteTab();
    Form->CBStage->setCurrentIndex(1);
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    Type(Form->EditPal[0], "21"); // never written by stage 1's second set
    Prompts.YesNoCancelAnswers.push_back(UserPrompts::Answer::Yes);
    Prompts.SaveFiles.push_back(ImagePath);
    Prompts.OpenFiles.push_back(ImagePath);

    Form->Open1Click();

    EXPECT_EQ(Prompts.Messages().size(), 1u);
    EXPECT_TRUE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->CBStage->currentIndex(), 1) << "the image was not opened again";
    EXPECT_EQ(Entry(1, 0), 0x21);
}

// What a save could not write stays modified through later steps and their undo.
TEST_F(PaletteTab, ASetLeftOutBySaveStaysModifiedThroughTheHistory) {
    OpenOnPaletteTab();
    Form->CBStage->setCurrentIndex(1);
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    Type(Form->EditPal[0], "21"); // never written by stage 1's second set
    Form->Save1Click();
    ASSERT_TRUE(PaletteMarked(1));

    Type(Form->EditPal[10], "3F"); // fits
    Form->Undo1Click();

    EXPECT_TRUE(PaletteMarked(1));
    EXPECT_TRUE(Form->Tracker().IsModified());
    EXPECT_EQ(Form->StatusPanels[0]->text(), "変更あり");
}

TEST_F(PaletteTab, ReloadAsksAndRereadsOnlyOnYes) {
    OpenOnPaletteTab();
    const std::uint8_t original = Entry(0, 2);
    Type(Form->EditPal[2], "3d");

    Prompts.YesNoAnswers.push_back(false);
    Form->BtnPaletteReload->click();
    EXPECT_EQ(Prompts.Log.back(), ReloadQuestion);
    EXPECT_EQ(Entry(0, 2), 0x3D);
    EXPECT_EQ(Form->EditPal[2]->text(), "3D");

    Prompts.YesNoAnswers.push_back(true);
    Form->BtnPaletteReload->click();
    EXPECT_EQ(Prompts.Log.back(), ReloadQuestion);
    EXPECT_EQ(Entry(0, 2), original);
    ExpectSetShown(0);
    EXPECT_TRUE(PaletteMarked()) << "a reload leaves the mark";
}

TEST_F(PaletteTab, AnimationReloadClearsTheBytesOnYes) {
    OpenOnPaletteTab();
    Type(Form->EditAnimePal[2], "85");
    ASSERT_EQ(AnimeByte(0, 2), 0x85);

    Prompts.YesNoAnswers.push_back(false);
    Form->BtnAnimationPaletteReload->click();
    EXPECT_EQ(Prompts.Log.back(), AnimeReloadQuestion);
    EXPECT_EQ(AnimeByte(0, 2), 0x85);

    Prompts.YesNoAnswers.push_back(true);
    Form->BtnAnimationPaletteReload->click();
    EXPECT_EQ(AnimeByte(0, 2), 0x00);
    EXPECT_EQ(Form->EditAnimePal[2]->text(), "00");
    EXPECT_TRUE(PaletteMarked());
}

struct ArrowCase {
    const char* Start;
    bool Up;
    const char* Result;
};

class PaletteTabArrows : public PaletteTab, public testing::WithParamInterface<ArrowCase> {};

TEST_P(PaletteTabArrows, StepTheAnimationByte) {
    OpenOnPaletteTab();
    const ArrowCase& c = GetParam();
    Type(Form->EditAnimePal[1], c.Start);
    Form->History().MarkSaved({});
    TUpDown* arrows = Form->UDAnimePal[1];
    const int position = arrows->Position();

    (c.Up ? arrows->UpButton() : arrows->DownButton())->click();

    EXPECT_EQ(Form->EditAnimePal[1]->text().toStdString(), c.Result);
    EXPECT_EQ(Hex2(AnimeByte(0, 1)), c.Result);
    EXPECT_EQ(arrows->Position(), position) << "the arrows' own position never moves";
    EXPECT_TRUE(PaletteMarked());
    EXPECT_EQ(AnimeByte(1, 1), 0x00) << "only the chosen set's row";
}

INSTANTIATE_TEST_SUITE_P(Cases, PaletteTabArrows,
                         testing::Values(ArrowCase{"00", true, "80"}, ArrowCase{"80", false, "00"},
                                         ArrowCase{"00", false, "FF"}, ArrowCase{"FF", true, "00"},
                                         ArrowCase{"80", true, "81"}, ArrowCase{"85", false, "84"},
                                         ArrowCase{"81", false, "80"}));

TEST_F(PaletteTab, AnimationFieldsRefuseOneToSevenF) {
    OpenOnPaletteTab();
    Type(Form->EditAnimePal[0], "9c");
    EXPECT_EQ(Form->EditAnimePal[0]->text(), "9C");
    EXPECT_EQ(AnimeByte(0, 0), 0x9C);
    for (const char* typed : {"7F", "01", "7f", "zz", "8"}) {
        SCOPED_TRACE(typed);
        Type(Form->EditAnimePal[0], typed);
        EXPECT_EQ(AnimeByte(0, 0), 0x9C);
        if (std::string(typed).size() == 2) {
            EXPECT_EQ(Form->EditAnimePal[0]->text(), "9C");
        }
    }
    Type(Form->EditAnimePal[0], "00");
    EXPECT_EQ(AnimeByte(0, 0), 0x00);
}

// One hover target: a view and two neighbouring cells of it.
struct HoverCase {
    const char* Name;
    int View; // 0..3: ImgPalView, 4: ImgColorTable
    int FirstItem;
    int SecondItem;
};

class PaletteTabHover : public PaletteTab, public testing::WithParamInterface<HoverCase> {
protected:
    TImageEx* View() {
        return GetParam().View < 4 ? Form->ImgPalView[GetParam().View] : Form->ImgColorTable;
    }
    QPoint Origin(int item) {
        if (GetParam().View == 4)
            return {(item % 16) * 24, (item / 16) * 24};
        return {(item % 4) * 24, 0};
    }
    std::uint32_t ColourOf(int item) {
        return GetParam().View == 4 ? Master(item) : Master(Entry(0, item));
    }
    void ExpectFramed(int item, bool framed) {
        const QPoint o = Origin(item);
        const std::uint32_t edge = framed ? Magenta : ColourOf(item);
        EXPECT_EQ(PixelOf(View(), o.x(), o.y()), edge) << item;
        EXPECT_EQ(PixelOf(View(), o.x() + 23, o.y() + 23), edge) << item;
        EXPECT_EQ(PixelOf(View(), o.x() + 23, o.y() + 12), edge) << item;
        EXPECT_EQ(PixelOf(View(), o.x() + 12, o.y() + 12), ColourOf(item)) << item;
    }
};

TEST_P(PaletteTabHover, FrameFollowsThePointerAndLeavingRemovesIt) {
    OpenOnPaletteTab();
    const HoverCase& c = GetParam();
    const QPoint first = Origin(c.FirstItem);
    const QPoint second = Origin(c.SecondItem);

    ViewDriver::Move(View(), first.x() + 5, first.y() + 5);
    ExpectFramed(c.FirstItem, true);
    ExpectFramed(c.SecondItem, false);

    RepaintCounter repaints(View());
    ViewDriver::Move(View(), first.x() + 18, first.y() + 18);
    EXPECT_EQ(repaints.Count, 0) << "a move within one cell draws nothing";

    ViewDriver::Move(View(), second.x() + 5, second.y() + 5);
    ExpectFramed(c.FirstItem, false);
    ExpectFramed(c.SecondItem, true);

    ViewDriver::Leave(View());
    ExpectFramed(c.FirstItem, false);
    ExpectFramed(c.SecondItem, false);
    EXPECT_FALSE(Form->Tracker().IsModified());
}

INSTANTIATE_TEST_SUITE_P(
    Views, PaletteTabHover,
    testing::Values(HoverCase{"ColorTable", 4, 0x12, 0x22}, HoverCase{"PalView0", 0, 0, 1},
                    HoverCase{"PalView1", 1, 5, 6}, HoverCase{"PalView2", 2, 10, 11},
                    HoverCase{"PalView3", 3, 15, 14}),
    [](const testing::TestParamInfo<HoverCase>& param) { return std::string(param.param.Name); });

TEST_F(PaletteTab, APressTakesTheHoverPairWithoutDrawing) {
    OpenOnPaletteTab();
    ViewDriver::Press(Form->ImgColorTable, Qt::LeftButton, 24 * 3 + 4, 4);
    // The pointer is already counted as over colour 03: moving within it frames nothing.
    ViewDriver::Move(Form->ImgColorTable, 24 * 3 + 10, 10);
    EXPECT_EQ(PixelOf(Form->ImgColorTable, 24 * 3, 0), Master(3));
    ViewDriver::Move(Form->ImgColorTable, 24 * 4 + 10, 10);
    EXPECT_EQ(PixelOf(Form->ImgColorTable, 24 * 4, 0), Magenta);
}

// Animation records of our own in a free part of the generated image (bank 0x3C):
// animation 3, period 2 ticks, steps 0 and 1 showing colour sets 2 and 5;
// animation 5, period 3 ticks, steps 0 and 1 showing colour sets 6 and 7.
class PaletteAnimation : public PaletteTab {
protected:
    static constexpr std::size_t LowTable = 0x78810;
    static constexpr std::size_t HighTable = 0x78890;
    static constexpr std::size_t ColorTable = 0x78910;
    static constexpr std::size_t Base = 0x78A10;
    static constexpr int Animation = 3;

    void SetUp() override {
        PaletteTab::SetUp();
        std::vector<std::uint8_t> image = CartridgeGenerator::MakeImage();
        image[LowTable + Animation] = 0x43; // record address 0xBB43: the record at Base
        image[HighTable + Animation] = 0xBB;
        image[Base] = 1;            // last step
        image[Base + 1] = 2;        // period
        image[Base + 2] = 2;        // step 0: colour set 2
        image[Base + 3] = 5;        // step 1: colour set 5
        image[LowTable + 5] = 0x53; // record address 0xBB53: the record at Base + 0x10
        image[HighTable + 5] = 0xBB;
        image[Base + 0x10] = 1; // last step
        image[Base + 0x11] = 3; // period
        image[Base + 0x12] = 6; // step 0: colour set 6
        image[Base + 0x13] = 7; // step 1: colour set 7
        const std::uint8_t set2[] = {0x21, 0x22, 0x23};
        const std::uint8_t set5[] = {0x31, 0x32, 0x33};
        const std::uint8_t set6[] = {0x11, 0x12, 0x13};
        const std::uint8_t set7[] = {0x14, 0x15, 0x16};
        for (std::size_t k = 0; k < 3; ++k) {
            image[ColorTable + 2 * 3 + k] = set2[k];
            image[ColorTable + 5 * 3 + k] = set5[k];
            image[ColorTable + 6 * 3 + k] = set6[k];
            image[ColorTable + 7 * 3 + k] = set7[k];
        }
        char settings[256];
        std::snprintf(settings, sizeof settings,
                      "[Timer]\nInterval=%d\n[PaletteAnimation]\nAnimeLowTable=%zX\n"
                      "AnimeHighTable=%zX\nAnimeColorTable=%zX\nAnimeBase=%zX\n",
                      TickMilliseconds(), LowTable, HighTable, ColorTable, Base);
        OpenOnPaletteTab(settings, image);
    }

    // Milliseconds per tick. An hour by default: the real timer never fires during a test and
    // the ticks are driven by hand.
    virtual int TickMilliseconds() const { return 3600000; }

    void ExpectSubPalette3(std::uint8_t c1, std::uint8_t c2, std::uint8_t c3) {
        EXPECT_EQ(AnimeCell(13), Master(c1));
        EXPECT_EQ(AnimeCell(14), Master(c2));
        EXPECT_EQ(AnimeCell(15), Master(c3));
    }

    void ExpectSubPalette2(std::uint8_t c1, std::uint8_t c2, std::uint8_t c3) {
        EXPECT_EQ(AnimeCell(8), Master(Entry(0, 8))) << "entry 4k is never animated";
        EXPECT_EQ(AnimeCell(9), Master(c1));
        EXPECT_EQ(AnimeCell(10), Master(c2));
        EXPECT_EQ(AnimeCell(11), Master(c3));
    }
};

TEST_F(PaletteAnimation, TicksRepaintOnlyWhenAColourChanged) {
    ASSERT_TRUE(Form->FrameTimer->isActive());
    Type(Form->EditAnimePal[2], "83");
    ASSERT_EQ(AnimeByte(0, 2), 0x83);
    const std::uint8_t e9 = Entry(0, 9), e10 = Entry(0, 10), e11 = Entry(0, 11);
    ExpectSubPalette2(e9, e10, e11);

    RepaintCounter repaints(Form->ImgAnimePal[2]);
    RepaintCounter others(Form->ImgAnimePal[1]);
    RepaintCounter palView(Form->ImgPalView[2]);
    Form->FrameTimerTimer();
    EXPECT_EQ(repaints.Count, 0) << "a tick that changes nothing repaints nothing";
    ExpectSubPalette2(e9, e10, e11);

    Form->FrameTimerTimer();
    EXPECT_GT(repaints.Count, 0);
    ExpectSubPalette2(0x21, 0x22, 0x23);
    EXPECT_EQ(Form->Graphics().GetStageColor(9), Master(0x21));
    EXPECT_EQ(AnimeCell(5), Master(Entry(0, 5))) << "other sub-palettes keep their colours";
    EXPECT_EQ(PalCell(9), Master(e9)) << "the palette views show the stored numbers";

    const int afterChange = repaints.Count;
    Form->FrameTimerTimer();
    EXPECT_EQ(repaints.Count, afterChange);
    Form->FrameTimerTimer();
    ExpectSubPalette2(0x31, 0x32, 0x33);
    Form->FrameTimerTimer();
    Form->FrameTimerTimer();
    {
        SCOPED_TRACE("after the last step the first comes again");
        ExpectSubPalette2(0x21, 0x22, 0x23);
    }
    EXPECT_EQ(palView.Count, 0);

    // A new animation byte puts the stored colours back and starts from the first step.
    Type(Form->EditAnimePal[2], "84");
    ExpectSubPalette2(e9, e10, e11);
    EXPECT_EQ(Form->Graphics().GetStageColor(9), Master(e9));
    EXPECT_TRUE(Form->FrameTimer->isActive());
    EXPECT_FALSE(PaletteMarked(1));
    EXPECT_TRUE(PaletteMarked(0));
}

// Between them, animations 3 and 5 change a colour at ticks 2, 3, 4, 6, 8, 9, 10, 12, ...
TEST_F(PaletteAnimation, TheTimerSleepsUntilTheNextColourChangeAndCatchesUpWhenItWakes) {
    Type(Form->EditAnimePal[2], "83");
    Type(Form->EditAnimePal[3], "85");
    const auto colours = [this] {
        return PalettedImage::ColorTableArray(Form->Graphics().StageColorTable());
    };
    const int tick = TickMilliseconds();
    std::vector<int> slept;
    std::vector<PalettedImage::ColorTableArray> woken;
    for (int wake = 0; wake < 8; ++wake) {
        ASSERT_TRUE(Form->FrameTimer->isActive());
        ASSERT_EQ(Form->FrameTimer->interval() % tick, 0) << Form->FrameTimer->interval();
        slept.push_back(Form->FrameTimer->interval() / tick);
        Form->FrameTimerElapsed();
        woken.push_back(colours());
    }
    EXPECT_EQ(slept, (std::vector<int>{2, 1, 1, 2, 2, 1, 1, 2}));
    {
        SCOPED_TRACE("the views show the colours of the last wake-up");
        ExpectSubPalette2(0x31, 0x32, 0x33);
        ExpectSubPalette3(0x14, 0x15, 0x16);
    }

    // The same ticks one at a time from the start: nothing changes while the timer sleeps, and
    // every wake-up shows what the single ticks up to it show.
    Form->CBStage->setCurrentIndex(4);
    Form->CBStage->setCurrentIndex(0);
    PalettedImage::ColorTableArray before = colours();
    for (std::size_t wake = 0; wake < slept.size(); ++wake) {
        for (int asleep = 1; asleep < slept[wake]; ++asleep) {
            Form->FrameTimerTimer();
            EXPECT_EQ(colours(), before) << "a colour changed while the timer slept, wake " << wake;
        }
        Form->FrameTimerTimer();
        EXPECT_NE(colours(), before) << "wake " << wake << " came for nothing";
        EXPECT_EQ(colours(), woken[wake]) << "wake " << wake;
        before = colours();
    }
}

class PaletteAnimationOnTheRunningTimer : public PaletteAnimation {
protected:
    int TickMilliseconds() const override { return 1; }
};

TEST_F(PaletteAnimationOnTheRunningTimer, AWakeUpChangesTheColoursOnScreen) {
    const std::uint32_t stored = AnimeCell(9);
    Type(Form->EditAnimePal[2], "83");
    ASSERT_TRUE(QTest::qWaitFor([&] { return AnimeCell(9) != stored; }, 10000));
    const std::uint32_t shown = AnimeCell(9);
    EXPECT_TRUE(shown == Master(0x21) || shown == Master(0x31));
    EXPECT_EQ(shown, Form->Graphics().GetStageColor(9));
}

// However long a tick, the sleep between wake-ups fits the timer: with nothing animated, and
// with an animation due in two ticks.
class PaletteAnimationWithTheLongestTick : public PaletteAnimation {
protected:
    int TickMilliseconds() const override { return INT_MAX; }
};

TEST_F(PaletteAnimationWithTheLongestTick, TheTimerStillRuns) {
    EXPECT_TRUE(Form->FrameTimer->isActive());
    EXPECT_EQ(Form->FrameTimer->interval(), INT_MAX);
    Type(Form->EditAnimePal[2], "83");
    EXPECT_TRUE(Form->FrameTimer->isActive());
    EXPECT_EQ(Form->FrameTimer->interval(), INT_MAX) << "two ticks do not fit: one at a time";
    Form->FrameTimerElapsed();
    Form->FrameTimerElapsed();
    ExpectSubPalette2(0x21, 0x22, 0x23);
}

TEST_F(PaletteAnimation, OnlyTheActiveTabIsRepainted) {
    Type(Form->EditAnimePal[2], "83");
    const std::uint8_t e9 = Entry(0, 9);
    Form->EditPageControl->setCurrentWidget(Form->Tab16x16ChipEdit);
    Form->FrameTimerTimer();
    Form->FrameTimerTimer();
    EXPECT_EQ(Form->Graphics().GetStageColor(9), Master(0x21));
    EXPECT_EQ(AnimeCell(9), Master(e9)) << "the palette tab is not the active one";
}

TEST_F(PaletteAnimation, ChangingTheSetRestartsTheAnimation) {
    Type(Form->EditAnimePal[2], "83");
    Form->FrameTimerTimer();
    // Set 1's row is all 00: nothing animates there.
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    EXPECT_TRUE(Form->FrameTimer->isActive());
    Form->FrameTimerTimer();
    Form->FrameTimerTimer();
    EXPECT_EQ(AnimeCell(9), Master(Entry(1, 9)));
    EXPECT_EQ(Form->EditAnimePal[2]->text(), "00");

    Form->CBSelectPaletteSet->setCurrentIndex(0);
    EXPECT_EQ(Form->EditAnimePal[2]->text(), "83");
    Form->FrameTimerTimer();
    EXPECT_EQ(AnimeCell(9), Master(Entry(0, 9))) << "the count starts again after the change";
    Form->FrameTimerTimer();
    EXPECT_EQ(AnimeCell(9), Master(0x21));
}

TEST_F(PaletteAnimation, AStageChangeRestartsTheAnimationOfTheNewStage) {
    Type(Form->EditAnimePal[2], "83");
    Form->FrameTimerTimer();
    Form->CBStage->setCurrentIndex(4);
    Form->CBStage->setCurrentIndex(0);
    EXPECT_TRUE(Form->FrameTimer->isActive());
    Form->FrameTimerTimer();
    EXPECT_EQ(AnimeCell(9), Master(Entry(0, 9)));
    Form->FrameTimerTimer();
    EXPECT_EQ(AnimeCell(9), Master(0x21));
}

TEST_F(PaletteAnimation, WithoutAnimationBytesNothingEverChanges) {
    RepaintCounter repaints(Form->ImgAnimePal[0]);
    for (int tick = 0; tick < 10; ++tick)
        Form->FrameTimerTimer();
    EXPECT_EQ(repaints.Count, 0);
    ExpectSetShown(0);
}

TEST_F(PaletteAnimation, TicksGoOnOverTheStagesOfAClosedImage) {
    Type(Form->EditAnimePal[2], "83");
    Form->History().MarkSaved({});
    Form->Close1Click();
    ASSERT_TRUE(Form->FrameTimer->isActive());
    // The stage keeps its animation byte; the cleared buffer reads as a record with period 0
    // whose colour set is all colour 00.
    Form->FrameTimerTimer();
    EXPECT_EQ(Form->Graphics().GetStageColor(9), Master(0x00));
    EXPECT_EQ(Form->Graphics().GetStageColor(8), Master(Entry(0, 8)));
}

} // namespace
