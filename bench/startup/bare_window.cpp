// SPDX-License-Identifier: GPL-3.0-or-later
// The yardsticks for the program's start-up: an empty Qt window of the main
// window's size and font, shown as soon as the application exists; with
// --text-box it also holds one text box, which starts Qt's font system (the
// first cost any window with text pays).
#include <QApplication>
#include <QLineEdit>
#include <QWidget>
#include <cstring>

#include "ui/app_info.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tailorloft::ui::SetApplicationInfo();
  QApplication::setFont(tailorloft::ui::ApplicationFont());
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  window.setFixedSize(393, 381);
  if (argc > 1 && std::strcmp(argv[1], "--text-box") == 0) {
    (new QLineEdit(&window))->setGeometry(4, 24, 385, 19);
  }
  window.show();
  return QApplication::exec();
}
