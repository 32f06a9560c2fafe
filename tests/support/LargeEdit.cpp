#include "support/LargeEdit.h"
#include "base/LevelFormat.h"

#include "edit_flag/EditFlagManagement.h"
#include "editdata/StageData.h"
#include "fileio/RomImageData.h"

#include <cstdint>

void ApplyLargeEdit(RomImageData& rom, EditFlagManagement& flags, int variant) {
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        StageData& stage = rom.Stage(s);
        const auto pattern = [&](std::size_t i) {
            return static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(variant * 31 + s));
        };
        for (std::size_t i = 0; i < stage.MapSetTable.size(); ++i)
            stage.MapSetTable[i] = pattern(i);
        for (std::size_t i = 0; i < stage.Chip32x32Table.size(); ++i)
            stage.Chip32x32Table[i] = pattern(i + 3);
        int index = 0;
        for (int page = 0; page < LevelFormat::PageCount; ++page)
            for (ObjectNode& node : stage.ObjectsOfPage(page)) {
                node.X = pattern(static_cast<std::size_t>(index++));
                node.Y = pattern(static_cast<std::size_t>(index * 5));
            }
        flags.SetMapSetModified(s, true);
        flags.SetChip32x32Modified(s, true);
        flags.SetObjectModified(s, true);
    }
}
