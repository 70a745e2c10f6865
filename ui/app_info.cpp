// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app_info.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>

#include "ui/version.h"

namespace tailorloft::ui {

void SetApplicationInfo() {
  QCoreApplication::setApplicationName(QStringLiteral("Tailorloft"));
  QCoreApplication::setOrganizationName(QStringLiteral("Tailorloft"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
  // Lets the desktop match the window to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tailorloft.Tailorloft"));
  // Icons need the window system: before the application object exists
  // (answering --help), only the names are set.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) {
    QGuiApplication::setWindowIcon(ProgramIcon());
  }
}

QIcon ProgramIcon() {
  QIcon builtIn;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    builtIn.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  }
  return QIcon::fromTheme(QStringLiteral("io.github.tailorloft.Tailorloft"), builtIn);
}

QFont ApplicationFont() {
#ifdef Q_OS_WIN
  // Arial is on every Windows and has the metrics of the Liberation Sans the
  // Linux build measures, so every caption fits there too. The system's own
  // dialog fonts (Segoe UI 9 pt, Tahoma) are wider and clip some captions.
  // Under Wine Arial may be missing; Liberation Sans is its metric twin.
  const QString family = QFontDatabase::hasFamily(QStringLiteral("Arial")) ||
                                 !QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"))
                             ? QStringLiteral("Arial")
                             : QStringLiteral("Liberation Sans");
  QFont font(family, 8);
#else
  // Arial's metrics, about as wide as the Windows dialog font, so every
  // caption fits its box.
  QFont font(QStringLiteral("Liberation Sans"), 8);
#endif
  font.setStyleHint(QFont::SansSerif);
  return font;
}

}  // namespace tailorloft::ui
