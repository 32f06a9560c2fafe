// A long seeded walk of mouse and key events over every tab and stage, undo and redo included,
// then a save and a reopen: every stage decodes to what the window held and no byte outside the
// level data moved.
// Bounded in steps and in time; K6_SOAK_SEED picks another walk.
#include "MainFormFixture.h"
#include "RandomEditor.h"
#include "ViewDriver.h"

#include "address/AddressData.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/PaletteBlock.h"
#include "editdata/PaletteLayout.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "inifile/IniFile.h"
#include "romgen/CartridgeGenerator.h"
#include "support/GeneratedCartridge.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int SoakSteps = 3000;
constexpr auto SoakTimeLimit = std::chrono::seconds(60);

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every array a save writes, and the object rows, of the window's stage and of the reopened one.
void ExpectSameSavedData(const StageData& shown, const StageData& saved, int stage) {
    SCOPED_TRACE("stage " + std::to_string(stage));
    EXPECT_EQ(saved.MapSetTable, shown.MapSetTable);
    EXPECT_EQ(saved.Chip32x32Table, shown.Chip32x32Table);
    EXPECT_EQ(saved.NormalChip16x16Table, shown.NormalChip16x16Table);
    EXPECT_EQ(saved.NormalChipPropertyTable, shown.NormalChipPropertyTable);
    EXPECT_EQ(*saved.DestroyedChip16x16Table, *shown.DestroyedChip16x16Table);
    EXPECT_EQ(*saved.DestroyedChipPropertyTable, *shown.DestroyedChipPropertyTable);
    EXPECT_EQ(saved.FlattenObjects(), shown.FlattenObjects());
}

void Flip(auto& bytes) {
    for (auto& byte : bytes)
        byte = static_cast<std::uint8_t>(byte ^ 0xFF);
}

// Every byte an edit of the generated image can reach: what the chip and map encoders write
// when every entry of every stage changes, every stage's palette blocks, and the object bank
// (pointer and count tables, then the packed blocks).
std::vector<bool> LevelDataBytes(const TempDir& folder) {
    const std::vector<std::uint8_t>& original = GeneratedImage();
    IniFile settings(folder.File("mask.ini"));
    EditFlagManagement flags({});
    RomImageData rom(flags, settings);
    EXPECT_TRUE(rom.LoadFromBytes(original, "mask.nes").Ok);
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        StageData& stage = rom.Stage(s);
        Flip(stage.MapSetTable);
        Flip(stage.Chip32x32Table);
        Flip(stage.NormalChip16x16Table);
        Flip(stage.NormalChipPropertyTable);
        flags.SetMapSetModified(s, true);
        flags.SetChip32x32Modified(s, true);
        flags.SetChip16x16Modified(s, true);
    }
    // The after-destruction sets are shared by the stages of a chip bank: flip each once.
    std::set<const void*> flipped;
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        StageData& stage = rom.Stage(s);
        if (flipped.insert(stage.DestroyedChip16x16Table.get()).second) {
            Flip(*stage.DestroyedChip16x16Table);
            Flip(*stage.DestroyedChipPropertyTable);
        }
    }
    std::vector<std::uint8_t> composed;
    EXPECT_TRUE(rom.ComposeSavedImage(composed).Ok);

    std::vector<bool> mask(original.size(), false);
    for (std::size_t at = 0; at < original.size(); ++at)
        mask[at] = composed[at] != original[at];
    const PaletteLayout palettes(original, *rom.Address());
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        for (int set = 0; set < PaletteLayout::SetCount; ++set) {
            const PaletteBlock& block = palettes.BlockOf(s, set);
            for (std::int64_t i = 0; i < block.Length; ++i)
                mask[static_cast<std::size_t>(block.Offset + i)] = true;
        }
    }
    const auto objectTables =
        static_cast<std::size_t>(rom.Address()->KeyValue(LevelDataKey::ObjectDataAddressLow));
    for (std::size_t at = objectTables; at < CartridgeGenerator::ObjectBankEnd; ++at)
        mask[at] = true;
    return mask;
}

