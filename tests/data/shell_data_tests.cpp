// The shell's data-layer pieces: the settings file, the edit tracker, the master palette.
#include "atomicfile/AtomicFileWriter.h"
#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "edit_flag/EditFlagManagement.h"
#include "fileio/FcPaletteData.h"
#include "inifile/IniFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include <sys/stat.h>

namespace {

struct IntegerCase {
    const char* Text;
    std::optional<std::int32_t> Value;
};

class IniIntegerFormat : public testing::TestWithParam<IntegerCase> {};

TEST_P(IniIntegerFormat, ConvertsLikeTheSettingsFormat) {
    EXPECT_EQ(IniFile::ParseInteger(GetParam().Text), GetParam().Value) << GetParam().Text;
}

INSTANTIATE_TEST_SUITE_P(
    Values, IniIntegerFormat,
    testing::Values(IntegerCase{"0x20", 32}, IntegerCase{"020", 20}, IntegerCase{"abc", {}},
                    IntegerCase{"$10", 16}, IntegerCase{"x1F", 31}, IntegerCase{"X1f", 31},
                    IntegerCase{"0X10", 16}, IntegerCase{"   12", 12}, IntegerCase{"-5", -5},
                    IntegerCase{"+7", 7}, IntegerCase{"-$10", -16}, IntegerCase{"", {}},
                    IntegerCase{"  ", {}}, IntegerCase{"12 ", {}}, IntegerCase{"1a", {}},
                    IntegerCase{"$", {}}, IntegerCase{"0x", {}}, IntegerCase{"$$10", {}},
                    IntegerCase{"$0x10", {}}, IntegerCase{"0", 0},
                    IntegerCase{"2147483647", 2147483647}, IntegerCase{"2147483648", {}},
                    IntegerCase{"-2147483648", -2147483647 - 1},
                    IntegerCase{"$7FFFFFFF", 2147483647}, IntegerCase{"$80000000", {}},
                    IntegerCase{"99999999999999999999", {}}));

TEST(IniFile, MissingFileIsEmptyAndIsCreatedByFlush) {
    TempDir dir;
    IniFile ini(dir.File("settings.ini"));
    EXPECT_EQ(ini.LoadResult(), Outcome::Success());
    EXPECT_EQ(ini.ReadString("Timer", "Interval", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Timer", "Interval", 16), 16);
    ini.WriteInteger("Timer", "Interval", 16);
    ini.WriteBool("ObjectEdit", "Sort", true);
    ini.WriteBool("ObjectEdit", "Popup", false);
    EXPECT_EQ(ini.Flush(), Outcome::Success());
    EXPECT_EQ(ReadTextFile(dir.File("settings.ini")),
              "[Timer]\nInterval=16\n[ObjectEdit]\nSort=1\nPopup=0\n");
}

TEST(IniFile, FlushKeepsUntouchedSectionsKeysCommentsAndOrder) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    WriteTextFile(path, "; written by hand\r\n"
                        "[Other]\r\n"
                        "Keep=me\r\n"
                        "\r\n"
                        "[timer]\r\n"
                        "; the animation speed\r\n"
                        "interval = 0x20\r\n"
                        "Extra=1\r\n"
                        "\r\n"
                        "[Last]\r\n"
                        "Z=9\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Timer", "Interval", 16), 32) << "keys and sections ignore case";
    ini.WriteInteger("Timer", "Interval", 32);
    ini.WriteString("Timer", "New", "x");
    ini.WriteBool("Added", "Flag", true);
    ASSERT_EQ(ini.Flush(), Outcome::Success());
    EXPECT_EQ(ReadTextFile(path), "; written by hand\r\n"
                                  "[Other]\r\n"
                                  "Keep=me\r\n"
                                  "\r\n"
                                  "[timer]\r\n"
                                  "; the animation speed\r\n"
                                  "interval =32\r\n"
                                  "Extra=1\r\n"
                                  "New=x\r\n"
                                  "\r\n"
                                  "[Last]\r\n"
                                  "Z=9\r\n"
                                  "[Added]\r\n"
                                  "Flag=1\r\n");
}

// Every line keeps its own line break, or its lack of one, through a flush; added lines take
// the file's "\r\n" if it has any.
struct LineBreakCase {
    const char* Name;
    const char* Before;
    bool WriteInterval; // Timer/Interval := 16 before the flush
    const char* After;
};

class IniLineBreaks : public testing::TestWithParam<LineBreakCase> {};

TEST_P(IniLineBreaks, SurviveTheFlush) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    WriteTextFile(path, GetParam().Before);
    IniFile ini(path);
    if (GetParam().WriteInterval)
        ini.WriteInteger("Timer", "Interval", 16);
    ASSERT_TRUE(ini.Flush().Ok);
    EXPECT_EQ(ReadTextFile(path), GetParam().After);
}

