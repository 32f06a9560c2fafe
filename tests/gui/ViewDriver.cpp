#include "ViewDriver.h"

#include "ImageEx/TImageEx.h"
#include "graphics/ViewSurface.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace ViewDriver {

namespace {

void SendMouse(QWidget* view, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
               int x, int y, Qt::KeyboardModifiers modifiers) {
    const QPointF local(x, y);
    const QPointF global = view->mapToGlobal(local);
    QMouseEvent event(type, local, local, global, button, held, modifiers);
    QApplication::sendEvent(view, &event);
}

} // namespace

void Press(QWidget* view, Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers modifiers) {
    SendMouse(view, QEvent::MouseButtonPress, button, button, x, y, modifiers);
}

void Release(QWidget* view, Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers modifiers) {
    SendMouse(view, QEvent::MouseButtonRelease, button, Qt::NoButton, x, y, modifiers);
}

void Click(QWidget* view, Qt::MouseButton button, int x, int y, Qt::KeyboardModifiers modifiers) {
    Press(view, button, x, y, modifiers);
    Release(view, button, x, y, modifiers);
}

void Move(QWidget* view, int x, int y, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    SendMouse(view, QEvent::MouseMove, Qt::NoButton, held, x, y, modifiers);
}

void Enter(QWidget* view, int x, int y) {
    const QPointF local(x, y);
    QEnterEvent event(local, local, view->mapToGlobal(local));
    QApplication::sendEvent(view, &event);
}

void Leave(QWidget* view) {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(view, &event);
}

void Wheel(QWidget* view, int x, int y, int notches, Qt::KeyboardModifiers modifiers) {
    const QPointF local(x, y);
    constexpr int NotchAngle = 120; // eighths of a degree
    QWheelEvent event(local, view->mapToGlobal(local), QPoint(), QPoint(0, notches * NotchAngle),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);
}

std::uint32_t PixelOf(const TImageEx* view, int x, int y) {
    const ViewSurface* surface = view->Surface();
    if (!surface) {
        ADD_FAILURE() << "view without a surface";
        return 0;
    }
    return surface->PixelAt(x, y);
}

} // namespace ViewDriver
