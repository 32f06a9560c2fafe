#include "document/ChangeStep.h"

#include "document/LevelDocument.h"

#include <algorithm>

namespace {

EditFlagManagement::Category CategoryOf(EditorArray array) {
    switch (array) {
    case EditorArray::MapSet:
        return EditFlagManagement::MapSet;
    case EditorArray::Chip32x32:
        return EditFlagManagement::Chip32x32;
    case EditorArray::NormalChip16x16:
    case EditorArray::DestroyedChip16x16:
    case EditorArray::NormalProperty:
    case EditorArray::DestroyedProperty:
        return EditFlagManagement::Chip16x16;
    case EditorArray::StagePalette:
    case EditorArray::AnimePalette:
        break;
    }
    return EditFlagManagement::Palette;
}

EditFlagManagement::FlagSet FlagsOf(const ChangeList& list) {
    EditFlagManagement::FlagSet flags;
    for (const ByteChange& change : list.Bytes)
        flags.set(EditFlagManagement::BitOf(CategoryOf(change.Array), change.Stage));
    if (!list.ObjectPages.empty())
        flags.set(EditFlagManagement::BitOf(EditFlagManagement::Object, list.Place.Stage));
    return flags;
}

} // namespace

ChangeStep::ChangeStep(LevelDocument& document, ChangeList changes, const QString& caption)
    : HistoryCommand(document.History(), caption), Document(document), List(std::move(changes)),
      TouchedFlags(FlagsOf(List)) {
    List.Bytes.shrink_to_fit();
}

int ChangeStep::MergeKey() const {
    return List.MergeKind == ChangeList::Merge::Never ? -1 : static_cast<int>(List.MergeKind);
}

// A nudge of the object the previous nudge moved, in the same room, extends that step; so does
// a further move of the same drag.
bool ChangeStep::mergeWith(const QUndoCommand* other) {
    const auto* next = dynamic_cast<const ChangeStep*>(other);
    if (next == nullptr)
        return false;
    const ChangeList& later = next->List;
    if (List.MergeKind == ChangeList::Merge::Paint)
        return MergeStroke(*next);
    if (later.MergeKind != List.MergeKind || later.Gesture != List.Gesture ||
        later.Place.Stage != List.Place.Stage || !later.Bytes.empty() || !List.Bytes.empty() ||
        List.ObjectPages.size() != 1 || later.ObjectPages.size() != 1 ||
        later.ObjectPages[0].Page != List.ObjectPages[0].Page ||
        later.SelectedBefore != List.SelectedAfter)
        return false;
    List.ObjectPages[0].After = later.ObjectPages[0].After;
    List.SelectedAfter = later.SelectedAfter;
    return true;
}

// A later placement of the same stroke: a byte already written keeps its first old value and
// takes the new one, so undo restores what the stroke began from.
bool ChangeStep::MergeStroke(const ChangeStep& next) {
    const ChangeList& later = next.List;
    if (later.MergeKind != List.MergeKind || later.Gesture != List.Gesture ||
        later.Place.Stage != List.Place.Stage || !later.ObjectPages.empty())
        return false;
    for (const ByteChange& change : later.Bytes) {
        const auto same = std::find_if(
            List.Bytes.begin(), List.Bytes.end(), [&change](const ByteChange& earlier) {
                return earlier.Stage == change.Stage && earlier.Array == change.Array &&
                       earlier.Index == change.Index;
            });
        if (same != List.Bytes.end())
            same->New = change.New;
        else
            List.Bytes.push_back(change);
    }
    TouchedFlags |= next.TouchedFlags;
    return true;
}

void ChangeStep::Apply(bool forward, bool fromHistory) {
    Document.Write(List, forward, fromHistory);
}
