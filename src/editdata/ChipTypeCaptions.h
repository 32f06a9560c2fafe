#pragma once

#include "base/LevelFormat.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

class AddressData;

// Captions of the game's chip type codes (the attribute meaning of a 16x16 chip). Codes above
// 1F have no meaning in the game and share the last caption.
class ChipTypeCaptions {
public:
    static constexpr int KnownCodes = 0x20;

    // The caption of a chip type code read from the cartridge.
    static const std::string& Of(std::uint8_t code);

    // The sixteen captions shown before any stage is loaded: codes 00..0F in order.
    static std::array<std::string, LevelFormat::AttributeTypeCount> Defaults();

    // The chip type codes of a stage's sixteen attribute types: the row of the chip type table
    // that the stage's row byte names. A row byte outside cartridge means row 0; a code outside
    // it reads as 0.
    static std::array<std::uint8_t, LevelFormat::AttributeTypeCount>
    CodesOfStage(std::span<const std::uint8_t> cartridge, const AddressData& address, int stage);
};
