// The main window's start-up, settings and file commands, driven as the user drives them.
#include "MainFormFixture.h"
#include "TabTestSupport.h"

#include "32x32chipedit/Chip32x32EditClass.h"
#include "ImageEx/TImageEx.h"
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "graphics/ViewSurface.h"
#include "mainform/RecentFilesMenu.h"
#include "romgen/CartridgeGenerator.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <vector>

#include <sys/stat.h>

namespace {

using Answer = UserPrompts::Answer;

const std::string OpenFilter = "open:ケストリン6 ROMイメージ (*.nes);;すべてのファイル (*)";
const std::string SaveFilter = "save:ケストリン6 ROMイメージ (*.nes)|nes";

class Shell : public MainFormFixture {
protected:
    static std::vector<std::uint8_t> CartridgeBytes() { return CartridgeGenerator::MakeImage(); }
    QString StatusText() const { return Form->StatusPanels[0]->text(); }
    std::string Question(const QString& path) const {
        return "ask:KESTRIN 6 EDITOR|" + path.toStdString() + "への変更を保存しますか？";
    }
};

TEST_F(Shell, WithoutMasterPaletteStartupStopsAfterOneMessage) {
    WriteStartupFiles();
    std::filesystem::remove(Dir.File("fcpalette.pal"));
    StartForm();
    EXPECT_TRUE(Form->StartupFailed());
    EXPECT_EQ(Prompts.Log, std::vector<std::string>{"message:fcpalette.palが読み込めませんでした"});
    EXPECT_FALSE(Form->isVisible());
    EXPECT_FALSE(std::filesystem::exists(SettingsPath()));
}

TEST_F(Shell, MasterPaletteOfWrongSizeStopsStartup) {
    WriteStartupFiles();
    WriteWholeFile(Dir.File("fcpalette.pal"), std::vector<std::uint8_t>(193));
    StartForm();
    EXPECT_TRUE(Form->StartupFailed());
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{"fcpalette.palのサイズが不正です"});
}

TEST_F(Shell, MissingObjectListFallsBackToTheBuiltInList) {
    WriteStartupFiles();
    std::filesystem::remove(Dir.File("ObjectList.txt"));
    StartForm();
    ASSERT_FALSE(Form->StartupFailed());
    EXPECT_EQ(Prompts.Messages(),
              std::vector<std::string>{"ObjectList.txtを読み込めませんでした。"});
    EXPECT_TRUE(Form->isVisible());
    ASSERT_EQ(Form->CBSelectObject->count(), 256);
    for (int i : {0, 0x2A, 0x80, 0xFF}) {
        EXPECT_TRUE(Form->CBSelectObject->itemText(i).startsWith(
            QString("%1").arg(i, 2, 16, QChar('0')).toUpper()))
            << i;
    }
    EXPECT_EQ(Form->CBSelectScroll->itemText(0x11).toStdString(), "11 縦スクロール\t区間1");
}

TEST_F(Shell, ListFilesAreReadAsShiftJis) {
    WriteStartupFiles();
    StartForm();
    EXPECT_TRUE(Prompts.Log.empty());
    ASSERT_EQ(Form->CBSelectObject->count(), 256);
    EXPECT_EQ(Form->CBSelectObject->itemText(0x80).toStdString(), "80 スクロール制御");
}

TEST_F(Shell, AListEndingInACutDoubleByteCharacterKeepsItsLastLine) {
    WriteStartupFiles();
    // The last line is only the first byte of a double-byte character.
    WriteTextFile(Dir.File("ObjectList.txt"), "00 \x93\x47\r\n\x93");
    StartForm();
    EXPECT_TRUE(Prompts.Log.empty());
    ASSERT_EQ(Form->CBSelectObject->count(), 2);
    EXPECT_EQ(Form->CBSelectObject->itemText(0).toStdString(), "00 敵");
}

