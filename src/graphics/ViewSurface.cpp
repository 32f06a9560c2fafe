#include "graphics/ViewSurface.h"

#include "dib/CopyAxis.h"

#include <QColor>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

ViewSurface::ViewSurface(int width, int height, const PalettedImage::ColorTableArray& colors)
    : PictureWidth(width), PictureHeight(height), Colors(colors) {
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("view size " + std::to_string(width) + " x " +
                                    std::to_string(height) + " must be positive");
    }
}

std::uint64_t ViewSurface::NewStamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

QImage& ViewSurface::Image() {
    Stamp = NewStamp();
    return Made();
}

QImage& ViewSurface::Made() const {
    if (Picture.isNull()) {
        Stamp = NewStamp();
        Picture = QImage(PictureWidth, PictureHeight, QImage::Format_RGB32);
        if (Picture.isNull())
            throw std::bad_alloc();
        Picture.fill(ToRgb32(Colors[0]));
    }
    return Picture;
}

ViewSurface::~ViewSurface() {
    // Move the list out first: an observer's handler may call RemoveObserver.
    const std::vector<Observer> observers = std::move(Observers);
    for (const Observer& observer : observers) {
        if (observer.Destroyed) {
            observer.Destroyed();
        }
    }
}

std::uint32_t ViewSurface::ToRgb32(std::uint32_t packed) {
    const std::uint32_t red = packed & 0xFF;
    const std::uint32_t green = (packed >> 8) & 0xFF;
    const std::uint32_t blue = (packed >> 16) & 0xFF;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}

std::uint32_t ViewSurface::FromRgb32(std::uint32_t rgb32) {
    const std::uint32_t red = (rgb32 >> 16) & 0xFF;
    const std::uint32_t green = (rgb32 >> 8) & 0xFF;
    const std::uint32_t blue = rgb32 & 0xFF;
    return red | (green << 8) | (blue << 16);
}

std::uint32_t ViewSurface::GetColor(int index) const {
    if (index < 0 || index >= PalettedImage::ColorCount) {
        throw std::out_of_range("colour index " + std::to_string(index) + " outside 0..255");
    }
    return Colors[static_cast<std::size_t>(index)];
}

std::uint32_t ViewSurface::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) {
        throw std::out_of_range("pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                                ") outside the view");
    }
    const auto* row = reinterpret_cast<const QRgb*>(Made().constScanLine(y));
    return FromRgb32(row[x]);
}

void ViewSurface::FillRect(const ImageRect& rect, int index) {
    const std::uint32_t color = ToRgb32(GetColor(index));
    const int left = std::max(rect.Left, 0);
    const int top = std::max(rect.Top, 0);
    const int right = std::min(rect.Right, Width());
    const int bottom = std::min(rect.Bottom, Height());
    if (left >= right || top >= bottom) {
        return;
    }
    Stamp = NewStamp();
    for (int y = top; y < bottom; ++y) {
        auto* row = reinterpret_cast<QRgb*>(Made().scanLine(y));
        std::fill(row + left, row + right, color);
    }
    NotifyChanged({left, top, right, bottom});
}

void ViewSurface::CopyFrom(const ImageRect& destination, const PalettedImage& source,
                           const ImageRect& sourceRect) {
    const CopyAxis columns(destination.Left, destination.Right, Width(), sourceRect.Left,
                           sourceRect.Right, source.Width());
    const CopyAxis rows(destination.Top, destination.Bottom, Height(), sourceRect.Top,
                        sourceRect.Bottom, source.Height());
    if (columns.Count() == 0 || rows.Count() == 0) {
        return;
    }
    // The colours in effect now; later table changes show only after the next copy.
    if (source.ColorTableStamp() != LookupStamp) {
        const auto& table = source.ColorTable();
        for (std::size_t i = 0; i < Lookup.size(); ++i) {
            Lookup[i] = ToRgb32(table[i]);
        }
        LookupStamp = source.ColorTableStamp();
    }
    // A local table and count: the compiler then knows the pixel stores cannot change them.
    const std::array<QRgb, PalettedImage::ColorCount> lookup = Lookup;
    Stamp = NewStamp();
    const int count = columns.Count();
    // One detach check for the whole copy instead of one per row.
    uchar* bits = Made().bits();
    const auto stride = static_cast<std::size_t>(Picture.bytesPerLine());
    for (int i = 0; i < rows.Count(); ++i) {
        QRgb* out =
            reinterpret_cast<QRgb*>(bits + static_cast<std::size_t>(rows.First() + i) * stride) +
            columns.First();
        // An enlarged row repeats the one above it.
        if (i > 0 && rows.SourceAt(i) == rows.SourceAt(i - 1)) {
            std::memcpy(out, reinterpret_cast<const uchar*>(out) - stride,
                        static_cast<std::size_t>(count) * sizeof(QRgb));
            continue;
        }
        const std::uint8_t* in = source.Row(rows.SourceAt(i)).data();
        if (!columns.Scaled()) {
            in += columns.SourceAt(0);
            for (int k = 0; k < count; ++k) {
                out[k] = lookup[in[k]];
            }
            continue;
        }
        for (int k = 0; k < count; ++k) {
            out[k] = lookup[in[columns.SourceAt(k)]];
        }
    }
    NotifyChanged(ImageRect::FromSize(columns.First(), rows.First(), count, rows.Count()));
}

void ViewSurface::AddObserver(const void* key,
                              std::function<void(const ImageRect& changed)> changed,
                              std::function<void()> destroyed) {
    RemoveObserver(key);
    Observers.push_back({key, std::move(changed), std::move(destroyed)});
}

void ViewSurface::AddObserver(const void* key, std::function<void()> changed,
                              std::function<void()> destroyed) {
    std::function<void(const ImageRect&)> anyChange;
    if (changed)
        anyChange = [changed = std::move(changed)](const ImageRect&) { changed(); };
    AddObserver(key, std::move(anyChange), std::move(destroyed));
}

void ViewSurface::RemoveObserver(const void* key) {
    std::erase_if(Observers, [key](const Observer& observer) { return observer.Key == key; });
}

void ViewSurface::NotifyChanged() {
    NotifyChanged({0, 0, Width(), Height()});
}

void ViewSurface::NotifyChanged(const ImageRect& area) {
    Stamp = NewStamp();
    const ImageRect clipped{std::max(area.Left, 0), std::max(area.Top, 0),
                            std::min(area.Right, Width()), std::min(area.Bottom, Height())};
    if (clipped.Empty()) {
        return;
    }
    for (const Observer& observer : Observers) {
        if (observer.Changed) {
            observer.Changed(clipped);
        }
    }
}
