#pragma once

#include "base/LevelFormat.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

class IniFile;

// The configurable file offsets of the level data, in the order they are read and written.
enum class LevelDataKey : int {
    MapDataBankA000,
    MapDataAddressLow,
    MapDataAddressHigh,
    ChipDataBank8000,
    Chip16x16DataAddressHigh,
    Chip32x32DataAddressHigh,
    PatternTableDataNo,
    PatternTableData,
    PaletteDataNo,
    PalettePointerAddressLow0,
    PalettePointerAddressHigh0,
    PalettePointerAddressLow1,
    PalettePointerAddressHigh1,
    ObjectDataAddressLow,
    ObjectDataAddressHigh,
    ObjectCount,
    RefChipTypeTable,
    ChipTypeTable,
    Count
};

// Where the level data of the sixteen stages lies in the cartridge buffer: the eighteen offsets
// of the settings section "LevelDataAddress" and the per-stage tables computed from them and
// from the buffer's bytes when an image is opened.
class AddressData {
public:
    static constexpr int KeyCount = static_cast<int>(LevelDataKey::Count);
    static constexpr const char* SectionName = "LevelDataAddress";

    // Sizes of the blocks the tables point at.
    static constexpr int Chip16x16Bytes = 1024;
    static constexpr int ChipPropertyBytes = 256;
    static constexpr int Chip32x32Bytes = 1024;
    static constexpr int MapSetBytes = 2048;
    static constexpr int PatternEntryBytes = 4;
    static constexpr int PatternEntryCount = 256; // any of them can be the PT write number
    static constexpr int ChipTypeRowBytes = LevelFormat::AttributeTypeCount;
    // CPU addresses of the after-destruction tables in a chip bank mapped at 0x8000.
    static constexpr std::int64_t DestroyedChip16x16Cpu = 0x9B00;
    static constexpr std::int64_t DestroyedPropertyCpu = 0x9F00;

    // Reads the keys (defaults and fallbacks), writes them back normalised, then computes the
    // tables. Bytes read outside the buffer count as 0 here; whether the offsets make sense is
    // decided by LevelDataLayout.
    AddressData(std::span<const std::uint8_t> cartridge, IniFile& settings);

    static const char* KeyName(LevelDataKey key);
    static const char* DefaultText(LevelDataKey key);
    static std::int32_t FallbackValue(LevelDataKey key);

    std::int32_t KeyValue(LevelDataKey key) const { return Keys[Index(key)]; }

    std::int32_t Chip16x16TableAddress(int stage) const { return Chip16x16Table.at(stage); }
    std::int32_t ChipPropertyTableAddress(int stage) const { return ChipPropertyTable.at(stage); }
    std::int32_t DestroyedChip16x16TableAddress(int stage) const {
        return DestroyedChip16x16Table.at(stage);
    }
    std::int32_t DestroyedChipPropertyTableAddress(int stage) const {
        return DestroyedChipPropertyTable.at(stage);
    }
    std::int32_t Chip32x32TableAddress(int stage) const { return Chip32x32Table.at(stage); }
    std::int32_t MapSetTableAddress(int stage) const { return MapSetTable.at(stage); }
    std::int32_t PaletteNumber(int stage) const { return PaletteNumbers.at(stage); }

    // A CPU address in an 8 KiB bank mapped at 0x8000 or 0xA000, as a file offset.
    static std::int64_t BankFileOffset8000(std::int64_t bank, std::int64_t cpuAddress) {
        return bank * LevelFormat::BankSize + cpuAddress - LevelFormat::Bank8000Base;
    }
    static std::int64_t BankFileOffsetA000(std::int64_t bank, std::int64_t cpuAddress) {
        return bank * LevelFormat::BankSize + cpuAddress - LevelFormat::BankA000Base;
    }
    // A pointer read from a table at file offset tableOffset, meant for the bank that holds the
    // table mapped at 0x8000.
    static std::int64_t SameBankFileOffset(std::int64_t tableOffset, std::int64_t pointer) {
        constexpr auto header = static_cast<std::int64_t>(LevelFormat::HeaderSize);
        return ((tableOffset - header) & LevelFormat::BankBitsMask) + pointer - 0x8000 + header;
    }

    // Where the compressed data of palette set `set` (0 or 1) of palette number `number` starts,
    // from the pointer tables in cartridge; none when a pointer byte lies outside it.
    std::optional<std::int64_t> PaletteDataOffset(std::span<const std::uint8_t> cartridge, int set,
                                                  int number) const;

    // A stage's object block as the pointer and count tables in cartridge give it: Data is the
    // first byte of the page column (one after the byte the pointer addresses), Count the count
    // byte. None when a table byte lies outside cartridge.
    struct ObjectBlock {
        std::int64_t Data = 0;
        int Count = 0;
    };
    std::optional<ObjectBlock> ObjectBlockOf(std::span<const std::uint8_t> cartridge,
                                             int stage) const;

    // The file offset of the chip type row stage uses; none when its row byte lies outside.
    std::optional<std::int64_t> ChipTypeRowOffset(std::span<const std::uint8_t> cartridge,
                                                  int stage) const;

    // File offset of pattern load entry number.
    std::int64_t PatternEntryOffset(int number) const {
        return std::int64_t{KeyValue(LevelDataKey::PatternTableData)} +
               std::int64_t{PatternEntryBytes} * number;
    }

    // The byte at KeyValue(key) + index, or none outside cartridge.
    std::optional<std::uint8_t> TableByte(std::span<const std::uint8_t> cartridge, LevelDataKey key,
                                          int index) const;

private:
    static std::size_t Index(LevelDataKey key) { return static_cast<std::size_t>(key); }

    std::array<std::int32_t, KeyCount> Keys{};
    std::array<std::int32_t, LevelFormat::StageCount> Chip16x16Table{};
    std::array<std::int32_t, LevelFormat::StageCount> ChipPropertyTable{};
    std::array<std::int32_t, LevelFormat::StageCount> DestroyedChip16x16Table{};
    std::array<std::int32_t, LevelFormat::StageCount> DestroyedChipPropertyTable{};
    std::array<std::int32_t, LevelFormat::StageCount> Chip32x32Table{};
    std::array<std::int32_t, LevelFormat::StageCount> MapSetTable{};
    std::array<std::int32_t, LevelFormat::StageCount> PaletteNumbers{};
};