TEST_F(Shell, UnreadableListFilesGiveAMessageNeverACrash) {
    WriteStartupFiles();
    // A folder where the file should be, and a list far too large to be one.
    std::filesystem::remove(Dir.File("ObjectList.txt"));
    std::filesystem::create_directory(Dir.File("ObjectList.txt"));
    WriteTextFile(Dir.File("ScrollList.txt"), std::string(2 * 1024 * 1024, 'x'));
    StartForm();
    EXPECT_EQ(Prompts.Messages(),
              (std::vector<std::string>{"ObjectList.txtを読み込めませんでした。",
                                        "ScrollList.txtを読み込めませんでした。"}));
    EXPECT_EQ(Form->CBSelectScroll->count(), 256);
}

struct SettingsCase {
    const char* Text;
    int Interval;
    bool Sort;
};

class ShellSettings : public Shell, public testing::WithParamInterface<SettingsCase> {};

TEST_P(ShellSettings, AreAppliedAtStartup) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(), GetParam().Text);
    StartForm();
    EXPECT_EQ(Form->FrameTimer->interval(), GetParam().Interval);
    EXPECT_EQ(Form->ChkSortObjectList->isChecked(), GetParam().Sort);
    EXPECT_FALSE(Form->FrameTimer->isActive()) << "the timer waits for the first open";
}

INSTANTIATE_TEST_SUITE_P(
    Values, ShellSettings,
    testing::Values(SettingsCase{"[Timer]\nInterval=0x20\n[ObjectEdit]\nSort=0\n", 32, false},
                    SettingsCase{"[Timer]\nInterval=020\n[ObjectEdit]\nSort=2\n", 20, true},
                    SettingsCase{"[Timer]\nInterval=abc\n", 16, true}, SettingsCase{"", 16, true},
                    // A zero or negative interval would tick without pause.
                    SettingsCase{"[Timer]\nInterval=0\n", 16, true},
                    SettingsCase{"[Timer]\nInterval=-5\n", 16, true},
                    SettingsCase{"[Timer]\nInterval=1\n", 1, true}));

TEST_F(Shell, AnIntervalBelowOneIsWrittenBackAsRead) {
    for (const std::string value : {"0", "-5"}) {
        SCOPED_TRACE(value);
        WriteStartupFiles();
        WriteTextFile(SettingsPath(), "[Timer]\nInterval=" + value + "\n");
        StartForm();
        ASSERT_TRUE(CloseForm());
        EXPECT_NE(ReadTextFile(SettingsPath()).find("[Timer]\nInterval=" + value + "\n"),
                  std::string::npos);
    }
}

TEST_F(Shell, TheFrameTimerRunsOnlyWhileAnAnimationIsConfigured) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu(WriteCartridge("game.nes"));
    EXPECT_FALSE(Form->FrameTimer->isActive()) << "no animation tables: nothing to tick for";
    Form->CBStage->setCurrentIndex(3);
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    Form->CBSelectPaletteSet->setCurrentIndex(1);
    EXPECT_FALSE(Form->FrameTimer->isActive());
    ASSERT_TRUE(CloseForm());

    WriteTextFile(SettingsPath(), GeneratedAnimationSettings());
    StartForm();
    EXPECT_FALSE(Form->FrameTimer->isActive()) << "the timer waits for the first open";
    OpenThroughMenu(WriteCartridge("game.nes"));
    EXPECT_TRUE(Form->FrameTimer->isActive());
    Form->CBStage->setCurrentIndex(3);
    EXPECT_TRUE(Form->FrameTimer->isActive());
}

TEST_F(Shell, SettingsFileIsUntouchedByStartupAndWrittenAtExit) {
    WriteStartupFiles();
    const std::string original = "; mine\n[ObjectEdit]\nSort=0\nPopup=1\n[32x32ChipEdit]\nGrid=1\n";
    WriteTextFile(SettingsPath(), original);
    StartForm();
    EXPECT_EQ(ReadTextFile(SettingsPath()), original);
    EXPECT_TRUE(Form->Chk32x32ChipEditDrawGrid->isChecked());
    Form->ChkPopupHint->setChecked(false);
    ASSERT_TRUE(CloseForm());
    EXPECT_EQ(ReadTextFile(SettingsPath()), "; mine\n[ObjectEdit]\nSort=0\nPopup=0\n"
                                            "[32x32ChipEdit]\nGrid=1\n[MapSetEdit]\nGrid=0\n"
                                            "[PaletteEdit]\nSave=1\n[Timer]\nInterval=16\n[View]"
                                            "\nLanguage=ja\nZoom=1\nOverviewShown=0\n"
                                            "[Backup]\nKeep=1\n");
}

