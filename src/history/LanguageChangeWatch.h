#pragma once

#include <QObject>

#include <functional>

// Calls back when the application's language changes (a translator installed or removed).
// Watching a widget, the call comes after its window has re-set its own texts, since the window
// passes the change on to its children after handling it itself; watching the application, it
// comes at once, before any window.
class LanguageChangeWatch : public QObject {
    Q_OBJECT

public:
    LanguageChangeWatch(QObject* watched, std::function<void()> changed);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QObject* Watched;
    std::function<void()> Changed;
};
