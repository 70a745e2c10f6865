#include "ui/form_layout.h"

#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

namespace tailorloft::ui {

QPushButton* MakePlainButton(QWidget* parent, const char* name, const QString& caption,
                             const QString& accessibleName) {
  auto* button = MakeControl<QPushButton>(parent, name, accessibleName);
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

void SetTabOrder(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

}  // namespace tailorloft::ui
