#include "ImageEx/ZoomWheel.h"

#include <QWheelEvent>

#include <algorithm>

int ZoomWheel::StepsOf(const QWheelEvent& event) {
    if (!event.modifiers().testFlag(Qt::ControlModifier)) {
        PendingAngle = 0;
        return 0;
    }
    const qint64 angle = qint64{PendingAngle} + event.angleDelta().y();
    const qint64 notches = angle / Notch;
    PendingAngle = static_cast<int>(angle - notches * Notch);
    return static_cast<int>(std::clamp<qint64>(notches, 1 - Levels, Levels - 1));
}