INSTANTIATE_TEST_SUITE_P(
    Files, IniLineBreaks,
    testing::Values(LineBreakCase{"Mixed", "[A]\nx=1\r\n[B]\ny=2\n", false,
                                  "[A]\nx=1\r\n[B]\ny=2\n"},
                    LineBreakCase{"NoFinalBreak", "[A]\r\nx=1", false, "[A]\r\nx=1"},
                    LineBreakCase{"FinalCarriageReturn", "[A]\nx=1\r", false, "[A]\nx=1\r"},
                    LineBreakCase{"MixedWithWrite", "[Timer]\nInterval=5\r\n[B]\ny=2\n", true,
                                  "[Timer]\nInterval=16\r\n[B]\ny=2\n"},
                    LineBreakCase{"ValueOfUnterminatedLastLine", "[Timer]\nInterval=5", true,
                                  "[Timer]\nInterval=16"},
                    LineBreakCase{"KeyAfterUnterminatedLastLine", "[Timer]\nOther=1", true,
                                  "[Timer]\nOther=1\nInterval=16\n"},
                    LineBreakCase{"SectionAfterUnterminatedLastLine", "[A]\r\nx=1", true,
                                  "[A]\r\nx=1\r\n[Timer]\r\nInterval=16\r\n"},
                    LineBreakCase{"SectionAfterFinalCarriageReturn", "[A]\nx=1\r", true,
                                  "[A]\nx=1\r\n[Timer]\nInterval=16\n"}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(IniFile, BooleansReadAsIntegers) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    WriteTextFile(path, "[S]\nzero=0\ntwo=2\nword=yes\nneg=-1\n");
    IniFile ini(path);
    EXPECT_FALSE(ini.ReadBool("S", "zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "two", false));
    EXPECT_TRUE(ini.ReadBool("S", "word", true)) << "unconvertible: the default";
    EXPECT_FALSE(ini.ReadBool("S", "word", false));
    EXPECT_TRUE(ini.ReadBool("S", "neg", false));
    EXPECT_TRUE(ini.ReadBool("S", "missing", true));
}

TEST(IniFile, BinaryGarbageIsReadWithoutHarmAndKeptOnFlush) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    std::vector<std::uint8_t> garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<std::uint8_t>((i * 131 + 7) & 0xFF));
    WriteWholeFile(path, garbage);
    IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("Timer", "Interval", 16), 16);
    ini.WriteInteger("Timer", "Interval", 16);
    ASSERT_EQ(ini.Flush(), Outcome::Success());
    // The garbage has no line break before its end, so the flush adds one, then the section.
    std::vector<std::uint8_t> expected = garbage;
    for (const char c : std::string("\n[Timer]\nInterval=16\n"))
        expected.push_back(static_cast<std::uint8_t>(c));
    EXPECT_EQ(ReadWholeFile(path), expected);
}

TEST(IniFile, OversizedFileIsNotReadAndNeverOverwritten) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    WriteTextFile(path, std::string(IniFile::MaxFileSize + 1, 'a'));
    IniFile ini(path);
    EXPECT_FALSE(ini.LoadResult().Ok);
    EXPECT_NE(ini.LoadResult().Message, "");
    ini.WriteInteger("Timer", "Interval", 16);
    EXPECT_FALSE(ini.Flush().Ok);
    EXPECT_EQ(std::filesystem::file_size(path), IniFile::MaxFileSize + 1);
}

TEST(IniFile, APipeInsteadOfAFileIsNeitherReadNorReplaced) {
    TempDir dir;
    const std::string path = dir.File("settings.ini");
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    IniFile ini(path); // would block forever if it read the pipe
    EXPECT_FALSE(ini.LoadResult().Ok);
    EXPECT_NE(ini.LoadResult().Message, "");
    EXPECT_FALSE(ini.Flush().Ok);
    EXPECT_TRUE(std::filesystem::is_fifo(path));
}

