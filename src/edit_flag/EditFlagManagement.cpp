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
