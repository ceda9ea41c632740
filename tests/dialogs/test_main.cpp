#include <gtest/gtest.h>

#include <QApplication>

#include "resources.h"

int main(int argc, char** argv) {
  // Headless by default; a caller may still pick another platform (e.g. xcb).
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  gaspipe::InitResources();
  return RUN_ALL_TESTS();
}
