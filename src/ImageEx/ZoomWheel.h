#pragma once

class QWheelEvent;

// Turns Ctrl+wheel turns into zoom steps: one step per notch, turns smaller than a notch (fine-
// grained wheels) adding up, and a wild turn taking no more steps than there are zoom levels.
class ZoomWheel {
public:
    explicit ZoomWheel(int levels) : Levels(levels) {}

    // Signed steps for a Ctrl+wheel event; 0 for any other wheel event, which also forgets a
    // part-turn.
    int StepsOf(const QWheelEvent& event);

private:
    // One notch of a common mouse wheel, in eighths of a degree.
    static constexpr int Notch = 120;
    int Levels;
    int PendingAngle = 0;
};
