#pragma once

#include "edit_flag/EditFlagManagement.h"
#include "history/EditHistory.h"

#include <QCoreApplication>
#include <QUndoCommand>

// A step of the edit history. Its redo makes the change, the first time as every time after;
// its undo takes it back through the same writer.
class HistoryCommand : public QUndoCommand {
public:
    // caption: the Japanese source text, marked in the context "EditHistory"; the step shows
    // its translation, and shows it anew when the language changes.
    HistoryCommand(EditHistory& history, const QString& caption)
        : History(history), SourceCaption(caption.toUtf8()) {
        Retranslate();
    }

    void Retranslate() {
        setText(QCoreApplication::translate("EditHistory", SourceCaption.constData()));
    }

    // The (category, stage) flags this step changes.
    virtual EditFlagManagement::FlagSet Touched() const = 0;

    void redo() final {
        const HistoryApplyScope scope(History);
        Apply(true, FirstApplied);
        FirstApplied = true;
    }
    void undo() final {
        const HistoryApplyScope scope(History);
        Apply(false, true);
    }
    int id() const final { return MergeAllowed ? MergeKey() : -1; }
    // A step at or below the save point never takes in a later one: the flags of the save
    // point would no longer describe it.
    void ForbidMerge() { MergeAllowed = false; }

protected:
    // Forward: the state after the step; otherwise the state before it. fromHistory: an undo or
    // a redo, not the user's action itself, so the step's place must be shown first.
    virtual void Apply(bool forward, bool fromHistory) = 0;
    // Steps of one key may merge (QUndoCommand::mergeWith); -1: never.
    virtual int MergeKey() const { return -1; }

    EditHistory& History;

private:
    QByteArray SourceCaption;
    bool FirstApplied = false;
    bool MergeAllowed = true;
};
