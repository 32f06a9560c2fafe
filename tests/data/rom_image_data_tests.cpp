#include "address/AddressData.h"
#include "address/LevelDataLayout.h"
#include "base/LevelFormat.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "romgen/CartridgeGenerator.h"
#include "support/GeneratedCartridge.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

using G = CartridgeGenerator;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t ImageSize = LevelFormat::CartridgeSize;

class RomImageDataTest : public ::testing::Test {
protected:
    TempDir Folder;
    IniFile Settings{Folder.File("kestrin6editor.ini")};
    EditFlagManagement Flags{{}};
    RomImageData Rom{Flags, Settings};
    std::string Path = WriteGeneratedImage(Folder);

    void OpenGenerated() { ASSERT_TRUE(Rom.LoadFromFile(Path).Ok); }

    Bytes SaveAndRead(const std::string& name = "saved.nes") {
        const std::string target = Folder.File(name);
        const auto outcome = Rom.SaveToFile(target);
        EXPECT_TRUE(outcome.Ok) << outcome.Message;
        return ReadWholeFile(target);
    }
};

TEST_F(RomImageDataTest, OpenDecodesAllStagesOfTheGeneratedImage) {
    OpenGenerated();
    EXPECT_EQ(Rom.FileName(), Path);
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const StageData& stage = Rom.Stage(s);
        const auto placed = G::ObjectsOfStage(s);
        ASSERT_EQ(stage.ObjectTotal(), static_cast<int>(placed.size())) << "stage " << s;
        const auto rows = stage.FlattenObjects();
        for (std::size_t i = 0; i < placed.size(); ++i)
            EXPECT_EQ(rows[i], (StageData::ObjectRow{static_cast<std::uint8_t>(placed[i].Page),
                                                     static_cast<std::uint8_t>(placed[i].X),
                                                     static_cast<std::uint8_t>(placed[i].Y),
                                                     static_cast<std::uint8_t>(placed[i].Type)}));
        EXPECT_EQ(stage.StagePalette, G::PaletteOfStage(s)) << "stage " << s;
        EXPECT_EQ(stage.Chip16x16SetIndexValue(), 0);
        EXPECT_EQ(stage.MapSetTable[0], G::BlockBrick) << "left wall of room 0";
    }
    EXPECT_EQ(Rom.Stage(2).DestroyedChip16x16Table, Rom.Stage(1).DestroyedChip16x16Table);
    EXPECT_EQ(Rom.Stage(15).DestroyedChip16x16Table, Rom.Stage(14).DestroyedChip16x16Table);
    EXPECT_NE(Rom.Stage(0).DestroyedChip16x16Table, Rom.Stage(1).DestroyedChip16x16Table);
    // The keys went into the settings.
    EXPECT_EQ(Settings.ReadString("LevelDataAddress", "ObjectCount", ""), "740EF");
}

struct FileCase {
    const char* Name;
    std::function<Bytes()> Make;
    bool Accepted;
    const char* Message;
};

void PrintTo(const FileCase& c, std::ostream* out) {
    *out << c.Name;
}

class FileAcceptance : public RomImageDataTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(FileAcceptance, RefusedFilesLeaveTheHeldImageIntact) {
    const FileCase& c = GetParam();
    OpenGenerated();
    Rom.Stage(4).MapSetTable[7] = 0x77; // an unsaved edit that must survive a refused open
    const std::string other = Folder.File("other.nes");
    WriteWholeFile(other, c.Make());

    const auto outcome = Rom.LoadFromFile(other);
    EXPECT_EQ(outcome.Ok, c.Accepted);
    // What is checked before an image is written for Open is Open's own test.
    EXPECT_EQ(RomImageData::CheckImage(c.Make(), Settings), outcome);
    if (c.Accepted)
        return;
    EXPECT_EQ(outcome.Message, c.Message);
    EXPECT_EQ(Rom.FileName(), Path);
    EXPECT_TRUE(std::equal(Rom.Buffer().begin(), Rom.Buffer().end(), GeneratedImage().begin()));
    EXPECT_EQ(Rom.Stage(4).MapSetTable[7], 0x77);
    EXPECT_EQ(Rom.Stage(4).ObjectTotal(), static_cast<int>(G::ObjectsOfStage(4).size()));
}