TEST_F(Shell, SettingsAfterAnOpenAlsoHoldTheLevelDataOffsets) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu(WriteCartridge("game.nes"));
    ASSERT_TRUE(CloseForm());
    const std::string text = ReadTextFile(SettingsPath());
    EXPECT_NE(text.find("[LevelDataAddress]\nMapDataBankA000=7DF35\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Timer]\nInterval=16\n"), std::string::npos);
}

TEST_F(Shell, UnwritableSettingsAreReportedAndTheWindowStillCloses) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(), "[Timer]\nInterval=16\n");
    std::filesystem::permissions(SettingsPath(), std::filesystem::perms::owner_read);
    StartForm();
    EXPECT_TRUE(CloseForm());
    ASSERT_EQ(Prompts.Messages().size(), 1u);
    EXPECT_NE(Prompts.Messages()[0].find("kestrin6editor.ini"), std::string::npos);
    EXPECT_EQ(ReadTextFile(SettingsPath()), "[Timer]\nInterval=16\n");
}

TEST_F(Shell, WindowBeforeAnyOpen) {
    WriteStartupFiles();
    StartForm();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR");
    EXPECT_FALSE(Form->CBStage->isVisible());
    EXPECT_FALSE(Form->EditPageControl->isVisible());
    EXPECT_FALSE(Form->Save1->isEnabled());
    EXPECT_FALSE(Form->SaveAs1->isEnabled());
    EXPECT_FALSE(Form->Close1->isEnabled());
    EXPECT_TRUE(Form->Open1->isEnabled());
    EXPECT_TRUE(Form->Exit1->isEnabled());
    EXPECT_TRUE(Form->OpenMasterPalette1->isEnabled());
    EXPECT_EQ(Form->N1->title(), "ファイル(&F)");
    QStringList captions;
    for (QAction* action : Form->N1->actions())
        captions << (action->isSeparator() ? "-" : action->text());
    EXPECT_EQ(
        captions,
        (QStringList{"開く(&O)", "最近使ったファイル(&R)", "-", "上書き保存(&S)",
                     "名前を付けて保存(&A)", "パッチを作成(&P)...", "パッチを当てて開く(&T)...",
                     "画像として書き出す(&E)...", "テストプレイ(&T)", "TMX形式で書き出す(&M)...",
                     "TMX形式から読み込む(&L)...", "-", "マスターパレットを開く(&M)...", "-",
                     "閉じる(&C)", "-", "終了(&X)"}));
    ASSERT_EQ(Form->CBStage->count(), 16);
    EXPECT_TRUE(Form->CBStage->itemText(15).startsWith("0F "));
    QStringList tabs;
    for (int i = 0; i < Form->EditPageControl->count(); ++i)
        tabs << Form->EditPageControl->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"マップセット", "32x32チップ", "16x16チップ", "パレット",
                                 "オブジェクト"}));
    EXPECT_EQ(Form->EditPageControl->currentWidget(), Form->Tab16x16ChipEdit);
    EXPECT_EQ(Form->StatusPanels[0]->width(), 100);
    EXPECT_EQ(Form->StatusPanels[1]->width(), 120);
    EXPECT_EQ(Form->StatusPanels[2]->width(), 50);
}

// A style the user names (-style, QT_STYLE_OVERRIDE) is the application's: the window neither
// replaces it nor gives any of its widgets another (style sheets draw on top of it).
TEST_F(Shell, TheApplicationsStyleIsKeptForTheWholeWindow) {
    // The style Qt chose comes back for the tests after this one.
    const struct StyleBack {
        QString Name = QApplication::style()->name();
        ~StyleBack() { QApplication::setStyle(Name); }
    } styleBack;
    QStyle* const named = QApplication::setStyle("Windows");
    ASSERT_NE(named, nullptr);
    StartWithGeneratedImage();
    Form->show();
    EXPECT_EQ(QApplication::style(), named);
    EXPECT_EQ(Form->style(), named);
    for (const QWidget* widget : Form->findChildren<QWidget*>())
        EXPECT_FALSE(widget->testAttribute(Qt::WA_SetStyle)) << widget->metaObject()->className();
}

