#pragma once

#include <QColor>

class QBrush;
class QPainter;
class QRect;

// The classic style's bevelled frames drawn as solid rectangles.
//
// The classic style draws its frames (group boxes, the tab page, line edits, push buttons) as
// one-pixel lines, and the raster engine walks a line pixel by pixel: a group box frame took
// about 15 µs, the tab page frame about 30 µs, ten times what filling the same pixels takes.
// These draw the very same pixels with fills. They apply where a line and a fill cover the same
// pixels (see CanFill); elsewhere the caller leaves the drawing to the classic style.
namespace ClassicFrames {

// The four colours of a bevel: outer top-left, outer bottom-right, inner top-left, inner
// bottom-right.
struct Bevel {
    QColor OuterTopLeft;
    QColor OuterBottomRight;
    QColor InnerTopLeft;
    QColor InnerBottomRight;
};

// Whether `painter` puts a one-pixel line exactly where a fill of its pixels goes: whole-pixel
// moves only, no antialiasing, plain opaque drawing, one device pixel per pixel. The colours
// must be opaque too, so that a pixel two lines share looks the same drawn once.
bool CanFill(const QPainter& painter);
bool Opaque(const Bevel& bevel);

// The two-pixel bevel of classic panels and buttons, with the inside filled when `fill` is
// given. Needs a rectangle of at least 5 by 5.
void DrawBevel(QPainter& painter, const QRect& rect, const Bevel& bevel, const QBrush* fill);

// The etched one-pixel frame of group boxes: `shadow` outlines the rectangle less its last
// row and column, `light` lines the inside of that outline's top and left and the outside of
// its bottom and right. Needs a rectangle of at least 5 by 5.
void DrawEtchedRect(QPainter& painter, const QRect& rect, const QColor& shadow,
                    const QColor& light);

// The size the two drawings above need.
bool LargeEnough(const QRect& rect);

} // namespace ClassicFrames
