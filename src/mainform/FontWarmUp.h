#pragma once

// Reading the system's font configuration is the largest single cost of start-up, and the
// window needs it only when it first measures text. Started at the top of main, the warm-up
// reads it on a second thread while the application and the window's controls are created;
// the window waits for it just before its first text. Without a warm-up, Finish does nothing
// and the font system loads itself when first asked.
namespace FontWarmUp {

void Start();
void Finish();

} // namespace FontWarmUp
