// The files around the image, as the window meets them: the open dialog's choices, the list
// files and the settings file.
#include "MainFormFixture.h"

#include "atomicfile/SaveJournal.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "romgen/CartridgeGenerator.h"
#include "support/GeneratedCartridge.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

class ShellFiles : public MainFormFixture {
protected:
    static std::vector<std::uint8_t> Original() { return CartridgeGenerator::MakeImage(); }
};

// The patterns inside the parentheses of the choice at index in a logged "open:" filter.
QStringList PatternsOf(const std::string& logged, int index) {
    const QString filters = QString::fromStdString(logged).mid(QString("open:").size());
    const QString choice = filters.split(";;").value(index);
    const qsizetype open = choice.indexOf('(');
    const qsizetype close = choice.lastIndexOf(')');
    return choice.mid(open + 1, close - open - 1).split(' ', Qt::SkipEmptyParts);
}

TEST_F(ShellFiles, OpenDialogOffersImagesAndEveryFileEvenWithoutADot) {
    WriteStartupFiles();
    StartForm();
    OpenThroughMenu("");
    ASSERT_EQ(Prompts.Log.size(), 1u);
    const QStringList images = PatternsOf(Prompts.Log[0], 0);
    const QStringList everything = PatternsOf(Prompts.Log[0], 1);
    EXPECT_TRUE(QDir::match(images, "stage.nes"));
    EXPECT_FALSE(QDir::match(images, "stage"));
    for (const char* name : {"stage.nes", "stage", "stage.bin", ".hidden"})
        EXPECT_TRUE(QDir::match(everything, name)) << name;
}

TEST_F(ShellFiles, ListFilesOfferAtMostOneItemPerByteValue) {
    WriteStartupFiles();
    std::string lines;
    for (int i = 0; i < 300; ++i)
        lines += "L" + std::to_string(i) + "\r\n";
    for (const char* name : {"ObjectList.txt", "ScrollList.txt"})
        WriteTextFile(Dir.File(name), lines);
    StartForm();
    for (QComboBox* list : {Form->CBSelectObject, Form->CBSelectScroll}) {
        ASSERT_EQ(list->count(), 256);
        EXPECT_EQ(list->itemText(255), "L255");
    }
}

TEST_F(ShellFiles, SettingsFileWithAByteOrderMarkKeepsItsFirstSectionAndTheMark) {
    WriteStartupFiles();
    const std::string bom = "\xEF\xBB\xBF";
    WriteTextFile(SettingsPath(), bom + "[ObjectEdit]\nSort=0\nPopup=0\n");
    StartForm();
    EXPECT_FALSE(Form->ChkSortObjectList->isChecked());
    EXPECT_FALSE(Form->ChkPopupHint->isChecked());
    ASSERT_TRUE(CloseForm());
    const std::string text = ReadTextFile(SettingsPath());
    EXPECT_EQ(text.rfind(bom + "[ObjectEdit]\nSort=0\nPopup=0\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[ObjectEdit]"), text.rfind("[ObjectEdit]")) << text;
}

// ---- The restore point ----

TEST_F(ShellFiles, FirstSaveOfEachRunKeepsTheFileAsItWasBesideIt) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("stage.nes");
    const std::string backup = path.toStdString() + ".bak";
    OpenThroughMenu(path);
    EditAMapSetCell();
    Form->Save1Click();
    const std::vector<std::uint8_t> firstSave = ReadWholeFile(path.toStdString());
    ASSERT_NE(firstSave, Original());
    EXPECT_EQ(ReadWholeFile(backup), Original());

    // Later saves of the run leave the restore point alone.
    EditAMapSetCell();
    Form->Save1Click();
    EXPECT_EQ(ReadWholeFile(backup), Original());
    const std::vector<std::uint8_t> lastSave = ReadWholeFile(path.toStdString());

    // Save As over another existing file keeps that one; a new file has nothing to keep.
    WriteTextFile(Dir.File("other.nes"), "other");
    Prompts.SaveFiles = {QString::fromStdString(Dir.File("other.nes")),
                         QString::fromStdString(Dir.File("new.nes"))};
    Form->SaveAs1Click();
    Form->SaveAs1Click();
    EXPECT_EQ(ReadTextFile(Dir.File("other.nes.bak")), "other");
    EXPECT_FALSE(std::filesystem::exists(Dir.File("new.nes.bak")));
    EXPECT_TRUE(Prompts.Messages().empty());

    // The next run's first save replaces the restore point.
    ASSERT_TRUE(CloseForm());
    StartForm();
    OpenThroughMenu(path);
    Form->Save1Click();
    EXPECT_EQ(ReadWholeFile(backup), lastSave);
}

