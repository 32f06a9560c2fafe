#pragma once

#include "ImageEx/BlockEnlarger.h"
#include "ImageEx/ZoomWheel.h"

#include <QString>
#include <QWidget>

class ViewSurface;

// The image view of every editor: shows one view surface, each surface pixel as a zoom x zoom
// block of screen pixels, and reports the mouse in surface pixels, including the pointer
// entering and leaving the view (editors remove their hover frame on leave). Signals nobody
// connected are simply ignored.
//
// The surface belongs to the editor that made it. The view repaints by itself whenever the
// surface reports a change, and lets go of it when the surface is destroyed.
class TImageEx : public QWidget {
    Q_OBJECT

public:
    // How long a pop-up hint stays visible.
    static constexpr int HintDisplayMs = 10000;

    explicit TImageEx(QWidget* parent = nullptr);
    ~TImageEx() override;

    static constexpr int MinZoom = 1;
    static constexpr int MaxZoom = 4;

    // Shows the surface (null: nothing) and takes its size times the zoom as the view's fixed
    // size.
    void SetSurface(ViewSurface* surface);
    // Screen pixels per surface pixel, clamped to MinZoom..MaxZoom. The fixed size follows;
    // a view without a surface scales the fixed size it had.
    void SetZoom(int zoom);
    int Zoom() const { return ZoomFactor; }
    ViewSurface* Surface() const { return Shown; }
    // Schedules a repaint; for drawing that bypassed the surface's own operations.
    void Refresh() { update(); }

    // Pop-up hint over the view: the text shows while ShowHint is on and the text is not
    // empty. Changing either while the hint is up updates or hides it at once.
    void SetHintText(const QString& text);
    QString HintText() const { return Hint; }
    void ShowHint(bool show);
    bool HintShown() const { return HintEnabled; }

signals:
    // Positions are view pixels and are not clamped: a drag that leaves the view reports
    // positions outside it, negative ones included.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseEnter(TImageEx* sender);
    void mouseLeave(TImageEx* sender);
    // Ctrl+wheel over the view: +1 for a step in, -1 for a step out. The view does not zoom by
    // itself; whoever owns the zoom of all views decides.
    void zoomStepRequested(int step);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Detach();
    void UpdateVisibleHint();
    // The surface pixel under a widget position; floor, so that positions left of or above
    // the view stay negative.
    int SurfacePixel(qreal widgetCoordinate) const;

    ViewSurface* Shown = nullptr;
    int ZoomFactor = MinZoom;
    ZoomWheel Wheel{MaxZoom - MinZoom + 1};
    BlockEnlarger Enlarger;
    QString Hint;
    bool HintEnabled = false;
};
