// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/message_boxes.h"

#include <QMessageBox>

namespace tailorloft::ui {

void QtMessageBoxes::Warning(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox::warning(owner, title, text, QMessageBox::Ok);
}

bool QtMessageBoxes::AskYesNo(QWidget* owner, const QString& title, const QString& text) {
  return QMessageBox::question(owner, title, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

void QtMessageBoxes::Critical(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox::critical(owner, title, text, QMessageBox::Ok);
}

void QtMessageBoxes::About(QWidget* owner, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, owner);
  box.setTextFormat(Qt::PlainText);
  box.setIconPixmap(box.windowIcon().pixmap(64, 64));
  box.exec();
}

}  // namespace tailorloft::ui
