// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tailorloft::ui {

QString AboutText(const AboutFacts& facts) {
  QStringList lines = {
      QStringLiteral("Tailorloft %1").arg(facts.version),
      QStringLiteral("Writes CMX suit files for The Sims from skin file names."),
      QString(),
      QStringLiteral("Licence: GNU General Public License, version 3 or later (GPL-3.0-or-later). "
                     "Tailorloft is free software: you may share and change it under that licence. "
                     "It comes with no warranty."),
      QString(),
  };
  if (!facts.gameFolder.isEmpty()) {
    lines << QStringLiteral("The game was found in %1").arg(QDir::toNativeSeparators(facts.gameFolder));
  } else {
    lines << QStringLiteral("The game was not found. Tailorloft looked for");
    for (const QString& place : facts.searched) lines << QStringLiteral("- ") + place;
  }
  lines << QString()
        << QStringLiteral("The folder the file dialogs start in is kept in %1")
               .arg(QDir::toNativeSeparators(facts.settingsStore))
        << QString() << QStringLiteral("User guide: %1").arg(facts.guide);
  return lines.join(QLatin1Char('\n'));
}

QString UserGuideLocation() {
  const QDir programFolder(QCoreApplication::applicationDirPath());
  for (const QString& candidate : {QStringLiteral("../share/doc/tailorloft/README.md"),
                                   QStringLiteral("README.md")}) {
    const QFileInfo guide(programFolder.filePath(candidate));
    if (guide.isFile()) {
      QString where = QDir::toNativeSeparators(guide.canonicalFilePath());
#ifndef Q_OS_WIN
      where += QStringLiteral(", and \"man tailorloft\"");
#endif
      return where;
    }
  }
  return QStringLiteral("README.md, which comes with the program's source");
}

}  // namespace tailorloft::ui
