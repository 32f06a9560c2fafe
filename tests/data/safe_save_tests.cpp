// AtomicFileWriter where a plain rename would lose something: read-only folders, hard links,
// owners, and failures part-way.
#include "atomicfile/AtomicFileWriter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
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
                                text.size())
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

TEST_P(WriterFailures, LeaveTheOldFileAndNameTheReason) {
    const bool hardLinked = GetParam();
    TempDir dir;
    const std::string path = dir.File("image.nes");
    WriteTextFile(path, "old");
    if (hardLinked)
        std::filesystem::create_hard_link(path, dir.File("link.nes"));
    const std::string big(4096, 'x');
    std::string error;
    {
        const FileSizeLimit limit(1024);
        error = AtomicFileWriter::Write(path, reinterpret_cast<const std::uint8_t*>(big.data()),
                                        big.size())
                    .Message;
    }
    EXPECT_NE(error.find("image.nes"), std::string::npos) << error;
    EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
    EXPECT_EQ(ReadTextFile(path), "old");
    EXPECT_EQ(EntriesIn(dir.Path()), hardLinked ? 2u : 1u) << "a temporary was left";
}

INSTANTIATE_TEST_SUITE_P(ByRenameAndInPlace, WriterFailures, testing::Bool());

} // namespace