TEST_F(ShellFiles, RestorePointCanBeTurnedOff) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(), "[Backup]\nKeep=0\n");
    StartForm();
    const QString path = WriteCartridge("stage.nes");
    OpenThroughMenu(path);
    EditAMapSetCell();
    Form->Save1Click();
    EXPECT_FALSE(std::filesystem::exists(path.toStdString() + ".bak"));
    ASSERT_TRUE(CloseForm());
    EXPECT_NE(ReadTextFile(SettingsPath()).find("[Backup]\nKeep=0\n"), std::string::npos);
}

// ---- Saving where the folder is read-only ----

// Gives the folder back its write bits however the test ends, so it can be removed.
struct ReadOnlyFolder {
    explicit ReadOnlyFolder(std::filesystem::path folder) : Folder(std::move(folder)) {
        std::filesystem::permissions(Folder,
                                     std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_write |
                                         std::filesystem::perms::others_write,
                                     std::filesystem::perm_options::remove);
    }
    ~ReadOnlyFolder() {
        std::filesystem::permissions(Folder, std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add);
    }
    std::filesystem::path Folder;
};

TEST_F(ShellFiles, InAReadOnlyFolderWritableFilesAreSavedInPlaceKeepingLinksAndModes) {
    WriteStartupFiles();
    WriteTextFile(SettingsPath(), "[Timer]\nInterval=16\n");
    const QString path = WriteCartridge("stage.nes");
    const std::string link = Dir.File("link.nes");
    std::filesystem::create_hard_link(path.toStdString(), link);
    ::chmod(path.toStdString().c_str(), 0640);
    struct stat before {};
    ASSERT_EQ(::stat(path.toStdString().c_str(), &before), 0);

    const ReadOnlyFolder readOnly(Dir.Path());
    StartForm();
    OpenThroughMenu(path);
    EditAMapSetCell();
    Form->Save1Click();
    // The restore point cannot be created there: it goes to the application data folder, the
    // user is told where, and the save goes on.
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(AppData.Path() / "restore"))
        kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadWholeFile(kept[0].string()), Original());
    EXPECT_TRUE(kept[0].filename().string().starts_with("stage.nes.")) << kept[0];
    const std::vector<std::string> expectedMessages = {path.toStdString() +
                                                       ".bak を作成できなかったため、" +
                                                       kept[0].string() + " に作成しました。"};
    EXPECT_EQ(Prompts.Messages(), expectedMessages);
    EXPECT_FALSE(Form->Tracker().IsModified());
    const std::vector<std::uint8_t> saved = ReadWholeFile(path.toStdString());
    EXPECT_NE(saved, Original());
    EXPECT_EQ(ReadWholeFile(link), saved);
    struct stat after {};
    ASSERT_EQ(::stat(path.toStdString().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    // The journal of the rewrite went with it: only the restore folder is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(AppData.Path()),
                            std::filesystem::directory_iterator()),
              1);

    // The settings file beside the executable is written the same way at exit.
    Prompts.Log.clear();
    ASSERT_TRUE(CloseForm());
    EXPECT_TRUE(Prompts.Messages().empty());
    EXPECT_NE(ReadTextFile(SettingsPath()).find("[RecentFiles]"), std::string::npos);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir.Path()),
                            std::filesystem::directory_iterator()),
              6)
        << "nothing but the palette, the lists, the settings, the image and its link";
}

