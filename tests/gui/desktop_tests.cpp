// What a desktop user expects of the window: the standard keys of the file menu, the recent
// files, dropping an image on the window, and the supporting files found where an installed
// program keeps them.
#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "mainform/RecentFilesMenu.h"
#include "romgen/CartridgeGenerator.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTabWidget>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <string>

namespace {

using Answer = UserPrompts::Answer;

class Desktop : public MainFormFixture {
protected:
    void StartReady() {
        WriteStartupFiles();
        StartForm();
        ASSERT_FALSE(Form->StartupFailed());
    }
    QStringList RecentItems() const {
        QStringList texts;
        for (const QAction* item : Form->RecentFiles1->actions())
            texts << item->text();
        return texts;
    }
    QString Path(const std::string& name) const { return QString::fromStdString(Dir.File(name)); }
};

// ---- Standard keys ----

TEST_F(Desktop, FileMenuKeysReachTheirCommands) {
    StartReady();
    const QString path = WriteCartridge("game.nes");
    OpenThroughMenu(path);
    QApplication::setActiveWindow(Form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    const auto press = [this](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        Prompts.Log.clear();
        QTest::keyClick(Form.get(), key, modifiers);
    };

    Prompts.OpenFiles = {""};
    press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Prompts.Log.size(), 1u);
    EXPECT_EQ(Prompts.Log.at(0).rfind("open:", 0), 0u) << "Ctrl+O";

    EditAMapSetCell();
    ASSERT_TRUE(Form->Tracker().IsModified());
    press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Form->Tracker().IsModified()) << "Ctrl+S saves";

    Prompts.SaveFiles = {""};
    press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(Prompts.Log.size(), 1u);
    EXPECT_EQ(Prompts.Log[0].rfind("save:", 0), 0u) << "Ctrl+Shift+S";

    press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR") << "Ctrl+W closes the image";

    press(Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(Form->isVisible()) << "Ctrl+Q ends the program";
}

// ---- Recent files ----

TEST_F(Desktop, RecentFilesHoldTheLastEightNewestFirstAndSurviveARestart) {
    StartReady();
    EXPECT_FALSE(Form->RecentFiles1->isEnabled()) << "nothing opened yet";
    for (int i = 0; i < 9; ++i)
        OpenThroughMenu(WriteCartridge("image" + std::to_string(i) + ".nes"));
    Prompts.SaveFiles = {Path("saved.nes")};
    Form->SaveAs1Click();
    // Opening an image already listed moves it to the top.
    OpenThroughMenu(Path("image5.nes"));

    const QStringList expected = {"&1 " + Path("image5.nes"), "&2 " + Path("saved.nes"),
                                  "&3 " + Path("image8.nes"), "&4 " + Path("image7.nes"),
                                  "&5 " + Path("image6.nes"), "&6 " + Path("image4.nes"),
                                  "&7 " + Path("image3.nes"), "&8 " + Path("image2.nes")};
    EXPECT_EQ(RecentItems(), expected);
    EXPECT_EQ(Form->N1->actions().at(1), Form->RecentFiles1->menuAction());
    ASSERT_TRUE(CloseForm());

    const IniFile settings(SettingsPath());
    EXPECT_EQ(settings.ReadString("RecentFiles", "File1", ""), Dir.File("image5.nes"));
    EXPECT_EQ(settings.ReadString("RecentFiles", "File8", ""), Dir.File("image2.nes"));
    EXPECT_NE(settings.ReadString("LevelDataAddress", "MapDataBankA000", ""), "");

    StartForm();
    EXPECT_EQ(RecentItems(), expected);
    Form->RecentFiles1->actions().at(2)->trigger();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + Path("image8.nes"));
    EXPECT_EQ(RecentItems().at(0), "&1 " + Path("image8.nes"));
}

TEST_F(Desktop, ChoosingARecentImageAsksAboutUnsavedChangesFirst) {
    StartReady();
    const QString first = WriteCartridge("first.nes");
    const QString second = WriteCartridge("second.nes");
    OpenThroughMenu(first);
    OpenThroughMenu(second);
    EditAMapSetCell();
    Prompts.Log.clear();
    Prompts.YesNoCancelAnswers = {Answer::Cancel};
    Form->RecentFiles1->actions().at(1)->trigger();
    EXPECT_EQ(Prompts.Log, std::vector<std::string>{"ask:KESTRIN 6 EDITOR|" + second.toStdString() +
                                                    "への変更を保存しますか？"});
    EXPECT_EQ(Form->ImageHolder().FileName(), second.toStdString());
}