Bytes Generated() {
    return GeneratedImage();
}
Bytes WithByte(std::size_t at, std::uint8_t value) {
    Bytes image = GeneratedImage();
    image[at] = value;
    return image;
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileAcceptance,
    ::testing::Values(
        FileCase{"ExactSize", Generated, true, ""},
        FileCase{"OneByteTooLong",
                 [] {
                     Bytes b = GeneratedImage();
                     b.push_back(0);
                     return b;
                 },
                 false, RomImageData::BadSizeMessage},
        FileCase{"FifteenBytes",
                 [] { return Bytes(GeneratedImage().begin(), GeneratedImage().begin() + 15); },
                 false, RomImageData::BadSizeMessage},
        FileCase{"FourthByteZero", [] { return WithByte(3, 0x00); }, false,
                 RomImageData::BadHeaderMessage},
        // Chip bank 0 with page 00 puts stage 0's 16x16 table before the start of the file.
        FileCase{"ChipTableBeforeTheFile",
                 [] {
                     Bytes b = WithByte(0x7DF75, 0x00);
                     b[0x7DF65] = 0x00;
                     return b;
                 },
                 false, LevelDataLayout::BadLayoutMessage},
        // Map bank FF lies far past the end.
        FileCase{"MapSetPastTheEnd", [] { return WithByte(0x7DF35 + 9, 0xFF); }, false,
                 LevelDataLayout::BadLayoutMessage},
        // 32x32 table 0x400 bytes long starting 0x10 before the end of the last bank.
        FileCase{"Chip32x32RunsOffTheEnd",
                 [] {
                     Bytes b = WithByte(0x7DF65 + 2, 0x3F);
                     b[0x7DF85 + 2] = 0x9F;
                     return b;
                 },
                 false, LevelDataLayout::BadLayoutMessage},
        FileCase{"ShortFileWithoutLevelData",
                 [] { return Bytes(GeneratedImage().begin(), GeneratedImage().begin() + 0x40000); },
                 false, LevelDataLayout::BadLayoutMessage}),
    [](const auto& test) { return std::string(test.param.Name); });

// A settings key (and image bytes) that put a block outside the buffer.
struct KeyCase {
    const char* Key;
    const char* Text;
    std::vector<std::pair<std::size_t, std::uint8_t>> Patches;
};

void PrintTo(const KeyCase& c, std::ostream* out) {
    *out << c.Key << "=" << c.Text;
}

class LayoutKeys : public RomImageDataTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(LayoutKeys, OffsetsThatLeaveTheBufferRefuseTheImage) {
    OpenGenerated();
    Bytes image = GeneratedImage();
    for (const auto& [at, value] : GetParam().Patches)
        image[at] = value;
    const std::string other = Folder.File("other.nes");
    WriteWholeFile(other, image);
    Settings.WriteString("LevelDataAddress", GetParam().Key, GetParam().Text);

    const auto outcome = Rom.LoadFromFile(other);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Message, LevelDataLayout::BadLayoutMessage);
    // The keys are still written back, normalised; the held image keeps its own tables.
    EXPECT_EQ(Settings.ReadString("LevelDataAddress", "ChipDataBank8000", ""), "7DF65");
    EXPECT_EQ(Rom.FileName(), Path);
    EXPECT_EQ(Rom.Address()->KeyValue(LevelDataKey::PaletteDataNo), 0x7DFA5);
    EXPECT_TRUE(std::equal(Rom.Buffer().begin(), Rom.Buffer().end(), GeneratedImage().begin()));
    EXPECT_EQ(Rom.Stage(0).ObjectTotal(), static_cast<int>(G::ObjectsOfStage(0).size()));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LayoutKeys,
    ::testing::Values(
        KeyCase{"MapDataBankA000", "80001", {}}, KeyCase{"ObjectCount", "FFFFFFFF", {}},
        KeyCase{"ObjectDataAddressLow", "80001", {}}, KeyCase{"PatternTableData", "7FD00", {}},
        KeyCase{"RefChipTypeTable", "8000A", {}}, KeyCase{"ChipTypeTable", "7FFFF", {}},
        KeyCase{"PalettePointerAddressHigh[1]", "80010", {}}, KeyCase{"PaletteDataNo", "80001", {}},
        // High-byte table in the header: the pointers fall before the first bank.
        KeyCase{"PalettePointerAddressHigh[0]", "0", {}},
        // High-byte table in the last bank; stage 12's pointer FFxx runs past
        // the end of the file.
        KeyCase{"ObjectDataAddressHigh", "7FFF0", {{0x7FFF0 + 12, 0xFF}}}));

