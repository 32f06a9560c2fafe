// The modified flags a long, random history leaves, against a plain model of what they must be:
// the flags of every step between the current index and the save point, plus those of the
// undone steps past the save point that a later edit dropped. A flag missing here means a save
// that skips changed data, so every operation of the history is checked after every step.

#include "edit_flag/EditFlagManagement.h"
#include "history/EditHistory.h"
#include "history/HistoryCommand.h"

#include <QUndoStack>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace {

using FlagSet = EditFlagManagement::FlagSet;

constexpr EditFlagManagement::Category Categories[] = {
    EditFlagManagement::MapSet, EditFlagManagement::Chip32x32, EditFlagManagement::Chip16x16,
    EditFlagManagement::Palette, EditFlagManagement::Object};

// A step that touches one category of one stage and writes nothing: the flags are all this
// test looks at.
class ProbeStep : public HistoryCommand {
public:
    ProbeStep(EditHistory& history, FlagSet touched)
        : HistoryCommand(history, "edit"), Flags(touched) {}
    FlagSet Touched() const override { return Flags; }

protected:
    void Apply(bool, bool) override {}

private:
    FlagSet Flags;
};

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
    void Save(const FlagSet& left) {
        Base = Index;
        Residual = left;
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

class HistoryFlags : public ::testing::TestWithParam<unsigned> {};

TEST_P(HistoryFlags, FollowEveryEditUndoRedoAndSaveOfALongHistory) {
    EditFlagManagement tracker([](const std::string&) {});
    EditHistory history(tracker);
    FlagModel model;
    std::mt19937 random(GetParam());
    for (int step = 0; step < 3000; ++step) {
        const auto action = random() % 10;
        if (action < 5) {
            const int stage = static_cast<int>(random() % 16);
            FlagSet touched;
            touched.set(
                EditFlagManagement::BitOf(Categories[random() % std::size(Categories)], stage));
            history.Record(std::make_unique<ProbeStep>(history, touched));
            model.Push(touched);
        } else if (action < 7) {
            history.Stack().undo();
            model.Undo();
        } else if (action < 9) {
            history.Stack().redo();
            model.Redo();
        } else {
            // A save may leave some palette flags set (sets it could not write).
            FlagSet left;
            if (random() % 2 == 0)
                left.set(EditFlagManagement::BitOf(EditFlagManagement::Palette,
                                                   static_cast<int>(random() % 16)));
            history.MarkSaved(left);
            model.Save(left);
        }
        ASSERT_EQ(tracker.Snapshot(), model.Expected()) << "after step " << step;
        ASSERT_EQ(tracker.IsModified(), model.Expected().any() || !history.Stack().isClean())
            << "after step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, HistoryFlags, ::testing::Values(1u, 2u, 3u, 4u));

} // namespace