TEST(AtomicFileWriter, FailureLeavesTheTargetAsItWasAndNoTemporaryBehind) {
    TempDir dir;
    const std::string path = dir.File("image.nes");
    WriteTextFile(path, "old");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read);
    const std::uint8_t data[] = {1, 2, 3};
    // Root may write anywhere, so the read-only bit is checked explicitly by the writer.
    EXPECT_FALSE(AtomicFileWriter::Write(path, data, sizeof data).Ok);
    EXPECT_EQ(ReadTextFile(path), "old");
    EXPECT_FALSE(AtomicFileWriter::Write(dir.File("missing/folder/x.nes"), data, sizeof data).Ok);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(EditFlagManagement, PanelShowsModifiedFromTheFirstChangeUntilClearAll) {
    std::vector<std::string> panelTexts;
    EditFlagManagement flags([&](const std::string& text) { panelTexts.push_back(text); });
    EXPECT_EQ(panelTexts, std::vector<std::string>{""});
    EXPECT_FALSE(flags.IsModified());

    flags.SetObjectModified(3, true);
    flags.SetMapSetModified(3, true);
    EXPECT_EQ(panelTexts.back(), "変更あり");
    EXPECT_TRUE(flags.IsModified());
    for (int stage = 0; stage < LevelFormat::StageCount; ++stage) {
        EXPECT_EQ(flags.IsObjectModified(stage), stage == 3);
        EXPECT_FALSE(flags.IsChip16x16Modified(stage));
        EXPECT_FALSE(flags.IsChip32x32Modified(stage));
        EXPECT_FALSE(flags.IsPaletteModified(stage));
    }

    flags.SetModified(false);
    EXPECT_EQ(panelTexts.back(), "変更あり") << "only ClearAll empties the panel";

    flags.SetPaletteModified(0, true);
    flags.ClearAll();
    EXPECT_EQ(panelTexts.back(), "");
    EXPECT_FALSE(flags.IsModified());
    EXPECT_FALSE(flags.IsPaletteModified(0));
    EXPECT_FALSE(flags.IsObjectModified(3));
}

TEST(FcPaletteData, PacksRedInTheLowestByte) {
    TempDir dir;
    std::vector<std::uint8_t> bytes(192, 0);
    bytes[0] = 0xFF;
    bytes[3 * 63 + 0] = 0x12;
    bytes[3 * 63 + 1] = 0x34;
    bytes[3 * 63 + 2] = 0x56;
    WriteWholeFile(dir.File("fcpalette.pal"), bytes);
    std::unique_ptr<FcPaletteData> palette;
    const Outcome loaded = FcPaletteData::Create(dir.File("fcpalette.pal"), palette);
    ASSERT_TRUE(loaded.Ok) << loaded.Message;
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->ColorOf(0), 0x000000FFu);
    EXPECT_EQ(palette->ColorOf(63), 0x00563412u);
}

struct PaletteFileCase {
    std::uintmax_t Size; // NoFile: no file at all
    const char* Suffix;  // nullptr: loaded
};

constexpr std::uintmax_t NoFile = ~std::uintmax_t{0};

class FcPaletteFileSize : public testing::TestWithParam<PaletteFileCase> {};

// A file of 8 tables is taken for its first: every byte of the file differs from the one 192
// bytes before it, so a colour from any other table shows.
TEST_P(FcPaletteFileSize, LoadsOneOrEightTablesAndRefusesAnyOtherSize) {
    TempDir dir;
    const std::string path = dir.File("fcpalette.pal");
    if (GetParam().Size != NoFile && GetParam().Size <= FcPaletteData::EmphasisFileSize + 1) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(GetParam().Size));
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i % 192 + i / 192 * 7);
        WriteWholeFile(path, bytes);
    } else if (GetParam().Size != NoFile) {
        // Sparse: costs no disk, but reading it whole would take gigabytes.
        { std::ofstream create(path, std::ios::binary); }
        std::filesystem::resize_file(path, GetParam().Size);
    }
    std::unique_ptr<FcPaletteData> palette;
    const Outcome loaded = FcPaletteData::Create(path, palette);
    if (GetParam().Suffix != nullptr) {
        EXPECT_EQ(loaded, Outcome::Failure(path + GetParam().Suffix));
        EXPECT_EQ(palette, nullptr);
        return;
    }
    ASSERT_TRUE(loaded.Ok) << loaded.Message;
    ASSERT_NE(palette, nullptr);
    for (std::size_t i = 0; i < FcPaletteData::FileSize; ++i)
        EXPECT_EQ(palette->RawTriples()[i], i % 192) << i;
    EXPECT_EQ(palette->ColorOf(63), 0x00BFBEBDu);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FcPaletteFileSize,
    testing::Values(PaletteFileCase{0, "のサイズが不正です"},
                    PaletteFileCase{191, "のサイズが不正です"}, PaletteFileCase{192, nullptr},
                    PaletteFileCase{193, "のサイズが不正です"},
                    PaletteFileCase{1535, "のサイズが不正です"}, PaletteFileCase{1536, nullptr},
                    PaletteFileCase{1537, "のサイズが不正です"},
                    PaletteFileCase{std::uintmax_t{8} << 30, "のサイズが不正です"},
                    PaletteFileCase{NoFile, "が読み込めませんでした"}),
    [](const testing::TestParamInfo<PaletteFileCase>& param) {
        return param.param.Size == NoFile ? std::string("NoFile")
                                          : "Size" + std::to_string(param.param.Size);
    });

} // namespace
