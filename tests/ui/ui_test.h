// SPDX-License-Identifier: GPL-3.0-or-later
// The fixture of the window tests: a scratch folder, a fresh settings store,
// an empty remembered folder and a script of dialog answers.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "env/remembered_folder.h"
#include "fake_desktop.h"
#include "tests/qt_print.h"

namespace tailorloft::ui::testing {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    QSettings().clear();
    env::gLastFilePath.clear();
  }

  // A full file name in the scratch folder (or a subfolder of it, created).
  QString PathIn(const QString& subFolder, const QString& name) const {
    QDir(dir_.path()).mkpath(subFolder);
    return QDir::toNativeSeparators(QDir(dir_.path()).filePath(subFolder + QLatin1Char('/') + name));
  }
  QString FolderOf(const QString& subFolder) const {
    QDir(dir_.path()).mkpath(subFolder);
    return QDir::toNativeSeparators(QDir(dir_.path()).filePath(subFolder)) + QDir::separator();
  }

  static std::string ReadBytes(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) return "<missing>";
    return file.readAll().toStdString();
  }
  static void WriteBytes(const QString& fileName, const std::string& bytes) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
  }

  Desktop MakeDesktop() { return FakeDesktop(script_); }

  QTemporaryDir dir_;
  std::shared_ptr<DesktopScript> script_ = std::make_shared<DesktopScript>();
};

// Runs `drive` on the modal window once one is shown, from the event loop
// that shows it.
inline void WhenModalShown(std::function<void(QWidget*)> drive) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, drive = std::move(drive)] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      drive(modal);
    }
  });
  timer->start();
}

template <typename T>
T* Control(const QWidget* window, const char* name) {
  T* control = window->findChild<T*>(QLatin1String(name));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

}  // namespace tailorloft::ui::testing
