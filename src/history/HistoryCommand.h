#pragma once

#include "edit_flag/EditFlagManagement.h"
#include "history/EditHistory.h"

#include <QUndoCommand>

// A step of the edit history. Each is recorded after its editor has made the change and drawn
// it, so the push's redo does nothing; later redos and undos apply it through the window.
class HistoryCommand : public QUndoCommand {
public:
    HistoryCommand(EditHistory& history, const QString& caption)
        : QUndoCommand(caption), History(history) {}

    // The (category, stage) flags this step changes.
    virtual EditFlagManagement::FlagSet Touched() const = 0;

    void redo() final {
        if (AppliedByEditor) {
            AppliedByEditor = false;
            return;
        }
        const HistoryApplyScope scope(History);
        Apply(true);
    }
    void undo() final {
        const HistoryApplyScope scope(History);
        Apply(false);
    }
    int id() const final { return MergeAllowed ? MergeKey() : -1; }
    // A step at or below the save point never takes in a later one: the flags of the save
    // point would no longer describe it.
    void ForbidMerge() { MergeAllowed = false; }

protected:
    // Forward: the state after the step; otherwise the state before it.
    virtual void Apply(bool forward) = 0;
    // Steps of one key may merge (QUndoCommand::mergeWith); -1: never.
    virtual int MergeKey() const { return -1; }

    EditHistory& History;

private:
    bool AppliedByEditor = true;
    bool MergeAllowed = true;
};
