#include "ImageEx/BlockEnlarger.h"

#include <algorithm>
#include <cstring>
#include <utility>

QImage BlockEnlarger::Enlarge(const QImage& picture, const QRect& source, int zoom) {
    const QRect inside = source & picture.rect();
    if (picture.depth() != 32 || zoom < 1 || inside.isEmpty())
        return {};
    const QSize size = inside.size() * zoom;
    if (Buffer.width() < size.width() || Buffer.height() < size.height() ||
        Buffer.format() != picture.format())
        Buffer = QImage(size.expandedTo(Buffer.size()), picture.format());
    const auto blockWidth = static_cast<std::size_t>(zoom);
    const auto rowBytes = static_cast<std::size_t>(size.width()) * sizeof(QRgb);
    for (int y = 0; y < inside.height(); ++y) {
        const auto* from =
            reinterpret_cast<const QRgb*>(picture.constScanLine(inside.top() + y)) + inside.left();
        auto* first = reinterpret_cast<QRgb*>(Buffer.scanLine(y * zoom));
        for (int x = 0; x < inside.width(); ++x)
            std::fill_n(first + static_cast<std::size_t>(x) * blockWidth, blockWidth, from[x]);
        for (int copy = 1; copy < zoom; ++copy)
            std::memcpy(Buffer.scanLine(y * zoom + copy), first, rowBytes);
    }
    // The buffer's top-left part, without a copy.
    return QImage(std::as_const(Buffer).constBits(), size.width(), size.height(),
                  Buffer.bytesPerLine(), Buffer.format());
}