TEST_F(Shell, UntouchedOpenShowsTheImageAndAsksNothing) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    EXPECT_EQ(Prompts.Log, std::vector<std::string>{OpenFilter});
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + path);
    EXPECT_TRUE(Form->CBStage->isVisible());
    EXPECT_EQ(Form->CBStage->currentIndex(), 0);
    EXPECT_TRUE(Form->EditPageControl->isVisible());
    EXPECT_TRUE(Form->Save1->isEnabled());
    EXPECT_TRUE(Form->SaveAs1->isEnabled());
    EXPECT_TRUE(Form->Close1->isEnabled());
    EXPECT_EQ(Form->BtnSwitch16X16ChipSet->text(), "破壊後に切替");
    EXPECT_FALSE(Form->FrameTimer->isActive()) << "no palette animation is configured";
    EXPECT_EQ(StatusText(), "");
    EXPECT_TRUE(CloseForm());
    EXPECT_EQ(Prompts.Log.size(), 1u) << "closing asked something";
}

TEST_F(Shell, CancelledOpenDialogChangesNothing) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu("");
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR");
    EXPECT_FALSE(Form->Save1->isEnabled());
}

TEST_F(Shell, OpenWithUnsavedChangesAsksAfterTheDialog) {
    WriteStartupFiles();
    StartForm();
    const QString first = WriteCartridge("first.nes");
    const QString second = WriteCartridge("second.nes");
    OpenThroughMenu(first);

    // Cancel keeps everything.
    EditAMapSetCell();
    Prompts.Log.clear();
    Prompts.YesNoCancelAnswers = {Answer::Cancel};
    OpenThroughMenu(second);
    EXPECT_EQ(Prompts.Log, (std::vector<std::string>{OpenFilter, Question(first)}));
    EXPECT_EQ(Form->ImageHolder().FileName(), first.toStdString());
    EXPECT_TRUE(Form->Tracker().IsModified());

    // Yes, then a cancelled save dialog, keeps the old image and its changes.
    Prompts.Log.clear();
    Prompts.YesNoCancelAnswers = {Answer::Yes};
    Prompts.SaveFiles = {""};
    OpenThroughMenu(second);
    EXPECT_EQ(Prompts.Log, (std::vector<std::string>{OpenFilter, Question(first), SaveFilter}));
    EXPECT_EQ(Form->ImageHolder().FileName(), first.toStdString());
    EXPECT_TRUE(Form->Tracker().IsModified());
    EXPECT_EQ(StatusText(), "変更あり");

    // No opens the new image and drops the changes.
    Prompts.YesNoCancelAnswers = {Answer::No};
    OpenThroughMenu(second);
    EXPECT_EQ(Form->ImageHolder().FileName(), second.toStdString());
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + second);
    EXPECT_FALSE(Form->Tracker().IsModified());
    EXPECT_EQ(StatusText(), "");
}

TEST_F(Shell, YesInThePromptSavesUnderTheChosenNameBeforeOpening) {
    WriteStartupFiles();
    StartForm();
    const QString first = WriteCartridge("first.nes");
    // The second image differs in a byte no editor writes: a save made after the open would
    // carry it into the copy.
    constexpr std::size_t Untouched = 0x10;
    std::vector<std::uint8_t> secondBytes = CartridgeBytes();
    secondBytes[Untouched] ^= 0xFF;
    const std::string second = Dir.File("second.nes");
    WriteWholeFile(second, secondBytes);
    OpenThroughMenu(first);
    const MapSetCellEdit edit = EditAMapSetCell();

    const QString copy = QString::fromStdString(Dir.File("copy.nes"));
    Prompts.YesNoCancelAnswers = {Answer::Yes};
    Prompts.SaveFiles = {copy};
    OpenThroughMenu(QString::fromStdString(second));
    EXPECT_TRUE(Form->windowTitle().endsWith("second.nes"));
    EXPECT_EQ(Form->ImageHolder().Buffer()[Untouched], secondBytes[Untouched]);

    const std::vector<std::uint8_t> saved = ReadWholeFile(copy.toStdString());
    const std::vector<std::uint8_t> firstBytes = ReadWholeFile(first.toStdString());
    ASSERT_EQ(saved.size(), firstBytes.size());
    EXPECT_EQ(saved[Untouched], firstBytes[Untouched])
        << "the copy was saved from the second image";
    EXPECT_NE(saved, firstBytes) << "the edit did not reach the copy";
    // Opening the copy shows the edit.
    Form->OpenChosenFile(copy);
    EXPECT_EQ(Form->ImageHolder().Stage(edit.Stage).MapSetTable[edit.Index], edit.Chip);
}