// The darkest grey level drawn inside the item: its text.
int DarkestIn(const QImage& image, const QRect& rect) {
    int darkest = 255;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

TEST_F(Desktop, AMissingRecentImageIsGreyedAndLeavesTheListWhenChosen) {
    WriteStartupFiles();
    const QString kept = WriteCartridge("kept.nes");
    const QString gone = Path("gone.nes");
    WriteTextFile(SettingsPath(), "[RecentFiles]\nFile1=" + gone.toStdString() +
                                      "\nFile2=" + kept.toStdString() + "\n[Other]\nA=1\n");
    StartForm();
    RecentFilesMenu* menu = Form->RecentFiles1;
    ASSERT_EQ(menu->actions().size(), 2);
    menu->popup(QPoint(0, 0));
    QApplication::processEvents();
    QAction* goneItem = menu->actions().at(0);
    QAction* keptItem = menu->actions().at(1);
    EXPECT_TRUE(RecentFilesMenu::IsMissing(goneItem));
    EXPECT_FALSE(RecentFilesMenu::IsMissing(keptItem));
    EXPECT_TRUE(goneItem->isEnabled()) << "greyed, yet it can be chosen";
    const QImage picture = menu->grab().toImage();
    EXPECT_GT(DarkestIn(picture, menu->actionGeometry(goneItem)),
              DarkestIn(picture, menu->actionGeometry(keptItem)) + 40);
    menu->hide();

    goneItem->trigger();
    EXPECT_EQ(Prompts.Messages(), std::vector<std::string>{"gone.nesを読み込めませんでした。"});
    EXPECT_EQ(RecentItems(), QStringList{"&1 " + kept});
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR");

    ASSERT_TRUE(CloseForm());
    const std::string text = ReadTextFile(SettingsPath());
    EXPECT_EQ(text.rfind("[RecentFiles]\nFile1=" + kept.toStdString() + "\n[Other]\nA=1\n", 0), 0u)
        << text;
}

// ---- Dropping an image ----

class DropOnWindow : public Desktop {
protected:
    // Drags urls over the window; true when the window accepted the drag.
    bool DragOver(const QList<QUrl>& urls) {
        Data.setUrls(urls);
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &Data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(Form.get(), &enter);
        return enter.isAccepted();
    }
    void Drop() {
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Form.get(), &drop);
        QApplication::processEvents();
    }
    QMimeData Data;
};

TEST_F(DropOnWindow, ADroppedImageOpensAfterTheUnsavedChangesQuestion) {
    StartReady();
    const QString first = WriteCartridge("first.nes");
    const QString dropped = WriteCartridge("DROPPED.NES");

    ASSERT_TRUE(DragOver({QUrl::fromLocalFile(Path("notes.txt")), QUrl::fromLocalFile(first)}));
    Drop();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + first);

    EditAMapSetCell();
    ASSERT_TRUE(DragOver({QUrl::fromLocalFile(dropped)}));
    Prompts.YesNoCancelAnswers = {Answer::Cancel};
    Drop();
    EXPECT_EQ(Form->ImageHolder().FileName(), first.toStdString());
    EXPECT_TRUE(Form->Tracker().IsModified());

    ASSERT_TRUE(DragOver({QUrl::fromLocalFile(dropped)}));
    Prompts.YesNoCancelAnswers = {Answer::No};
    Drop();
    EXPECT_EQ(Form->windowTitle(), "KESTRIN 6 EDITOR - " + dropped);
    EXPECT_EQ(RecentItems().at(0), "&1 " + dropped);
}

TEST_F(DropOnWindow, OnlyLocalImagesAreTaken) {
    StartReady();
    EXPECT_FALSE(DragOver({QUrl::fromLocalFile(Path("notes.txt"))}));
    EXPECT_FALSE(DragOver({QUrl("https://example.invalid/game.nes")}));
    EXPECT_FALSE(DragOver({}));
}

// ---- Supporting files ----

// The file chosen in the menu, as the settings name it.
enum class Chosen { None, Good, Gone, WrongSize };

struct PaletteCase {
    const char* Name;
    bool InCurrentDir;
    Chosen ChosenFile;
    bool BesideExecutable, InDataDir;
    std::uint32_t ColourZero; // 0x00BBGGRR, 0: start-up fails
};

