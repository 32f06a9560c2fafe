#include "cli/CommandLineTool.h"
#include "mainform/EditorStyle.h"
#include "mainform/FontWarmUp.h"
#include "mainform/TMainForm.h"

#include <QApplication>

// Usage: kestrin6editor [image.nes]; with an option, a command without the window (--help).
int main(int argc, char* argv[]) {
    if (CommandLineTool::WantsCommand(argc, argv))
        return CommandLineTool::Run(argc, argv);
    FontWarmUp::Start();
    const bool userNamedStyle = EditorStyle::UserNamedStyle(argc, argv);
    QApplication application(argc, argv);
    EditorStyle::Apply(userNamedStyle);
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
