#include "ImageEx/TImageEx.h"

#include "graphics/ViewSurface.h"

#include <QCursor>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <utility>

TImageEx::TImageEx(QWidget* parent) : QWidget(parent) {
    // Moves without a held button matter: the hover frames follow the pointer.
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

TImageEx::~TImageEx() {
    Detach();
}

void TImageEx::Detach() {
    if (Shown != nullptr) {
        Shown->RemoveObserver(this);
        Shown = nullptr;
    }
}

void TImageEx::SetSurface(ViewSurface* surface) {
    if (surface == Shown) {
        return;
    }
    Detach();
    Shown = surface;
    if (Shown != nullptr) {
        Shown->AddObserver(
            this,
            [this](const ImageRect& changed) {
                // Only the changed blocks: a hover frame at zoom 4 must not repaint a page.
                update(changed.Left * ZoomFactor, changed.Top * ZoomFactor,
                       changed.Width() * ZoomFactor, changed.Height() * ZoomFactor);
            },
            [this] {
                // The surface is going away: forget it without touching it again.
                Shown = nullptr;
                update();
            });
        setFixedSize(Shown->Width() * ZoomFactor, Shown->Height() * ZoomFactor);
    }
    update();
}

void TImageEx::SetZoom(int zoom) {
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (zoom == ZoomFactor) {
        return;
    }
    const QSize unzoomed =
        Shown != nullptr ? QSize(Shown->Width(), Shown->Height()) : minimumSize() / ZoomFactor;
    ZoomFactor = zoom;
    setFixedSize(unzoomed * ZoomFactor);
    update();
}

void TImageEx::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (Shown == nullptr) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    const QImage& picture = std::as_const(*Shown).Image();
    // Whole surface pixels cover each exposed rectangle; every one becomes an exact block,
    // never smoothed, also where the screen has more than one device pixel per widget pixel.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const QRect& exposed : event->region()) {
        const QRect source =
            QRect(QPoint(exposed.left() / ZoomFactor, exposed.top() / ZoomFactor),
                  QPoint(exposed.right() / ZoomFactor, exposed.bottom() / ZoomFactor))
                .intersected(picture.rect());
        if (source.isEmpty()) {
            continue;
        }
        const QRect target(source.topLeft() * ZoomFactor, source.size() * ZoomFactor);
        if (ZoomFactor == 1) {
            painter.drawImage(target.topLeft(), picture, source);
            continue;
        }
        const QImage enlarged = Enlarger.Enlarge(picture, source, ZoomFactor);
        if (enlarged.isNull())
            painter.drawImage(target, picture, source);
        else
            painter.drawImage(target.topLeft(), enlarged);
    }
}

int TImageEx::SurfacePixel(qreal widgetCoordinate) const {
    return static_cast<int>(std::floor(widgetCoordinate / ZoomFactor));
}

void TImageEx::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), SurfacePixel(event->position().x()),
                   SurfacePixel(event->position().y()));
}

void TImageEx::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->buttons(), event->modifiers(), SurfacePixel(event->position().x()),
                   SurfacePixel(event->position().y()));
}

void TImageEx::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->modifiers(), SurfacePixel(event->position().x()),
                 SurfacePixel(event->position().y()));
}

void TImageEx::wheelEvent(QWheelEvent* event) {
    static const QMetaMethod zoomStep = QMetaMethod::fromSignal(&TImageEx::zoomStepRequested);
    const int steps = Wheel.StepsOf(*event);
    if (!event->modifiers().testFlag(Qt::ControlModifier) || !isSignalConnected(zoomStep)) {
        // The plain wheel, and any wheel over a view that does not zoom, keeps scrolling
        // whatever holds the view.
        event->ignore();
        return;
    }
    event->accept();
    for (int i = 0; i < std::abs(steps); ++i) {
        emit zoomStepRequested(steps > 0 ? 1 : -1);
    }
}

void TImageEx::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    emit mouseEnter(this);
}

void TImageEx::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit mouseLeave(this);
}

bool TImageEx::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (HintEnabled && !Hint.isEmpty()) {
            QToolTip::showText(help->globalPos(), Hint, this, QRect(), HintDisplayMs);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void TImageEx::SetHintText(const QString& text) {
    if (text == Hint) {
        return;
    }
    Hint = text;
    UpdateVisibleHint();
}

void TImageEx::ShowHint(bool show) {
    if (show == HintEnabled) {
        return;
    }
    HintEnabled = show;
    UpdateVisibleHint();
}

void TImageEx::UpdateVisibleHint() {
    // Only a hint this view put up is touched; another control's hint stays.
    if (!QToolTip::isVisible() || !underMouse()) {
        return;
    }
    if (HintEnabled && !Hint.isEmpty()) {
        QToolTip::showText(QCursor::pos(), Hint, this, QRect(), HintDisplayMs);
    } else {
        QToolTip::hideText();
    }
}
