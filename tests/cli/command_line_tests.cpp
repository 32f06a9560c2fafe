// The command line as a script uses it: the built program in a child process without DISPLAY
// or any platform setting, its exit status, what it writes and what it prints.
#include "address/LevelDataLayout.h"
#include "cli/CommandLineTool.h"
#include "document/TmxMap.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "patch/BpsPatch.h"
#include "patch/IpsPatch.h"
#include "patch/PatchMessages.h"
#include "romgen/CartridgeGenerator.h"
#include "support/GeneratedCartridge.h"
#include "support/TempDir.h"
#include "support/UnwritableFolder.h"

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Result {
    int Exit = -1;
    std::string Out;
    std::string Err;
};

class CommandLine : public testing::Test {
protected:
    void SetUp() override {
        const auto palette = CartridgeGenerator::MakeMasterPalette();
        WriteWholeFile(Dir.File("fcpalette.pal"), {palette.begin(), palette.end()});
        Image = WriteGeneratedImage(Dir, "stage.nes");
        Edited = GeneratedImage();
        Edited[0x40000] ^= 0xFF;
        Edited[0x60000] ^= 0x0F;
        WriteWholeFile(Dir.File("edited.nes"), Edited);
    }

    Result Run(const QStringList& arguments) { return RunIn(Dir.Path(), K6_EDITOR_EXE, arguments); }

    // The child's environment may add variables (name=value); withoutOverride takes from a
    // child of root the right to write where the permission bits forbid it.
    static Result RunIn(const std::filesystem::path& folder, const QString& program,
                        const QStringList& arguments, const QStringList& variables = {},
                        bool withoutOverride = false) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        for (const QString& variable : variables)
            environment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        process.setProcessEnvironment(environment);
        if (withoutOverride)
            process.setChildProcessModifier(DropPermissionOverrideInChild);
        process.setWorkingDirectory(QString::fromStdString(folder.string()));
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(), process.readAllStandardOutput().toStdString(),
                process.readAllStandardError().toStdString()};
    }

    // A copy of the program in "bin" of the folder, with nothing beside it: its settings and
    // its data folder ("share/kestrin6editor") are the test's own.
    QString PrivateProgram() {
        std::filesystem::create_directories(Dir.Path() / "bin");
        const std::filesystem::path copy = Dir.Path() / "bin" / "kestrin6editor";
        std::filesystem::copy_file(K6_EDITOR_EXE, copy,
                                   std::filesystem::copy_options::overwrite_existing);
        return QString::fromStdString(copy.string());
    }

    // A patch that turns the generated image into image, as a file of the folder.
    QString PatchTo(const Bytes& image, const std::string& name) {
        WriteWholeFile(Dir.File(name), IpsPatch::Create(GeneratedImage(), image));
        return File(name);
    }

    QString File(const std::string& name) const { return QString::fromStdString(Dir.File(name)); }
    bool Exists(const std::string& name) const { return std::filesystem::exists(Dir.File(name)); }

    TempDir Dir;
    std::string Image;
    Bytes Edited;
};

TEST_F(CommandLine, HelpAndVersionNeedNoImage) {
    const Result help = Run({"--help"});
    EXPECT_EQ(help.Exit, 0);
    for (const char* option :
         {"--export-map", "--export-sheet", "--make-patch", "--apply-patch", "--check", "--objects",
          "--palette-set", "--export-tmx", "--import-tmx"})
        EXPECT_NE(help.Out.find(option), std::string::npos) << option;
    const Result version = Run({"--version"});
    EXPECT_EQ(version.Exit, 0);
    EXPECT_EQ(version.Out, "kestrin6editor 1.0\n");
}

