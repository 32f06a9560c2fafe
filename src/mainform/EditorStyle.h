#pragma once

#include "mainform/CaptionLayouts.h"

#include <QFontMetrics>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QProxyStyle>

// The widget style of the editor's windows.
//
// Where the desktop offers no style of its own, Qt falls back to Fusion, which paints every
// frame, groove and group box with translucent gradients; the raster engine hands each tall
// translucent fill to worker threads and waits for them, and a page switch spent most of its
// time there. Where that fallback would apply, the editor uses Qt's classic Windows style
// instead: flat, opaque drawing (the look of the controls this window's layout comes from) in a
// fraction of the time. A style the user names (-style, QT_STYLE_OVERRIDE) or the desktop
// provides is kept as it is.
class EditorStyle : public QProxyStyle {
public:
    // Before the QApplication exists, which removes -style from the arguments it reads.
    static bool UserNamedStyle(int argc, const char* const* argv);
    // After it exists: installs the editor's style where Qt fell back to Fusion.
    static void Apply(bool userNamedStyle);

    // Wraps the classic Windows style.
    EditorStyle();

    // Radio and check indicators are antialiased paths drawn again at every paint; a page of
    // attribute buttons spent most of its repaint there. In the classic style they depend only
    // on their size, state, direction and palette, so each look is drawn once and then copied.
    // Bevelled frames are drawn with fills (see ClassicFrames).
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

    // Single-line captions are shaped once and drawn from the stored glyphs afterwards.
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole = QPalette::NoRole) const override;

    // A group box measures its title (shaping it) twice at every paint; the places of its
    // title, check box and frame are kept per box instead.
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                         SubControl subControl, const QWidget* widget = nullptr) const override;

private:
    // Bevelled frames drawn with fills; false where the classic style must draw the frame.
    bool DrawFrameWithFills(PrimitiveElement element, const QStyleOption& option,
                            QPainter& painter) const;
    void DrawCachedIndicator(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const;

    struct IndicatorLook {
        int Element = 0;
        QSize Size;
        uint State = 0;
        int Direction = 0;
        qint64 PaletteKey = 0;
        qreal Scale = 1;
        bool operator==(const IndicatorLook&) const = default;
    };
    friend size_t qHash(const IndicatorLook& look, size_t seed) {
        return qHashMulti(seed, look.Element, look.Size.width(), look.Size.height(), look.State,
                          look.Direction, look.PaletteKey, look.Scale);
    }

    // What a group box's layout depends on, and the layout.
    struct GroupBoxPlace {
        SubControl Part = SC_None;
        QRect Rect;
        QString Title;
        int TitleAlignment = 0;
        int Features = 0;
        uint SubControls = 0;
        int LineWidth = 0;
        int MidLineWidth = 0;
        uint State = 0;
        int Direction = 0;
        QFontMetrics Metrics{QFont()};
        QRect Result;
        bool SameLayout(const GroupBoxPlace& other) const;
    };

    // Drawing is const to the style; these are only a memory of it. Each starts afresh when
    // it holds its capacity.
    static constexpr qsizetype IndicatorCapacity = 256;
    static constexpr qsizetype GroupBoxCapacity = 64;
    mutable QHash<IndicatorLook, QPixmap> Indicators;
    mutable QList<GroupBoxPlace> GroupBoxPlaces;
    mutable CaptionLayouts Captions;
};
