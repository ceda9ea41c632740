// GoogleTest main for the window tests: an offscreen QApplication (unless the
// caller chose a platform) with the program's fonts and pictures.
#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

#include "resources.h"

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // 0: keep a caller's value
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    gaspipe::InitResources();
    return RUN_ALL_TESTS();
}
