#include "edit_flag/EditFlagManagement.h"

EditFlagManagement::EditFlagManagement(StatusPanelWriter firstPanel)
    : FirstPanel(std::move(firstPanel)) {
    ClearAll();
}

void EditFlagManagement::SetModified(bool value) {
    Modified = value;
    if (value && FirstPanel)
        FirstPanel(ModifiedText);
}

void EditFlagManagement::Raise(Category category, int stage, bool value) {
    Flags[category].at(stage) = value;
    if (value)
        SetModified(true);
}

void EditFlagManagement::ClearAll() {
    Modified = false;
    for (auto& category : Flags)
        category.fill(false);
    if (FirstPanel)
        FirstPanel("");
}

EditFlagManagement::FlagSet EditFlagManagement::Snapshot() const {
    FlagSet flags;
    for (int category = 0; category < CategoryCount; ++category)
        for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
            flags.set(BitOf(static_cast<Category>(category), stage),
                      Flags[static_cast<std::size_t>(category)][static_cast<std::size_t>(stage)]);
    return flags;
}

void EditFlagManagement::Restore(const FlagSet& flags, bool modified) {
    for (int category = 0; category < CategoryCount; ++category)
        for (int stage = 0; stage < LevelFormat::StageCount; ++stage)
            Flags[static_cast<std::size_t>(category)][static_cast<std::size_t>(stage)] =
                flags.test(BitOf(static_cast<Category>(category), stage));
    Modified = modified;
    if (FirstPanel)
        FirstPanel(modified ? ModifiedText : "");
}