// The command answers in the language the window was left in, as its settings file says.
TEST_F(CommandLine, AnswersInTheLanguageTheWindowWasLeftIn) {
    const QString program = PrivateProgram();
    const struct {
        const char* Settings;
        const char* FirstStage;
    } cases[] = {{"", "ステージ00: オブジェクト "},
                 {"[View]\nLanguage=en\n", "Stage 00: objects "},
                 {"[View]\nLanguage=xx\n", "ステージ00: オブジェクト "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Settings);
        WriteTextFile(Dir.File("bin/kestrin6editor.ini"), c.Settings);
        const Result checked =
            RunIn(Dir.Path(), program, {"--check", QString::fromStdString(Image)});
        EXPECT_EQ(checked.Exit, 0) << checked.Err;
        EXPECT_NE(checked.Out.find(c.FirstStage), std::string::npos) << checked.Out;
    }
}

TEST_F(CommandLine, UsageErrorsExitWithTwoAndWriteNothing) {
    const QString out = File("out.png");
    const QString image = QString::fromStdString(Image);
    const QStringList cases[] = {
        {"--check", "--no-such-option", image},
        {"--check"},
        {"--check", image, image},
        {"--export-map", "16", out, image},
        {"--export-map", "0x10", out, image},
        {"--export-map", "-1", out, image},
        {"--export-map", "two", out, image},
        {"--export-map", "3", out, "--palette-set", "2", image},
        {"--export-map", "3", out},
        {"--export-sheet", "8", "3", out, image},
        {"--export-sheet", "16", "3", out, image, "--objects"},
        {"--make-patch", image, File("edited.nes"), File("out.txt")},
        {"--apply-patch", image, File("hack.ips")},
        {"--check", image, "--make-patch"},
        {"--export-map", "1", "--export-map", "2", out, image},
        {"--export-tmx", "16", File("out.txt"), image},
        {"--export-tmx", "3", File("out.txt")},
        {"--import-tmx", "x", File("in.tmx"), image, File("out.txt")},
        {"--import-tmx", "3", File("in.tmx"), image},
    };
    for (const QStringList& arguments : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Result result = Run(arguments);
        EXPECT_EQ(result.Exit, 2);
        EXPECT_FALSE(result.Err.empty());
        EXPECT_FALSE(Exists("out.png"));
        EXPECT_FALSE(Exists("out.txt"));
    }
}

TEST_F(CommandLine, CheckReportsObjectTotalsOrTheRefusal) {
    const Result good = Run({"--check", QString::fromStdString(Image)});
    EXPECT_EQ(good.Exit, 0) << good.Err;
    for (int s = 0; s < 16; ++s) {
        const std::string line =
            "ステージ" + std::string(s < 10 ? "0" : "") + std::to_string(s) + ": オブジェクト " +
            std::to_string(CartridgeGenerator::ObjectsOfStage(s).size()) + " / 127\n";
        EXPECT_NE(good.Out.find(line), std::string::npos) << line;
    }
    EXPECT_NE(good.Out.find(Image + ": OK"), std::string::npos);

    Bytes badHeader = GeneratedImage();
    badHeader[0] = 'X';
    WriteWholeFile(Dir.File("bad.nes"), badHeader);
    const Result bad = Run({"--check", File("bad.nes")});
    EXPECT_EQ(bad.Exit, 1);
    EXPECT_EQ(bad.Err, "ROMイメージが異常です: " + Dir.File("bad.nes") + "\n");
    WriteWholeFile(Dir.File("short.nes"), Bytes(8, 0));
    EXPECT_EQ(Run({"--check", File("short.nes")}).Err,
              "ファイルを開けませんでした: " + Dir.File("short.nes") + "\n");
}