TEST_F(Shell, APaletteEditAloneMakesCloseAskAndASaveSettlesIt) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    // An entry stored as a plain colour byte: the edit fits, so the save writes it.
    QLineEdit* field = Form->EditPal[2];
    field->setText(field->text() == "30" ? "31" : "30");
    EXPECT_EQ(StatusText(), "変更あり");
    EXPECT_TRUE(Form->Tracker().IsPaletteModified(0));

    Prompts.Log.clear();
    Prompts.YesNoCancelAnswers = {Answer::Cancel};
    Form->Close1Click();
    EXPECT_EQ(Prompts.Log, std::vector<std::string>{Question(path)});

    // After a successful save nothing is unsaved: closing the window asks nothing.
    Form->Save1Click();
    EXPECT_EQ(StatusText(), "");
    EXPECT_FALSE(Form->Tracker().IsModified());
    Prompts.Log.clear();
    EXPECT_TRUE(CloseForm());
    EXPECT_TRUE(Prompts.Log.empty());
}

TEST_F(Shell, CloseWithUnsavedChangesAndCancelledSaveKeepsTheImage) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    EditAMapSetCell();
    Prompts.YesNoCancelAnswers = {Answer::Yes};
    Prompts.SaveFiles = {""};
    Form->Close1Click();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + path);
    EXPECT_TRUE(Form->Tracker().IsModified());
    EXPECT_TRUE(Form->EditPageControl->isVisible());

    Prompts.YesNoCancelAnswers = {Answer::No};
    Form->Close1Click();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR");
    EXPECT_FALSE(Form->EditPageControl->isVisible());
    EXPECT_FALSE(Form->CBStage->isVisible());
    EXPECT_FALSE(Form->Save1->isEnabled());
    EXPECT_FALSE(Form->Tracker().IsModified());
    const auto buffer = Form->ImageHolder().Buffer();
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST_F(Shell, WindowCloseWithUnsavedChangesCanBeCancelled) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu(WriteCartridge("game.nes"));
    EditAMapSetCell();
    Prompts.YesNoCancelAnswers = {Answer::Cancel};
    EXPECT_FALSE(CloseForm());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_FALSE(std::filesystem::exists(SettingsPath())) << "settings are written only on exit";
    Prompts.YesNoCancelAnswers = {Answer::No};
    EXPECT_TRUE(CloseForm());
    EXPECT_TRUE(std::filesystem::exists(SettingsPath()));
}

TEST_F(Shell, SaveAsChangesTheCaptionAndLaterSavesGoThere) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    Form->Save1Click();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + path);
    EXPECT_EQ(ReadWholeFile(path.toStdString()), CartridgeBytes());

    const QString other = QString::fromStdString(Dir.File("other.nes"));
    Prompts.SaveFiles = {other};
    Form->SaveAs1Click();
    EXPECT_EQ(Prompts.Log.back(), SaveFilter);
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + other);
    EXPECT_EQ(Form->ImageHolder().FileName(), other.toStdString());
    std::filesystem::remove(other.toStdString());
    Form->Save1Click();
    EXPECT_EQ(ReadWholeFile(other.toStdString()), CartridgeBytes());
}

TEST_F(Shell, SaveThatFailsKeepsFlagsNameAndFile) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    EditAMapSetCell();
    Prompts.SaveFiles = {QString::fromStdString(Dir.File("no/such/folder/x.nes"))};
    Form->SaveAs1Click();
    ASSERT_EQ(Prompts.Messages().size(), 1u);
    EXPECT_NE(Prompts.Messages()[0].find("x.nes"), std::string::npos);
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + path);
    EXPECT_EQ(Form->ImageHolder().FileName(), path.toStdString());
    EXPECT_TRUE(Form->Tracker().IsModified());
    EXPECT_EQ(StatusText(), "変更あり");
}

