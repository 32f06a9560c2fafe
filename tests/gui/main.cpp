#include "mainform/EditorStyle.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// The offscreen platform warns about window hints it ignores; keep the test log readable.
void QuietMessageHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.contains("propagateSizeHints"))
        return;
    qt_message_output(type, context, text);
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(QuietMessageHandler);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tests run the window in the style the program gives it.
    const bool userNamedStyle = EditorStyle::UserNamedStyle(argc, argv);
    QApplication application(argc, argv);
    EditorStyle::Apply(userNamedStyle);
    QApplication::setApplicationName("KESTRIN 6 EDITOR");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
