#pragma once

#include "base/TextMark.h"
#include <cstdint>
#include <optional>
#include <span>
#include <string>

class AddressData;

// Decides whether an image's level data can be used at all: every block the stages decode or
// encode, and every table the 16x16 chip editor reads, must lie inside the cartridge buffer.
// The offsets come from the settings and the bytes of an untrusted image, so they are checked
// once, before the image is taken over.
class LevelDataLayout {
public:
    static constexpr const char* BadLayoutMessage =
        K6_TEXT("DataMessages", "ROMイメージのレベルデータの位置が不正です");

    // None when everything fits; otherwise a short description of the first block that does
    // not (for tests and diagnostics; the user sees BadLayoutMessage).
    static std::optional<std::string> FindMisplacedBlock(std::span<const std::uint8_t> cartridge,
                                                         const AddressData& address);
};
