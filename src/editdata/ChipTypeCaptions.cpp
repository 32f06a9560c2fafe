#include "editdata/ChipTypeCaptions.h"

#include "address/AddressData.h"
#include "base/TextMark.h"

namespace {

const std::array<std::string, ChipTypeCaptions::KnownCodes + 1> Captions = {
    K6_TEXT("ChipTypeCaptions", "00 背景"),
    K6_TEXT("ChipTypeCaptions", "01 ブロック"),
    K6_TEXT("ChipTypeCaptions", "02 オイル"),
    K6_TEXT("ChipTypeCaptions", "03 はしご(頂点)"),
    K6_TEXT("ChipTypeCaptions", "04 はしご(途中)"),
    K6_TEXT("ChipTypeCaptions", "05 すべる床"),
    K6_TEXT("ChipTypeCaptions", "06 前景"),
    K6_TEXT("ChipTypeCaptions", "07 前景ブロック"),
    K6_TEXT("ChipTypeCaptions", "08 水中"),
    K6_TEXT("ChipTypeCaptions", "09 オイル床"),
    K6_TEXT("ChipTypeCaptions", "0A 送風機の上"),
    K6_TEXT("ChipTypeCaptions", "0B P.Kで破壊"),
    K6_TEXT("ChipTypeCaptions", "0C 送風機"),
    K6_TEXT("ChipTypeCaptions", "0D F.Bで破壊"),
    K6_TEXT("ChipTypeCaptions", "0E 送風機の下"),
    K6_TEXT("ChipTypeCaptions", "0F トゲ"),
    K6_TEXT("ChipTypeCaptions", "10 W3カプセル中？"),
    K6_TEXT("ChipTypeCaptions", "11 バネ"),
    "12",
    K6_TEXT("ChipTypeCaptions", "13 ポヨヨン(上)"),
    "14",
    K6_TEXT("ChipTypeCaptions", "15 ポヨヨン(下)"),
    "16",
    K6_TEXT("ChipTypeCaptions", "17 コンベア(左)"),
    "18",
    K6_TEXT("ChipTypeCaptions", "19 コンベア(右)"),
    "1A",
    K6_TEXT("ChipTypeCaptions", "1B P.Kで破壊(細)"),
    "1C",
    K6_TEXT("ChipTypeCaptions", "1D 落下ブロック"),
    "1E",
    K6_TEXT("ChipTypeCaptions", "1F W3カプセル床？"),
    K6_TEXT("ChipTypeCaptions", "XX 不正な値"),
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