// ---- A save in place that was cut short ----

enum class Route { Menu, Argument };

struct InterruptedCase {
    const char* Name;
    Route Through;
    UserPrompts::Answer Answer;
    bool Finished; // the file then holds the journal's content
    bool Opened;
};

class InterruptedSave : public ShellFiles, public testing::WithParamInterface<InterruptedCase> {};

TEST_P(InterruptedSave, OpeningTheImageOffersToFinishIt) {
    const InterruptedCase& test = GetParam();
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("stage.nes");
    std::vector<std::uint8_t> saved = Original();
    saved[MapFile(0)] ^= 1;
    const std::string folder = AppData.Path().string();
    ASSERT_TRUE(SaveJournal::Record(folder, path.toStdString(), saved.data(), saved.size()).Ok);
    const std::string journal = SaveJournal::PathFor(folder, path.toStdString());

    Prompts.YesNoCancelAnswers = {test.Answer};
    if (test.Through == Route::Menu)
        OpenThroughMenu(path);
    else
        Form->OpenChosenFile(path);

    const std::vector<std::string> asked = {
        "ask:KESTRIN 6 EDITOR|stage.nesの前回の保存は中断されました。保存を完了しますか？"
        "（「いいえ」で中断した保存を破棄します）"};
    std::vector<std::string> log = Prompts.Log;
    std::erase_if(log, [](const std::string& entry) { return entry.starts_with("open:"); });
    EXPECT_EQ(log, asked);
    EXPECT_EQ(ReadWholeFile(path.toStdString()), test.Finished ? saved : Original());
    EXPECT_EQ(std::filesystem::exists(journal), !test.Opened) << "only a cancel keeps it";
    EXPECT_EQ(Form->Save1->isEnabled(), test.Opened);
    if (test.Opened) {
        const auto buffer = Form->ImageHolder().Buffer();
        EXPECT_TRUE(
            std::equal(buffer.begin(), buffer.end(), ReadWholeFile(path.toStdString()).begin()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, InterruptedSave,
    testing::Values(InterruptedCase{"Finish", Route::Menu, UserPrompts::Answer::Yes, true, true},
                    InterruptedCase{"FinishFromArgument", Route::Argument, UserPrompts::Answer::Yes,
                                    true, true},
                    InterruptedCase{"Discard", Route::Menu, UserPrompts::Answer::No, false, true},
                    InterruptedCase{"Cancel", Route::Menu, UserPrompts::Answer::Cancel, false,
                                    false}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST_F(ShellFiles, ADamagedJournalIsNamedAndDeletedOnlyWhenTheUserSaysSo) {
    WriteStartupFiles();
    StartForm();
    const QString path = WriteCartridge("stage.nes");
    const std::string journal = SaveJournal::PathFor(AppData.Path().string(), path.toStdString());
    WriteTextFile(journal, "K6JOURN1 cut short");
    const std::string question =
        "yesno:stage.nesの中断した保存の記録が壊れているため、使えません：" + journal +
        "この記録を削除しますか？";

    Prompts.YesNoAnswers = {false};
    OpenThroughMenu(path);
    EXPECT_EQ(Prompts.Log.back(), question);
    EXPECT_TRUE(Form->Save1->isEnabled()) << "the image opens all the same";
    EXPECT_EQ(ReadTextFile(journal), "K6JOURN1 cut short");
    EXPECT_EQ(ReadWholeFile(path.toStdString()), Original());

    Prompts.YesNoAnswers = {true};
    OpenThroughMenu(path);
    EXPECT_EQ(Prompts.Log.back(), question);
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_EQ(ReadWholeFile(path.toStdString()), Original());
}

} // namespace
