#pragma once

#include <QWidget>

#include <cstdint>

class TImageEx;
class ViewSurface;

// Sends real mouse events to a view, positions in view pixels, the way the window receives
// them from the user: press, move (with the buttons and keys held), release, enter, leave.
namespace ViewDriver {

void Press(QWidget* view, Qt::MouseButton button, int x, int y,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Release(QWidget* view, Qt::MouseButton button, int x, int y,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Press and release at one spot.
void Click(QWidget* view, Qt::MouseButton button, int x, int y,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Move(QWidget* view, int x, int y, Qt::MouseButtons held = Qt::NoButton,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Enter(QWidget* view, int x, int y);
void Leave(QWidget* view);
// The wheel turned by whole notches over a spot: positive away from the user (up).
void Wheel(QWidget* view, int x, int y, int notches,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A view pixel as 0x00BBGGRR (red lowest), like the master palette's colours.
std::uint32_t PixelOf(const TImageEx* view, int x, int y);

} // namespace ViewDriver
