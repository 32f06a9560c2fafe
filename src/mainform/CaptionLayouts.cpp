#include "mainform/CaptionLayouts.h"

#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QTextOption>

#include <cmath>

namespace {

// What Qt's text drawing would do more with than lay out one line left to right. (Labels ask
// for tabs to be expanded; a caption with a tab is left to Qt anyway.)
constexpr int OtherLayoutFlags = Qt::TextWordWrap | Qt::TextWrapAnywhere |
                                 Qt::TextJustificationForced | Qt::AlignJustify |
                                 Qt::TextForceRightToLeft;

bool IsRightToLeftOrBidiControl(QChar::Direction direction) {
    switch (direction) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirPDF:
    case QChar::DirRLI:
    case QChar::DirLRI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return true;
    default:
        return false;
    }
}

bool HasSpecialCharacter(const QString& text) {
    for (const QChar c : text) {
        // Line breaks, tabs, mnemonic marks, and the separator of length variants.
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == u'&' || c == QChar(0x9C) ||
            c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
        if (IsRightToLeftOrBidiControl(c.direction()))
            return true;
    }
    return false;
}

// Where a caption may start for its stored glyphs, moved there, to be exactly what Qt lays out
// at that place: on a whole pixel across (a glyph started between pixels is drawn from another
// sub-pixel rendering, and the two paths round such a start differently), and down on the 64ths
// of a pixel text positions are kept in (the sums are then exact either way).
bool StartsOnTextGrid(const QPointF& offset) {
    return offset.x() == std::floor(offset.x()) && offset.y() * 64 == std::floor(offset.y() * 64);
}

} // namespace

bool CaptionLayouts::Cacheable(const QPainter& painter, int flags, const QString& text) {
    // Moved by whole pixels only, one device pixel per pixel: where the caption starts on the
    // device is then as whole as where it starts in the box.
    const QTransform& transform = painter.transform();
    const bool wholePixelMove = transform.type() <= QTransform::TxTranslate &&
                                transform.dx() == std::floor(transform.dx()) &&
                                transform.dy() == std::floor(transform.dy()) &&
                                painter.device() != nullptr &&
                                painter.device()->devicePixelRatio() == 1.0;
    return wholePixelMove && !text.isEmpty() && (flags & OtherLayoutFlags) == 0 &&
           painter.layoutDirection() != Qt::RightToLeft && !HasSpecialCharacter(text);
}

CaptionLayouts::Layout CaptionLayouts::Make(QPainter& painter, const QSize& box, int flags,
                                            const QString& text) {
    // Where Qt's own drawing puts the text in a box at the origin.
    const QRectF boxAtOrigin(QPointF(0, 0), QSizeF(box));
    const QRectF bounds = painter.boundingRect(boxAtOrigin, flags, text);
    Layout layout;
    layout.Made = true;
    layout.Offset = bounds.topLeft();
    layout.Fits = ((flags & Qt::TextDontClip) != 0 || boxAtOrigin.contains(bounds)) &&
                  StartsOnTextGrid(layout.Offset);
    if (!layout.Fits)
        return layout; // Qt draws it every time: no glyphs to keep
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.Glyphs.setTextFormat(Qt::PlainText);
    layout.Glyphs.setTextOption(option);
    layout.Glyphs.setText(text);
    layout.Glyphs.setPerformanceHint(QStaticText::AggressiveCaching);
    layout.Glyphs.prepare(QTransform(), painter.font());
    return layout;
}

bool CaptionLayouts::Draw(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (!Cacheable(painter, flags, text))
        return false;
    Key key{text, painter.font(), flags, rect.size()};
    auto found = Layouts.find(key);
    if (found == Layouts.end()) {
        // Laying a caption out for keeps costs about twice what drawing it once does, and a
        // number label may never show the same text again: the layout is made when a caption
        // is drawn a second time.
        if (Layouts.size() >= Capacity)
            Layouts.clear();
        Layouts.insert(std::move(key), Layout{});
        return false;
    }
    if (!found->Made) {
        *found = Make(painter, rect.size(), flags, text);
    }
    // A caption Qt would clip to its box, or that starts off the text grid, is left to Qt.
    if (!found->Fits)
        return false;
    painter.drawStaticText(QPointF(rect.topLeft()) + found->Offset, found->Glyphs);
    return true;
}
