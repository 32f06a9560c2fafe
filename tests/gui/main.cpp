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
    QApplication application(argc, argv);
    QApplication::setApplicationName("KESTRIN 6 EDITOR");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
