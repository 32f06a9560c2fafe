#pragma once

#include "editdata/StageData.h"
#include "history/StepPlace.h"

#include <cstdint>
#include <vector>

// A room's object list before and after a step, by value: undo puts every object back in its
// place and order.
struct ObjectPageChange {
    int Page = 0;
    std::vector<ObjectRecord> Before;
    std::vector<ObjectRecord> After;
};

// The object selected when a state shows; Id 0: none (Page still names the room to show).
struct ObjectSelection {
    int Page = 0;
    std::uint32_t Id = 0;
    bool operator==(const ObjectSelection&) const = default;
};

// What one user action changes, built by an editor and handed to the document, which makes it
// one step of the history. The step writes it forward on redo and backward on undo, the first
// time too: nothing else writes stage data.
struct ChangeList {
    // Where the action happened: undoing it elsewhere shows this stage, tab and set first.
    StepPlace Place;
    std::vector<ByteChange> Bytes;
    // Object rooms of Place.Stage.
    std::vector<ObjectPageChange> ObjectPages;
    ObjectSelection SelectedBefore;
    ObjectSelection SelectedAfter;
    // Consecutive nudges of one object are one step, and so are the moves of one drag, and the
    // placements of one press-to-release painting stroke.
    enum class Merge : std::uint8_t { Never, Nudge, Drag, Paint };
    Merge MergeKind = Merge::Never;
    // Drag and paint steps merge only with those of the same press.
    std::uint32_t Gesture = 0;

    // Drops the byte changes whose old and new values are equal, and the rooms whose list is
    // unchanged; true when nothing is left.
    bool DropNonChanges();
};
