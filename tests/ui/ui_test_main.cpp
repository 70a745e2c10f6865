// Runs the window tests inside one QApplication, off screen unless a display
// is asked for, with a settings store of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "ui/app_info.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  tailorloft::ui::SetApplicationInfo();
  QApplication::setFont(tailorloft::ui::ApplicationFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
