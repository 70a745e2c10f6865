// SPDX-License-Identifier: GPL-3.0-or-later
// The About box (F1 on the main window): who the program is, its licence,
// and where it found or looked for the game, keeps its setting and has its guide.
#pragma once

#include <QString>
#include <QStringList>

namespace tailorloft::ui {

struct AboutFacts {
  QString version;
  QString gameFolder;    // empty: the game was not found
  QStringList searched;  // where the lookup looked, shown when not found
  QString settingsStore;
  QString guide;
};

QString AboutText(const AboutFacts& facts);

// The installed user guide (on Windows README.txt next to the program; else
// README.md in the package's documentation folder or next to the program),
// or how to get it when none is installed.
QString UserGuideLocation();

}  // namespace tailorloft::ui
