// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace tailorloft::ui {

namespace {

// Where the setting is, as the user would look for it. Qt names the Windows
// registry key as a path from the registry's root ("\HKEY_CURRENT_USER\...");
// regedit and the guide write it without the leading backslash.
QString SettingsPlace(const QString& store) {
  QString place = QDir::toNativeSeparators(store);
  if (place.startsWith(QLatin1String("\\HKEY_"))) place.remove(0, 1);
  return place;
}

}  // namespace

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
        << QStringLiteral("The folder the file dialogs start in is kept in %1").arg(SettingsPlace(facts.settingsStore))
        << QString() << QStringLiteral("User guide: %1").arg(facts.guide);
  return lines.join(QLatin1Char('\n'));
}

QString UserGuideLocation() {
  const QDir programFolder(QCoreApplication::applicationDirPath());
#ifdef Q_OS_WIN
  // The Windows downloads carry the guide as README.txt next to the program.
  const QFileInfo guide(programFolder.filePath(QStringLiteral("README.txt")));
  if (guide.isFile()) return QDir::toNativeSeparators(guide.canonicalFilePath());
  return QStringLiteral("README.txt, which comes with the program in its Windows downloads");
#else
  for (const QString& candidate : {QStringLiteral("../share/doc/tailorloft/README.md"),
                                   QStringLiteral("README.md")}) {
    const QFileInfo guide(programFolder.filePath(candidate));
    if (guide.isFile()) {
      return QDir::toNativeSeparators(guide.canonicalFilePath()) + QStringLiteral(", and \"man tailorloft\"");
    }
  }
  return QStringLiteral("README.md, which comes with the program's source");
#endif
}

}  // namespace tailorloft::ui
