// The modified flags a long, random history leaves, against a plain model of what they must be:
// the flags of every step between the current index and the save point, plus those of the
// undone steps past the save point that a later edit dropped. A flag missing here means a save
// that skips changed data, so the flags are checked after every edit, undo, redo and save, all
// made through the window.

#include "MainFormFixture.h"
#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTabWidget>
#include <QUndoStack>

#include <algorithm>
#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using FlagSet = EditFlagManagement::FlagSet;
using Category = EditFlagManagement::Category;

// What the flags must be, kept the simplest way: a list of the steps' flags.
class FlagModel {
public:
    void Push(const FlagSet& touched) {
        if (Index < Base) {
            for (int i = Index; i < Base; ++i)
                Residual |= Steps[static_cast<std::size_t>(i)];
            Base = Index;
        }
        Steps.resize(static_cast<std::size_t>(Index));
        Steps.push_back(touched);
        ++Index;
    }
    void Undo() { Index = std::max(0, Index - 1); }
    void Redo() { Index = std::min(static_cast<int>(Steps.size()), Index + 1); }
    // A save writes everything but the palettes it reports as left out: those stay flagged.
    void Save(const FlagSet& leftOut) {
        Base = Index;
        Residual = leftOut;
    }
    FlagSet Expected() const {
        FlagSet flags = Residual;
        for (int i = std::min(Index, Base); i < std::max(Index, Base); ++i)
            flags |= Steps[static_cast<std::size_t>(i)];
        return flags;
    }

private:
    std::vector<FlagSet> Steps;
    int Index = 0;
    int Base = 0;
    FlagSet Residual;
};

class HistoryFlags : public MainFormFixture, public ::testing::WithParamInterface<unsigned> {
protected:
    void SetUp() override {
        MainFormFixture::SetUp();
        StartWithGeneratedImage();
        Random.seed(GetParam());
    }

    int Pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(Random); }
    const StageData& Stage() { return Form->ImageHolder().CurrentStageData(); }
    std::vector<std::array<std::uint8_t, 32>> EveryStagesPalette() {
        std::vector<std::array<std::uint8_t, 32>> palettes;
        for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
            palettes.push_back(Form->ImageHolder().Stage(stage).StagePalette);
        return palettes;
    }
    void Show(QWidget* tab) { Form->EditPageControl->setCurrentWidget(tab); }

    // One edit of the given category on the current stage, through the window; each makes a
    // step of its own (none of them merges with the one before).
    void Edit(Category category) {
        switch (category) {
        case Category::MapSet:
            EditAMapSetCell();
            break;
        case Category::Chip32x32:
            SetQuarterOf32x32Chip();
            break;
        case Category::Chip16x16:
            SetTileOf16x16Chip();
            break;
        case Category::Object:
            CreateOrRemoveObject();
            break;
        default:
            TypePaletteEntry();
            break;
        }
    }
    void SetQuarterOf32x32Chip() {
        Show(Form->Tab32x32ChipEdit);
        const int chip = Pick(128), q = Pick(4);
        ViewDriver::Click(Form->ImgEdit32x32ChipView, Qt::LeftButton, (chip % 16) * 32 + 5,
                          (chip / 16) * 32 + 5);
        // Either half of the chips may be in view: the panel names the chip picked.
        const int edited = Form->LblSelect32x32ChipIndex->text().toInt(nullptr, 16);
        const int held = Stage().Chip32x32Table[static_cast<std::size_t>(edited * 4 + q)];
        const int part = (held + 1 + Pick(255)) % 256;
        ViewDriver::Click(Form->Img16x16ChipTable, Qt::LeftButton, (part % 16) * 16 + 3,
                          (part / 16) * 16 + 3);
        ViewDriver::Click(Form->ImgEdit32x32Chip, Qt::LeftButton, (q % 2) * 32 + 9,
                          (q / 2) * 32 + 9);
    }
    void SetTileOf16x16Chip() {
        Show(Form->Tab16x16ChipEdit);
        const int chip = Pick(256), q = Pick(4);
        ViewDriver::Click(Form->ImgEdit16x16ChipView, Qt::LeftButton, (chip % 16) * 16 + 3,
                          (chip / 16) * 16 + 3);
        const int held = Stage().Chip16x16Table()[static_cast<std::size_t>(q * 256 + chip)];
        const int tile = (held + 1 + Pick(255)) % 256;
        ViewDriver::Click(Form->ImgBGBankTable, Qt::LeftButton, (tile % 16) * 16 + 5,
                          (tile / 16) * 16 + 5);
        ViewDriver::Click(Form->ImgEdit16x16Chip, Qt::LeftButton, (q % 2) * 32 + 10,
                          (q / 2) * 32 + 10);
    }
    // A press on a room: on empty ground the create button makes an object there, on an
    // object the remove button takes it away.
    void CreateOrRemoveObject() {
        Show(Form->TabObjectEdit);
        const int x = Pick(256), y = Pick(256);
        ViewDriver::Move(Form->ImgObjectMapPage0, x, y);
        ViewDriver::Click(Form->ImgObjectMapPage0, Qt::LeftButton, x, y);
        if (Form->BtnObjectCreate->isEnabled())
            Form->BtnObjectCreate->click();
        else
            Form->BtnObjectRemove->click();
    }
    void TypePaletteEntry() {
        Show(Form->TabPaletteEdit);
        const int set = Pick(2);
        Form->CBSelectPaletteSet->setCurrentIndex(set);
        const auto entry = static_cast<std::size_t>(Pick(16));
        const int held = Stage().StagePalette[static_cast<std::size_t>(set * 16) + entry];
        const int value = (held + 1 + Pick(0x3F)) % 0x40;
        char text[3];
        std::snprintf(text, sizeof text, "%02X", value);
        Form->EditPal[entry]->setText(text);
    }

    // Saves as the user does; returns the palette flags of the stages whose palette sets the
    // save reported as not written, read from the message the user is shown: one line per
    // set, starting with the stage's name as the stage box lists it.
    FlagSet SaveThroughTheMenu() {
        Prompts.Log.clear();
        Form->Save1Click();
        FlagSet leftOut;
        for (const std::string& message : Prompts.Messages()) {
            const QStringList lines = QString::fromStdString(message).split('\n');
            for (qsizetype line = 1; line < lines.size(); ++line)
                for (int stage = 0; stage < Form->CBStage->count(); ++stage)
                    if (lines[line].startsWith(Form->CBStage->itemText(stage) + " "))
                        leftOut.set(EditFlagManagement::BitOf(Category::Palette, stage));
        }
        return leftOut;
    }

    std::mt19937 Random;
};

