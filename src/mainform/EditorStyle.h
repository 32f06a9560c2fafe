#pragma once

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
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

private:
    void DrawCachedIndicator(PrimitiveElement element, const QStyleOption* option,
                             QPainter* painter, const QWidget* widget) const;
};