TEST_F(CommandLine, PatchesAreMadeAndAppliedOrRefused) {
    const QString image = QString::fromStdString(Image);
    for (const char* name : {"hack.ips", "hack.BPS"}) {
        SCOPED_TRACE(name);
        const Result made = Run({"--make-patch", image, File("edited.nes"), File(name)});
        ASSERT_EQ(made.Exit, 0) << made.Err;
        const Bytes patch = ReadWholeFile(Dir.File(name));
        EXPECT_EQ(IpsPatch::HasMagic(patch), name == std::string("hack.ips"));
        const Result applied = Run({"--apply-patch", image, File(name), File("patched.nes")});
        ASSERT_EQ(applied.Exit, 0) << applied.Err;
        EXPECT_TRUE(ReadWholeFile(Dir.File("patched.nes")) == Edited);
        std::filesystem::remove(Dir.File("patched.nes"));
    }

    // Refusals: the window's phrase, then the file; nothing written.
    Bytes other = GeneratedImage();
    other[0x20] ^= 1;
    WriteWholeFile(Dir.File("other.nes"), other);
    const Result wrongOriginal =
        Run({"--apply-patch", File("other.nes"), File("hack.BPS"), File("patched.nes")});
    EXPECT_EQ(wrongOriginal.Exit, 1);
    EXPECT_EQ(wrongOriginal.Err, std::string(PatchMessages::SourceChecksumMismatch) + ": " +
                                     Dir.File("hack.BPS") + "\n");
    WriteWholeFile(Dir.File("cut.ips"), {'P', 'A', 'T', 'C', 'H', 0, 0});
    const Result truncated = Run({"--apply-patch", image, File("cut.ips"), File("patched.nes")});
    EXPECT_EQ(truncated.Exit, 1);
    EXPECT_EQ(truncated.Err,
              std::string(PatchMessages::Truncated) + ": " + Dir.File("cut.ips") + "\n");
    const Result missing =
        Run({"--make-patch", File("missing.nes"), File("edited.nes"), File("x.ips")});
    EXPECT_EQ(missing.Exit, 1);
    EXPECT_NE(missing.Err.find(Dir.File("missing.nes")), std::string::npos);
    EXPECT_FALSE(Exists("patched.nes"));
    EXPECT_FALSE(Exists("x.ips"));
}

// What Open would refuse is not written, and an existing file is left as it was.
TEST_F(CommandLine, ApplyingRefusesAResultOpenWouldRefuse) {
    Bytes levelDataOutside = GeneratedImage();
    levelDataOutside[0x7DF35] = 0xFF; // stage 0's map bank lies far past the end
    const QString patch = PatchTo(levelDataOutside, "hack.ips");
    for (const bool existing : {false, true}) {
        SCOPED_TRACE(existing);
        if (existing)
            WriteTextFile(Dir.File("patched.nes"), "kept");
        const Result refused =
            Run({"--apply-patch", QString::fromStdString(Image), patch, File("patched.nes")});
        EXPECT_EQ(refused.Exit, 1);
        EXPECT_EQ(refused.Err, std::string(LevelDataLayout::BadLayoutMessage) + ": " +
                                   Dir.File("hack.ips") + "\n");
        EXPECT_EQ(Exists("patched.nes"), existing);
        EXPECT_TRUE(!existing || ReadTextFile(Dir.File("patched.nes")) == "kept");
        EXPECT_FALSE(Exists("patched.nes.bak"));
    }
}

// An output file that is replaced is kept beside it first, unless the settings say not to.
TEST_F(CommandLine, ApplyingOverAnExistingFileKeepsARestorePoint) {
    const QString program = PrivateProgram();
    const QStringList arguments = {"--apply-patch", QString::fromStdString(Image),
                                   PatchTo(Edited, "hack.ips"), File("patched.nes")};
    const struct {
        const char* Settings;
        bool Kept;
    } cases[] = {{"", true}, {"[Backup]\nKeep=1\n", true}, {"[Backup]\nKeep=0\n", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Settings);
        WriteTextFile(Dir.File("bin/kestrin6editor.ini"), c.Settings);
        WriteTextFile(Dir.File("patched.nes"), "before");
        std::filesystem::remove(Dir.File("patched.nes.bak"));
        const Result applied = RunIn(Dir.Path(), program, arguments);
        ASSERT_EQ(applied.Exit, 0) << applied.Err;
        EXPECT_TRUE(ReadWholeFile(Dir.File("patched.nes")) == Edited);
        EXPECT_EQ(Exists("patched.nes.bak"), c.Kept);
        EXPECT_TRUE(!c.Kept || ReadTextFile(Dir.File("patched.nes.bak")) == "before");
    }
    // A new file has nothing to keep.
    std::filesystem::remove(Dir.File("patched.nes"));
    WriteTextFile(Dir.File("bin/kestrin6editor.ini"), "");
    ASSERT_EQ(RunIn(Dir.Path(), program, arguments).Exit, 0);
    EXPECT_FALSE(Exists("patched.nes.bak"));
}

