// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/remembered_folder.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "env_test_environment.h"

namespace tailorloft::env {
namespace {

QString Stored() {
  return QSettings()
      .value(QStringLiteral("Settings/Last File Path"))
      .toString();
}

void Store(const QString& value) {
  QSettings settings;
  settings.setValue(QStringLiteral("Settings/Last File Path"), value);
}

// Windows finds a folder whatever the case of its name, so there the seed is
// always the usual name, with the system's separators.
#ifdef Q_OS_WIN
const QString kFoundSkins = QStringLiteral("\\gamedata\\skins");
const QString kUsualSkins = kFoundSkins;
const QString kStoreName = QStringLiteral("/Tailorloft/Tailorloft.ini");
const QByteArray kLineEnd = "\r\n";
#else
const QString kFoundSkins = QStringLiteral("/GameData/Skins");
const QString kUsualSkins = QStringLiteral("/gamedata/skins");
const QString kStoreName = QStringLiteral("/Tailorloft/Tailorloft.conf");
const QByteArray kLineEnd = "\n";
#endif

class RememberedFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QSettings settings;
    settings.clear();
    settings.sync();
    gLastFilePath.clear();
    ASSERT_TRUE(game_.isValid());
  }

  QTemporaryDir game_;
};

TEST_F(RememberedFolderTest, FirstRunSeedsTheSkinFolder) {
  QDir(game_.path()).mkpath(QStringLiteral("GameData/Skins"));
  LoadRememberedFolder(game_.path());
  EXPECT_EQ(gLastFilePath, game_.path() + kFoundSkins);
  EXPECT_EQ(Stored(), gLastFilePath);
}

TEST_F(RememberedFolderTest, FirstRunWithoutSkinFolderUsesTheUsualName) {
  LoadRememberedFolder(game_.path());
  EXPECT_EQ(gLastFilePath, game_.path() + kUsualSkins);
  EXPECT_EQ(Stored(), gLastFilePath);
}

TEST_F(RememberedFolderTest, LaterRunsKeepTheStoredFolder) {
  QDir(game_.path()).mkpath(QStringLiteral("GameData/Skins"));
  Store(QStringLiteral("/home/u/my skins/"));
  LoadRememberedFolder(game_.path());
  EXPECT_EQ(gLastFilePath, QStringLiteral("/home/u/my skins/"));
  EXPECT_EQ(Stored(), QStringLiteral("/home/u/my skins/"));
}

TEST_F(RememberedFolderTest, AnEmptySettingIsSeededAgain) {
  Store(QString());
  LoadRememberedFolder(game_.path());
  EXPECT_EQ(Stored(), game_.path() + kUsualSkins);
}

TEST_F(RememberedFolderTest, RemembersTheFolderOfEachChoiceAcrossRuns) {
  const struct {
    QString fullFileName, fileTitle, folder;
  } cases[] = {
      {QStringLiteral("/home/u/skins/B001FAFit_01.skn"), QStringLiteral("B001FAFit_01.skn"), QStringLiteral("/home/u/skins/")},
      {QStringLiteral("/body.skn"), QStringLiteral("body.skn"), QStringLiteral("/")},
      {QStringLiteral("C:\\body.skn"), QStringLiteral("body.skn"), QStringLiteral("C:\\")},
      {QStringLiteral("/home/u/Sk\u00e9ins/\u00e9t\u00e9.cmx"), QStringLiteral("\u00e9t\u00e9.cmx"), QStringLiteral("/home/u/Sk\u00e9ins/")},
      {QStringLiteral("odd"), QStringLiteral("longer than the name"), QString()},
  };
  for (const auto& c : cases) {
    RememberFolder(c.fullFileName, c.fileTitle);
    EXPECT_EQ(gLastFilePath, c.folder) << qPrintable(c.fullFileName);
    EXPECT_EQ(Stored(), c.folder) << qPrintable(c.fullFileName);
  }

  RememberFolder(QStringLiteral("/srv/skins/hat.skn"), QStringLiteral("hat.skn"));
  gLastFilePath.clear();  // the next run
  LoadRememberedFolder(game_.path());
  EXPECT_EQ(gLastFilePath, QStringLiteral("/srv/skins/"));
}

// The store is the per-user settings file under its three names, in the
// folder this test run gave QSettings.
TEST_F(RememberedFolderTest, KeepsTheSettingUnderItsNames) {
  RememberFolder(QStringLiteral("/srv/skins/hat.skn"), QStringLiteral("hat.skn"));
  const QString file = QSettings().fileName();
  EXPECT_EQ(file, TestSettingsFolder() + kStoreName);
  QFile ini(file);
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_EQ(ini.readAll(), "[Settings]" + kLineEnd + "Last%20File%20Path=/srv/skins/" + kLineEnd);
}

}  // namespace
}  // namespace tailorloft::env
