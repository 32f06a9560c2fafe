#pragma once

#include "base/Outcome.h"
#include "document/ChangeList.h"
#include "edit_flag/EditFlagManagement.h"
#include "fileio/RomImageData.h"
#include "history/EditHistory.h"

#include <QObject>
#include <QString>

#include <string>
#include <vector>

class IniFile;
class QUndoStack;

// After a step wrote stage bytes: where it happened and what it wrote (New forward, Old back).
struct ByteNotice {
    StepPlace Place;
    const std::vector<ByteChange>& Changes;
    bool Forward = true;
};

// After a step wrote object rooms of a stage: the rooms and the object to show selected.
struct ObjectNotice {
    int Stage = 0;
    const std::vector<ObjectPageChange>& Pages;
    ObjectSelection Selected;
};

// What a reload re-reads from the cartridge buffer.
enum class ReloadScope { MapSet, Chip32x32, Chip16x16, Palettes, AnimePalette, Objects };

// The open image as the user edits it: the image holder, the history of its edits and the
// modified flags that follow from that history. Editors change stage data only by handing it a
// change list; every write happens in a step of the history, and every write is announced so
// that each view redraws exactly what changed.
class LevelDocument : public QObject {
    Q_OBJECT

public:
    LevelDocument(IniFile& settings, EditFlagManagement::StatusPanelWriter statusPanel);
    ~LevelDocument() override;

    const RomImageData& Image() const { return Holder; }
    const EditFlagManagement& Flags() const { return Tracker; }
    EditHistory& History() { return Steps; }
    QUndoStack& Stack() { return Steps.Stack(); }
    bool IsModified() const { return Tracker.IsModified(); }

    // One user action: one step, applied at once. A list that changes nothing makes no step.
    void Apply(ChangeList changes, const QString& caption);
    // The difference between stage data and what the cartridge buffer holds for it, as a change
    // list placed at place (an editor may add to it before applying it).
    ChangeList ReloadChanges(int stage, ReloadScope scope, const StepPlace& place);

    // File commands. A refused open or save leaves everything as it was.
    Outcome Open(const std::string& path);
    Outcome Save(const std::string& path);
    void Close();

    // View state the editors choose, which is not an edit.
    void SetCurrentStage(int stage) { Holder.SetCurrentStage(stage); }
    void SwitchChip16x16Set();
    void SetPaletteWriteBack(bool on) { Holder.SetPaletteWriteBack(on); }
    // Where a save in place keeps its journal until the file is whole again.
    void SetJournalFolder(const std::string& folder) { Holder.SetJournalFolder(folder); }
    // The captions of the current stage's attribute types, as the 16x16 chip editor reads them.
    std::array<std::string, LevelFormat::AttributeTypeCount>& PropertyCaptions() {
        return Holder.PropertyCaptions();
    }

signals:
    // An undo or redo is about to write: the window shows the step's stage and tab, the editor
    // of that tab its set.
    void PlaceRequested(const StepPlace& place);
    void BytesWritten(const ByteNotice& notice);
    void ObjectsWritten(const ObjectNotice& notice);

private:
    friend class ChangeStep;
    // The one writer of stage data.
    void Write(const ChangeList& changes, bool forward, bool fromHistory);
    void WriteBytes(const std::vector<ByteChange>& changes, bool forward);

    EditFlagManagement Tracker;
    RomImageData Holder;
    EditHistory Steps;
};
