// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the Qt side of the environment tests with settings kept in a folder of
// their own, never the user's.
#include <QCoreApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "env_test_environment.h"

namespace {
QString settingsFolder;
}

QString TestSettingsFolder() { return settingsFolder; }

int main(int argc, char** argv) {
  QStandardPaths::setTestModeEnabled(true);
  QTemporaryDir settings;
  if (!settings.isValid()) return 1;
  settingsFolder = settings.path();
#ifdef Q_OS_WIN
  // The native store there is the user's registry, which setPath cannot move.
  QSettings::setDefaultFormat(QSettings::IniFormat);
#endif
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder);

  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tailorloft"));
  QCoreApplication::setOrganizationName(QStringLiteral("Tailorloft"));
  QCoreApplication::setApplicationVersion(QStringLiteral("1.0.0"));

  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
