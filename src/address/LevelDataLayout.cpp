#include "address/LevelDataLayout.h"

#include "address/AddressData.h"

#include <algorithm>
#include <array>

namespace {

constexpr int StageTableBytes = LevelFormat::StageCount; // one byte per stage
constexpr int PaletteSets = 2;
constexpr int ObjectColumns = 4;

// The per-stage tables the address tables, the decoders, the save and the 16x16 chip editor read.
constexpr std::array<LevelDataKey, 12> StageTables = {LevelDataKey::MapDataBankA000,
                                                      LevelDataKey::MapDataAddressLow,
                                                      LevelDataKey::MapDataAddressHigh,
                                                      LevelDataKey::ChipDataBank8000,
                                                      LevelDataKey::Chip16x16DataAddressHigh,
                                                      LevelDataKey::Chip32x32DataAddressHigh,
                                                      LevelDataKey::PatternTableDataNo,
                                                      LevelDataKey::PaletteDataNo,
                                                      LevelDataKey::ObjectDataAddressLow,
                                                      LevelDataKey::ObjectDataAddressHigh,
                                                      LevelDataKey::ObjectCount,
                                                      LevelDataKey::RefChipTypeTable};

std::string OfStage(const char* block, int stage) {
    return std::string(block) + " of stage " + std::to_string(stage);
}

} // namespace

std::optional<std::string>
LevelDataLayout::FindMisplacedBlock(std::span<const std::uint8_t> cartridge,
                                    const AddressData& address) {
    const auto size = static_cast<std::int64_t>(cartridge.size());
    const auto inside = [size](std::int64_t offset, std::int64_t length) {
        return offset >= 0 && length >= 0 && offset <= size && length <= size - offset;
    };

    for (const LevelDataKey key : StageTables)
        if (!inside(address.KeyValue(key), StageTableBytes))
            return AddressData::KeyName(key);
    if (!inside(address.KeyValue(LevelDataKey::PatternTableData),
                std::int64_t{AddressData::PatternEntryBytes} * AddressData::PatternEntryCount))
        return AddressData::KeyName(LevelDataKey::PatternTableData);

    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        if (!inside(address.Chip16x16TableAddress(s), AddressData::Chip16x16Bytes))
            return OfStage("Chip16x16Table", s);
        if (!inside(address.ChipPropertyTableAddress(s), AddressData::ChipPropertyBytes))
            return OfStage("ChipPropertyTable", s);
        if (!inside(address.DestroyedChip16x16TableAddress(s), AddressData::Chip16x16Bytes))
            return OfStage("DestroyedChip16x16Table", s);
        if (!inside(address.DestroyedChipPropertyTableAddress(s), AddressData::ChipPropertyBytes))
            return OfStage("DestroyedChipPropertyTable", s);
        if (!inside(address.Chip32x32TableAddress(s), AddressData::Chip32x32Bytes))
            return OfStage("Chip32x32Table", s);
        if (!inside(address.MapSetTableAddress(s), AddressData::MapSetBytes))
            return OfStage("MapSetTable", s);

        for (int set = 0; set < PaletteSets; ++set) {
            const auto data = address.PaletteDataOffset(cartridge, set, address.PaletteNumber(s));
            if (!data)
                return OfStage(set == 0 ? "palette pointer of set 0" : "palette pointer of set 1",
                               s);
            // At least the start byte; the walk itself stops at the end of the buffer.
            if (!inside(*data, 1))
                return OfStage(set == 0 ? "palette data of set 0" : "palette data of set 1", s);
        }

        const auto objects = address.ObjectBlockOf(cartridge, s);
        const int taken = objects ? std::min(objects->Count, LevelFormat::MaxObjectsPerStage) : 0;
        if (taken > 0 &&
            !inside(objects->Data, (ObjectColumns - 1) * std::int64_t{objects->Count + 1} + taken))
            return OfStage("object columns", s);

        const auto row = address.ChipTypeRowOffset(cartridge, s);
        if (!row || !inside(*row, AddressData::ChipTypeRowBytes))
            return OfStage("chip type row", s);
    }
    return std::nullopt;
}
