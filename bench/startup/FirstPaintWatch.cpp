#include "FirstPaintWatch.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace FirstPaintWatch {

namespace {

long long MonotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// The first paint event of the window or of any widget in it starts a frame; its other widgets
// follow and then the frame is flushed: the time is taken by a queued call, which runs once
// the whole frame is out. Watches the whole application, as a window covered by its children
// may get no paint event of its own.
class FirstPaintFilter : public QObject {
public:
    explicit FirstPaintFilter(QWidget* window) : QObject(window), Window(window) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !Seen && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window() == Window) {
            Seen = true;
            QMetaObject::invokeMethod(this, &FirstPaintFilter::Report, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Report() {
        std::printf("first-paint %lld\n", MonotonicNanoseconds());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    QWidget* Window;
    bool Seen = false;
};

} // namespace

void Install(QWidget* window) {
    QCoreApplication::instance()->installEventFilter(new FirstPaintFilter(window));
}

} // namespace FirstPaintWatch
