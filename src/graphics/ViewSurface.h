#pragma once

#include "dib/ImageRect.h"
#include "dib/PalettedImage.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The picture an on-screen image view shows. Pixels are true colours; a copy from a
// PalettedImage resolves its indices through the source's colour table at the time of the copy,
// so a view shows the colours that were in effect when it was last drawn. The surface keeps
// the colour table it was made with (the master colours) for filling by index.
//
// The picture is made, filled with entry 0, on first use: most surfaces are made at start-up
// and stay unused until an image is open, and an untouched one costs no memory.
//
// Views (TImageEx) register as observers: every drawing operation tells them to repaint, and
// the destructor tells them to let go, so a view never shows a freed surface.
class ViewSurface {
public:
    // Throws std::invalid_argument unless both sizes are positive.
    ViewSurface(int width, int height, const PalettedImage::ColorTableArray& colors);
    ~ViewSurface();
    ViewSurface(const ViewSurface&) = delete;
    ViewSurface& operator=(const ViewSurface&) = delete;

    int Width() const { return PictureWidth; }
    int Height() const { return PictureHeight; }
    // Format_RGB32. Whoever paints on it directly calls NotifyChanged afterwards.
    const QImage& Image() const { return Made(); }
    QImage& Image();

    // Changes with every access that may change a pixel (a fill, a copy, the writable picture,
    // a change notice), and differs between surfaces: whoever drew the picture can tell
    // whether it still shows what was drawn.
    std::uint64_t PictureStamp() const { return Stamp; }

    // The surface's own colour table; throws std::out_of_range outside 0..255.
    std::uint32_t GetColor(int index) const;
    // Packed like FcPaletteData::ColorOf; throws std::out_of_range outside the surface.
    std::uint32_t PixelAt(int x, int y) const;

    // Entry index of the surface's colour table (0..255, else std::out_of_range) into the
    // rectangle, clipped to the surface.
    void FillRect(const ImageRect& rect, int index);
    // The source rectangle of a paletted image into the destination rectangle, with the
    // enlargement and reduction of PalettedImageCanvas::CopyRect, clipped to both pictures.
    void CopyFrom(const ImageRect& destination, const PalettedImage& source,
                  const ImageRect& sourceRect);

    // Observers, identified by key (one entry per key; adding again replaces it). The first
    // form hears which rectangle changed, the second only that something did.
    void AddObserver(const void* key, std::function<void(const ImageRect& changed)> changed,
                     std::function<void()> destroyed);
    void AddObserver(const void* key, std::function<void()> changed,
                     std::function<void()> destroyed);
    void RemoveObserver(const void* key);
    // Tell the observers the whole picture changed.
    void NotifyChanged();
    // Tell the observers the pixels inside area changed (clipped to the surface; an empty
    // area tells nothing): a view then repaints only those.
    void NotifyChanged(const ImageRect& area);

    // Packing conversions between the table colours and the surface's pixels.
    static std::uint32_t ToRgb32(std::uint32_t packed);
    static std::uint32_t FromRgb32(std::uint32_t rgb32);

private:
    struct Observer {
        const void* Key;
        std::function<void(const ImageRect&)> Changed;
        std::function<void()> Destroyed;
    };

    QImage& Made() const;

    int PictureWidth;
    int PictureHeight;
    mutable QImage Picture; // null until first use
    PalettedImage::ColorTableArray Colors;
    std::vector<Observer> Observers;
    // Surface pixels of the last source colour table copied from, by index.
    std::array<QRgb, PalettedImage::ColorCount> Lookup{};
    std::uint64_t LookupStamp = 0; // no table has stamp 0
    mutable std::uint64_t Stamp = NewStamp();

    static std::uint64_t NewStamp();
};