TEST_P(HistoryFlags, FollowEveryEditUndoRedoAndSaveOfALongHistory) {
    constexpr Category Categories[] = {Category::MapSet, Category::Chip32x32, Category::Chip16x16,
                                       Category::Object, Category::Palette};
    QUndoStack& stack = Form->History().Stack();
    FlagModel model;
    for (int step = 0; step < 600; ++step) {
        const int action = Pick(10);
        if (action < 5) {
            const int stage = Pick(LevelFormat::StageCount);
            Form->CBStage->setCurrentIndex(stage);
            const Category category = Categories[Pick(std::size(Categories))];
            const int before = stack.index();
            const auto palettesBefore = EveryStagesPalette();
            Edit(category);
            ASSERT_EQ(stack.index(), before + 1)
                << "edit of category " << category << " at step " << step << " made no step";
            FlagSet touched;
            touched.set(EditFlagManagement::BitOf(category, stage));
            // A palette entry goes to every stage reading the same block: each of them differs
            // from the file now.
            const auto palettesAfter = EveryStagesPalette();
            for (int other = 0; other < LevelFormat::StageCount; ++other)
                if (palettesAfter[static_cast<std::size_t>(other)] !=
                    palettesBefore[static_cast<std::size_t>(other)])
                    touched.set(EditFlagManagement::BitOf(Category::Palette, other));
            model.Push(touched);
        } else if (action < 7) {
            Form->Undo1->trigger();
            model.Undo();
        } else if (action < 9) {
            Form->Redo1->trigger();
            model.Redo();
        } else {
            const FlagSet leftOut = SaveThroughTheMenu();
            EXPECT_EQ(leftOut & ~model.Expected(), FlagSet{}) << "left out what was not changed";
            model.Save(leftOut);
        }
        ASSERT_EQ(Form->Tracker().Snapshot(), model.Expected()) << "after step " << step;
        ASSERT_EQ(Form->Tracker().IsModified(), model.Expected().any()) << "after step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HistoryFlags, ::testing::Values(1u, 2u, 3u, 4u));

} // namespace
