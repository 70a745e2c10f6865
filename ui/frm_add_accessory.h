// SPDX-License-Identifier: GPL-3.0-or-later
// The modal Add Accessory dialog: the user picks an accessory skin file and
// an attachment point, and the dialog hands back one "<BONE> = <file title>"
// entry through Accessory, which outlives the dialog's closing.
#pragma once

#include <QDialog>
#include <memory>

#include "ui/desktop.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tailorloft::ui {

class frmAddAccessory : public QDialog {
  Q_OBJECT

 public:
  frmAddAccessory(const Desktop& desktop, QWidget* owner);
  ~frmAddAccessory() override;

  // The entry OK made, or what the caller set when the dialog was cancelled.
  const QString& Accessory() const { return mstrAccessory; }
  void SetAccessory(const QString& strNewValue) { mstrAccessory = strNewValue; }
  // The accessory file chosen last: its title, and the folder it was chosen
  // in (with a trailing separator).
  QString AccessoryFileTitle() const;
  QString AccessoryFolder() const;

  // Shows the dialog modally on its owner, starting from its design state;
  // returns when it is closed.
  void ShowModal();

  // The game's skin folders, listed in the file dialog's side bar.
  void SetSidebarFolders(const QStringList& folders);

  // Selects the attachment point the accessory file's name suggests, if any.
  void msSetCombo();

  // Each display: no file chosen, the attachment points freshly loaded, the
  // focus on the first control in tab order.
  void Form_Load();
  // "...": chooses the accessory skin file.
  void cmdFile_Click();
  // "OK": makes the entry and closes, or warns about what is missing.
  void cmdOK_Click();
  // "Cancel": closes, leaving Accessory as it was.
  void cmdCancel_Click();

 protected:
  // Escape presses nothing: the dialog ends only by its buttons or title bar.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  static void msFillAttachCombo(QComboBox* combo);

  std::shared_ptr<MessageBoxes> messages_;
  std::unique_ptr<FileDialog> cdlFile;
  QString mstrAccessory;

  QLabel* Label1;
  QLineEdit* txtAcc;
  QPushButton* cmdFile;
  QLabel* Label2;
  QComboBox* cboAttach;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  QPushButton* cmdFocus;
};

}  // namespace tailorloft::ui
