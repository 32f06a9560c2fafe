#include "ImageEx/TImageEx.h"

#include "graphics/ViewSurface.h"

#include <QCursor>
#include <QEnterEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <cmath>
#include <utility>

namespace {

// View pixel under a position; floor, so that positions left of or above the view stay
// negative instead of rounding to 0.
int Pixel(qreal coordinate) {
    return static_cast<int>(std::floor(coordinate));
}

} // namespace

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
            this, [this] { update(); },
            [this] {
                // The surface is going away: forget it without touching it again.
                Shown = nullptr;
                update();
            });
        setFixedSize(Shown->Width(), Shown->Height());
    }
    update();
}

void TImageEx::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (Shown == nullptr) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    painter.drawImage(QPoint(0, 0), std::as_const(*Shown).Image());
}

void TImageEx::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->modifiers(), Pixel(event->position().x()),
                   Pixel(event->position().y()));
}

void TImageEx::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->buttons(), event->modifiers(), Pixel(event->position().x()),
                   Pixel(event->position().y()));
}

void TImageEx::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->modifiers(), Pixel(event->position().x()),
                 Pixel(event->position().y()));
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
