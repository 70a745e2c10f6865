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

}  // namespace tailorloft::ui