TEST_F(RomImageDataTest, OpenAndSaveWithoutEditsIsByteIdentical) {
    OpenGenerated();
    EXPECT_EQ(SaveAndRead(), GeneratedImage());
}

// One edit through the stage data and the flag its editor would raise, and the bytes the saved
// file must then differ in.
struct EditCase {
    const char* Name;
    std::function<void(RomImageData&, EditFlagManagement&)> Edit;
    std::function<void(Bytes&)> Expect;
};

void PrintTo(const EditCase& c, std::ostream* out) {
    *out << c.Name;
}

class SavedEdits : public RomImageDataTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(SavedEdits, SavedFileDiffersInExactlyTheExpectedBytes) {
    OpenGenerated();
    GetParam().Edit(Rom, Flags);
    Bytes expected = GeneratedImage();
    GetParam().Expect(expected);
    const Bytes saved = SaveAndRead();
    ASSERT_EQ(saved.size(), expected.size());
    for (std::size_t i = 0; i < saved.size(); ++i)
        ASSERT_EQ(saved[i], expected[i]) << "first difference at file offset " << std::hex << i;
    // The flags are the edit history's: a save only reports what it could not write.
    EXPECT_TRUE(Flags.IsModified());
}

// The object area as the packing rule lays it out, from the generator's object lists.
void PackExpected(Bytes& image, const std::vector<std::vector<G::PlacedObject>>& stages) {
    int pointer = G::Stage0ObjectPointer;
    for (std::size_t s = 0; s < stages.size(); ++s) {
        const auto& objects = stages[s];
        const std::size_t n = objects.size();
        image[0x740CF + s] = static_cast<std::uint8_t>(pointer & 0xFF);
        image[0x740DF + s] = static_cast<std::uint8_t>(pointer >> 8);
        image[0x740EF + s] = static_cast<std::uint8_t>(n);
        const std::size_t data = ObjectBankFile(static_cast<std::size_t>(pointer)) + 1;
        for (std::size_t r = 0; r <= n; ++r) {
            const bool end = r == n;
            image[data + r] = static_cast<std::uint8_t>(end ? 0xFF : objects[r].Page);
            image[data + (n + 1) + r] = static_cast<std::uint8_t>(end ? 0xFF : objects[r].X);
            image[data + 2 * (n + 1) + r] = static_cast<std::uint8_t>(end ? 0xFF : objects[r].Y);
            image[data + 3 * (n + 1) + r] = static_cast<std::uint8_t>(end ? 0xFF : objects[r].Type);
        }
        pointer += static_cast<int>(4 * (n + 1));
    }
}

std::vector<std::vector<G::PlacedObject>> GeneratedObjects() {
    std::vector<std::vector<G::PlacedObject>> stages;
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        stages.push_back(G::ObjectsOfStage(s));
    return stages;
}

