// AtomicFileWriter where a plain rename would lose something: read-only folders, hard links,
// owners, and failures part-way through an in-place rewrite.
#include "atomicfile/AtomicFileWriter.h"
#include "atomicfile/SaveJournal.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct stat StatusOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

std::size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

struct PlaceCase {
    const char* Name;
    bool HardLinked;
    bool FolderReadOnly;
    bool SameInode; // rewritten in place rather than replaced
};

class WriterPlaces : public testing::TestWithParam<PlaceCase> {};

TEST_P(WriterPlaces, NewBytesArriveWithModeAndLinksKept) {
    const PlaceCase& test = GetParam();
    TempDir dir;
    TempDir journals;
    const std::string path = dir.File("image.nes");
    WriteTextFile(path, "old content that is longer");
    ::chmod(path.c_str(), 0604);
    if (test.HardLinked)
        std::filesystem::create_hard_link(path, dir.File("link.nes"));
    const struct stat before = StatusOf(path);
    if (test.FolderReadOnly)
        ::chmod(dir.Path().c_str(), 0555);

    const std::string text = "new";
    const std::string error =
        AtomicFileWriter::Write(path, reinterpret_cast<const std::uint8_t*>(text.data()),
                                text.size(), journals.Path().string())
            .Message;
    ::chmod(dir.Path().c_str(), 0755);

    EXPECT_EQ(error, "");
    EXPECT_EQ(ReadTextFile(path), "new");
    if (test.HardLinked) {
        EXPECT_EQ(ReadTextFile(dir.File("link.nes")), "new");
    }
    const struct stat after = StatusOf(path);
    EXPECT_EQ(after.st_ino == before.st_ino, test.SameInode);
    EXPECT_EQ(after.st_mode & 07777, 0604u);
    EXPECT_EQ(EntriesIn(dir.Path()), test.HardLinked ? 2u : 1u) << "a temporary was left";
    EXPECT_EQ(EntriesIn(journals.Path()), 0u) << "a journal was left";
}

INSTANTIATE_TEST_SUITE_P(Places, WriterPlaces,
                         testing::Values(PlaceCase{"plain", false, false, false},
                                         PlaceCase{"hard_linked", true, false, true},
                                         PlaceCase{"read_only_folder", false, true, true},
                                         PlaceCase{"both", true, true, true}),
                         [](const testing::TestParamInfo<PlaceCase>& tested) {
                             return tested.param.Name;
                         });

TEST(AtomicFileWriter, ReplacedFileKeepsItsOwnerAndGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another owner";
    TempDir dir;
    const std::string path = dir.File("image.nes");
    WriteTextFile(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 12345, 23456), 0);
    const std::uint8_t data[] = {'n', 'e', 'w'};
    EXPECT_TRUE(AtomicFileWriter::Write(path, data, sizeof data).Ok);
    EXPECT_EQ(ReadTextFile(path), "new");
    EXPECT_EQ(StatusOf(path).st_uid, 12345u);
    EXPECT_EQ(StatusOf(path).st_gid, 23456u);
}

TEST(AtomicFileWriter, NewFileFollowsTheUmask) {
    TempDir dir;
    const mode_t previous = ::umask(027);
    const std::uint8_t data[] = {1};
    const std::string error =
        AtomicFileWriter::Write(dir.File("new.nes"), data, sizeof data).Message;
    ::umask(previous);
    EXPECT_EQ(error, "");
    EXPECT_EQ(StatusOf(dir.File("new.nes")).st_mode & 07777, 0640u);
}

// Files may not grow past a small limit while it is in force.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &Previous);
        Handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = Previous;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &Previous);
        std::signal(SIGXFSZ, Handler);
    }
    rlimit Previous{};
    void (*Handler)(int) = nullptr;
};

class WriterFailures : public testing::TestWithParam<bool> {};

