#pragma once

#include "base/LevelFormat.h"
#include "base/Outcome.h"
#include "base/TextMark.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// The console's 64 display colours, read from the master palette file: 64 RGB triples, no
// header, or 8 such tables (the colours under each emphasis setting), of which only the first
// is used. Immutable once loaded.
class FcPaletteData {
public:
    static constexpr int ColorCount = LevelFormat::ColorNumberCount;
    static constexpr std::size_t FileSize = ColorCount * 3;
    // The same colours under the 8 combinations of the emphasis bits, one table after another.
    static constexpr std::size_t EmphasisFileSize = FileSize * 8;
    static constexpr const char* DefaultFileName = "fcpalette.pal";

    // Loads the file (FileSize or EmphasisFileSize bytes) into palette. On failure palette
    // stays as it was and the message is the name followed by "が読み込めませんでした" or
    // "のサイズが不正です".
    static Outcome Create(const std::string& name, std::unique_ptr<FcPaletteData>& palette);
    static constexpr const char* CannotReadPhrase =
        K6_TEXT("DataMessages", "が読み込めませんでした");
    static constexpr const char* BadSizePhrase = K6_TEXT("DataMessages", "のサイズが不正です");

    // The display colour of colour number i (0..63), packed with red in the lowest byte, then
    // green, then blue; the top byte is 0.
    std::uint32_t ColorOf(int i) const { return Colors.at(static_cast<std::size_t>(i)); }

    static int RedOf(std::uint32_t packed) { return static_cast<int>(packed & 0xFF); }
    static int GreenOf(std::uint32_t packed) { return static_cast<int>((packed >> 8) & 0xFF); }
    static int BlueOf(std::uint32_t packed) { return static_cast<int>((packed >> 16) & 0xFF); }

    const std::array<std::uint8_t, FileSize>& RawTriples() const { return Raw; }

    // For tests and generated palettes: build from 192 bytes already in memory.
    explicit FcPaletteData(const std::array<std::uint8_t, FileSize>& triples);

private:
    std::array<std::uint8_t, FileSize> Raw{};
    std::array<std::uint32_t, ColorCount> Colors{};
};
