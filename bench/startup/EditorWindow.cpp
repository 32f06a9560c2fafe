// The editor's window started as the program starts it (same libraries, same start-up options,
// the image given as the only argument opened after show), reporting its first painted frame.
// Its files are those of the built editor: the settings, list files and palette beside it. With
// K6_BENCH_SETTINGS_DIR set, the settings file is the one in that folder (the start-up language,
// say), the list files and palette still those of the built editor.
//
// Usage: k6editorwindow [image.nes]

#include "FirstPaintWatch.h"

#include "mainform/TMainForm.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(TMainForm::ApplicationTitle);

    StartupOptions options;
    options.ExecutableDir = K6_EDITOR_DIR;
    if (const char* settingsDir = std::getenv("K6_BENCH_SETTINGS_DIR")) {
        options.ExecutableDir = QString::fromLocal8Bit(settingsDir);
        options.DataDir = K6_EDITOR_DIR;
    }
    options.BuildPagesAfterFirstFrame = true;
    TMainForm mainForm{options};
    if (mainForm.StartupFailed())
        return 1;
    FirstPaintWatch::Install(&mainForm);
    mainForm.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        mainForm.OpenChosenFile(arguments.at(1));
    return QApplication::exec();
}
