// A save killed at any moment leaves the image file complete (old or new, never a mix) once it
// is opened again: directly, or by finishing the save from its journal where the file was being
// rewritten in place. The temporary file of the killed save is gone once the image is opened
// again or saved again, and only our own temporaries go.
#include "atomicfile/LeftoverTemporaryFiles.h"
#include "atomicfile/SaveJournal.h"
#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "support/GeneratedCartridge.h"
#include "support/LargeEdit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::string> FolderContents(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// The generated image saved after the large edit of variant (0: as generated, unsaved).
Bytes ImageAfterEdit(int variant) {
    if (variant == 0)
        return GeneratedImage();
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    EXPECT_TRUE(rom.LoadFromBytes(GeneratedImage(), "stage.nes").Ok);
    ApplyLargeEdit(rom, flags, variant);
    Bytes image;
    EXPECT_TRUE(rom.ComposeSavedImage(image).Ok);
    return image;
}

// The save loop child (tests/crashsave), started on image with journals kept in journals;
// returns once the image is open and the child is about to save.
pid_t StartSavingChild(const std::string& image, const std::string& journals) {
    int out[2];
    if (::pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::string program = K6_SAVE_LOOP_CHILD;
    std::string imageArgument = image;
    std::string journalArgument = journals;
    char* argv[] = {program.data(), imageArgument.data(), journalArgument.data(), nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    char ready = 0;
    if (pid > 0 && ::read(out[0], &ready, 1) != 1)
        ADD_FAILURE() << "the save loop child ended before it opened the image";
    ::close(out[0]);
    return pid;
}

// What the window answers when it opens an image whose save was cut short: finish it.
SaveJournal::Questions FinishEverySave() {
    SaveJournal::Questions questions;
    questions.FinishInterruptedSave = [](const std::string&) {
        return SaveJournal::Answer::Finish;
    };
    questions.DeleteDamagedJournal = [](const std::string& journal) {
        ADD_FAILURE() << "a killed save left a damaged journal: " << journal;
        return false;
    };
    return questions;
}

struct KillCase {
    const char* Name;
    bool HardLinked; // the image has a second link: every save rewrites it in place
    int MaxKills;
    std::chrono::seconds TimeBudget;
};

class CrashDuringSave : public testing::TestWithParam<KillCase> {};

TEST_P(CrashDuringSave, KilledAtRandomMomentsLeavesTheOldOrTheNewImageOnceOpenedAgain) {
    const KillCase& test = GetParam();
    // Every other kill comes at any moment of several saves; the others wait until a save's
    // temporary or journal is there and come within a few milliseconds of it, so that many kills
    // land during the write even where composing the image takes most of a save (sanitizer
    // builds).
    constexpr int MaxDelayMicroseconds = 40000;
    constexpr int MaxDelayInWriteMicroseconds = 500;
    const std::vector<Bytes> complete = {ImageAfterEdit(0), ImageAfterEdit(1), ImageAfterEdit(2)};
    ASSERT_NE(complete[1], complete[0]);
    ASSERT_NE(complete[2], complete[1]);

    TempDir folder;
    TempDir journals;
    const std::string image = WriteGeneratedImage(folder);
    std::vector<std::string> expectedNames = {"stage.nes"};
    if (test.HardLinked) {
        std::filesystem::create_hard_link(image, folder.File("link.nes"));
        expectedNames = {"link.nes", "stage.nes"};
    }
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delay(0, MaxDelayMicroseconds);
    std::uniform_int_distribution<int> delayInWrite(0, MaxDelayInWriteMicroseconds);
    const auto writing = [&] {
        return FolderContents(folder.Path()).size() > expectedNames.size() ||
               !FolderContents(journals.Path()).empty();
    };
    // In place, the file itself changes only once the journal has its name.
    const auto rewriting = [&] {
        const std::vector<std::string> names = FolderContents(journals.Path());
        return std::any_of(names.begin(), names.end(),
                           [](const std::string& name) { return !name.starts_with("."); });
    };
    int killsMidWrite = 0, mixed = 0, endedOld = 0, endedNew = 0, finished = 0, alreadyComplete = 0;
    int kills = 0;
    Bytes before = GeneratedImage();
    const auto start = std::chrono::steady_clock::now();
    for (; kills < test.MaxKills && std::chrono::steady_clock::now() - start < test.TimeBudget;
         ++kills) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(kills));
        const pid_t child = StartSavingChild(image, journals.Path().string());
        ASSERT_GT(child, 0);
        if (kills % 2 == 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        } else {
            const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(1);
            while (!(test.HardLinked ? rewriting() : writing()) &&
                   std::chrono::steady_clock::now() < giveUp)
                std::this_thread::sleep_for(std::chrono::microseconds(50));
            std::this_thread::sleep_for(std::chrono::microseconds(delayInWrite(random)));
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child stopped on its own: " << status;
        killsMidWrite += writing() ? 1 : 0;

        const Bytes killedAt = ReadWholeFile(image);
        mixed += std::find(complete.begin(), complete.end(), killedAt) == complete.end() ? 1 : 0;

        // The next start opens the image again, the way the window does.
        const SaveJournal::RecoveryResult recovered =
            SaveJournal::Recover(journals.Path().string(), image, FinishEverySave());
        ASSERT_TRUE(recovered.MayOpen) << recovered.Message;
        const Bytes onDisk = ReadWholeFile(image);
        ASSERT_NE(std::find(complete.begin(), complete.end(), onDisk), complete.end())
            << "the image is neither the old nor a new one: " << onDisk.size() << " bytes";
        if (recovered.Done == SaveJournal::Recovery::Finished)
            ++finished;
        else if (recovered.Done == SaveJournal::Recovery::AlreadyComplete)
            ++alreadyComplete;
        else
            ++(onDisk == before ? endedOld : endedNew);
        before = onDisk;

        IniFile settings("");
        EditFlagManagement flags({});
        RomImageData rom(flags, settings);
        ASSERT_TRUE(rom.LoadFromFile(image).Ok);
        ASSERT_EQ(FolderContents(folder.Path()), expectedNames);
        ASSERT_EQ(FolderContents(journals.Path()), std::vector<std::string>{});
        if (test.HardLinked) {
            ASSERT_EQ(ReadWholeFile(folder.File("link.nes")), onDisk);
        }
    }
    // Otherwise the kills all missed the writes and the test proved nothing.
    EXPECT_GT(killsMidWrite, 0) << "of " << kills << " kills";
    if (test.HardLinked) {
        EXPECT_GT(finished + alreadyComplete, 0) << "no kill came while a journal was there";
    }
    std::printf("%s: %d kills, %d during a write; %d old, %d new, %d finished from the journal, "
                "%d journals of complete saves; %d images mixed when killed\n",
                test.Name, kills, killsMidWrite, endedOld, endedNew, finished, alreadyComplete,
                mixed);
}

INSTANTIATE_TEST_SUITE_P(Saves, CrashDuringSave,
                         testing::Values(KillCase{"Replaced", false, 60, std::chrono::seconds(12)},
                                         KillCase{"InPlace", true, 40, std::chrono::seconds(20)}),
                         [](const auto& test) { return std::string(test.param.Name); });

// A temporary of the image: what mkstemp makes of ".stage.nes.k6save-XXXXXX".
constexpr const char* Leftover = ".stage.nes.k6save-a1B2c3";
// How a file transfer names the image while it is on its way: another program's, never ours.
constexpr const char* Transfer = ".stage.nes.AbC123";

struct CleanupCase {
    const char* Name;
    std::vector<std::string> Before;
    std::vector<std::string> After;
};

class LeftoverCleanup : public testing::TestWithParam<CleanupCase> {};

// Removing leftovers never touches files that are not temporaries of that very image.
TEST_P(LeftoverCleanup, OnlyUnlockedTemporariesOfTheImageGo) {
    TempDir folder;
    WriteGeneratedImage(folder);
    for (const std::string& name : GetParam().Before)
        WriteTextFile(folder.File(name), "x");
    LeftoverTemporaryFiles::RemoveFor(folder.File("stage.nes"));
    std::vector<std::string> expected = GetParam().After;
    expected.push_back("stage.nes");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderContents(folder.Path()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, LeftoverCleanup,
    testing::Values(
        CleanupCase{"Leftover", {Leftover}, {}},
        CleanupCase{"Two", {Leftover, ".stage.nes.k6save-ZZZZZZ"}, {}},
        CleanupCase{"Transfer", {Transfer, ".stage.nes.a1B2c3"}, {Transfer, ".stage.nes.a1B2c3"}},
        CleanupCase{"OtherImage", {".other.nes.k6save-a1B2c3"}, {".other.nes.k6save-a1B2c3"}},
        CleanupCase{"NotHidden", {"stage.nes.k6save-a1B2c3"}, {"stage.nes.k6save-a1B2c3"}},
        CleanupCase{"ShortSuffix", {".stage.nes.k6save-a1B2c"}, {".stage.nes.k6save-a1B2c"}},
        CleanupCase{"LongSuffix", {".stage.nes.k6save-a1B2c34"}, {".stage.nes.k6save-a1B2c34"}},
        CleanupCase{"NotAlphanumeric", {".stage.nes.k6save-a1B2-3"}, {".stage.nes.k6save-a1B2-3"}},
        CleanupCase{"Backup", {"stage.nes.bak"}, {"stage.nes.bak"}}),
    [](const auto& test) { return std::string(test.param.Name); });

// Opening and saving the image clean up after our own killed saves only.
TEST(LeftoverTemporaries, AnotherProgramsTemporarySurvivesOpenAndSave) {
    TempDir folder;
    const std::string image = WriteGeneratedImage(folder);
    WriteTextFile(folder.File(Transfer), "half a transfer");
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    const std::vector<std::string> afterCleanup = {Transfer, "stage.nes"};

    WriteTextFile(folder.File(Leftover), "half");
    ASSERT_TRUE(rom.LoadFromFile(image).Ok);
    EXPECT_EQ(FolderContents(folder.Path()), afterCleanup);
    WriteTextFile(folder.File(Leftover), "half");
    ASSERT_TRUE(rom.SaveToFile(image).Ok);
    EXPECT_EQ(FolderContents(folder.Path()), afterCleanup);
    EXPECT_EQ(ReadTextFile(folder.File(Transfer)), "half a transfer");
}

TEST(LeftoverTemporaries, ATemporaryOfAWriterStillAtWorkStays) {
    TempDir folder;
    const std::string image = WriteGeneratedImage(folder);
    const std::string working = folder.File(Leftover);
    WriteTextFile(working, "half");
    const int fd = ::open(working.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    LeftoverTemporaryFiles::MarkInUse(fd);
    LeftoverTemporaryFiles::RemoveFor(image);
    EXPECT_TRUE(std::filesystem::exists(working));
    ::close(fd);
    // The writer gone, the next save of the image cleans up.
    IniFile settings("");
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    ASSERT_TRUE(rom.LoadFromBytes(GeneratedImage(), image).Ok);
    ASSERT_TRUE(rom.SaveToFile(image).Ok);
    EXPECT_EQ(FolderContents(folder.Path()), std::vector<std::string>{"stage.nes"});
}

TEST(LeftoverTemporaries, TheSettingsFileLeftoverGoesWhenTheSettingsAreRead) {
    TempDir folder;
    WriteTextFile(folder.File("kestrin6editor.ini"), "[Timer]\nInterval=16\n");
    WriteTextFile(folder.File(".kestrin6editor.ini.k6save-Q9w8E7"), "[Tim");
    const IniFile settings(folder.File("kestrin6editor.ini"));
    EXPECT_EQ(settings.ReadInteger("Timer", "Interval", 0), 16);
    EXPECT_EQ(FolderContents(folder.Path()), std::vector<std::string>{"kestrin6editor.ini"});
}

} // namespace
