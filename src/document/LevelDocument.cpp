#include "document/LevelDocument.h"

#include "document/ChangeStep.h"
#include "editdata/StageData.h"
#include "history/StageArrays.h"

#include <QUndoStack>

#include <algorithm>

#include <memory>

LevelDocument::LevelDocument(IniFile& settings, EditFlagManagement::StatusPanelWriter statusPanel)
    : Tracker(std::move(statusPanel)), Holder(Tracker, settings), Steps(Tracker) {}

LevelDocument::~LevelDocument() = default;

void LevelDocument::Apply(ChangeList changes, const QString& caption) {
    if (changes.DropNonChanges() || !Holder.HasStages())
        return;
    Steps.Record(std::make_unique<ChangeStep>(*this, std::move(changes), caption));
}

void LevelDocument::Write(const ChangeList& changes, bool forward, bool fromHistory) {
    if (fromHistory)
        emit PlaceRequested(changes.Place);
    if (!changes.Bytes.empty()) {
        WriteBytes(changes.Bytes, forward);
        emit BytesWritten({changes.Place, changes.Bytes, forward});
    }
    if (!changes.ObjectPages.empty()) {
        StageData& stage = Holder.Stage(changes.Place.Stage);
        for (const ObjectPageChange& page : changes.ObjectPages)
            stage.RestorePage(page.Page, forward ? page.After : page.Before);
        emit ObjectsWritten({changes.Place.Stage, changes.ObjectPages,
                             forward ? changes.SelectedAfter : changes.SelectedBefore});
    }
}

void LevelDocument::WriteBytes(const std::vector<ByteChange>& changes, bool forward) {
    const auto write = [this](const ByteChange& change, std::uint8_t value) {
        if (change.Stage >= LevelFormat::StageCount)
            return;
        const std::span<std::uint8_t> bytes =
            StageArrays::Bytes(Holder.Stage(change.Stage), change.Array);
        if (change.Index < bytes.size())
            bytes[change.Index] = value;
    };
    // Undo writes in reverse, so a list that changes one byte twice ends where it began.
    if (forward) {
        for (const ByteChange& change : changes)
            write(change, change.New);
    } else {
        for (auto it = changes.rbegin(); it != changes.rend(); ++it)
            write(*it, it->Old);
    }
}

namespace {

void AppendArrayDifferences(int stage, EditorArray array, StageData& now, StageData& fresh,
                            std::vector<ByteChange>& changes) {
    StageArrays::AppendDifferences(stage, array, StageArrays::Bytes(now, array),
                                   StageArrays::Bytes(fresh, array), changes);
}

} // namespace

ChangeList LevelDocument::ReloadChanges(int stage, ReloadScope scope, const StepPlace& place) {
    ChangeList list;
    list.Place = place;
    if (!Holder.HasStages() || Holder.Address() == nullptr)
        return list;
    // The stage as the buffer holds it, decoded afresh beside the edited one.
    StageData& now = Holder.Stage(stage);
    StageData fresh(stage, *Holder.Address(), Holder.Buffer());
    fresh.DecodeStage();
    switch (scope) {
    case ReloadScope::MapSet:
        AppendArrayDifferences(stage, EditorArray::MapSet, now, fresh, list.Bytes);
        break;
    case ReloadScope::Chip32x32:
        AppendArrayDifferences(stage, EditorArray::Chip32x32, now, fresh, list.Bytes);
        break;
    case ReloadScope::Chip16x16:
        for (EditorArray array : {EditorArray::NormalChip16x16, EditorArray::DestroyedChip16x16,
                                  EditorArray::NormalProperty, EditorArray::DestroyedProperty})
            AppendArrayDifferences(stage, array, now, fresh, list.Bytes);
        break;
    case ReloadScope::Palettes:
        // Only the entries the blocks write are read again: the others keep what they hold,
        // edits included, and the animation bytes are not the blocks' at all.
        fresh.StagePalette = now.StagePalette;
        fresh.DecodePalettes();
        AppendArrayDifferences(stage, EditorArray::StagePalette, now, fresh, list.Bytes);
        break;
    case ReloadScope::AnimePalette:
        AppendArrayDifferences(stage, EditorArray::AnimePalette, now, fresh, list.Bytes);
        break;
    case ReloadScope::Objects:
        // The reloaded objects take ids of the edited stage, so that no id is seen twice.
        std::uint32_t nextId = now.NextFreeObjectId();
        const auto samePlace = [](const ObjectRecord& x, const ObjectRecord& y) {
            return x.X == y.X && x.Y == y.Y && x.Type == y.Type;
        };
        for (int page = 0; page < LevelFormat::PageCount; ++page) {
            std::vector<ObjectRecord> after = fresh.PageRecords(page);
            for (ObjectRecord& record : after)
                record.Id = nextId++;
            std::vector<ObjectRecord> before = now.PageRecords(page);
            if (!std::equal(before.begin(), before.end(), after.begin(), after.end(), samePlace))
                list.ObjectPages.push_back({page, std::move(before), std::move(after)});
        }
        break;
    }
    return list;
}

Outcome LevelDocument::Open(const std::string& path) {
    const Outcome outcome = Holder.LoadFromFile(path);
    if (outcome.Ok)
        Steps.Clear();
    return outcome;
}

Outcome LevelDocument::Save(const std::string& path) {
    const Outcome outcome = Holder.SaveToFile(path);
    if (!outcome.Ok)
        return outcome;
    EditFlagManagement::FlagSet notWritten;
    for (const PaletteSetNotWritten& set : Holder.PaletteSetsNotWritten())
        notWritten.set(EditFlagManagement::BitOf(EditFlagManagement::Palette, set.Stage));
    Steps.MarkSaved(notWritten);
    return outcome;
}

void LevelDocument::Close() {
    Holder.CloseImage();
    Steps.Clear();
}

void LevelDocument::SwitchChip16x16Set() {
    if (!Holder.HasStages())
        return;
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        Holder.Stage(s).ToggleChip16x16Set();
}
