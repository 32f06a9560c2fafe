#include "dib/PalettedImageCanvas.h"

#include "dib/CopyAxis.h"
#include "dib/PalettedImage.h"

#include <cstring>
#include <optional>

void PalettedImageCanvas::CopyRect(const ImageRect& destination, const PalettedImageCanvas& source,
                                   const ImageRect& sourceRect) {
    PalettedImage& target = *Target;
    const CopyAxis columns(destination.Left, destination.Right, target.Width(), sourceRect.Left,
                           sourceRect.Right, source.Image().Width());
    const CopyAxis rows(destination.Top, destination.Bottom, target.Height(), sourceRect.Top,
                        sourceRect.Bottom, source.Image().Height());
    if (columns.Count() == 0 || rows.Count() == 0) {
        return;
    }
    // A copy within one image reads from a snapshot so that no row is read after being written.
    std::optional<PalettedImage> snapshot;
    if (source.Target == Target) {
        snapshot.emplace(target);
    }
    const PalettedImage& from = snapshot ? *snapshot : source.Image();
    // Rows are contiguous; walk them by stride rather than asking for each one.
    const std::uint8_t* in = from.Row(0).data();
    const auto inStride = static_cast<std::size_t>(from.Width());
    std::uint8_t* out = target.Row(0).data() + columns.First();
    const auto outStride = static_cast<std::size_t>(target.Width());
    const auto count = static_cast<std::size_t>(columns.Count());
    for (int i = 0; i < rows.Count(); ++i) {
        const std::uint8_t* inRow = in + static_cast<std::size_t>(rows.SourceAt(i)) * inStride;
        std::uint8_t* outRow = out + static_cast<std::size_t>(rows.First() + i) * outStride;
        if (!columns.Scaled()) {
            std::memcpy(outRow, inRow + columns.SourceAt(0), count);
            continue;
        }
        for (int k = 0; k < columns.Count(); ++k) {
            outRow[k] = inRow[columns.SourceAt(k)];
        }
    }
}
