// One QApplication for the whole suite, made by the platform under test.

#include <gtest/gtest.h>

#include <cstdio>

#include <QString>
#include <QtGlobal>

#include "gui_support.h"
#include "platform/qt/qt_platform.h"

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform notes every window operation it cannot do (raise,
// size hints); those notes say nothing about vTome.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (text.startsWith(QStringLiteral("This plugin does not support"))) return;
    if (qtDefaultHandler != nullptr) {
        qtDefaultHandler(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
}

}  // namespace

int main(int argc, char** argv) {
    // No display is needed; listing the tests at build time needs none either.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    qtDefaultHandler = qInstallMessageHandler(quietHandler);
    ::testing::InitGoogleTest(&argc, argv);
    vtome::platform::qt::QtPlatform platform(argc, argv);
    vtome::gui_test::setPlatform(platform);
    vtome::gui_test::expectNoFailures();
    return RUN_ALL_TESTS();
}
