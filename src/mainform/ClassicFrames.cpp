#include "mainform/ClassicFrames.h"

#include <QBrush>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>

#include <cmath>

namespace ClassicFrames {

bool CanFill(const QPainter& painter) {
    const QTransform& transform = painter.transform();
    const bool wholePixelMove = transform.type() <= QTransform::TxTranslate &&
                                transform.dx() == std::floor(transform.dx()) &&
                                transform.dy() == std::floor(transform.dy());
    return wholePixelMove && !painter.testRenderHint(QPainter::Antialiasing) &&
           painter.opacity() == 1.0 &&
           painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
           painter.device() != nullptr && painter.device()->devicePixelRatio() == 1.0;
}

bool Opaque(const Bevel& bevel) {
    return bevel.OuterTopLeft.alpha() == 255 && bevel.OuterBottomRight.alpha() == 255 &&
           bevel.InnerTopLeft.alpha() == 255 && bevel.InnerBottomRight.alpha() == 255;
}

bool LargeEnough(const QRect& rect) {
    return rect.width() >= 5 && rect.height() >= 5;
}

void DrawBevel(QPainter& painter, const QRect& rect, const Bevel& bevel, const QBrush* fill) {
    const int x = rect.x();
    const int y = rect.y();
    const int w = rect.width();
    const int h = rect.height();
    // Outer ring: the top row and left column but for their far ends, then the bottom row
    // and right column in full.
    painter.fillRect(x, y, w - 1, 1, bevel.OuterTopLeft);
    painter.fillRect(x, y + 1, 1, h - 2, bevel.OuterTopLeft);
    painter.fillRect(x, y + h - 1, w, 1, bevel.OuterBottomRight);
    painter.fillRect(x + w - 1, y, 1, h - 1, bevel.OuterBottomRight);
    // Inner ring, the same one pixel in.
    painter.fillRect(x + 1, y + 1, w - 3, 1, bevel.InnerTopLeft);
    painter.fillRect(x + 1, y + 2, 1, h - 4, bevel.InnerTopLeft);
    painter.fillRect(x + 1, y + h - 2, w - 2, 1, bevel.InnerBottomRight);
    painter.fillRect(x + w - 2, y + 1, 1, h - 3, bevel.InnerBottomRight);
    if (fill != nullptr)
        painter.fillRect(QRect(x + 2, y + 2, w - 4, h - 4), *fill);
}

void DrawEtchedRect(QPainter& painter, const QRect& rect, const QColor& shadow,
                    const QColor& light) {
    const int x = rect.x();
    const int y = rect.y();
    const int w = rect.width();
    const int h = rect.height();
    // The outline of the rectangle less its last row and column.
    painter.fillRect(x, y, w - 1, 1, shadow);
    painter.fillRect(x, y + h - 2, w - 1, 1, shadow);
    painter.fillRect(x, y + 1, 1, h - 3, shadow);
    painter.fillRect(x + w - 2, y + 1, 1, h - 3, shadow);
    // Inside the outline's top and left.
    painter.fillRect(x + 1, y + 1, w - 3, 1, light);
    painter.fillRect(x + 1, y + 2, 1, h - 4, light);
    // Outside its bottom and right.
    painter.fillRect(x, y + h - 1, w, 1, light);
    painter.fillRect(x + w - 1, y, 1, h - 1, light);
}

} // namespace ClassicFrames
