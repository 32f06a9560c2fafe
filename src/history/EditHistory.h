#pragma once

#include "edit_flag/EditFlagManagement.h"
#include "history/StepPlace.h"

#include <QString>
#include <QUndoStack>

#include <cstdint>
#include <memory>
#include <vector>

class HistoryCommand;
class LanguageChangeWatch;

// The one edit history of the open image: every change of stage data on every tab is a step.
// The per-stage modified flags follow the history: at any index they are those of every step
// between that index and the save point, plus those of undone steps past the save point that a
// later edit dropped (Residual: their changes still differ from the file). So a save after
// undoing past the save point still writes every category that differs from the file.
class EditHistory {
public:
    explicit EditHistory(EditFlagManagement& tracker);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    QUndoStack& Stack() { return UndoStack; }

    // Pushes a step, which applies it. Ignored while a step is being undone or redone: what
    // shows a step is never a step of its own.
    void Record(std::unique_ptr<HistoryCommand> command);

    // Open and Close: an empty history, nothing modified.
    void Clear();
    // A successful save: this index is the new save point. notWritten: what the save could not
    // write (palette sets that do not fit); those flags stay set until a later save clears them.
    void MarkSaved(const EditFlagManagement::FlagSet& notWritten);
    bool Applying() const { return ApplyingDepth > 0; }

private:
    friend class HistoryApplyScope;
    void FoldDiscardedSteps();
    void UpdateFlags();
    // The flags of the steps from the save point to index: cached, so that an edit costs the
    // same after thousands of steps as after one.
    EditFlagManagement::FlagSet StepsFlags(int index);
    void ForgetStepsFlags() {
        AboveBase.clear();
        BelowBase.clear();
    }
    HistoryCommand* CommandAt(int index) const;
    void RetranslateSteps();

    EditFlagManagement& Tracker;
    QUndoStack UndoStack;
    int BaseIndex = 0;
    EditFlagManagement::FlagSet Residual;
    // AboveBase[k]: the flags of steps BaseIndex .. BaseIndex + k; BelowBase[k]: those of
    // steps BaseIndex - 1 - k .. BaseIndex - 1. Steps only change at the top of the stack.
    std::vector<EditFlagManagement::FlagSet> AboveBase;
    std::vector<EditFlagManagement::FlagSet> BelowBase;
    int ApplyingDepth = 0;
    std::unique_ptr<LanguageChangeWatch> LanguageWatch;
};

// Marks a step's undo or redo in progress, so that what the window does to show it is never
// recorded as a new step.
class HistoryApplyScope {
public:
    explicit HistoryApplyScope(EditHistory& history) : History(history) { ++History.ApplyingDepth; }
    ~HistoryApplyScope() { --History.ApplyingDepth; }
    HistoryApplyScope(const HistoryApplyScope&) = delete;
    HistoryApplyScope& operator=(const HistoryApplyScope&) = delete;

private:
    EditHistory& History;
};
