#include "editdata/PaletteEncoder.h"
#include "base/LevelFormat.h"

#include "address/AddressData.h"
#include "base/TextMark.h"
#include "editdata/PaletteLayout.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace {

using Set = std::array<std::uint8_t, PaletteBlock::SetSize>;

PaletteSetWrite Refusal(PaletteRefusal reason, int entry = -1) {
    return {PaletteSetOutcome::Refused, reason, entry, {}};
}

// Lays the colours out in exactly original.size() bytes: each byte is one colour, or, where a
// colour is 0F, that 0F and the next colour (bit 6); bit 7 on the last byte. Of the layouts that
// fit, one whose bytes differ least from original. None when no layout fits.
class ColourLayout {
public:
    ColourLayout(const std::vector<std::uint8_t>& colours, std::span<const std::uint8_t> original)
        : Colours(colours), Original(original), ColourCount(static_cast<int>(colours.size())),
          ByteCount(static_cast<int>(original.size())),
          Cost((colours.size() + 1) * (original.size() + 1), Impossible) {}

    std::optional<std::vector<std::uint8_t>> Find() {
        // CostAt(i, t): fewest changed bytes that lay out colours i.. in bytes t..
        CostAt(ColourCount, ByteCount) = 0;
        for (int i = ColourCount - 1; i >= 0; --i)
            for (int t = ByteCount - 1; t >= 0; --t)
                CostAt(i, t) = std::min(Single(i, t), Pair(i, t));
        if (CostAt(0, 0) >= Impossible)
            return std::nullopt;

        std::vector<std::uint8_t> bytes;
        for (int i = 0, t = 0; t < ByteCount; ++t) {
            const bool pair = Single(i, t) != CostAt(i, t);
            bytes.push_back(ByteFor(i, t, pair));
            i += pair ? 2 : 1;
        }
        return bytes;
    }

private:
    static constexpr int Impossible = std::numeric_limits<int>::max() / 2;

    int& CostAt(int i, int t) {
        return Cost[static_cast<std::size_t>(i) * (Original.size() + 1) +
                    static_cast<std::size_t>(t)];
    }
    std::uint8_t Colour(int i) const { return Colours[static_cast<std::size_t>(i)]; }
    std::uint8_t ByteFor(int i, int t, bool pair) const {
        int value = pair ? PaletteBlock::InsertBlack | Colour(i + 1) : Colour(i);
        if (t == ByteCount - 1)
            value |= PaletteBlock::LastByte;
        return static_cast<std::uint8_t>(value);
    }
    int Changed(int i, int t, bool pair) const {
        return ByteFor(i, t, pair) != Original[static_cast<std::size_t>(t)] ? 1 : 0;
    }
    // Colour i alone in byte t.
    int Single(int i, int t) {
        return std::min(Impossible, CostAt(i + 1, t + 1) + Changed(i, t, false));
    }
    // Colour i (a 0F) and colour i + 1 together in byte t.
    int Pair(int i, int t) {
        if (Colour(i) != PaletteBlock::Black || i + 2 > ColourCount)
            return Impossible;
        return std::min(Impossible, CostAt(i + 2, t + 1) + Changed(i, t, true));
    }

    const std::vector<std::uint8_t>& Colours;
    std::span<const std::uint8_t> Original;
    int ColourCount;
    int ByteCount;
    std::vector<int> Cost;
};

} // namespace

PaletteSetWrite PaletteEncoder::Encode(std::span<const std::uint8_t> block, PaletteSet edited) {
    const PaletteBlock original = PaletteBlock::Read(block, 0);
    const Set decoded = original.Decoded();
    if (std::equal(decoded.begin(), decoded.end(), edited.begin()))
        return {};

    for (int k = 0; k < PaletteBlock::SetSize; ++k) {
        const std::uint8_t value = edited[static_cast<std::size_t>(k)];
        if (value > PaletteBlock::ColorMask)
            return Refusal(PaletteRefusal::NotAColourNumber, k);
        if (!original.Writes(k) && value != decoded[static_cast<std::size_t>(k)])
            return Refusal(PaletteRefusal::EntryOutsideBlock, k);
    }
    if (!original.Terminated || original.Length != static_cast<int>(block.size()))
        return Refusal(PaletteRefusal::BlockNotTerminated);

    // The same number of colours as before, so the same entries are written; colours past
    // entry 15 are not shown but kept as they were.
    std::vector<std::uint8_t> colours = original.Values;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto entry = static_cast<std::size_t>(original.StartEntry) + i;
        if (entry < edited.size())
            colours[i] = edited[entry];
    }
    const auto data = ColourLayout(colours, block.subspan(1)).Find();
    if (!data)
        return Refusal(PaletteRefusal::DoesNotFit);
    PaletteSetWrite result{PaletteSetOutcome::Written, PaletteRefusal::None, -1, {block[0]}};
    result.Bytes.insert(result.Bytes.end(), data->begin(), data->end());
    return result;
}

