#include "history/StageArrays.h"

#include "editdata/StageData.h"

#include <algorithm>

namespace StageArrays {

std::span<std::uint8_t> Bytes(StageData& stage, EditorArray array) {
    switch (array) {
    case EditorArray::MapSet:
        return stage.MapSetTable;
    case EditorArray::Chip32x32:
        return stage.Chip32x32Table;
    case EditorArray::NormalChip16x16:
        return stage.NormalChip16x16Table;
    case EditorArray::DestroyedChip16x16:
        return *stage.DestroyedChip16x16Table;
    case EditorArray::NormalProperty:
        return stage.NormalChipPropertyTable;
    case EditorArray::DestroyedProperty:
        return *stage.DestroyedChipPropertyTable;
    case EditorArray::StagePalette:
        return stage.StagePalette;
    case EditorArray::AnimePalette:
        return stage.AnimePalette;
    }
    return {};
}

std::span<const std::uint8_t> Bytes(const StageData& stage, EditorArray array) {
    return Bytes(const_cast<StageData&>(stage), array);
}

void AppendDifferences(int stage, EditorArray array, std::span<const std::uint8_t> before,
                       std::span<const std::uint8_t> after, std::vector<ByteChange>& changes) {
    const std::size_t count = std::min(before.size(), after.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (before[i] != after[i])
            changes.push_back({static_cast<std::uint8_t>(stage), array,
                               static_cast<std::uint16_t>(i), before[i], after[i]});
    }
}

} // namespace StageArrays
