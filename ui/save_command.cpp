// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Save command: chooses and confirms the target file, keeps
// the remembered folder up to date and writes the suit on screen.
#include <QCoreApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include "core/cmx_writer.h"
#include "core/skin_names.h"
#include "core/suit.h"
#include "core/utf8.h"
#include "core/windows_names.h"
#include "env/error_trap.h"
#include "env/remembered_folder.h"
#include "env/system_codepage.h"
#include "ui/frm_main.h"

namespace tailorloft::ui {

namespace {

constexpr std::int32_t kSaveLocation = 1000;

// Ends the program through the fatal error trap, reporting `error` as a
// failure of the Save command.
[[noreturn]] void TrapFatalSaveError(const std::exception& error) {
  std::int32_t number = 0;
  if (const auto* systemError = dynamic_cast<const std::system_error*>(&error)) {
    number = systemError->code().value();
  } else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    number = 7;  // the platform's "Out of memory"
  }
  env::gErrNumber = number;
  env::gErrDescription = QString::fromUtf8(error.what());
  env::gErrModule = QStringLiteral("frmMain");
  env::gErrProcedure = QStringLiteral("cmdSave_Click");
  env::gErrLocation = kSaveLocation;
  env::TrapFatalError();
}

// The name the save dialog proposes. A body title too short to lose an
// extension proposes nothing rather than stopping the program.
QString ProposedCmxName(const QString& bodyTitle) {
  try {
    return QString::fromStdString(DefaultCmxName(bodyTitle.toStdString()));
  } catch (const std::invalid_argument&) {
    return QString();
  }
}

std::filesystem::path ToPath(const QString& fileName) {
  return std::filesystem::path(fileName.toStdU16String());
}

}  // namespace

void frmMain::cmdSave_Click() {
  cmdFocus->setFocus();

  if (txtBody->text().isEmpty()) return;

  try {
    cdlFile->SetFilter(QStringLiteral("CMX Files (*.cmx)|*.cmx"));
    cdlFile->SetDefaultExt(QStringLiteral("cmx"));
    cdlFile->SetDialogTitle(QStringLiteral("Save File As"));
    cdlFile->SetFileName(QString());
    cdlFile->SetCancelError(true);
    // No starting folder: the dialog keeps the one the body file command gave
    // it. An opened suit is proposed under its own name, in its own folder.
    cdlFile->SetFileName(openedFile_.isEmpty() ? ProposedCmxName(txtBody->text()) : openedFile_);
  } catch (const std::exception& error) {
    TrapFatalSaveError(error);
  }

  try {
    cdlFile->ShowSave(this);
  } catch (const FileDialogCancelled&) {
    return;
  }
  QString fileName = cdlFile->FileName();
  QString fileTitle = cdlFile->FileTitle();
  if (fileName.isEmpty()) return;
#ifdef Q_OS_WIN
  // Taken as Windows will create it (without trailing dots and spaces), so
  // the .cmx rule, the question and the suit name all see the real file; a
  // name Windows would refuse or read as a stream is refused below.
  const QString chosenTitle = fileTitle;
  const std::string windowsTitle = TrimForWindows(fileTitle.toStdString());
  const auto dropped = static_cast<qsizetype>(fileTitle.toStdString().size() - windowsTitle.size());
  fileName.chop(dropped);
  fileTitle.chop(dropped);
  const std::optional<std::string> refused = WhyWindowsRefuses(windowsTitle);
#endif
  // The dialog adds the default extension only to a name without a dot, so an
  // accepted "c12.skn" would write suit text over a skin mesh of that name.
  if (!fileTitle.endsWith(QLatin1String(".cmx"), Qt::CaseInsensitive)) {
    fileName += QLatin1String(".cmx");
    fileTitle += QLatin1String(".cmx");
  }

  env::RememberFolder(fileName, fileTitle);

#ifdef Q_OS_WIN
  if (refused) {
    desktop_.messages->Warning(this, QCoreApplication::applicationName(),
                               QStringLiteral("The file name %1 cannot be used: %2.")
                                   .arg(QString::fromStdString(QuoteForMessage(chosenTitle.toStdString())),
                                        QString::fromStdString(*refused)));
    return;
  }
#endif

  if (QFileInfo::exists(fileName)) {
    const bool overwrite = desktop_.messages->AskYesNo(
        this, QStringLiteral("Confirm Action"),
        fileName + QStringLiteral(" already exisits. Overwrite file?"));
    if (!overwrite) return;
  }

  const SuitChoices choices = ChoicesOnScreen();

  // The suit is gathered in full before the file is touched, and the writer
  // replaces the file only when the new one is complete, so a failure leaves
  // both the window and any earlier file as they were.
  try {
    const Suit suit = GatherSuit(fileTitle.toStdString(), choices, env::SystemCodePage());
    WriteCmxFile(ToPath(fileName), suit, env::SystemCodePage());
    savedChoices_ = choices;
    SetSavedFile(fileName);
  } catch (const CmxWriteError& error) {
    desktop_.messages->Warning(this, QCoreApplication::applicationName(),
                               QString::fromUtf8(error.what()));
  } catch (const std::exception& error) {
    desktop_.messages->Warning(
        this, QCoreApplication::applicationName(),
        QStringLiteral("Could not save %1.\n\n%2").arg(fileName, QString::fromUtf8(error.what())));
  }
}

}  // namespace tailorloft::ui