// Where the write cannot even begin (a rename's temporary, or in place the journal, cannot
// grow), nothing of the file changes.
TEST_P(WriterFailures, LeaveTheOldFileAndNameTheReason) {
    const bool hardLinked = GetParam();
    TempDir dir;
    TempDir journals;
    const std::string path = dir.File("image.nes");
    WriteTextFile(path, "old");
    if (hardLinked)
        std::filesystem::create_hard_link(path, dir.File("link.nes"));
    const std::string big(4096, 'x');
    std::string error;
    {
        const FileSizeLimit limit(1024);
        error = AtomicFileWriter::Write(path, reinterpret_cast<const std::uint8_t*>(big.data()),
                                        big.size(), journals.Path().string())
                    .Message;
    }
    EXPECT_NE(error.find("image.nes"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_EQ(ReadTextFile(path), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), hardLinked ? 2u : 1u) << "a temporary was left";
    EXPECT_EQ(EntriesIn(journals.Path()), 0u) << "a journal was left";
}

INSTANTIATE_TEST_SUITE_P(ByRenameAndInPlace, WriterFailures, testing::Bool());

// ---- An in-place rewrite that fails part-way ----

std::vector<std::uint8_t> Pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    return bytes;
}

// Once the first write past the limit has failed, nothing can be written at all: the put-back
// fails too.
void StopAllWrites(int) {
    rlimit none{};
    ::getrlimit(RLIMIT_FSIZE, &none);
    none.rlim_cur = 0;
    ::setrlimit(RLIMIT_FSIZE, &none);
}

// Finishes path from its journal in a child process whose files may not grow past LimitBytes,
// so that the rewrite fails after LimitBytes bytes have changed; returns the message.
std::string FinishUnderLimit(const std::string& path, const std::vector<std::uint8_t>& content,
                             const std::string& journal, bool putBackFails) {
    constexpr rlim_t LimitBytes = 1024;
    int out[2];
    if (::pipe(out) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        std::signal(SIGXFSZ, putBackFails ? StopAllWrites : SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = LimitBytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const std::string message =
            AtomicFileWriter::FinishFromJournal(path, content, journal).Message;
        const ssize_t written = ::write(out[1], message.data(), message.size());
        ::_exit(written == static_cast<ssize_t>(message.size()) ? 0 : 1);
    }
    ::close(out[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    return message;
}

struct PartWayCase {
    const char* Name;
    bool PutBackFails;
};

class PartWayFailure : public testing::TestWithParam<PartWayCase> {};

// A hard-linked file (so rewritten in place) whose rewrite stops after 1024 of 4096 bytes: the
// changed bytes are put back, or where that fails the user is told the file may be damaged and
// where the journal is; either way the journal stays and finishing it gives the new content.
TEST_P(PartWayFailure, PutsEveryByteBackOrKeepsTheJournalToFinishFrom) {
    const bool putBackFails = GetParam().PutBackFails;
    TempDir dir;
    TempDir journals;
    const std::string path = dir.File("image.nes");
    const std::vector<std::uint8_t> old = Pattern(4096, 1);
    const std::vector<std::uint8_t> content = Pattern(4096, 2);
    WriteWholeFile(path, old);
    std::filesystem::create_hard_link(path, dir.File("link.nes"));
    ASSERT_TRUE(
        SaveJournal::Record(journals.Path().string(), path, content.data(), content.size()).Ok);
    const std::string journal = SaveJournal::PathFor(journals.Path().string(), path);

    const std::string error = FinishUnderLimit(path, content, journal, putBackFails);
    EXPECT_NE(error.find("image.nes"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    const bool saysDamaged =
        error.find("ファイルが壊れている可能性があります") != std::string::npos;
    EXPECT_EQ(saysDamaged, putBackFails) << error;
    EXPECT_EQ(error.find(journal) != std::string::npos, putBackFails) << error;
    if (!putBackFails) {
        EXPECT_EQ(ReadWholeFile(path), old);
    }
    ASSERT_EQ(SaveJournal::Inspect(journals.Path().string(), path).Status,
              SaveJournal::State::Ready);

    SaveJournal::Questions finish;
    finish.FinishInterruptedSave = [](const std::string&) { return SaveJournal::Answer::Finish; };
    const auto recovered = SaveJournal::Recover(journals.Path().string(), path, finish);
    EXPECT_EQ(recovered.Done, SaveJournal::Recovery::Finished) << recovered.Message;
    EXPECT_EQ(ReadWholeFile(path), content);
    EXPECT_EQ(ReadWholeFile(dir.File("link.nes")), content);
    EXPECT_EQ(EntriesIn(journals.Path()), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rewrites, PartWayFailure,
                         testing::Values(PartWayCase{"PutBack", false},
                                         PartWayCase{"PutBackFails", true}),
                         [](const auto& test) { return std::string(test.param.Name); });

} // namespace