TEST_F(CommandLine, PicturesOfMapsAndSheets) {
    const QString image = QString::fromStdString(Image);
    const struct {
        QStringList Arguments;
        QSize Size;
    } cases[] = {
        {{"--export-map", "0x3", File("out.png"), "--objects", "--palette-set", "1", image},
         {2048, 1024}},
        {{"--export-map", "15", File("out.png"), image}, {2048, 1024}},
        {{"--export-sheet", "16", "5", File("out.png"), image}, {256, 256}},
        {{"--export-sheet", "32", "0x0", File("out.png"), image}, {512, 512}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Arguments.join(' ').toStdString());
        const Result result = Run(c.Arguments);
        ASSERT_EQ(result.Exit, 0) << result.Err;
        const QImage picture(File("out.png"));
        EXPECT_EQ(picture.size(), c.Size);
        EXPECT_EQ(picture.format(), QImage::Format_Indexed8);
        std::filesystem::remove(Dir.File("out.png"));
    }

    // Stage 3, palette set 1: the table starts with that set's colours.
    ASSERT_EQ(Run(cases[0].Arguments).Exit, 0);
    const QImage picture(File("out.png"));
    const auto master = CartridgeGenerator::MakeMasterPalette();
    const auto palette = CartridgeGenerator::PaletteOfStage(3);
    for (int i = 0; i < 16 && i < picture.colorCount(); ++i) {
        const std::size_t number = (palette[16 + static_cast<std::size_t>(i)] & 0x3F) * 3u;
        EXPECT_EQ(picture.color(i) & 0xFFFFFF,
                  qRgb(master[number], master[number + 1], master[number + 2]) & 0xFFFFFFu)
            << i;
    }
}

// The master palette is found where the window finds it: the current directory, beside the
// program, then its installed data folder.
TEST_F(CommandLine, MasterPaletteIsLookedForWhereTheWindowLooks) {
    const QString image = QString::fromStdString(Image);
    const std::filesystem::path elsewhere = Dir.Path() / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    const QStringList arguments = {"--export-map", "2", File("map.png"), image};

    // The build folder holds the palette beside the program.
    const Result built = RunIn(elsewhere, K6_EDITOR_EXE, arguments);
    EXPECT_EQ(built.Exit, 0) << built.Err;
    EXPECT_TRUE(Exists("map.png"));
    std::filesystem::remove(Dir.File("map.png"));

    const QString program = PrivateProgram();
    const Result nowhere = RunIn(elsewhere, program, arguments);
    EXPECT_EQ(nowhere.Exit, 1);
    EXPECT_EQ(nowhere.Err, "fcpalette.palが読み込めませんでした\n");
    EXPECT_FALSE(Exists("map.png"));

    for (const char* folder : {"share/kestrin6editor", "bin"}) {
        SCOPED_TRACE(folder);
        std::filesystem::create_directories(Dir.Path() / folder);
        std::filesystem::copy_file(Dir.File("fcpalette.pal"),
                                   Dir.File(std::string(folder) + "/fcpalette.pal"));
        const Result found = RunIn(elsewhere, program, arguments);
        EXPECT_EQ(found.Exit, 0) << found.Err;
        EXPECT_TRUE(Exists("map.png"));
        std::filesystem::remove(Dir.File("map.png"));
    }
}

