#include "editdata/ChipTypeCaptions.h"

#include "address/AddressData.h"

namespace {

const std::array<std::string, ChipTypeCaptions::KnownCodes + 1> Captions = {
    "00 背景",
    "01 ブロック",
    "02 オイル",
    "03 はしご(頂点)",
    "04 はしご(途中)",
    "05 すべる床",
    "06 前景",
    "07 前景ブロック",
    "08 水中",
    "09 オイル床",
    "0A 送風機の上",
    "0B P.Kで破壊",
    "0C 送風機",
    "0D F.Bで破壊",
    "0E 送風機の下",
    "0F トゲ",
    "10 W3カプセル中？",
    "11 バネ",
    "12",
    "13 ポヨヨン(上)",
    "14",
    "15 ポヨヨン(下)",
    "16",
    "17 コンベア(左)",
    "18",
    "19 コンベア(右)",
    "1A",
    "1B P.Kで破壊(細)",
    "1C",
    "1D 落下ブロック",
    "1E",
    "1F W3カプセル床？",
    "XX 不正な値",
};

} // namespace

const std::string& ChipTypeCaptions::Of(std::uint8_t code) {
    return Captions[code < KnownCodes ? code : KnownCodes];
}

std::array<std::string, LevelFormat::AttributeTypeCount> ChipTypeCaptions::Defaults() {
    std::array<std::string, LevelFormat::AttributeTypeCount> result;
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = Captions[i];
    return result;
}

std::array<std::uint8_t, LevelFormat::AttributeTypeCount>
ChipTypeCaptions::CodesOfStage(std::span<const std::uint8_t> cartridge, const AddressData& address,
                               int stage) {
    const std::int64_t row = address.ChipTypeRowOffset(cartridge, stage)
                                 .value_or(address.KeyValue(LevelDataKey::ChipTypeTable));
    std::array<std::uint8_t, LevelFormat::AttributeTypeCount> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::int64_t at = row + static_cast<std::int64_t>(i);
        if (at >= 0 && at < static_cast<std::int64_t>(cartridge.size()))
            codes[i] = cartridge[static_cast<std::size_t>(at)];
    }
    return codes;
}
