#pragma once

#include <QFont>
#include <QHash>
#include <QPointF>
#include <QSize>
#include <QStaticText>
#include <QString>

class QPainter;
class QRect;

// Single-line captions (labels, button and group titles, tab names) laid out once and drawn from
// the stored glyphs afterwards.
//
// Shaping a caption (font look-up, script itemizing, HarfBuzz) cost more than drawing its glyphs,
// and every page switch shaped every caption of the page again. From the second time a caption
// is drawn, a layout is kept per text, font, alignment and box size, with the place in the box
// where Qt's own text drawing puts it; a caption that would be clipped, wrapped, underlined or
// drawn right to left, or that would start between two pixels (centred or right-aligned text
// may), is left to Qt.
class CaptionLayouts {
public:
    // Draws `text` in the painter's font and pen as QPainter::drawText(rect, flags, text) does;
    // false when the caption is not one this cache draws (nothing was drawn then).
    bool Draw(QPainter& painter, const QRect& rect, int flags, const QString& text);

    // Captions of the number labels change with every pick; the cache starts afresh when it
    // holds this many.
    static constexpr qsizetype Capacity = 1024;
    qsizetype Size() const { return Layouts.size(); }

private:
    struct Key {
        QString Text;
        QFont Font;
        int Flags = 0;
        QSize BoxSize;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) {
        return qHashMulti(seed, key.Text, key.Font, key.Flags, key.BoxSize.width(),
                          key.BoxSize.height());
    }
    struct Layout {
        bool Made = false; // false: the caption has been drawn once, by Qt
        QStaticText Glyphs;
        QPointF Offset;    // top left of the text within the box
        bool Fits = false; // drawn whole, from a place on the text grid
    };

    static bool Cacheable(const QPainter& painter, int flags, const QString& text);
    static Layout Make(QPainter& painter, const QSize& box, int flags, const QString& text);

    QHash<Key, Layout> Layouts;
};