// Where nothing can be made beside the replaced file, its restore point goes to the window's
// restore folder, and the command says where.
TEST_F(CommandLine, ARestorePointThatCannotGoBesideGoesToTheWindowsRestoreFolder) {
    const QString patch = PatchTo(Edited, "hack.ips");
    const std::filesystem::path out = Dir.Path() / "out";
    const std::string target = (out / "patched.nes").string();
    std::filesystem::create_directories(out);
    WriteTextFile(target, "before");
    const std::filesystem::path data = Dir.Path() / "data";
    const UnwritableFolder readOnly(out);

    const Result applied = RunIn(
        Dir.Path(), K6_EDITOR_EXE,
        {"--apply-patch", QString::fromStdString(Image), patch, QString::fromStdString(target)},
        {"XDG_DATA_HOME=" + QString::fromStdString(data.string())}, true);
    ASSERT_EQ(applied.Exit, 0) << applied.Err;
    EXPECT_TRUE(ReadWholeFile(target) == Edited);
    std::vector<std::filesystem::path> kept;
    for (const auto& entry :
         std::filesystem::directory_iterator(data / "KESTRIN 6 EDITOR" / "restore"))
        kept.push_back(entry.path());
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(ReadTextFile(kept[0].string()), "before");
    EXPECT_EQ(applied.Err,
              target + ".bak を作成できなかったため、" + kept[0].string() + " に作成しました。\n");
}

// The palette chosen in the window, as the settings the window would read name it: after the
// current directory, before the program's own folders. The settings are found as the window
// finds them: beside the program when they are there or its folder takes new files, else in
// the user's configuration folder.
struct ChosenCase {
    const char* Name;
    bool SettingsBeside;     // naming palette A; the configuration folder's name palette B
    bool FolderWritable;     // the program's folder takes new files
    const char* PaletteUsed; // "A", "B", or nullptr: none found
};

class ChosenPalette : public CommandLine, public testing::WithParamInterface<ChosenCase> {
protected:
    // A palette unlike the generated one and unlike any other colour given.
    void WritePalette(const std::string& name, std::uint8_t colour) {
        auto palette = CartridgeGenerator::MakeMasterPalette();
        for (std::uint8_t& byte : palette)
            byte = static_cast<std::uint8_t>(byte ^ colour);
        WriteWholeFile(Dir.File(name), {palette.begin(), palette.end()});
    }
    // The picture exported with palette in the current directory.
    Bytes ExportedWith(const std::string& palette, const QStringList& arguments) {
        const std::filesystem::path folder = Dir.Path() / ("with_" + palette);
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(Dir.File(palette), folder / "fcpalette.pal");
        const Result result = RunIn(folder, K6_EDITOR_EXE, arguments);
        EXPECT_EQ(result.Exit, 0) << result.Err;
        return ReadWholeFile(Dir.File("map.png"));
    }
};

TEST_P(ChosenPalette, ComesFromTheSettingsTheWindowWouldRead) {
    const ChosenCase& test = GetParam();
    const QStringList arguments = {"--export-map", "2", File("map.png"),
                                   QString::fromStdString(Image)};
    WritePalette("a.pal", 0x55);
    WritePalette("b.pal", 0xAA);
    const std::map<std::string, Bytes> pictures = {{"A", ExportedWith("a.pal", arguments)},
                                                   {"B", ExportedWith("b.pal", arguments)}};
    ASSERT_NE(pictures.at("A"), pictures.at("B"));
    std::filesystem::remove(Dir.File("map.png"));

    const QString program = PrivateProgram();
    const std::filesystem::path config = Dir.Path() / "config";
    std::filesystem::create_directories(config / "KESTRIN 6 EDITOR");
    WriteTextFile((config / "KESTRIN 6 EDITOR" / "kestrin6editor.ini").string(),
                  "[Palette]\nFile=" + Dir.File("b.pal") + "\n");
    if (test.SettingsBeside)
        WriteTextFile(Dir.File("bin/kestrin6editor.ini"),
                      "[Palette]\nFile=" + Dir.File("a.pal") + "\n");
    std::optional<UnwritableFolder> readOnly;
    if (!test.FolderWritable)
        readOnly.emplace(Dir.Path() / "bin");
    const std::filesystem::path elsewhere = Dir.Path() / "elsewhere";
    std::filesystem::create_directories(elsewhere);

    const Result result =
        RunIn(elsewhere, program, arguments,
              {"XDG_CONFIG_HOME=" + QString::fromStdString(config.string())}, !test.FolderWritable);
    if (test.PaletteUsed == nullptr) {
        EXPECT_EQ(result.Exit, 1);
        EXPECT_EQ(result.Err, "fcpalette.palが読み込めませんでした\n");
    } else {
        EXPECT_EQ(result.Exit, 0) << result.Err;
        EXPECT_EQ(result.Err, "");
        EXPECT_TRUE(ReadWholeFile(Dir.File("map.png")) == pictures.at(test.PaletteUsed));
    }
    EXPECT_EQ(std::filesystem::exists(Dir.File("bin/kestrin6editor.ini")), test.SettingsBeside)
        << "the command never writes the settings";
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ChosenPalette,
    testing::Values(ChosenCase{"beside_a_read_only_program", true, false, "A"},
                    ChosenCase{"beside_a_writable_program", true, true, "A"},
                    ChosenCase{"in_the_configuration_folder", false, false, "B"},
                    ChosenCase{"none_beside_a_writable_program", false, true, nullptr}),
    [](const testing::TestParamInfo<ChosenCase>& tested) { return tested.param.Name; });

