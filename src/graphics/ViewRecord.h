#pragma once

#include "dib/PalettedImage.h"
#include "graphics/ViewSurface.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

// What a view was last drawn from, whole, and the picture that drawing left in it.
//
// A tab redraws its views every time it comes to the front, in case something they show
// changed while it was hidden; most of the time nothing did, and the map pages and rooms cost
// most of a tab switch. A view drawn from equal inputs, whose picture nothing has touched since
// (ViewSurface::PictureStamp), already shows what drawing it again would.
class ViewRecord {
public:
    // Everything the drawing reads, in the order the caller adds it.
    class Inputs {
    public:
        Inputs& Add(std::span<const std::uint8_t> bytes) {
            Bytes.insert(Bytes.end(), bytes.begin(), bytes.end());
            return *this;
        }
        // A picture drawn from, as it is now: its pixels and its colours.
        Inputs& Add(const PalettedImage& picture) {
            return Add(picture.PixelStamp()).Add(picture.ColorTableStamp());
        }
        Inputs& Add(std::uint64_t value) {
            std::uint8_t raw[sizeof value];
            std::memcpy(raw, &value, sizeof value);
            return Add(raw);
        }

    private:
        friend class ViewRecord;
        std::vector<std::uint8_t> Bytes;
    };

    bool Shows(const ViewSurface& view, const Inputs& inputs) const {
        return Known && view.PictureStamp() == Picture && inputs.Bytes == Drawn;
    }
    // Right after the drawing, before anything else touches the view.
    void Remember(const ViewSurface& view, Inputs inputs) {
        Drawn = std::move(inputs.Bytes);
        Picture = view.PictureStamp();
        Known = true;
    }

private:
    bool Known = false;
    std::uint64_t Picture = 0;
    std::vector<std::uint8_t> Drawn;
};
