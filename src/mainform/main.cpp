#include "cli/CommandLineTool.h"
#include "mainform/TMainForm.h"

#include <QApplication>

// Usage: kestrin6editor [image.nes]; with an option, a command without the window (--help).
// The window takes the style Qt chooses: the desktop's, or the one named by -style NAME or
// QT_STYLE_OVERRIDE.
int main(int argc, char* argv[]) {
    if (CommandLineTool::WantsCommand(argc, argv))
        return CommandLineTool::Run(argc, argv);
    QApplication application(argc, argv);
    QApplication::setApplicationName(TMainForm::ApplicationTitle);

    StartupOptions options;
    options.BuildPagesAfterFirstFrame = true;
    TMainForm mainForm{options};
    if (mainForm.StartupFailed())
        return 1;
    mainForm.show();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        mainForm.OpenChosenFile(arguments.at(1));
    return QApplication::exec();
}
