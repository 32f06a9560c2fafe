// Fuzz entry point: arbitrary bytes as the master palette file.
//
// What must hold: exactly 192 bytes make a palette whose colours are the file's triples, red in
// the lowest byte; any other size is refused with the size message and no palette.
#include "FuzzScratch.h"

#include "fileio/FcPaletteData.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    const std::string path = WriteScratchFile(FcPaletteData::DefaultFileName, input);
    std::unique_ptr<FcPaletteData> palette;
    const Outcome loaded = FcPaletteData::Create(path, palette);
    if (size != FcPaletteData::FileSize) {
        Require(!loaded.Ok && palette == nullptr && loaded.Message == path + "のサイズが不正です");
        return 0;
    }
    Require(loaded.Ok && palette != nullptr);
    Require(std::equal(input.begin(), input.end(), palette->RawTriples().begin()));
    for (int i = 0; i < FcPaletteData::ColorCount; ++i) {
        const std::uint32_t colour = palette->ColorOf(i);
        const auto at = static_cast<std::size_t>(3 * i);
        Require(FcPaletteData::RedOf(colour) == input[at] &&
                FcPaletteData::GreenOf(colour) == input[at + 1] &&
                FcPaletteData::BlueOf(colour) == input[at + 2] && (colour >> 24) == 0);
    }
    return 0;
}
