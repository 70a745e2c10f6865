// SPDX-License-Identifier: GPL-3.0-or-later
// Tailorloft: reads the command line and starts the main window.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

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

  // The game is looked for while the application starts.
  const tailorloft::ui::Desktop desktop = tailorloft::ui::RealDesktop();
  QApplication app(argc, argv);
  tailorloft::ui::SetApplicationInfo();
  QApplication::setFont(tailorloft::ui::ApplicationFont());

  // Parsed again from the application's own arguments, which spell every
  // file name on every platform.
  QCommandLineParser parser;
  SetUp(parser);
  parser.process(app);

  // Mapped before the font system starts, which the window's text parts
  // then start before it is first painted.
  tailorloft::ui::frmMain mainWindow(desktop, tailorloft::ui::frmMain::TextOnceShown{});
  mainWindow.show();
  if (!parser.positionalArguments().isEmpty()) {
    mainWindow.OpenCmxFile(QFileInfo(parser.positionalArguments().front()).absoluteFilePath());
  }
  return QApplication::exec();
}
