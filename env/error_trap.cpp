// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/error_trap.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QSaveFile>
#include <QStandardPaths>
#include <QVersionNumber>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace tailorloft::env {

std::int32_t gErrNumber = 0;
QString gErrDescription;
QString gErrModule;
QString gErrProcedure;
std::int32_t gErrLocation = 0;

namespace {

const QString kTitle = QStringLiteral("Unrecoverable Error");

FatalErrorHooks& Hooks() {
  static FatalErrorHooks hooks;
  return hooks;
}

// The report, its lines joined by `lineEnd`, no line end after the last.
QString Report(const QString& lineEnd) {
  const QStringList lines = {
      QStringLiteral("Error: ") + QString::number(gErrNumber),
      gErrDescription,
      QString(),
      QStringLiteral("Module: ") + gErrModule,
      QStringLiteral("Procedure: ") + gErrProcedure,
      QStringLiteral("Location: ") + QString::number(gErrLocation),
      QString(),
      QStringLiteral("The program can not recover from this error."),
      QString(),
      QStringLiteral("Please e-mail the file errorlog.txt to the support e-mail address."),
  };
  return lines.join(lineEnd);
}

QString ProgramFolder(const FatalErrorHooks& hooks) {
  if (!hooks.programFolder.isEmpty()) return hooks.programFolder;
  return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

// Where the log goes when the program's folder cannot be written, as for an
// installed program: the per-user data folder.
QString UserDataFolder(const FatalErrorHooks& hooks) {
  QString folder = hooks.userDataFolder;
  if (folder.isEmpty() && QCoreApplication::instance() != nullptr) {
    folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
  }
  if (folder.isEmpty() || !QDir().mkpath(folder)) return QString();
  return folder;
}

// Replaces errorlog.txt in `folder` with the report, headed by the program's
// folder. Returns false when the log could not be written; the old log, if
// any, is then left as it was.
bool WriteLog(const QString& folder, const QString& programFolder) {
  if (folder.isEmpty()) return false;
  const QString crlf = QStringLiteral("\r\n");
  const QVersionNumber version = QVersionNumber::fromString(QCoreApplication::applicationVersion());
  const QString text = QCoreApplication::applicationName() + crlf +
                       QStringLiteral("Version %1.%2.%3").arg(version.majorVersion()).arg(version.minorVersion()).arg(version.microVersion()) + crlf +
                       QStringLiteral(" ") + crlf +
                       QStringLiteral("Install Path: ") + QDir::toNativeSeparators(programFolder) + crlf +
                       QStringLiteral(" ") + crlf +
                       Report(crlf) + crlf;
  QSaveFile log(QDir(folder).filePath(QStringLiteral("errorlog.txt")));
  log.setDirectWriteFallback(true);
  if (!log.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = text.toUtf8();
  if (log.write(bytes) != bytes.size()) {
    log.cancelWriting();
    return false;
  }
  return log.commit();
}

void DefaultShowMessage(const QString& title, const QString& text) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
    QMessageBox::critical(nullptr, title, text, QMessageBox::Ok);
  } else {
    std::fprintf(stderr, "%s\n\n%s\n", qUtf8Printable(title), qUtf8Printable(text));
  }
}

[[noreturn]] void DefaultEndProgram() { std::_Exit(EXIT_FAILURE); }

}  // namespace

void SetFatalErrorHooks(FatalErrorHooks hooks) { Hooks() = std::move(hooks); }

void TrapFatalError() {
  const FatalErrorHooks& hooks = Hooks();
  // Nothing here may keep the message from the user: a log that cannot be
  // written is only missing, and the box still says what went wrong.
  try {
    const QString programFolder = ProgramFolder(hooks);
    if (!WriteLog(programFolder, programFolder)) WriteLog(UserDataFolder(hooks), programFolder);
  } catch (...) {
  }
  try {
    const QString text = Report(QStringLiteral("\n"));
    if (hooks.showMessage) {
      hooks.showMessage(kTitle, text);
    } else {
      DefaultShowMessage(kTitle, text);
    }
  } catch (...) {
  }
  if (hooks.endProgram) hooks.endProgram();
  DefaultEndProgram();
}

}  // namespace tailorloft::env
