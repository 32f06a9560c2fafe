#include "history/EditHistory.h"

#include "history/ByteEditCommand.h"
#include "history/HistoryCommand.h"

#include <algorithm>

EditHistory::EditHistory(EditFlagManagement& tracker) : Tracker(tracker) {
    QObject::connect(&UndoStack, &QUndoStack::indexChanged, &UndoStack,
                     [this](int) { UpdateFlags(); });
    QObject::connect(&UndoStack, &QUndoStack::cleanChanged, &UndoStack,
                     [this](bool) { UpdateFlags(); });
}

EditHistory::~EditHistory() = default;

void EditHistory::RecordBytes(const StepPlace& place, std::vector<ByteChange> changes,
                              const QString& caption) {
    if (changes.empty())
        return;
    Record(std::make_unique<ByteEditCommand>(*this, place, std::move(changes), caption));
}

void EditHistory::Record(std::unique_ptr<HistoryCommand> command) {
    if (Applying())
        return;
    FoldDiscardedSteps();
    HistoryCommand* top = CommandAt(UndoStack.index() - 1);
    if (top != nullptr && UndoStack.index() <= BaseIndex)
        top->ForbidMerge();
    UndoStack.push(command.release());
    UpdateFlags();
}

// The push discards the undone steps above the current index. Those between it and the save
// point made the data differ from the file: their flags stay, and the save point moves here.
void EditHistory::FoldDiscardedSteps() {
    const int index = UndoStack.index();
    if (BaseIndex <= index)
        return;
    for (int i = index; i < BaseIndex; ++i)
        Residual |= CommandAt(i)->Touched();
    BaseIndex = index;
}

void EditHistory::Clear() {
    UndoStack.clear();
    BaseIndex = 0;
    Residual.reset();
    UpdateFlags();
}

void EditHistory::MarkSaved() {
    BaseIndex = UndoStack.index();
    // What the save could not write (palette sets that do not fit) keeps its flags: those
    // changes still differ from the file.
    Residual = Tracker.Snapshot();
    UndoStack.setClean();
    UpdateFlags();
}

void EditHistory::UpdateFlags() {
    EditFlagManagement::FlagSet flags = Residual;
    const int index = UndoStack.index();
    for (int i = std::min(index, BaseIndex); i < std::max(index, BaseIndex); ++i) {
        if (const HistoryCommand* command = CommandAt(i))
            flags |= command->Touched();
    }
    Tracker.Restore(flags, !UndoStack.isClean() || flags.any());
}

// Every command on the stack is a HistoryCommand, and the stack owns it as a mutable object.
HistoryCommand* EditHistory::CommandAt(int index) const {
    if (index < 0 || index >= UndoStack.count())
        return nullptr;
    return const_cast<HistoryCommand*>(
        static_cast<const HistoryCommand*>(UndoStack.command(index)));
}
