#pragma once

class QWidget;

// Start-up measurement: when the environment variable K6_REPORT_FIRST_PAINT is set, the first
// frame painted for window is reported on standard output as a CLOCK_MONOTONIC time in
// nanoseconds ("first-paint <ns>"), and the program leaves its event loop at once, without
// closing the window (nothing is asked and no settings are written). Without the variable
// nothing is installed.
namespace FirstPaintReport {

constexpr const char* VariableName = "K6_REPORT_FIRST_PAINT";

void WatchIfRequested(QWidget* window);

} // namespace FirstPaintReport
