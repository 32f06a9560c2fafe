#include "editdata/PaletteBlock.h"

#include "address/AddressData.h"

PaletteBlock PaletteBlock::Read(std::span<const std::uint8_t> bytes, std::int64_t offset) {
    PaletteBlock block;
    block.Offset = offset;
    const auto size = static_cast<std::int64_t>(bytes.size());
    if (offset < 0 || offset >= size)
        return block;
    std::int64_t at = offset;
    block.StartEntry = bytes[static_cast<std::size_t>(at++)];
    int entry = block.StartEntry;
    // Past entry 15 nothing more would be stored, so the walk stops there, as the decoder's.
    while (entry < SetSize && at < size) {
        const std::uint8_t value = bytes[static_cast<std::size_t>(at++)];
        if (value & InsertBlack) {
            block.Values.push_back(Black);
            ++entry;
        }
        block.Values.push_back(value & ColorMask);
        ++entry;
        if (value & LastByte) {
            block.Terminated = true;
            break;
        }
    }
    block.Length = static_cast<int>(at - offset);
    return block;
}

PaletteBlock PaletteBlock::Of(std::span<const std::uint8_t> cartridge, const AddressData& address,
                              int set, int number) {
    const auto start = address.PaletteDataOffset(cartridge, set, number);
    if (!start)
        return PaletteBlock{};
    return Read(cartridge, *start);
}

std::array<std::uint8_t, PaletteBlock::SetSize> PaletteBlock::Decoded() const {
    std::array<std::uint8_t, SetSize> set{};
    for (std::size_t i = 0; i < Values.size(); ++i) {
        const auto entry = static_cast<std::size_t>(StartEntry) + i;
        if (entry < set.size())
            set[entry] = Values[i];
    }
    return set;
}
