#include "address/AddressData.h"

#include "inifile/IniFile.h"

#include <cctype>

namespace {

struct KeyDefinition {
    const char* Name;
    const char* DefaultText;
    std::int32_t Fallback;
};

// Table order is the order of reading and writing.
constexpr std::array<KeyDefinition, AddressData::KeyCount> Keys = {{
    {"MapDataBankA000", "7DF35", 0x7DF35},
    {"MapDataAddressLow", "7DF45", 0x7DF45},
    {"MapDataAddressHigh", "7DF55", 0x7DF55},
    {"ChipDataBank8000", "7DF65", 0x7DF65},
    {"Chip16x16DataAddressHigh", "7DF75", 0x7DF75},
    {"Chip32x32DataAddressHigh", "7DF85", 0x7DF85},
    {"PatternTableDataNo", "7DF95", 0x7DF95},
    {"PatternTableData", "6E010", 0x6E010},
    {"PaletteDataNo", "7DFA5", 0x7DFA5},
    {"PalettePointerAddressLow[0]", "6F010", 0x6F010},
    {"PalettePointerAddressHigh[0]", "6F110", 0x6F110},
    // The unreadable-value fallback of the two set-1 keys is not their default.
    {"PalettePointerAddressLow[1]", "51010", 0x50010},
    {"PalettePointerAddressHigh[1]", "51110", 0x50110},
    {"ObjectDataAddressLow", "740CF", 0x740CF},
    {"ObjectDataAddressHigh", "740DF", 0x740DF},
    {"ObjectCount", "740EF", 0x740EF},
    {"RefChipTypeTable", "7DB13", 0x7DB13},
    {"ChipTypeTable", "7DB23", 0x7DB23},
}};

// The key text with "$" in front, converted as a hexadecimal integer: hexadecimal digits only
// (no blanks, sign or second prefix). The settings' integer parser stops at 7FFFFFFF; a 32-bit
// key also takes 80000000-FFFFFFFF, as the two's-complement value.
std::optional<std::int32_t> ParseKeyText(const std::string& text) {
    if (const auto value = IniFile::ParseInteger("$" + text))
        return value;
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(
                                 std::isdigit(static_cast<unsigned char>(c))
                                     ? c - '0'
                                     : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// Upper-case hexadecimal, no prefix, no leading zeros.
std::string FormatKeyValue(std::int32_t value) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint32_t>(value);
    std::string text;
    do {
        text.insert(text.begin(), Digits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    return text;
}

} // namespace

AddressData::AddressData(std::span<const std::uint8_t> cartridge, IniFile& settings) {
    for (int i = 0; i < KeyCount; ++i) {
        const KeyDefinition& key = ::Keys[static_cast<std::size_t>(i)];
        const std::string text = settings.ReadString(SectionName, key.Name, key.DefaultText);
        const std::int32_t value = ParseKeyText(text).value_or(key.Fallback);
        Keys[static_cast<std::size_t>(i)] = value;
        settings.WriteString(SectionName, key.Name, FormatKeyValue(value));
    }

    // The offsets are not trusted here: a byte outside the buffer reads as 0, and
    // LevelDataLayout refuses the image before anything decodes through these tables.
    const auto byteAt = [&](LevelDataKey key, int stage) -> std::int64_t {
        const std::int64_t offset = std::int64_t{KeyValue(key)} + stage;
        if (offset < 0 || offset >= static_cast<std::int64_t>(cartridge.size()))
            return 0;
        return cartridge[static_cast<std::size_t>(offset)];
    };
    const auto narrow = [](std::int64_t value) { return static_cast<std::int32_t>(value); };

    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const auto i = static_cast<std::size_t>(s);
        const std::int64_t bank8000 = byteAt(LevelDataKey::ChipDataBank8000, s);
        const std::int64_t hi16 = byteAt(LevelDataKey::Chip16x16DataAddressHigh, s);
        const std::int64_t hi32 = byteAt(LevelDataKey::Chip32x32DataAddressHigh, s);
        const std::int64_t bankA000 = byteAt(LevelDataKey::MapDataBankA000, s);
        const std::int64_t mapLow = byteAt(LevelDataKey::MapDataAddressLow, s);
        const std::int64_t mapHigh = byteAt(LevelDataKey::MapDataAddressHigh, s);

        Chip16x16Table[i] = narrow(BankFileOffset8000(bank8000, hi16 * 0x100));
        ChipPropertyTable[i] = Chip16x16Table[i] + Chip16x16Bytes;
        DestroyedChip16x16Table[i] = narrow(BankFileOffset8000(bank8000, DestroyedChip16x16Cpu));
        DestroyedChipPropertyTable[i] = narrow(BankFileOffset8000(bank8000, DestroyedPropertyCpu));
        Chip32x32Table[i] = narrow(BankFileOffset8000(bank8000, hi32 * 0x100));
        MapSetTable[i] = narrow(BankFileOffsetA000(bankA000, mapHigh * 0x100 + mapLow));
        PaletteNumbers[i] = narrow(byteAt(LevelDataKey::PaletteDataNo, s));
    }
}

const char* AddressData::KeyName(LevelDataKey key) {
    return ::Keys.at(Index(key)).Name;
}

const char* AddressData::DefaultText(LevelDataKey key) {
    return ::Keys.at(Index(key)).DefaultText;
}

std::int32_t AddressData::FallbackValue(LevelDataKey key) {
    return ::Keys.at(Index(key)).Fallback;
}

std::optional<std::uint8_t> AddressData::TableByte(std::span<const std::uint8_t> cartridge,
                                                   LevelDataKey key, int index) const {
    const std::int64_t offset = std::int64_t{KeyValue(key)} + index;
    if (offset < 0 || offset >= static_cast<std::int64_t>(cartridge.size()))
        return std::nullopt;
    return cartridge[static_cast<std::size_t>(offset)];
}

std::optional<std::int64_t> AddressData::PaletteDataOffset(std::span<const std::uint8_t> cartridge,
                                                           int set, int number) const {
    const LevelDataKey lowKey = set == 0 ? LevelDataKey::PalettePointerAddressLow0
                                         : LevelDataKey::PalettePointerAddressLow1;
    const LevelDataKey highKey = set == 0 ? LevelDataKey::PalettePointerAddressHigh0
                                          : LevelDataKey::PalettePointerAddressHigh1;
    const auto low = TableByte(cartridge, lowKey, number);
    const auto high = TableByte(cartridge, highKey, number);
    if (!low || !high)
        return std::nullopt;
    return SameBankFileOffset(KeyValue(highKey), *low + 256 * *high);
}

std::optional<AddressData::ObjectBlock>
AddressData::ObjectBlockOf(std::span<const std::uint8_t> cartridge, int stage) const {
    const auto low = TableByte(cartridge, LevelDataKey::ObjectDataAddressLow, stage);
    const auto high = TableByte(cartridge, LevelDataKey::ObjectDataAddressHigh, stage);
    const auto count = TableByte(cartridge, LevelDataKey::ObjectCount, stage);
    if (!low || !high || !count)
        return std::nullopt;
    const std::int64_t pointer = *low + 256 * *high;
    return ObjectBlock{
        SameBankFileOffset(KeyValue(LevelDataKey::ObjectDataAddressHigh), pointer) + 1, *count};
}

std::optional<std::int64_t> AddressData::ChipTypeRowOffset(std::span<const std::uint8_t> cartridge,
                                                           int stage) const {
    const auto row = TableByte(cartridge, LevelDataKey::RefChipTypeTable, stage);
    if (!row)
        return std::nullopt;
    return std::int64_t{KeyValue(LevelDataKey::ChipTypeTable)} +
           std::int64_t{ChipTypeRowBytes} * *row;
}