std::array<PaletteSetWrite, 2> PaletteEncoder::PlanStage(const AddressData& address, int stage,
                                                         std::span<const std::uint8_t, 32> palette,
                                                         std::span<const std::uint8_t> cartridge) {
    const PaletteLayout layout(cartridge, address);
    std::array<PaletteSetWrite, 2> results;
    for (int set = 0; set < PaletteLayout::SetCount; ++set) {
        const PaletteBlock& block = layout.BlockOf(stage, set);
        const auto bytes = block.Empty()
                               ? std::span<const std::uint8_t>{}
                               : cartridge.subspan(static_cast<std::size_t>(block.Offset),
                                                   static_cast<std::size_t>(block.Length));
        PaletteSetWrite& result = results[static_cast<std::size_t>(set)];
        result =
            Encode(bytes, palette.subspan(static_cast<std::size_t>(set) * PaletteBlock::SetSize)
                              .first<PaletteBlock::SetSize>());
        if (result.Outcome == PaletteSetOutcome::Written && layout.Conflicts(stage, set))
            result = Refusal(PaletteRefusal::BlockOverlaps);
    }

    // Both sets reading one block: writing it must show the same colours in both.
    const PaletteBlock& block = layout.BlockOf(stage, 0);
    if (!block.Empty() && block.SameBlock(layout.BlockOf(stage, 1))) {
        for (int k = 0; k < PaletteBlock::SetSize; ++k) {
            const auto entry = static_cast<std::size_t>(k);
            if (block.Writes(k) && palette[entry] != palette[PaletteBlock::SetSize + entry]) {
                for (PaletteSetWrite& result : results)
                    if (result.Outcome == PaletteSetOutcome::Written)
                        result = Refusal(PaletteRefusal::SharedSetsDisagree, k);
                break;
            }
        }
    }

    return results;
}

std::array<PaletteSetWrite, 2>
PaletteEncoder::EncodeStage(const AddressData& address, int stage,
                            std::span<const std::uint8_t, 32> palette,
                            std::span<std::uint8_t> target) {
    auto results = PlanStage(address, stage, palette, target);
    for (int set = 0; set < PaletteLayout::SetCount; ++set) {
        PaletteSetWrite& result = results[static_cast<std::size_t>(set)];
        if (result.Outcome != PaletteSetOutcome::Written)
            continue;
        // The plan was made from these bytes, so the block is still there, unmoved.
        const PaletteBlock block =
            PaletteBlock::Of(target, address, set, address.PaletteNumber(stage));
        if (result.Bytes.size() != static_cast<std::size_t>(block.Length) ||
            result.Bytes[0] != block.StartEntry) {
            result = Refusal(PaletteRefusal::BlockOverlaps);
            continue;
        }
        std::copy(result.Bytes.begin(), result.Bytes.end(),
                  target.begin() + static_cast<std::ptrdiff_t>(block.Offset));
    }
    return results;
}

const char* PaletteEncoder::RefusalText(PaletteRefusal reason) {
    switch (reason) {
    case PaletteRefusal::None:
        return "";
    case PaletteRefusal::EntryOutsideBlock:
        return K6_TEXT("DataMessages", "ROMのパレットデータが書き込まない色が変更されています");
    case PaletteRefusal::DoesNotFit:
        return K6_TEXT("DataMessages", "変更後の色が元のパレットデータの長さに収まりません");
    case PaletteRefusal::NotAColourNumber:
        return K6_TEXT("DataMessages", "色番号が範囲外です");
    case PaletteRefusal::BlockNotTerminated:
        return K6_TEXT("DataMessages", "パレットデータの終わりが定義の中にありません");
    case PaletteRefusal::BlockOverlaps:
        return K6_TEXT("DataMessages", "パレットデータが他のデータと重なっています");
    case PaletteRefusal::SharedSetsDisagree:
        return K6_TEXT("DataMessages", "同じパレットデータを使う定義0と定義1の色が異なります");
    case PaletteRefusal::SharersDisagree:
        return K6_TEXT("DataMessages", "同じパレットデータを使う他のステージと色が異なります");
    }
    return "";
}
