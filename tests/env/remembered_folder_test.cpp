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
  EXPECT_EQ(gLastFilePath, game_.path() + QStringLiteral("/GameData/Skins"));
  EXPECT_EQ(Stored(), gLastFilePath);
}

TEST_F(RememberedFolderTest, FirstRunWithoutSkinFolderUsesTheUsualName) {
  LoadRememberedFolder(game_.path());
  EXPECT_EQ(gLastFilePath, game_.path() + QStringLiteral("/gamedata/skins"));
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
  EXPECT_EQ(Stored(), game_.path() + QStringLiteral("/gamedata/skins"));
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
  EXPECT_EQ(file, TestSettingsFolder() + QStringLiteral("/Tailorloft/Tailorloft.conf"));
  QFile ini(file);
  ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
  EXPECT_EQ(ini.readAll(), QByteArray("[Settings]\nLast%20File%20Path=/srv/skins/\n"));
}

}  // namespace
}  // namespace tailorloft::env