INSTANTIATE_TEST_SUITE_P(
    Edits, SavedEdits,
    ::testing::Values(
        EditCase{"MapSetOfStage3",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     rom.Stage(3).MapSetTable[5 * 64 + 3 * 8 + 2] = 0x1E;
                     flags.SetMapSetModified(3, true);
                 },
                 [](Bytes& b) { b[MapFile(3) + 3 * 256 + 5 * 8 + 2] = 0x1E; }},
        EditCase{"Chip32x32OfStage9",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     rom.Stage(9).Chip32x32Table[0x40 * 4 + 3] = 0x05;
                     flags.SetChip32x32Modified(9, true);
                 },
                 [](Bytes& b) { b[Chip32File(9) + 0x40 * 4 + 3] = 0x05; }},
        EditCase{"Chip16x16BothSetsOfSharingStage6",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     StageData& stage = rom.Stage(6);
                     stage.Chip16x16Table()[2 * 256 + 0x30] = 0xF3; // normal set
                     stage.ChipPropertyTable()[0x30] = 0x52;
                     stage.ToggleChip16x16Set();
                     stage.Chip16x16Table()[1 * 256 + 0x31] = 0xF4; // after-destruction set
                     stage.ChipPropertyTable()[0x31] = 0x63;
                     stage.ToggleChip16x16Set();
                     flags.SetChip16x16Modified(6, true);
                 },
                 [](Bytes& b) {
                     b[Normal16File(6) + 2 * 256 + 0x30] = 0xF3;
                     b[Normal16File(6) + 0x400 + 0x30] = 0x52;
                     b[ChipBankFile(6, 0x9B00) + 1 * 256 + 0x31] = 0xF4;
                     b[ChipBankFile(6, 0x9F00) + 0x31] = 0x63;
                 }},
        EditCase{"SharedSetEditedThroughStage13SavedWithStage5",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     rom.Stage(13).DestroyedChip16x16Table->at(0x44) = 0x99;
                     flags.SetChip16x16Modified(5, true);
                 },
                 [](Bytes& b) { b[ChipBankFile(5, 0x9B00) + 0x44] = 0x99; }},
        EditCase{"PaletteWritesNothing",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     rom.Stage(2).StagePalette[5] = 0x30;
                     rom.Stage(2).AnimePalette[1] = 0x85;
                     flags.SetPaletteModified(2, true);
                 },
                 [](Bytes&) {}},
        EditCase{"ObjectOfStage5RepacksAllStages",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     StageData& stage = rom.Stage(5);
                     stage.AddObject(20, 0x44, 0x55, 0x66);
                     stage.AddObject(2, 0x11, 0x22, 0x33);
                     flags.SetObjectModified(5, true);
                 },
                 [](Bytes& b) {
                     auto stages = GeneratedObjects();
                     auto& five = stages[5];
                     five.push_back({20, 0x44, 0x55, 0x66});
                     five.push_back({2, 0x11, 0x22, 0x33});
                     std::stable_sort(five.begin(), five.end(),
                                      [](const auto& x, const auto& y) { return x.Page < y.Page; });
                     PackExpected(b, stages);
                 }},
        EditCase{"ObjectRemovedFromStage0",
                 [](RomImageData& rom, EditFlagManagement& flags) {
                     StageData& stage = rom.Stage(0);
                     stage.RemoveObject(&stage.ObjectsOfPage(1).front(), 1);
                     flags.SetObjectModified(0, true);
                 },
                 [](Bytes& b) {
                     auto stages = GeneratedObjects();
                     stages[0].erase(stages[0].begin() + 1); // the scroll object is first
                     // The last stage's block ended 4 bytes later before; those keep their bytes.
                     PackExpected(b, stages);
                 }}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST_F(RomImageDataTest, SaveAsChangesFileNameAndTheNextSaveGoesThere) {
    OpenGenerated();
    const std::string copy = Folder.File("copy.nes");
    ASSERT_TRUE(Rom.SaveToFile(copy).Ok);
    EXPECT_EQ(Rom.FileName(), copy);

    Rom.Stage(3).MapSetTable[0] = 0x1F;
    Flags.SetMapSetModified(3, true);
    ASSERT_TRUE(Rom.SaveToFile(Rom.FileName()).Ok);
    EXPECT_EQ(ReadWholeFile(copy)[MapFile(3)], 0x1F);
    EXPECT_EQ(ReadWholeFile(Path), GeneratedImage());
}

TEST_F(RomImageDataTest, ObjectsThatDoNotFitRefuseTheSaveAndChangeNothing) {
    // Stage 0's block moved to 0x100 bytes before the end of the object bank.
    Bytes image = GeneratedImage();
    image[0x740CF] = 0x00;
    image[0x740DF] = 0x9F;
    WriteWholeFile(Path, image);
    OpenGenerated();
    Rom.Stage(5).MapSetTable[0] = 0x13;
    Flags.SetMapSetModified(5, true);
    Rom.Stage(5).AddObject(0, 1, 2, 3);
    Flags.SetObjectModified(5, true);

    const auto outcome = Rom.SaveToFile(Path);
    EXPECT_FALSE(outcome.Ok);
    EXPECT_EQ(outcome.Message, StageData::ObjectsDoNotFitMessage);
    EXPECT_EQ(ReadWholeFile(Path), image);
    EXPECT_TRUE(std::equal(Rom.Buffer().begin(), Rom.Buffer().end(), image.begin()));
    EXPECT_TRUE(Flags.IsObjectModified(5));
    EXPECT_TRUE(Flags.IsMapSetModified(5));
    EXPECT_TRUE(Flags.IsModified());
}

