// The start-up baseline: a bare Qt main window, built with the editor's flags and started the
// way the editor is started, reporting its first painted frame.

#include "FirstPaintWatch.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    FirstPaintWatch::Install(&window);
    window.show();
    return QApplication::exec();
}
