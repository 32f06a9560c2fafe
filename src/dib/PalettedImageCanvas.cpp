#include "dib/PalettedImageCanvas.h"

#include "dib/CopyAxis.h"
#include "dib/PalettedImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

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
    const PalettedImage& from = source.Image();
    const auto inStride = static_cast<std::size_t>(from.Width());
    // Source rows, in order, as the copy reads them.
    int firstSourceRow = rows.SourceAt(0);
    int lastSourceRow = firstSourceRow;
    for (int i = 1; i < rows.Count(); ++i) {
        firstSourceRow = std::min(firstSourceRow, rows.SourceAt(i));
        lastSourceRow = std::max(lastSourceRow, rows.SourceAt(i));
    }
    const std::uint8_t* in = from.Row(firstSourceRow).data();
    // A copy within one image reads from a snapshot of the rows it reads, so that no row is
    // read after being written.
    std::vector<std::uint8_t> snapshot;
    if (source.Target == Target) {
        snapshot.assign(in, in + static_cast<std::size_t>(lastSourceRow - firstSourceRow + 1) *
                                     inStride);
        in = snapshot.data();
    }
    // Rows are contiguous; walk them by stride rather than asking for each one.
    std::uint8_t* out = target.Row(0).data() + columns.First();
    const auto outStride = static_cast<std::size_t>(target.Width());
    const auto count = static_cast<std::size_t>(columns.Count());
    for (int i = 0; i < rows.Count(); ++i) {
        const std::uint8_t* inRow =
            in + static_cast<std::size_t>(rows.SourceAt(i) - firstSourceRow) * inStride;
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
