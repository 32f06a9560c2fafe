// The start-up baseline: a bare Qt main window, built with the editor's flags and started the
// way the editor is started, reporting its first painted frame through the same helper.

#include "mainform/FirstPaintReport.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QMainWindow window;
    FirstPaintReport::WatchIfRequested(&window);
    window.show();
    return QApplication::exec();
}
