// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the program's start-up: a bare Qt window of the main
// window's size showing one line of text in a label, shown as soon as the
// application exists; nothing of the program's own (icon, font, settings) is
// added. A label lays its text out when first painted, after the map. With
// --text-box the line is in a text box instead, which lays it out when it is
// made and so starts Qt's font system before the map (the main window makes
// its text box only once it is mapped).
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <cstring>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare window"));
  window.setFixedSize(393, 381);
  const QString text = QStringLiteral("One line of text");
  if (argc > 1 && std::strcmp(argv[1], "--text-box") == 0) {
    (new QLineEdit(text, &window))->setGeometry(4, 24, 385, 19);
  } else {
    (new QLabel(text, &window))->setGeometry(4, 24, 385, 19);
  }
  window.show();
  return QApplication::exec();
}
