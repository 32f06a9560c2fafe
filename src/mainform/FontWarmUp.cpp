#include "mainform/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <thread>

namespace FontWarmUp {

namespace {

// The font configuration is process-wide; loading it twice at once is safe but wasted work,
// so the window joins the warm-up before it lets the toolkit ask for fonts.
std::thread& Loader() {
    static std::thread loader;
    return loader;
}

} // namespace

void Start() {
    if (!Loader().joinable())
        Loader() = std::thread([] { FcInit(); });
}

void Finish() {
    if (Loader().joinable())
        Loader().join();
}

} // namespace FontWarmUp