// A chosen file that is gone is named, and the places after it are still looked in.
TEST_F(CommandLine, AChosenPaletteThatIsGoneGivesWayToTheNextPlace) {
    const QString program = PrivateProgram();
    std::filesystem::copy_file(Dir.File("fcpalette.pal"), Dir.File("bin/fcpalette.pal"));
    WriteTextFile(Dir.File("bin/kestrin6editor.ini"),
                  "[Palette]\nFile=" + Dir.File("gone.pal") + "\n");
    const std::filesystem::path elsewhere = Dir.Path() / "elsewhere";
    std::filesystem::create_directories(elsewhere);
    const Result result = RunIn(
        elsewhere, program, {"--export-map", "2", File("map.png"), QString::fromStdString(Image)});
    EXPECT_EQ(result.Exit, 0);
    EXPECT_EQ(result.Err, Dir.File("gone.pal") + "が読み込めませんでした\n");
    EXPECT_TRUE(Exists("map.png"));
}

// Only the tool's own options make a command; Qt's options and files start the window.
// Stage 5's map set as the editor decodes it from the image at path.
TmxMap::MapSet MapSetOf(const std::string& path) {
    IniFile settings("");
    EditFlagManagement flags{{}};
    RomImageData rom(flags, settings);
    EXPECT_TRUE(rom.LoadFromFile(path).Ok);
    TmxMap::MapSet mapSet{};
    if (rom.HasStages())
        std::copy(rom.Stage(5).MapSetTable.begin(), rom.Stage(5).MapSetTable.end(), mapSet.begin());
    return mapSet;
}

