#include "history/LanguageChangeWatch.h"

#include <QEvent>

LanguageChangeWatch::LanguageChangeWatch(QObject* watched, std::function<void()> changed)
    : Watched(watched), Changed(std::move(changed)) {
    Watched->installEventFilter(this);
}

// A filter on the application sees every object's events: only the application's own count.
bool LanguageChangeWatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Watched && event->type() == QEvent::LanguageChange)
        Changed();
    return false;
}
