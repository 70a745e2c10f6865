// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/form_layout.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWidget>
#include <algorithm>

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

Placement PlaceBeside(const QRect& owner, const QRect& room, QSize wanted, QSize least, QSize frame) {
  constexpr int kGap = 8;
  // The widest client that fits between the owner and each edge of the room.
  const int rightRoom = room.right() - owner.right() - kGap - frame.width();
  const int leftRoom = owner.left() - room.left() - kGap - frame.width();
  const bool right = rightRoom >= least.width() || rightRoom >= leftRoom;
  const QSize size(std::clamp(right ? rightRoom : leftRoom, least.width(), std::max(least.width(), wanted.width())),
                   std::clamp(room.height() - frame.height(), least.height(),
                              std::max(least.height(), wanted.height())));
  const QSize outer = size + frame;
  const int x = right ? owner.right() + 1 + kGap : owner.left() - kGap - outer.width();
  // Kept on the screen, and below its top edge where the title bar is grabbed.
  return {QPoint(std::clamp(x, room.left(), std::max(room.left(), room.right() + 1 - outer.width())),
                 std::clamp(owner.top(), room.top(), std::max(room.top(), room.bottom() + 1 - outer.height()))),
          size};
}

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

}  // namespace tailorloft::ui