struct BadFileCase {
    const char* Name;
    std::vector<std::uint8_t> Bytes;
    const char* Message;
};

std::vector<std::uint8_t> WithHeader(std::size_t size, std::uint8_t fourth = 0x1A) {
    std::vector<std::uint8_t> bytes(size, 0);
    if (size >= 4) {
        bytes[0] = 'N';
        bytes[1] = 'E';
        bytes[2] = 'S';
        bytes[3] = fourth;
    }
    return bytes;
}

TEST_F(Shell, RefusedFilesLeaveTheHeldImageIntact) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    EditAMapSetCell();
    const std::vector<std::uint8_t> before(Form->ImageHolder().Buffer().begin(),
                                           Form->ImageHolder().Buffer().end());
    const BadFileCase cases[] = {
        {"long.nes", WithHeader(LevelFormat::CartridgeSize + 1), "ファイルを開けませんでした"},
        {"short.nes", WithHeader(15), "ファイルを開けませんでした"},
        {"empty.nes", {}, "ファイルを開けませんでした"},
        {"magic.nes", WithHeader(LevelFormat::CartridgeSize, 0x00), "ROMイメージが異常です"},
    };
    for (const BadFileCase& bad : cases) {
        Prompts.Log.clear();
        WriteWholeFile(Dir.File(bad.Name), bad.Bytes);
        Prompts.YesNoCancelAnswers = {Answer::No};
        OpenThroughMenu(QString::fromStdString(Dir.File(bad.Name)));
        EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{bad.Message}) << bad.Name;
        EXPECT_EQ(Form->ImageHolder().FileName(), path.toStdString()) << bad.Name;
        EXPECT_TRUE(std::equal(before.begin(), before.end(), Form->ImageHolder().Buffer().begin()))
            << bad.Name;
        EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + path);
    }
    // A file that cannot be read at all names itself.
    Prompts.Log.clear();
    Prompts.YesNoCancelAnswers = {Answer::No};
    OpenThroughMenu(QString::fromStdString(Dir.File("missing.nes")));
    ASSERT_EQ(Prompts.Messages().size(), 1u);
    EXPECT_NE(Prompts.Messages()[0].find("missing.nes"), std::string::npos);

    // Nor does a pipe: it is refused before anything waits on it.
    Prompts.Log.clear();
    ASSERT_EQ(::mkfifo(Dir.File("pipe.nes").c_str(), 0644), 0);
    Prompts.YesNoCancelAnswers = {Answer::No};
    OpenThroughMenu(QString::fromStdString(Dir.File("pipe.nes")));
    ASSERT_EQ(Prompts.Messages().size(), 1u);
    EXPECT_NE(Prompts.Messages()[0].find("pipe.nes"), std::string::npos);
    EXPECT_EQ(Form->ImageHolder().FileName(), path.toStdString());
}

TEST_F(Shell, StageSelectionKeepsTheActiveTab) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu(WriteCartridge("game.nes"));
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    Form->CBStage->setCurrentIndex(5);
    EXPECT_EQ(Form->ImageHolder().CurrentStage(), 5);
    EXPECT_EQ(Form->EditPageControl->currentWidget(), Form->TabPaletteEdit);
    EXPECT_FALSE(Form->FrameTimer->isActive()) << "no palette animation is configured";
    // A new open starts again at stage 0.
    Form->OpenChosenFile(QString::fromStdString(Dir.File("game.nes")));
    EXPECT_EQ(Form->ImageHolder().CurrentStage(), 0);
    EXPECT_EQ(Form->CBStage->currentIndex(), 0);
}

