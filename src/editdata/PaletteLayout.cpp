#include "editdata/PaletteLayout.h"
#include "base/LevelFormat.h"

#include "address/AddressData.h"

#include <stdexcept>

namespace {

constexpr std::array<LevelDataKey, 2> LowKeys = {LevelDataKey::PalettePointerAddressLow0,
                                                 LevelDataKey::PalettePointerAddressLow1};
constexpr std::array<LevelDataKey, 2> HighKeys = {LevelDataKey::PalettePointerAddressHigh0,
                                                  LevelDataKey::PalettePointerAddressHigh1};

} // namespace

PaletteLayout::PaletteLayout(std::span<const std::uint8_t> cartridge, const AddressData& address) {
    TableBytes.push_back(
        {address.KeyValue(LevelDataKey::PaletteDataNo), std::int64_t{LevelFormat::StageCount}});
    for (int s = 0; s < LevelFormat::StageCount; ++s) {
        const int number = address.PaletteNumber(s);
        for (int set = 0; set < SetCount; ++set) {
            Blocks.push_back(PaletteBlock::Of(cartridge, address, set, number));
            const auto index = static_cast<std::size_t>(set);
            TableBytes.push_back({std::int64_t{address.KeyValue(LowKeys[index])} + number, 1});
            TableBytes.push_back({std::int64_t{address.KeyValue(HighKeys[index])} + number, 1});
        }
    }
}

std::size_t PaletteLayout::Index(int stage, int set) {
    if (stage < 0 || stage >= LevelFormat::StageCount || set < 0 || set >= SetCount)
        throw std::out_of_range("palette set");
    return static_cast<std::size_t>(stage * SetCount + set);
}

const PaletteBlock& PaletteLayout::BlockOf(int stage, int set) const {
    return Blocks[Index(stage, set)];
}

std::vector<PaletteLayout::SetRef> PaletteLayout::SharersOf(int stage, int set) const {
    const PaletteBlock& block = BlockOf(stage, set);
    if (block.Empty())
        return {{stage, set}};
    std::vector<SetRef> sharers;
    for (int s = 0; s < LevelFormat::StageCount; ++s)
        for (int h = 0; h < SetCount; ++h)
            if (BlockOf(s, h).SameBlock(block))
                sharers.push_back({s, h});
    return sharers;
}

bool PaletteLayout::Conflicts(int stage, int set) const {
    const PaletteBlock& block = BlockOf(stage, set);
    for (const PaletteBlock& other : Blocks)
        if (!other.Empty() && !other.SameBlock(block) && block.Overlaps(other.Offset, other.Length))
            return true;
    for (const ByteRange& table : TableBytes)
        if (block.Overlaps(table.Offset, table.Length))
            return true;
    return false;
}
