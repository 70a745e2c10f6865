// SPDX-License-Identifier: GPL-3.0-or-later
// The message boxes the windows show, behind an interface so tests can
// answer them.
#pragma once

#include <QString>

class QWidget;

namespace tailorloft::ui {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Exclamation icon, OK only.
  virtual void Warning(QWidget* owner, const QString& title, const QString& text) = 0;
  // Question icon, Yes and No; true for Yes.
  virtual bool AskYesNo(QWidget* owner, const QString& title, const QString& text) = 0;
  // Stop icon, OK only.
  virtual void Critical(QWidget* owner, const QString& title, const QString& text) = 0;
  // The program's icon, OK only.
  virtual void About(QWidget* owner, const QString& title, const QString& text) = 0;
};

// QMessageBox.
class QtMessageBoxes : public MessageBoxes {
 public:
  void Warning(QWidget* owner, const QString& title, const QString& text) override;
  bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override;
  void Critical(QWidget* owner, const QString& title, const QString& text) override;
  void About(QWidget* owner, const QString& title, const QString& text) override;
};

}  // namespace tailorloft::ui
