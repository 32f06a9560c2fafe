#pragma once

#include "base/LevelFormat.h"
#include "base/TextMark.h"

#include <array>
#include <bitset>
#include <functional>
#include <string>

// Remembers what changed since the image was opened, saved or closed: one overall flag for
// the unsaved-changes prompt, and per stage one flag per kind of data for the save. The
// overall state is shown in the first panel of the status bar.
class EditFlagManagement {
public:
    // Text of the first status panel while anything is unsaved.
    static constexpr const char* ModifiedText = K6_TEXT("DataMessages", "変更あり");

    using StatusPanelWriter = std::function<void(const std::string&)>;

    enum Category { Chip16x16, Chip32x32, MapSet, Object, Palette, CategoryCount };
    // One bit per (category, stage): bit category * StageCount + stage.
    using FlagSet = std::bitset<CategoryCount * LevelFormat::StageCount>;
    static std::size_t BitOf(Category category, int stage) {
        return static_cast<std::size_t>(category) * LevelFormat::StageCount +
               static_cast<std::size_t>(stage);
    }

    explicit EditFlagManagement(StatusPanelWriter firstPanel);

    bool IsModified() const { return Modified; }
    void SetModified(bool value);

    void SetChip16x16Modified(int stage, bool value) { Raise(Chip16x16, stage, value); }
    void SetChip32x32Modified(int stage, bool value) { Raise(Chip32x32, stage, value); }
    void SetMapSetModified(int stage, bool value) { Raise(MapSet, stage, value); }
    void SetObjectModified(int stage, bool value) { Raise(Object, stage, value); }
    void SetPaletteModified(int stage, bool value) { Raise(Palette, stage, value); }

    bool IsChip16x16Modified(int stage) const { return Flags[Chip16x16].at(stage); }
    bool IsChip32x32Modified(int stage) const { return Flags[Chip32x32].at(stage); }
    bool IsMapSetModified(int stage) const { return Flags[MapSet].at(stage); }
    bool IsObjectModified(int stage) const { return Flags[Object].at(stage); }
    bool IsPaletteModified(int stage) const { return Flags[Palette].at(stage); }

    void ClearAll();
    // Every per-stage flag as it stands.
    FlagSet Snapshot() const;
    // Puts every per-stage flag and the overall state as the edit history computes them.
    void Restore(const FlagSet& flags, bool modified);

private:
    void Raise(Category category, int stage, bool value);

    StatusPanelWriter FirstPanel;
    bool Modified = false;
    std::array<std::array<bool, LevelFormat::StageCount>, CategoryCount> Flags{};
};