// A hidden tab takes a new stage when it comes to the front, and then shows exactly what it
// would show had it been in front during the switch.
TEST_F(Shell, AHiddenTabShowsTheNewStageWhenItComesToTheFront) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu(WriteCartridge("game.nes"));
    // Each tab is first moved away from where a newly loaded stage puts it.
    struct TabViews {
        QWidget* Page;
        std::vector<TImageEx*> Views;
        std::function<void()> MoveAway;
    };
    const std::vector<TabViews> tabs = {
        {Form->Tab32x32ChipEdit,
         {Form->ImgEdit32x32ChipView, Form->Img16x16ChipTable, Form->ImgEdit32x32Chip},
         [this] { Form->Chip32x32Edit->SetViewHalf(1); }},
        {Form->TabMapSetEdit,
         {Form->ImgEditMapSetPage0, Form->ImgEditMapSetPage1, Form->Img32x32ChipTable},
         [this] { Form->ScrBarMapSet->setValue(5); }},
        {Form->TabObjectEdit,
         {Form->ImgObjectMapPage0, Form->ImgObjectMapPage1},
         [this] { Form->ScrBarObjectMap->setValue(4); }},
    };
    const auto shown = [](const TabViews& tab) {
        std::vector<QImage> pictures;
        for (const TImageEx* view : tab.Views)
            pictures.push_back(view->Surface()->Image().copy());
        return pictures;
    };
    for (const TabViews& tab : tabs) {
        SCOPED_TRACE(
            Form->EditPageControl->tabText(Form->EditPageControl->indexOf(tab.Page)).toStdString());
        Form->CBStage->setCurrentIndex(0);
        Form->EditPageControl->setCurrentWidget(tab.Page);
        const std::vector<QImage> firstStage = shown(tab);
        tab.MoveAway();
        Form->CBStage->setCurrentIndex(1);
        const std::vector<QImage> switchedInFront = shown(tab);
        ASSERT_NE(switchedInFront, firstStage) << "the two stages must look different";

        Form->CBStage->setCurrentIndex(0);
        tab.MoveAway();
        Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
        Form->CBStage->setCurrentIndex(1);
        Form->EditPageControl->setCurrentWidget(tab.Page);
        EXPECT_EQ(shown(tab), switchedInFront);
    }
}

// ---- Pages built after the first frame ----

class DeferredPages : public Shell {
protected:
    void CreateDeferred() {
        StartupOptions options = FormOptions();
        options.BuildPagesAfterFirstFrame = true;
        Form = std::make_unique<TMainForm>(options);
        ASSERT_FALSE(Form->StartupFailed());
    }
    // Shows the window and runs the event loop until its pages exist (or a generous bound).
    bool ShowAndWaitForPages() {
        Form->show();
        const bool built = QTest::qWaitForWindowExposed(Form.get()) &&
                           QTest::qWaitFor([this] { return Form->PagesBuilt(); }, 10000);
        SettleEvents(); // the new pages show themselves from the event loop
        return built;
    }
    // The generated image open at stage 0, as the user sees it on the palette tab.
    void ExpectGeneratedImageShown(const QString& path) {
        EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + path);
        EXPECT_FALSE(Form->CBStage->isHidden());
        EXPECT_FALSE(Form->EditPageControl->isHidden());
        EXPECT_TRUE(Form->Save1->isEnabled());
        Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
        const auto palette = CartridgeGenerator::PaletteOfStage(0);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(Form->EditPal[i]->text().toStdString(),
                      Hex2(palette[static_cast<std::size_t>(i)]))
                << "entry " << i;
        }
    }
    // Lets the event loop deliver what is waiting, the window's own posted events included.
    static void SettleEvents() {
        for (int round = 0; round < 10; ++round) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents();
        }
    }
};

