// GoogleTest main for the window tests: an offscreen QApplication (unless the
// caller chose a platform) with the program's fonts and pictures.
#include <gtest/gtest.h>

#include <QApplication>

#include "resources.h"

int main(int argc, char* argv[]) {
    // A caller's platform stays (under Wine: minimal, see cmake/wine-run.in).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    gaspipe::InitResources();
    return RUN_ALL_TESTS();
}
