#include "history/ObjectEditCommand.h"

ObjectEditCommand::ObjectEditCommand(EditHistory& history, int stage, std::vector<PageChange> pages,
                                     Selection before, Selection after, const QString& caption,
                                     bool nudge)
    : HistoryCommand(history, caption), Stage(stage), Pages(std::move(pages)),
      SelectedBefore(before), SelectedAfter(after), Nudge(nudge) {}

EditFlagManagement::FlagSet ObjectEditCommand::Touched() const {
    EditFlagManagement::FlagSet touched;
    touched.set(EditFlagManagement::BitOf(EditFlagManagement::Object, Stage));
    return touched;
}

// A nudge of the object the previous nudge moved, in the same room, extends that step.
bool ObjectEditCommand::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const ObjectEditCommand*>(other);
    if (next == nullptr || !next->Nudge || next->Stage != Stage || Pages.size() != 1 ||
        next->Pages.size() != 1 || next->Pages[0].Page != Pages[0].Page ||
        next->SelectedBefore != SelectedAfter)
        return false;
    Pages[0].After = next->Pages[0].After;
    SelectedAfter = next->SelectedAfter;
    return true;
}

void ObjectEditCommand::Apply(bool forward) {
    const EditHistory::Presenter& window = History.Window();
    window.Show({Stage, EditorTabId::Object, -1});
    for (const PageChange& page : Pages)
        window.RestoreObjectPage(Stage, page.Page, forward ? page.After : page.Before);
    const Selection& selected = forward ? SelectedAfter : SelectedBefore;
    window.ShowRestoredObjects(selected.Page, selected.Id);
}
