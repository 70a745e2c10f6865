// SPDX-License-Identifier: GPL-3.0-or-later
// Tailorloft: reads the command line and starts the main window.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#ifdef TAILORLOFT_FONTCONFIG
#include <fontconfig/fontconfig.h>

#include <future>
#endif

#include "ui/app_info.h"
#include "ui/desktop.h"
#include "ui/frm_main.h"

namespace {

void SetUp(QCommandLineParser& parser) {
  parser.setApplicationDescription(
      QStringLiteral("Makes CMX suit files for The Sims from skin files, and opens them again."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument(QStringLiteral("FILE.cmx"),
                               QStringLiteral("A suit file to open in the window."),
                               QStringLiteral("[FILE.cmx]"));
}

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toLocal8Bit().constData(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char* argv[]) {
  // --help, --version and a wrong command line are answered before the
  // window system is touched, so they work without a display. Without
  // arguments there is nothing to answer, and start-up goes straight on.
  if (argc > 1) {
    tailorloft::ui::SetApplicationInfo();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    SetUp(parser);
    if (!parser.parse(arguments)) {
      Print(stderr, QStringLiteral("tailorloft: %1\nRun with --help for more information.\n")
                        .arg(parser.errorText()));
      return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
      // No application object exists yet to name the program.
      Print(stdout, parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tailorloft")));
      return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
      Print(stdout, QStringLiteral("tailorloft %1\n").arg(QCoreApplication::applicationVersion()));
      return 0;
    }
    if (parser.positionalArguments().size() > 1) {
      Print(stderr, QStringLiteral("tailorloft: Give one suit file to open.\n"
                                   "Run with --help for more information.\n"));
      return 2;
    }
  }

#ifdef TAILORLOFT_FONTCONFIG
  // Fontconfig reads its configuration, hundreds of small files, the first
  // time any text is laid out, which the main window's text box does when it
  // is made. Begun here on a thread of its own, that runs while the
  // application connects to the display instead of after it. Fontconfig
  // reads the environment meanwhile, and Qt removes the startup
  // notification's variable from it as it connects; removing the last entry
  // moves no other, so that variable is made the last one first.
  if (const QByteArray startupId = qgetenv("DESKTOP_STARTUP_ID"); !startupId.isNull()) {
    qunsetenv("DESKTOP_STARTUP_ID");
    qputenv("DESKTOP_STARTUP_ID", startupId);
  }
  auto fontconfig = std::async(std::launch::async | std::launch::deferred, [] { FcInit(); });
#endif
  // The game is looked for meanwhile too.
  const tailorloft::ui::Desktop desktop = tailorloft::ui::RealDesktop();
  QApplication app(argc, argv);
  tailorloft::ui::SetApplicationInfo();
  QApplication::setFont(tailorloft::ui::ApplicationFont());

  // Parsed again from the application's own arguments, which spell every
  // file name on every platform.
  QCommandLineParser parser;
  SetUp(parser);
  parser.process(app);

#ifdef TAILORLOFT_FONTCONFIG
  fontconfig.wait();
#endif
  tailorloft::ui::frmMain mainWindow(desktop);
  mainWindow.show();
  if (!parser.positionalArguments().isEmpty()) {
    mainWindow.OpenCmxFile(QFileInfo(parser.positionalArguments().front()).absoluteFilePath());
  }
  return QApplication::exec();
}
