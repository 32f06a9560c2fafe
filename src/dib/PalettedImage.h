#pragma once

#include "base/ZeroedBytes.h"

#include <array>
#include <cstdint>
#include <span>

class PalettedImageCanvas;

// An off-screen picture of one byte per pixel, each pixel an index into the picture's own
// 256-entry colour table. Recolouring means rewriting table entries; the pixels stay.
// Colours are packed like FcPaletteData::ColorOf: red in the lowest byte, then green, blue.
class PalettedImage {
public:
    static constexpr int ColorCount = 256;
    using ColorTableArray = std::array<std::uint32_t, ColorCount>;

    // 1 x 1, pixel 0, every colour black.
    PalettedImage() = default;
    // Throws std::invalid_argument unless both are positive.
    PalettedImage(int width, int height);
    // A copy is a picture of its own: it takes a pixel stamp of its own.
    PalettedImage(const PalettedImage& other);
    PalettedImage& operator=(const PalettedImage& other);
    PalettedImage(PalettedImage&& other) noexcept;
    PalettedImage& operator=(PalettedImage&& other) noexcept;
    ~PalettedImage() = default;

    // Resize; throws std::invalid_argument for a non-positive size. The pixels become 0.
    void SetWidth(int width);
    void SetHeight(int height);
    int Width() const { return PixelWidth; }
    int Height() const { return PixelHeight; }

    // Throw std::out_of_range for an index outside 0..255.
    void SetColor(int index, std::uint32_t rgb);
    std::uint32_t GetColor(int index) const;
    void CopyColorTable(const PalettedImage& from);
    void SetColorTable(const ColorTableArray& colors);
    const ColorTableArray& ColorTable() const { return Colors; }
    // Changes with every change of the colour table (and differs between tables that were
    // set apart), so that whoever converts the table can keep the result until it changes.
    std::uint64_t ColorTableStamp() const { return Stamp; }

    // Read again after any access that may have changed a pixel (a writable row, a resize, a
    // picture put in this one's place), it differs from what it was; it differs between
    // pictures too. Whoever draws from the pixels can so tell whether what it drew is still
    // what they show.
    std::uint64_t PixelStamp() const {
        PixelsStampSeen = true;
        return PixelsStamp;
    }

    // The Width() bytes of row y, row 0 at the top. Throws std::out_of_range for y outside.
    std::span<std::uint8_t> Row(int y);
    std::span<const std::uint8_t> Row(int y) const;
    // One pixel; throws std::out_of_range outside the picture.
    std::uint8_t PixelAt(int x, int y) const;

    PalettedImageCanvas Canvas();

private:
    void Resize(int width, int height);

    int PixelWidth = 1;
    int PixelHeight = 1;
    ZeroedBytes Pixels = ZeroedBytes(1);
    ColorTableArray Colors{};
    std::uint64_t Stamp = NewStamp();
    // A new stamp is taken at the first writable access after the stamp was last read: rows
    // are asked for in tight loops, and nobody can tell the writes between two reads apart.
    std::uint64_t PixelsStamp = NewStamp();
    mutable bool PixelsStampSeen = false;

    void PixelsMayChange() {
        if (PixelsStampSeen) {
            PixelsStamp = NewStamp();
            PixelsStampSeen = false;
        }
    }

    static std::uint64_t NewStamp();
};
