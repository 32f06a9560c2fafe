#pragma once

// A rectangle of pixels: left and top inclusive, right and bottom exclusive. A rectangle whose
// right is not beyond its left (or bottom not below its top) is empty.
struct ImageRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static constexpr ImageRect FromSize(int x, int y, int width, int height) {
        return {x, y, x + width, y + height};
    }

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool Empty() const { return Right <= Left || Bottom <= Top; }

    friend constexpr bool operator==(const ImageRect&, const ImageRect&) = default;
};
