// Tailorloft: starts the main window.
#include <QApplication>

#include "ui/app_info.h"
#include "ui/desktop.h"
#include "ui/frm_main.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  tailorloft::ui::SetApplicationInfo();
  QApplication::setFont(tailorloft::ui::ApplicationFont());

  tailorloft::ui::frmMain mainWindow(tailorloft::ui::RealDesktop());
  mainWindow.show();
  return QApplication::exec();
}
