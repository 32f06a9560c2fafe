#pragma once

#include "dib/ImageRect.h"

class PalettedImage;

// A short-lived drawing surface bound to one PalettedImage. It owns nothing and must not
// outlive its image.
class PalettedImageCanvas {
public:
    explicit PalettedImageCanvas(PalettedImage& image) : Target(&image) {}

    PalettedImage& Image() const { return *Target; }

    // Copies the source rectangle of source's image into the destination rectangle of this
    // canvas's image, indices unchanged. A destination larger by a whole factor turns every
    // source pixel into a block; a smaller one keeps the top-left pixel of every block (see
    // CopyAxis). Pixels outside either image are neither read nor written; an empty rectangle
    // copies nothing. Source and destination may be the same image.
    void CopyRect(const ImageRect& destination, const PalettedImageCanvas& source,
                  const ImageRect& sourceRect);

private:
    PalettedImage* Target;
};