class PaletteLookup : public Desktop, public testing::WithParamInterface<PaletteCase> {};

TEST_P(PaletteLookup, CurrentDirectoryThenChosenFileThenExecutableFolderThenDataFolder) {
    const PaletteCase& test = GetParam();
    WriteStartupFiles();
    std::filesystem::remove(Dir.File("fcpalette.pal"));
    const std::filesystem::path current = Dir.Path() / "current";
    const std::filesystem::path data = Dir.Path() / "share";
    const std::filesystem::path chosen = Dir.Path() / "palettes" / "mine.pal";
    std::filesystem::create_directories(current);
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(chosen.parent_path());
    const auto writePalette = [](const std::filesystem::path& file, std::uint32_t colour) {
        auto palette = CartridgeGenerator::MakeMasterPalette();
        for (int k = 0; k < 3; ++k)
            palette[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(colour >> (8 * k));
        WriteWholeFile(file.string(), {palette.begin(), palette.end()});
    };
    if (test.InCurrentDir)
        writePalette(current / "fcpalette.pal", 0x0000FF);
    if (test.ChosenFile == Chosen::Good)
        writePalette(chosen, 0x00FFFF);
    if (test.ChosenFile == Chosen::WrongSize)
        WriteWholeFile(chosen.string(), std::vector<std::uint8_t>(1535));
    if (test.ChosenFile != Chosen::None)
        WriteTextFile(SettingsPath(), "[Palette]\nFile=" + chosen.string() + "\n");
    if (test.BesideExecutable)
        writePalette(Dir.Path() / "fcpalette.pal", 0x00FF00);
    if (test.InDataDir)
        writePalette(data / "fcpalette.pal", 0xFF0000);
    QDir::setCurrent(QString::fromStdString(current.string()));

    StartForm();
    // A chosen file that cannot be used is named once, and the next place is tried.
    std::vector<std::string> messages;
    if (test.ChosenFile == Chosen::Gone)
        messages.push_back(chosen.string() + "が読み込めませんでした");
    if (test.ChosenFile == Chosen::WrongSize)
        messages.push_back(chosen.string() + "のサイズが不正です");
    if (test.ColourZero == 0) {
        messages.push_back("fcpalette.palが読み込めませんでした");
        EXPECT_TRUE(Form->StartupFailed());
        EXPECT_EQ(Prompts.Messages(), messages);
        return;
    }
    ASSERT_FALSE(Form->StartupFailed());
    EXPECT_EQ(Prompts.Messages(), messages);
    OpenThroughMenu(WriteCartridge("game.nes"));
    Form->EditPageControl->setCurrentWidget(Form->TabPaletteEdit);
    EXPECT_EQ(ViewDriver::PixelOf(Form->ImgColorTable, 2, 2), test.ColourZero);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, PaletteLookup,
    testing::Values(
        PaletteCase{"all", true, Chosen::Good, true, true, 0x0000FF},
        PaletteCase{"chosen_executable_and_data", false, Chosen::Good, true, true, 0x00FFFF},
        PaletteCase{"chosen_gone", false, Chosen::Gone, true, true, 0x00FF00},
        PaletteCase{"chosen_of_wrong_size", false, Chosen::WrongSize, false, true, 0xFF0000},
        PaletteCase{"executable_and_data", false, Chosen::None, true, true, 0x00FF00},
        PaletteCase{"data_only", false, Chosen::None, false, true, 0xFF0000},
        PaletteCase{"chosen_gone_and_nothing_else", false, Chosen::Gone, false, false, 0},
        PaletteCase{"none", false, Chosen::None, false, false, 0}),
    [](const testing::TestParamInfo<PaletteCase>& tested) { return tested.param.Name; });

TEST_F(Desktop, ListFilesBesideTheExecutableComeBeforeTheDataFolder) {
    WriteStartupFiles();
    std::filesystem::remove(Dir.File("ObjectList.txt"));
    std::filesystem::create_directories(Dir.Path() / "share");
    WriteTextFile(Dir.File("share/ObjectList.txt"), "installed\n");
    WriteTextFile(Dir.File("share/ScrollList.txt"), "installed\n");
    StartForm();
    EXPECT_TRUE(Prompts.Messages().empty());
    EXPECT_EQ(Form->CBSelectObject->itemText(0), "installed");
    EXPECT_NE(Form->CBSelectScroll->itemText(0), "installed");
}

} // namespace
