// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form_layout.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

#include "ui/app_info.h"

namespace tailorloft::ui {

namespace {

// Enter presses the button that has the focus, as Space does and as on
// Windows. Qt leaves Enter to a dialog's default button, and the windows have none.
class PlainButton : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
      event->accept();
      if (!event->isAutoRepeat()) click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

}  // namespace

QPushButton* MakePlainButton(QWidget* parent, const char* name, const QString& caption,
                             const QString& accessibleName) {
  auto* button = new PlainButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setAccessibleName(accessibleName);
  button->setText(caption);
  button->setAutoDefault(false);
  button->setDefault(false);
  return button;
}

void PlaceTwips(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

void MakeFixedDialogWindow(QWidget* window, int clientWidthTwips, int clientHeightTwips) {
  const Qt::WindowFlags kind = window->windowFlags() & Qt::WindowType_Mask;
  window->setWindowFlags(kind | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint);
  window->setFixedSize(Twips(clientWidthTwips), Twips(clientHeightTwips));
}

void MakeDisplayOnly(QLineEdit* textBox) {
  textBox->setReadOnly(true);
  QPalette palette = textBox->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Button));
  textBox->setPalette(palette);
}

void ShowFileTitle(QLineEdit* textBox, const QString& title) {
  textBox->setText(title);
  textBox->setCursorPosition(0);
  textBox->setToolTip(title);
}

void KeepLayoutFont(QWidget* window) {
  const QFont font = ApplicationFont();
  window->setFont(font);
  for (QWidget* control : window->findChildren<QWidget*>()) control->setFont(font);
}

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

}  // namespace tailorloft::ui
