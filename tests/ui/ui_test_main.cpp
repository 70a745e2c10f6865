// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the window tests inside one QApplication, off screen unless a display
// is asked for, with a settings store of their own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "ui/app_info.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  // The settings go to an INI file in a throwaway folder, never the user's
  // configuration or, on Windows, registry.
  QTemporaryDir settings;
  if (!settings.isValid()) return 1;
#ifdef Q_OS_WIN
  // The native store there is the user's registry, which setPath cannot move.
  QSettings::setDefaultFormat(QSettings::IniFormat);
#endif
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
  QApplication app(argc, argv);
  tailorloft::ui::SetApplicationInfo();
  QApplication::setFont(tailorloft::ui::ApplicationFont());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
