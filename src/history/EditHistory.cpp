#include "history/EditHistory.h"

#include "history/HistoryCommand.h"
#include "history/LanguageChangeWatch.h"

#include <QCoreApplication>

#include <algorithm>

EditHistory::EditHistory(EditFlagManagement& tracker) : Tracker(tracker) {
    QObject::connect(&UndoStack, &QUndoStack::indexChanged, &UndoStack,
                     [this](int) { UpdateFlags(); });
    QObject::connect(&UndoStack, &QUndoStack::cleanChanged, &UndoStack,
                     [this](bool) { UpdateFlags(); });
    // The application hears of a new language before any window, so the undo menu that a
    // window re-captions then already reads the new step names.
    if (QCoreApplication::instance() != nullptr)
        LanguageWatch = std::make_unique<LanguageChangeWatch>(QCoreApplication::instance(),
                                                              [this] { RetranslateSteps(); });
}

// The stack's destructor clears it, which would report an index change to a history whose
// members are already gone.
EditHistory::~EditHistory() {
    QObject::disconnect(&UndoStack, nullptr, &UndoStack, nullptr);
}

void EditHistory::Record(std::unique_ptr<HistoryCommand> command) {
    if (Applying())
        return;
    FoldDiscardedSteps();
    HistoryCommand* top = CommandAt(UndoStack.index() - 1);
    if (top != nullptr && UndoStack.index() <= BaseIndex)
        top->ForbidMerge();
    // The push may merge into the top step or replace the undone ones above it.
    const auto kept = static_cast<std::size_t>(std::max(0, UndoStack.index() - 1 - BaseIndex));
    if (AboveBase.size() > kept)
        AboveBase.resize(kept);
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
    ForgetStepsFlags();
}

void EditHistory::Clear() {
    UndoStack.clear();
    BaseIndex = 0;
    Residual.reset();
    ForgetStepsFlags();
    UpdateFlags();
}

void EditHistory::MarkSaved(const EditFlagManagement::FlagSet& notWritten) {
    BaseIndex = UndoStack.index();
    ForgetStepsFlags();
    // What the save could not write keeps its flags: those changes still differ from the file.
    Residual = notWritten;
    UndoStack.setClean();
    UpdateFlags();
}

void EditHistory::UpdateFlags() {
    const EditFlagManagement::FlagSet flags = Residual | StepsFlags(UndoStack.index());
    Tracker.Restore(flags, !UndoStack.isClean() || flags.any());
}

EditFlagManagement::FlagSet EditHistory::StepsFlags(int index) {
    const auto touched = [this](int i) {
        const HistoryCommand* command = CommandAt(i);
        return command != nullptr ? command->Touched() : EditFlagManagement::FlagSet{};
    };
    if (index > BaseIndex) {
        const auto count = static_cast<std::size_t>(index - BaseIndex);
        while (AboveBase.size() < count) {
            const int i = BaseIndex + static_cast<int>(AboveBase.size());
            AboveBase.push_back(AboveBase.empty() ? touched(i) : AboveBase.back() | touched(i));
        }
        return AboveBase[count - 1];
    }
    if (index < BaseIndex) {
        const auto count = static_cast<std::size_t>(BaseIndex - index);
        while (BelowBase.size() < count) {
            const int i = BaseIndex - 1 - static_cast<int>(BelowBase.size());
            BelowBase.push_back(BelowBase.empty() ? touched(i) : BelowBase.back() | touched(i));
        }
        return BelowBase[count - 1];
    }
    return {};
}

// Every command on the stack is a HistoryCommand, and the stack owns it as a mutable object.
void EditHistory::RetranslateSteps() {
    for (int i = 0; i < UndoStack.count(); ++i)
        CommandAt(i)->Retranslate();
    // The stack announces its texts only when its index moves.
    emit UndoStack.undoTextChanged(UndoStack.undoText());
    emit UndoStack.redoTextChanged(UndoStack.redoText());
}

HistoryCommand* EditHistory::CommandAt(int index) const {
    if (index < 0 || index >= UndoStack.count())
        return nullptr;
    return const_cast<HistoryCommand*>(
        static_cast<const HistoryCommand*>(UndoStack.command(index)));
}
