// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/error_trap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace tailorloft::env {
namespace {

struct ProgramEnded {};

class ErrorTrapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    gErrNumber = 5;
    gErrDescription = QStringLiteral("Invalid procedure call or argument");
    gErrModule = QStringLiteral("frmMain");
    gErrProcedure = QStringLiteral("cmdSave_Click");
    gErrLocation = 1000;
  }
  void TearDown() override { SetFatalErrorHooks({}); }

  // Runs the trap with `programFolder` as the program's folder and
  // `userDataFolder` as the per-user one; the program "ends" by unwinding
  // back here.
  void Trap(const QString& programFolder, const QString& userDataFolder = QStringLiteral("/dev/null/data")) {
    SetFatalErrorHooks({[this](const QString& title, const QString& text) { shown_.emplace_back(title, text); },
                        [] { throw ProgramEnded{}; }, programFolder, userDataFolder});
    EXPECT_THROW(TrapFatalError(), ProgramEnded);
  }

  QByteArray Log(const QString& folder = QString()) const {
    QFile log(QDir(folder.isEmpty() ? folder_.path() : folder).filePath(QStringLiteral("errorlog.txt")));
    return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray("(no log)");
  }

  static QByteArray Expected(const QString& programFolder, const QByteArray& report) {
    return "Tailorloft\r\nVersion 1.0.0\r\n \r\nInstall Path: " + QDir::toNativeSeparators(programFolder).toUtf8() +
           "\r\n \r\n" + report + "\r\n";
  }

  QTemporaryDir folder_;
  std::vector<std::pair<QString, QString>> shown_;
};

const QByteArray kReport =
    "Error: 5\r\nInvalid procedure call or argument\r\n\r\nModule: frmMain\r\nProcedure: cmdSave_Click\r\n"
    "Location: 1000\r\n\r\nThe program can not recover from this error.\r\n\r\n"
    "Please e-mail the file errorlog.txt to the support e-mail address.";

TEST_F(ErrorTrapTest, WritesTheLogShowsTheReportAndEnds) {
  Trap(folder_.path());
  EXPECT_EQ(Log(), Expected(folder_.path(), kReport));
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].first, QStringLiteral("Unrecoverable Error"));
  EXPECT_EQ(shown_[0].second, QString::fromUtf8(QByteArray(kReport).replace("\r\n", "\n")));
}

TEST_F(ErrorTrapTest, WritesNumbersAndTextAsTheyAre) {
  gErrNumber = -2147024891;
  gErrDescription = QStringLiteral("Zugriff verweigert: \u00fc");
  gErrLocation = -1;
  Trap(folder_.path());
  EXPECT_EQ(Log(), Expected(folder_.path(),
                            "Error: -2147024891\r\nZugriff verweigert: \xC3\xBC\r\n\r\nModule: frmMain\r\n"
                            "Procedure: cmdSave_Click\r\nLocation: -1\r\n\r\nThe program can not recover from "
                            "this error.\r\n\r\nPlease e-mail the file errorlog.txt to the support e-mail address."));
}

TEST_F(ErrorTrapTest, ReplacesAnOlderLog) {
  QFile old(QDir(folder_.path()).filePath(QStringLiteral("errorlog.txt")));
  ASSERT_TRUE(old.open(QIODevice::WriteOnly));
  old.write(QByteArray(4000, 'x'));
  old.close();
  Trap(folder_.path());
  EXPECT_EQ(Log(), Expected(folder_.path(), kReport));
}

// An installed program's folder is read-only: the log goes to the per-user
// data folder, and where that cannot be written either the user still learns
// what happened.
TEST_F(ErrorTrapTest, AnUnwritableProgramFolderSendsTheLogToTheUserDataFolder) {
  QFile file(QDir(folder_.path()).filePath(QStringLiteral("a file")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  const QString program = file.fileName() + QStringLiteral("/program");  // inside a file: unwritable
  const struct {
    QString userData;
    bool logged;
  } cases[] = {
      {folder_.path() + QStringLiteral("/user data/Tailorloft"), true},
      {file.fileName() + QStringLiteral("/data"), false},
  };
  for (const auto& c : cases) {
    shown_.clear();
    Trap(program, c.userData);
    EXPECT_EQ(Log(c.userData), c.logged ? Expected(program, kReport) : QByteArray("(no log)"))
        << qPrintable(c.userData);
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].first, QStringLiteral("Unrecoverable Error"));
  }
  EXPECT_EQ(Log(), QByteArray("(no log)"));
}

}  // namespace
}  // namespace tailorloft::env