class Soak : public MainFormFixture {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        ImagePath = StartWithGeneratedImage();
        Form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    }

    // Ctrl+Z, Ctrl+Y or Ctrl+Shift+Z, typed where the focus is, as the user types it.
    void HistoryKey(std::mt19937& rng) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : Form.get();
        switch (rng() % 3) {
        case 0:
            QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
            break;
        case 1:
            QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
            break;
        default:
            QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        }
    }

    // A stray press, move or release anywhere on one of the views, any button and modifier.
    void StrayMouse(std::mt19937& rng) {
        TImageEx* const views[] = {
            Form->ImgEditMapSetPage0,   Form->ImgEditMapSetPage1,   Form->Img32x32ChipTable,
            Form->ImgEdit32x32ChipView, Form->ImgEdit32x32Chip,     Form->Img16x16ChipTable,
            Form->ImgEdit16x16Chip,     Form->ImgEdit16x16ChipView, Form->ImgBGBankTable,
            Form->ImgObjectMapPage0,    Form->ImgObjectMapPage1};
        TImageEx* view = views[rng() % std::size(views)];
        const Qt::MouseButton buttons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
        const Qt::MouseButton button = buttons[rng() % 3];
        const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                                   Qt::ControlModifier};
        const Qt::KeyboardModifiers modifier = modifiers[rng() % 3];
        const int x = static_cast<int>(rng() % 600) - 40;
        const int y = static_cast<int>(rng() % 600) - 40;
        switch (rng() % 3) {
        case 0:
            ViewDriver::Press(view, button, x, y, modifier);
            break;
        case 1:
            ViewDriver::Move(view, x, y, button, modifier);
            break;
        default:
            ViewDriver::Release(view, button, x, y);
            break;
        }
    }

    QString ImagePath;
};

TEST_F(Soak, ThousandsOfEventsThenSaveAndReopenLeaveTheImageSound) {
    const char* chosen = std::getenv("K6_SOAK_SEED");
    const std::uint32_t seed =
        chosen != nullptr ? static_cast<std::uint32_t>(std::strtoul(chosen, nullptr, 10)) : 1210u;
    SCOPED_TRACE("K6_SOAK_SEED=" + std::to_string(seed));
    std::mt19937 rng(seed);
    RandomEditor editor(*Form, Prompts, seed);

    const auto deadline = std::chrono::steady_clock::now() + SoakTimeLimit;
    for (int step = 0; step < SoakSteps && std::chrono::steady_clock::now() < deadline; ++step) {
        switch (rng() % 8) {
        case 0:
            HistoryKey(rng);
            break;
        case 1:
        case 2:
            StrayMouse(rng);
            break;
        case 3:
            Form->EditPageControl->setCurrentIndex(static_cast<int>(rng() % 5));
            break;
        default:
            editor.Step();
            break;
        }
    }

    Form->Save1Click();
    const std::vector<std::uint8_t> saved = ReadBytes(ImagePath.toStdString());
    ASSERT_EQ(saved.size(), LevelFormat::CartridgeSize);

    IniFile settings(Dir.File("reopen.ini"));
    EditFlagManagement flags({});
    RomImageData reopened(flags, settings);
    ASSERT_TRUE(reopened.LoadFromFile(ImagePath.toStdString()).Ok);
    // Every stage decodes to what the window held when it saved (palettes excepted: the save
    // does not write them unless asked to).
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        ExpectSameSavedData(Form->ImageHolder().Stage(s), reopened.Stage(s), s);

    const std::vector<bool> levelData = LevelDataBytes(Dir);
    const std::vector<std::uint8_t>& original = GeneratedImage();
    // The walk changed the level data, and the level data is a small part of the image.
    EXPECT_NE(saved, original);
    EXPECT_LT(std::count(levelData.begin(), levelData.end(), true),
              static_cast<std::ptrdiff_t>(original.size() / 4));
    for (std::size_t at = 0; at < saved.size(); ++at) {
        if (!levelData[at]) {
            ASSERT_EQ(saved[at], original[at]) << "outside the level data at " << at;
        }
    }
}

} // namespace
