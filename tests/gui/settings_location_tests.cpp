// Where the window keeps its settings: beside the executable for a portable copy, in the
// user's configuration folder for an installed program whose folder takes no new files.
#include "MainFormFixture.h"

#include "support/UnwritableFolder.h"

#include <QCheckBox>

#include <filesystem>
#include <optional>

namespace {

struct LocationCase {
    const char* Name;
    bool FileBeside;     // a settings file is beside the executable at start
    bool FolderWritable; // the executable's folder takes new files
    bool KeptBeside;     // else in the configuration folder
};

class SettingsLocation : public MainFormFixture, public testing::WithParamInterface<LocationCase> {
protected:
    std::filesystem::path Bin() const { return Dir.Path() / "bin"; }
    // Not there before the first exit: the window makes it.
    std::filesystem::path ConfigFolder() const { return Config.Path() / "user" / "app"; }

    void Start() {
        StartupOptions options = FormOptions();
        options.ExecutableDir = QString::fromStdString(Bin().string());
        options.DataDir = QString::fromStdString(Dir.Path().string());
        options.ConfigDir = QString::fromStdString(ConfigFolder().string());
        Form = std::make_unique<TMainForm>(options);
        ASSERT_FALSE(Form->StartupFailed());
        Form->show();
    }
};

TEST_P(SettingsLocation, StayBesideAPortableCopyAndGoToTheConfigurationFolderOtherwise) {
    const LocationCase& test = GetParam();
    WriteStartupFiles();
    std::filesystem::create_directories(Bin());
    const std::filesystem::path beside = Bin() / "kestrin6editor.ini";
    const std::filesystem::path inConfig = ConfigFolder() / "kestrin6editor.ini";
    if (test.FileBeside)
        WriteTextFile(beside.string(), "[MapSetEdit]\nGrid=1\n");
    std::optional<UnwritableFolder> readOnly;
    if (!test.FolderWritable) {
        readOnly.emplace(Bin());
        ASSERT_TRUE(readOnly->Refuses()) << "the folder still takes files";
    }

    Start();
    EXPECT_EQ(Form->ChkMapSetEditDrawGrid->isChecked(), test.FileBeside);
    EXPECT_EQ(std::filesystem::exists(beside), test.FileBeside)
        << "looking at the folder leaves nothing there";
    EXPECT_FALSE(std::filesystem::exists(Config.Path() / "user"));
    Form->Chk32x32ChipEditDrawGrid->setChecked(true);
    ASSERT_TRUE(CloseForm());
    EXPECT_TRUE(Prompts.Messages().empty());

    const std::filesystem::path kept = test.KeptBeside ? beside : inConfig;
    EXPECT_NE(ReadTextFile(kept.string()).find("[32x32ChipEdit]\nGrid=1\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(test.KeptBeside ? inConfig : beside));

    // The next start reads them from where they were kept.
    Start();
    EXPECT_TRUE(Form->Chk32x32ChipEditDrawGrid->isChecked());
}

INSTANTIATE_TEST_SUITE_P(
    Folders, SettingsLocation,
    testing::Values(LocationCase{"there_in_a_read_only_folder", true, false, true},
                    LocationCase{"writable_folder", false, true, true},
                    LocationCase{"read_only_folder", false, false, false}),
    [](const testing::TestParamInfo<LocationCase>& tested) { return tested.param.Name; });

} // namespace
