// The journal of a save in place, as the opener meets it: it may be damaged or not ours, and
// then it is never written over the file.
#include "atomicfile/SaveJournal.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes OldContent(300, 0x11);
const Bytes NewContent(300, 0x22);

struct JournalFixture {
    TempDir Dir;
    TempDir Journals;
    std::string Image = Dir.File("stage.nes");
    std::string Folder = Journals.Path().string();
    std::string Journal = SaveJournal::PathFor(Folder, Image);

    JournalFixture() {
        WriteWholeFile(Image, OldContent);
        EXPECT_TRUE(SaveJournal::Record(Folder, Image, NewContent.data(), NewContent.size()).Ok);
    }
};

// Questions that record what was asked and answer as told.
struct Answers {
    SaveJournal::Answer Finish = SaveJournal::Answer::Finish;
    bool DeleteDamaged = false;
    std::vector<std::string> Asked;

    SaveJournal::Questions Questions() {
        SaveJournal::Questions questions;
        questions.FinishInterruptedSave = [this](const std::string& journal) {
            Asked.push_back("finish " + journal);
            return Finish;
        };
        questions.DeleteDamagedJournal = [this](const std::string& journal) {
            Asked.push_back("damaged " + journal);
            return DeleteDamaged;
        };
        return questions;
    }
};

void SetNumber(Bytes& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The header: eight bytes of magic, the path's length (4 bytes), the content's size (8), CRC32.
struct DamageCase {
    const char* Name;
    std::function<void(Bytes&)> Damage;
};

class DamagedJournal : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedJournal, IsReportedAndNeverWrittenOverTheFile) {
    for (const bool deleteIt : {false, true}) {
        SCOPED_TRACE(deleteIt ? "deleted" : "kept");
        JournalFixture fixture;
        Bytes journal = ReadWholeFile(fixture.Journal);
        GetParam().Damage(journal);
        WriteWholeFile(fixture.Journal, journal);

        EXPECT_EQ(SaveJournal::Inspect(fixture.Folder, fixture.Image).Status,
                  SaveJournal::State::Damaged);
        Answers answers;
        answers.DeleteDamaged = deleteIt;
        const auto recovered =
            SaveJournal::Recover(fixture.Folder, fixture.Image, answers.Questions());
        EXPECT_EQ(answers.Asked, std::vector<std::string>{"damaged " + fixture.Journal});
        EXPECT_TRUE(recovered.MayOpen);
        EXPECT_EQ(recovered.Done, deleteIt ? SaveJournal::Recovery::DamagedDeleted
                                           : SaveJournal::Recovery::DamagedKept);
        EXPECT_EQ(ReadWholeFile(fixture.Image), OldContent);
        EXPECT_EQ(std::filesystem::exists(fixture.Journal), !deleteIt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedJournal,
    testing::Values(DamageCase{"ContentByteFlipped", [](Bytes& b) { b.back() ^= 1; }},
                    DamageCase{"PathByteFlipped", [](Bytes& b) { b[24] ^= 1; }},
                    DamageCase{"CutShort", [](Bytes& b) { b.pop_back(); }},
                    DamageCase{"Lengthened", [](Bytes& b) { b.push_back(0x22); }},
                    DamageCase{"HeaderOnly", [](Bytes& b) { b.resize(24); }},
                    DamageCase{"Empty", [](Bytes& b) { b.clear(); }},
                    DamageCase{"WrongMagic", [](Bytes& b) { b[0] = 'X'; }},
                    DamageCase{"HugePathLength", [](Bytes& b) { SetNumber(b, 8, 0xFFFFFFFFu, 4); }},
                    DamageCase{"HugeContentSize", [](Bytes& b) { SetNumber(b, 12, ~0ull, 8); }},
                    DamageCase{"ContentSizeOneLess", [](Bytes& b) { SetNumber(b, 12, 299, 8); }}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(SaveJournalRecovery, AFolderInTheJournalsPlaceIsDamagedToo) {
    JournalFixture fixture;
    std::filesystem::remove(fixture.Journal);
    std::filesystem::create_directory(fixture.Journal);
    EXPECT_EQ(SaveJournal::Inspect(fixture.Folder, fixture.Image).Status,
              SaveJournal::State::Damaged);
    Answers answers;
    SaveJournal::Recover(fixture.Folder, fixture.Image, answers.Questions());
    EXPECT_EQ(ReadWholeFile(fixture.Image), OldContent);
}

TEST(SaveJournalRecovery, AJournalRecordedForAnotherFileIsNotOffered) {
    JournalFixture fixture;
    const std::string other = fixture.Dir.File("other.nes");
    WriteWholeFile(other, OldContent);
    std::filesystem::rename(fixture.Journal, SaveJournal::PathFor(fixture.Folder, other));
    Answers answers;
    const auto recovered = SaveJournal::Recover(fixture.Folder, other, answers.Questions());
    EXPECT_EQ(recovered.Done, SaveJournal::Recovery::Nothing);
    EXPECT_TRUE(answers.Asked.empty());
    EXPECT_EQ(ReadWholeFile(other), OldContent);
}

// Killed between flushing the file and removing the journal: nothing to ask.
TEST(SaveJournalRecovery, AJournalTheFileAlreadyHoldsGoesWithoutAQuestion) {
    JournalFixture fixture;
    WriteWholeFile(fixture.Image, NewContent);
    Answers answers;
    const auto recovered = SaveJournal::Recover(fixture.Folder, fixture.Image, answers.Questions());
    EXPECT_EQ(recovered.Done, SaveJournal::Recovery::AlreadyComplete);
    EXPECT_TRUE(answers.Asked.empty());
    EXPECT_FALSE(std::filesystem::exists(fixture.Journal));
}

TEST(SaveJournalRecovery, JournalsOfDifferentFilesHaveDifferentNamesAndSymlinksShareOne) {
    TempDir dir;
    WriteTextFile(dir.File("a.nes"), "a");
    std::filesystem::create_symlink(dir.File("a.nes"), dir.File("alias.nes"));
    EXPECT_NE(SaveJournal::PathFor("j", dir.File("a.nes")),
              SaveJournal::PathFor("j", dir.File("b.nes")));
    EXPECT_EQ(SaveJournal::PathFor("j", dir.File("a.nes")),
              SaveJournal::PathFor("j", dir.File("alias.nes")));
}

} // namespace
