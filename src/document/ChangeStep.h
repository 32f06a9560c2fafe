#pragma once

#include "document/ChangeList.h"
#include "history/HistoryCommand.h"

class LevelDocument;

// One user action as a step of the history: its change list, written by the document forward
// on redo and backward on undo.
class ChangeStep : public HistoryCommand {
public:
    ChangeStep(LevelDocument& document, ChangeList changes, const QString& caption);

    EditFlagManagement::FlagSet Touched() const override { return TouchedFlags; }
    bool mergeWith(const QUndoCommand* other) override;
    const ChangeList& Changes() const { return List; }

protected:
    void Apply(bool forward, bool fromHistory) override;
    int MergeKey() const override;

private:
    bool MergeStroke(const ChangeStep& next);

    LevelDocument& Document;
    ChangeList List;
    EditFlagManagement::FlagSet TouchedFlags;
};
