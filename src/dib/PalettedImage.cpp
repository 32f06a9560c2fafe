#include "dib/PalettedImage.h"

#include <algorithm>

#include "dib/PalettedImageCanvas.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

void CheckColorIndex(int index) {
    if (index < 0 || index >= PalettedImage::ColorCount) {
        throw std::out_of_range("colour index " + std::to_string(index) + " outside 0..255");
    }
}

void CheckSize(int value, const char* what) {
    if (value <= 0) {
        throw std::invalid_argument(std::string(what) + " must be positive, not " +
                                    std::to_string(value));
    }
}

} // namespace

PalettedImage::PalettedImage(int width, int height) {
    CheckSize(width, "width");
    CheckSize(height, "height");
    Resize(width, height);
}

void PalettedImage::SetWidth(int width) {
    CheckSize(width, "width");
    Resize(width, PixelHeight);
}

void PalettedImage::SetHeight(int height) {
    CheckSize(height, "height");
    Resize(PixelWidth, height);
}

void PalettedImage::Resize(int width, int height) {
    PixelsMayChange();
    PixelWidth = width;
    PixelHeight = height;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    // Pictures are resized on every stage load: the same size keeps its memory.
    if (Pixels.size() == count) {
        std::fill(Pixels.begin(), Pixels.end(), std::uint8_t{0});
    } else {
        Pixels = ZeroedBytes(count);
    }
}

PalettedImage::PalettedImage(const PalettedImage& other)
    : PixelWidth(other.PixelWidth), PixelHeight(other.PixelHeight), Pixels(other.Pixels),
      Colors(other.Colors), Stamp(other.Stamp) {}

PalettedImage& PalettedImage::operator=(const PalettedImage& other) {
    if (this != &other) {
        PixelWidth = other.PixelWidth;
        PixelHeight = other.PixelHeight;
        Pixels = other.Pixels;
        Colors = other.Colors;
        Stamp = other.Stamp;
        PixelsStamp = NewStamp();
        PixelsStampSeen = false;
    }
    return *this;
}

PalettedImage::PalettedImage(PalettedImage&& other) noexcept
    : PixelWidth(other.PixelWidth), PixelHeight(other.PixelHeight), Pixels(std::move(other.Pixels)),
      Colors(other.Colors), Stamp(other.Stamp) {}

PalettedImage& PalettedImage::operator=(PalettedImage&& other) noexcept {
    if (this != &other) {
        PixelWidth = other.PixelWidth;
        PixelHeight = other.PixelHeight;
        Pixels = std::move(other.Pixels);
        Colors = other.Colors;
        Stamp = other.Stamp;
        PixelsStamp = NewStamp();
        PixelsStampSeen = false;
    }
    return *this;
}

std::uint64_t PalettedImage::NewStamp() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void PalettedImage::SetColor(int index, std::uint32_t rgb) {
    CheckColorIndex(index);
    Colors[static_cast<std::size_t>(index)] = rgb & 0x00FFFFFFu;
    Stamp = NewStamp();
}

void PalettedImage::CopyColorTable(const PalettedImage& from) {
    Colors = from.Colors;
    Stamp = from.Stamp; // the same table
}

void PalettedImage::SetColorTable(const ColorTableArray& colors) {
    Colors = colors;
    Stamp = NewStamp();
}

std::uint32_t PalettedImage::GetColor(int index) const {
    CheckColorIndex(index);
    return Colors[static_cast<std::size_t>(index)];
}

std::span<std::uint8_t> PalettedImage::Row(int y) {
    const std::span<const std::uint8_t> row = std::as_const(*this).Row(y);
    PixelsMayChange();
    return {const_cast<std::uint8_t*>(row.data()), row.size()};
}

std::span<const std::uint8_t> PalettedImage::Row(int y) const {
    if (y < 0 || y >= PixelHeight) {
        throw std::out_of_range("row " + std::to_string(y) + " outside the image");
    }
    return {Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(PixelWidth),
            static_cast<std::size_t>(PixelWidth)};
}

std::uint8_t PalettedImage::PixelAt(int x, int y) const {
    if (x < 0 || x >= PixelWidth) {
        throw std::out_of_range("column " + std::to_string(x) + " outside the image");
    }
    return Row(y)[static_cast<std::size_t>(x)];
}

PalettedImageCanvas PalettedImage::Canvas() {
    return PalettedImageCanvas(*this);
}