// Palette write-back: the written set reaches the file, the refused one does not, and only the
// refused stage's palette flag survives the save (its other flags are cleared like all others).
TEST_F(RomImageDataTest, PaletteSetsThatCannotBeWrittenAreReportedByStageAndSet) {
    OpenGenerated();
    Rom.SetPaletteWriteBack(true);
    Rom.Stage(2).StagePalette[5] = 0x3F; // stored as "black first" then this colour: fits
    Flags.SetPaletteModified(2, true);
    Rom.Stage(3).StagePalette[16] = 0x21; // odd stages' second set starts at entry 4
    Flags.SetPaletteModified(3, true);
    Rom.Stage(3).MapSetTable[0] = 0x13;
    Flags.SetMapSetModified(3, true);

    const Bytes saved = SaveAndRead();

    ASSERT_EQ(Rom.PaletteSetsNotWritten().size(), 1u);
    EXPECT_EQ(Rom.PaletteSetsNotWritten()[0].Stage, 3);
    EXPECT_EQ(Rom.PaletteSetsNotWritten()[0].Set, 1);
    EXPECT_EQ(Rom.PaletteSetsNotWritten()[0].Reason, PaletteRefusal::EntryOutsideBlock);

    WriteWholeFile(Path, saved);
    OpenGenerated();
    EXPECT_EQ(Rom.Stage(2).StagePalette[5], 0x3F);
    EXPECT_EQ(Rom.Stage(3).StagePalette[16], 0x00);
    EXPECT_EQ(Rom.Stage(3).MapSetTable[0], 0x13);

    // Off, as the editor always behaved: the same edit leaves the file as it was.
    Rom.SetPaletteWriteBack(false);
    Rom.Stage(2).StagePalette[6] = 0x30;
    Flags.SetPaletteModified(2, true);
    EXPECT_EQ(SaveAndRead("off.nes"), saved);
    EXPECT_TRUE(Rom.PaletteSetsNotWritten().empty());
}

TEST_F(RomImageDataTest, TheEditorsObjectLimitsFitTheGeneratedBank) {
    OpenGenerated();
    int total = 0;
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        total += Rom.Stage(s).ObjectTotal();
    for (int s = 0; s < LevelFormat::StageCount && total < LevelFormat::MaxObjectsAllStages; ++s) {
        StageData& stage = Rom.Stage(s);
        while (stage.ObjectTotal() < LevelFormat::MaxObjectsPerStage &&
               total < LevelFormat::MaxObjectsAllStages) {
            stage.AddObject(stage.ObjectTotal() % 32, total % 256, 0x40, 0x01);
            ++total;
        }
        Flags.SetObjectModified(s, true);
    }
    ASSERT_EQ(total, LevelFormat::MaxObjectsAllStages);
    std::vector<std::vector<StageData::ObjectRow>> edited;
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        edited.push_back(Rom.Stage(s).FlattenObjects());

    const std::string saved = Folder.File("full.nes");
    ASSERT_TRUE(Rom.SaveToFile(saved).Ok);
    ASSERT_TRUE(Rom.LoadFromFile(saved).Ok);
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        EXPECT_EQ(Rom.Stage(s).FlattenObjects(), edited[static_cast<std::size_t>(s)])
            << "stage " << s;
}

TEST_F(RomImageDataTest, CloseClearsTheBufferAndKeepsTheStages) {
    OpenGenerated();
    const auto* buffer = Rom.Buffer().data();
    Rom.SetCurrentStage(7);
    Rom.CloseImage();
    EXPECT_EQ(Rom.CurrentStage(), 0);
    EXPECT_EQ(Rom.Buffer().data(), buffer);
    EXPECT_TRUE(std::all_of(Rom.Buffer().begin(), Rom.Buffer().end(),
                            [](std::uint8_t b) { return b == 0; }));
    ASSERT_TRUE(Rom.HasStages());
    Rom.Stage(3).DecodeStage(); // reads the cleared buffer through the old tables
    EXPECT_EQ(Rom.Stage(3).ObjectTotal(), 0);
}

// Images nobody here wrote: none holds this game's level data. Each must open without harm,
// either refused with a message or decoded, and save back unchanged when it has the full size.
TEST_F(RomImageDataTest, RealImagesOpenSafely) {
    const char* folder = std::getenv("K6_REAL_INPUTS");
    if (!folder || !std::filesystem::is_directory(folder))
        GTEST_SKIP() << "no real images here";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".nes")
            continue;
        ++seen;
        const std::string path = entry.path().string();
        const auto outcome = Rom.LoadFromFile(path);
        if (!outcome.Ok) {
            EXPECT_FALSE(outcome.Message.empty()) << path;
            continue;
        }
        const Bytes original = ReadWholeFile(path);
        const Bytes saved = SaveAndRead("real.nes");
        if (original.size() == ImageSize) {
            EXPECT_EQ(saved, original) << path;
        }
        EXPECT_TRUE(std::equal(original.begin(), original.end(), saved.begin())) << path;
    }
    EXPECT_GT(seen, 0);
}

} // namespace