TEST_F(CommandLine, TmxMapsAreExportedAndImportedOrRefused) {
    const QString image = QString::fromStdString(Image);
    const Result exported = Run({"--export-tmx", "5", File("level.tmx"), image});
    ASSERT_EQ(exported.Exit, 0) << exported.Err;
    EXPECT_EQ(QImage(File("level.chips.png")).size(), QSize(512, 512));
    TmxMap::MapSet mapSet{};
    ASSERT_TRUE(TmxMap::ReadFile(File("level.tmx"), mapSet).Ok);
    EXPECT_TRUE(mapSet == MapSetOf(Image));

    mapSet[0] ^= 0x55;
    mapSet[2047] ^= 0x0F;
    WriteTextFile(Dir.File("edited.tmx"),
                  TmxMap::Write(mapSet, "level.chips.png", "level").toStdString());
    const Result imported = Run({"--import-tmx", "5", File("edited.tmx"), image, File("out.nes")});
    ASSERT_EQ(imported.Exit, 0) << imported.Err;
    EXPECT_TRUE(mapSet == MapSetOf(Dir.File("out.nes")));
    // Nothing outside the stage's map set changes.
    const Bytes original = GeneratedImage();
    const Bytes written = ReadWholeFile(Dir.File("out.nes"));
    ASSERT_EQ(written.size(), original.size());
    for (std::size_t i = 0; i < written.size(); ++i)
        if (i < MapFile(5) || i >= MapFile(5) + TmxMap::CellCount) {
            ASSERT_EQ(written[i], original[i]) << "offset " << std::hex << i;
        }

    // A map with an empty cell: named on stderr, nothing written.
    QByteArray broken = TmxMap::Write(mapSet, "level.chips.png", "level");
    broken.replace("<data encoding=\"csv\">\n", "<data encoding=\"csv\">\n0,");
    broken.replace(",\n</data>", "\n</data>");
    const qsizetype lastComma = broken.lastIndexOf(',');
    broken.remove(lastComma, broken.indexOf('\n', lastComma) - lastComma);
    WriteTextFile(Dir.File("broken.tmx"), broken.toStdString());
    const Result refused = Run({"--import-tmx", "5", File("broken.tmx"), image, File("no.nes")});
    EXPECT_EQ(refused.Exit, 1);
    EXPECT_NE(
        refused.Err.find(std::string("broken.tmx") + TmxMap::CannotReadPhrase + TmxMap::EmptyCell),
        std::string::npos)
        << refused.Err;
    EXPECT_FALSE(Exists("no.nes"));
    const Result badImage =
        Run({"--import-tmx", "5", File("edited.tmx"), File("edited.tmx"), File("no.nes")});
    EXPECT_EQ(badImage.Exit, 1);
    EXPECT_FALSE(Exists("no.nes"));
}

TEST(CommandOrWindow, OnlyTheToolsOwnOptionsMakeACommand) {
    const struct {
        std::vector<std::string> Arguments;
        bool Command;
    } cases[] = {
        {{}, false},
        {{"demo.nes"}, false},
        {{"-style", "fusion", "demo.nes"}, false},
        {{"-platform", "xcb"}, false},
        {{"-reverse"}, false},
        {{"-stylesheet", "look.qss", "demo.nes"}, false},
        {{"--style=fusion", "demo.nes"}, false},
        {{"--checks", "demo.nes"}, false},
        {{"-"}, false},
        // A Qt option's value is not read as an option of its own.
        {{"-qwindowtitle", "--check"}, false},
        {{"-style", "fusion", "--check", "demo.nes"}, true},
        {{"--export-map", "3", "out.png", "demo.nes"}, true},
        {{"--export-map=3", "out.png", "demo.nes"}, true},
        {{"--export-tmx", "3", "out.tmx", "demo.nes"}, true},
        {{"--import-tmx", "3", "in.tmx", "demo.nes", "out.nes"}, true},
        {{"--export-sheet", "16", "3", "out.png", "demo.nes"}, true},
        {{"--objects"}, true},
        {{"--palette-set", "1"}, true},
        {{"--make-patch", "a.nes", "b.nes", "c.ips"}, true},
        {{"--apply-patch", "a.nes", "c.ips", "d.nes"}, true},
        {{"-platform", "offscreen", "--check", "demo.nes"}, true},
        {{"--help"}, true},
        {{"--help-all"}, true},
        {{"-h"}, true},
        {{"--version"}, true},
        {{"-v"}, true},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"kestrin6editor"};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        std::string shown;
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            shown += argument + " ";
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        EXPECT_EQ(CommandLineTool::WantsCommand(static_cast<int>(arguments.size()), argv.data()),
                  c.Command)
            << shown;
    }
}

// The usage the readme shows: a widget style named on the command line, then the image.
TEST_F(CommandLine, QtStyleOptionStartsTheWindow) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(Dir.Path().string()));
    process.start(K6_EDITOR_EXE, {"-style", "fusion", QString::fromStdString(Image)});
    ASSERT_TRUE(process.waitForStarted(10000));
    const bool ended = process.waitForFinished(5000);
    EXPECT_FALSE(ended) << "exit " << process.exitCode() << ": "
                        << process.readAllStandardError().toStdString();
    process.kill();
    process.waitForFinished(10000);
}

} // namespace
