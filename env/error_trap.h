// SPDX-License-Identifier: GPL-3.0-or-later
// The last resort for an error the program cannot recover from: the report is
// written to errorlog.txt in the program's folder (or, where that cannot be
// written, in the per-user data folder), shown to the user, and the program ends.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace tailorloft::env {

// What failed, set by the caller right before TrapFatalError().
extern std::int32_t gErrNumber;
extern QString gErrDescription;
extern QString gErrModule;
extern QString gErrProcedure;
extern std::int32_t gErrLocation;

// How the trap shows its message and ends the program. The defaults are a
// critical QMessageBox titled "Unrecoverable Error" and an immediate exit with
// a non-zero status; tests replace them. `endProgram` must not return.
struct FatalErrorHooks {
  std::function<void(const QString& title, const QString& text)> showMessage;
  std::function<void()> endProgram;
  QString programFolder;   // empty: QCoreApplication::applicationDirPath()
  QString userDataFolder;  // empty: QStandardPaths::AppLocalDataLocation
};
void SetFatalErrorHooks(FatalErrorHooks hooks);

// Writes the log (replacing any older one; headed by the application name and
// version from QCoreApplication), shows the report and ends the program.
// A log that can be written in neither folder is only missing: the message
// is still shown.
// Never returns.
[[noreturn]] void TrapFatalError();

}  // namespace tailorloft::env
