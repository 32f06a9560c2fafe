#include "history/ByteEditCommand.h"

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

} // namespace

ByteEditCommand::ByteEditCommand(EditHistory& history, const StepPlace& place,
                                 std::vector<ByteChange> changes, const QString& caption)
    : HistoryCommand(history, caption), Where(place), Bytes(std::move(changes)) {
    Bytes.shrink_to_fit();
    for (const ByteChange& change : Bytes)
        TouchedFlags.set(EditFlagManagement::BitOf(CategoryOf(change.Array), Where.Stage));
}

EditFlagManagement::FlagSet ByteEditCommand::Touched() const {
    return TouchedFlags;
}

void ByteEditCommand::Apply(bool forward) {
    const EditHistory::Presenter& window = History.Window();
    window.Show(Where);
    // Undo writes in reverse, so a list that changes one byte twice ends where it began.
    if (forward) {
        for (const ByteChange& change : Bytes)
            window.WriteByte(Where.Stage, change.Array, change.Index, change.New);
    } else {
        for (auto it = Bytes.rbegin(); it != Bytes.rend(); ++it)
            window.WriteByte(Where.Stage, it->Array, it->Index, it->Old);
    }
    window.RedrawBytes(Where);
}
