#pragma once

#include "editdata/StageData.h"
#include "history/HistoryCommand.h"

#include <cstdint>
#include <vector>

// A change of the object lists of a stage (create, paste, cut, delete, type, scroll, move,
// drag, reload): each changed room's list before and after, by value, so undo puts every
// object back in its place and order.
class ObjectEditCommand : public HistoryCommand {
public:
    // Consecutive nudges of one object are one step.
    static constexpr int NudgeMergeKey = 1;

    struct PageChange {
        int Page = 0;
        std::vector<ObjectRecord> Before;
        std::vector<ObjectRecord> After;
    };
    // The object selected when a state shows; Id 0: none.
    struct Selection {
        int Page = 0;
        std::uint32_t Id = 0;
        bool operator==(const Selection&) const = default;
    };

    ObjectEditCommand(EditHistory& history, int stage, std::vector<PageChange> pages,
                      Selection before, Selection after, const QString& caption,
                      bool nudge = false);

    EditFlagManagement::FlagSet Touched() const override;
    bool mergeWith(const QUndoCommand* other) override;

protected:
    void Apply(bool forward) override;
    int MergeKey() const override { return Nudge ? NudgeMergeKey : -1; }

private:
    int Stage;
    std::vector<PageChange> Pages;
    Selection SelectedBefore;
    Selection SelectedAfter;
    bool Nudge;
};
