// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app_info.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "ui/version.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace tailorloft::ui {

namespace {

// Watches every event until a window is first exposed (mapped and about to
// be painted), then gives the application its icon, which every window
// without one of its own shows: title bars, task bars, the About box.
class IconOnceShown : public QObject {
 public:
  explicit IconOnceShown(QObject* parent) : QObject(parent) {
    // A window started minimised is not exposed until it is restored, and
    // its task bar entry needs the icon meanwhile.
    QTimer::singleShot(1000, this, &IconOnceShown::SetIcon);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Expose) {
      const auto* window = qobject_cast<const QWindow*>(watched);
      // Queued: the window's first paint, which this event brings, comes first.
      if (window != nullptr && window->isExposed()) {
        QMetaObject::invokeMethod(this, &IconOnceShown::SetIcon, Qt::QueuedConnection);
      }
    }
    return false;
  }

 private:
  void SetIcon() {
    if (done_) return;
    done_ = true;
    QGuiApplication::setWindowIcon(ProgramIcon());
    deleteLater();
  }

  bool done_ = false;
};

#ifdef Q_OS_WIN
// Wine's GDI draws some glyphs outside the box it reports for them. Where a
// font's gasp table asks for monochrome grid-fitting at small sizes, as
// Liberation Sans does from 9 to 17 pixels, ExtTextOut hints the glyph for
// monochrome while GetGlyphOutline measures it with FreeType's normal hinting;
// at 8 pt the one-pixel stem of a capital I lands a pixel left of its box,
// and Qt's GDI engine, which crops each glyph it caches to that box, loses
// it. Drawn from their outlines, every glyph is whole. Windows' own GDI
// agrees with itself and keeps its glyph drawing.
bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
#endif

}  // namespace

void SetApplicationInfo() {
#ifdef Q_OS_WIN
  // Qt reads this when it first draws text: glyphs up to this many pixels
  // come from its glyph cache, larger ones from their outlines.
  if (UnderWine() && !qEnvironmentVariableIsSet("QT_MAX_CACHED_GLYPH_SIZE")) {
    qputenv("QT_MAX_CACHED_GLYPH_SIZE", "1");
  }
#endif
  QCoreApplication::setApplicationName(QStringLiteral("Tailorloft"));
  QCoreApplication::setOrganizationName(QStringLiteral("Tailorloft"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kProgramVersion));
  // Lets the desktop match the window to the installed menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("io.github.tailorloft.Tailorloft"));
  // Icons need the window system: before the application object exists
  // (answering --help), only the names are set.
  if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    app->installEventFilter(new IconOnceShown(app));
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
