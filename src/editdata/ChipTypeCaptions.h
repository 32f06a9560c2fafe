#pragma once

#include <array>
#include <cstdint>
#include <string>

// Captions of the game's chip type codes (the attribute meaning of a 16x16 chip). Codes above
// 1F have no meaning in the game and share the last caption.
class ChipTypeCaptions {
public:
    static constexpr int KnownCodes = 0x20;

    // The caption of a chip type code read from the cartridge.
    static const std::string& Of(std::uint8_t code);

    // The sixteen captions shown before any stage is loaded: codes 00..0F in order.
    static std::array<std::string, 16> Defaults();
};
