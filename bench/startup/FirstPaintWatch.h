#pragma once

class QWidget;

// The start-up programs' end: the first frame painted for window is reported on standard
// output as a CLOCK_MONOTONIC time in nanoseconds ("first-paint <ns>"), and the program leaves
// its event loop at once, without closing the window (nothing is asked, no settings written).
namespace FirstPaintWatch {

void Install(QWidget* window);

} // namespace FirstPaintWatch