TEST_F(DeferredPages, AreBuiltAfterTheFirstFrameWithTheSettingsAndListsOfTheStart) {
    WriteStartupFiles();
    std::filesystem::remove(Dir.File("ScrollList.txt"));
    WriteTextFile(SettingsPath(), "[Timer]\nInterval=0x20\n[ObjectEdit]\nSort=0\n"
                                  "[32x32ChipEdit]\nGrid=1\n");
    CreateDeferred();
    EXPECT_FALSE(Form->PagesBuilt());
    EXPECT_EQ(Prompts.Messages(),
              std::vector<std::string>{"ScrollList.txtを読み込めませんでした。"})
        << "list files are read before the window shows";

    ASSERT_TRUE(ShowAndWaitForPages());
    EXPECT_EQ(Prompts.Messages().size(), 1u) << "a list file was read twice";
    EXPECT_EQ(Form->FrameTimer->interval(), 32);
    EXPECT_FALSE(Form->FrameTimer->isActive());
    EXPECT_FALSE(Form->ChkSortObjectList->isChecked());
    EXPECT_TRUE(Form->Chk32x32ChipEditDrawGrid->isChecked());
    EXPECT_FALSE(Form->ChkMapSetEditDrawGrid->isChecked());
    ASSERT_EQ(Form->CBSelectObject->count(), 256);
    EXPECT_EQ(Form->CBSelectObject->itemText(1).toStdString(), "01 雑魚敵01");
    ASSERT_EQ(Form->CBSelectScroll->count(), 256);
    EXPECT_EQ(Form->CBSelectScroll->itemText(0x11).toStdString(), "11 スクロール設定")
        << "the built-in list stays where the file failed";
    EXPECT_FALSE(Form->CBStage->isVisible());

    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    ExpectGeneratedImageShown(path);
    EXPECT_TRUE(Form->CBStage->isVisible());
}

// The command line opens its image right after show, before the first frame is painted: the
// pages made for it stay, the later build changes nothing.
TEST_F(DeferredPages, AnImageOpenedBeforeTheFirstFrameStaysOpen) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(), "[ObjectEdit]\nSort=0\n");
    CreateDeferred();
    Form->show();
    const QString path = WriteCartridge("game.nes");
    Form->OpenChosenFile(path);
    EXPECT_TRUE(Form->PagesBuilt());
    Form->CBStage->setCurrentIndex(3);
    Form->ChkSortObjectList->setChecked(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    SettleEvents();
    EXPECT_EQ(Form->CBStage->currentIndex(), 3);
    EXPECT_TRUE(Form->CBStage->isVisible());
    EXPECT_TRUE(Form->ChkSortObjectList->isChecked()) << "the settings were applied again";
    EXPECT_TRUE(Prompts.Log.empty());
}

// Every command that opens an image builds the pages it needs, even on a window that never
// painted a frame.
TEST_F(DeferredPages, EveryWayToOpenAnImageWorksOnAWindowNeverShown) {
    struct Case {
        const char* Name;
        std::function<void(const QString& image)> Open;
    };
    const Case cases[] = {
        {"open dialog", [this](const QString& image) { OpenThroughMenu(image); }},
        {"recent file", [this](const QString&) { Form->RecentFiles1->actions().at(0)->trigger(); }},
        {"patch applied",
         [this](const QString& image) {
             const std::string patch = Dir.File("empty.ips");
             WriteTextFile(patch, "PATCHEOF");
             Prompts.OpenFiles = {image, QString::fromStdString(patch)};
             Prompts.SaveFiles = {image};
             Form->ApplyPatch1->trigger();
         }},
    };
    WriteStartupFiles();
    const QString path = WriteCartridge("game.nes");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteTextFile(SettingsPath(), "[RecentFiles]\nFile1=" + path.toStdString() + "\n");
        Prompts = FakePrompts();
        CreateDeferred();
        c.Open(path);
        EXPECT_TRUE(Form->PagesBuilt());
        EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{});
        ExpectGeneratedImageShown(path);
        Form.reset();
    }
}

TEST_F(DeferredPages, ClosingAWindowNeverShownWritesTheSettingsItStartedWith) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(),
                  "; mine\n[ObjectEdit]\nSort=0\n[32x32ChipEdit]\nGrid=1\n[Timer]\nInterval=-5\n");
    CreateDeferred();
    ASSERT_TRUE(CloseForm());
    EXPECT_EQ(ReadTextFile(SettingsPath()),
              "; mine\n[ObjectEdit]\nSort=0\nPopup=1\n[32x32ChipEdit]\nGrid=1\n"
              "[Timer]\nInterval=-5\n[MapSetEdit]\nGrid=0\n[PaletteEdit]\nSave=1\n"
              "[View]\nLanguage=ja\nZoom=1\nOverviewShown=0\n[Backup]\nKeep=1\n");
    EXPECT_TRUE(Prompts.Log.empty());
}

} // namespace
