// The files around the image, as the window meets them: the open dialog's choices, the list
// files and the settings file.
#include "MainFormFixture.h"

#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "romgen/CartridgeGenerator.h"

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
    // The restore point cannot be created there: the user is told, and the save goes on.
    ASSERT_EQ(Prompts.Messages().size(), 1u);
    EXPECT_NE(Prompts.Messages()[0].find("stage.nes.bak"), std::string::npos);
    EXPECT_FALSE(Form->Tracker().IsModified());
    const std::vector<std::uint8_t> saved = ReadWholeFile(path.toStdString());
    EXPECT_NE(saved, Original());
    EXPECT_EQ(ReadWholeFile(link), saved);
    struct stat after {};
    ASSERT_EQ(::stat(path.toStdString().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0640u);

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

} // namespace
