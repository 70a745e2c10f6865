// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/remembered_folder.h"

#include <QSettings>
#include <QtGlobal>

#include "env/install_path.h"

namespace tailorloft::env {

QString gLastFilePath;

namespace {

const QString kKey = QStringLiteral("Settings/Last File Path");

QString ReadSetting() { return SettingsStore().value(kKey).toString(); }

void SaveSetting(const QString& value) {
  QSettings settings = SettingsStore();
  settings.setValue(kKey, value);
  settings.sync();
  // The folder is only a convenience for the next run: the program goes on
  // without it, and says so where developers look.
  if (settings.status() != QSettings::NoError) {
    qWarning("Tailorloft: could not save the remembered folder to %s",
             qUtf8Printable(settings.fileName()));
  }
}

}  // namespace

QSettings SettingsStore() {
  return QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Tailorloft"),
                   QStringLiteral("Tailorloft"));
}

void LoadRememberedFolder(const QString& installFolder) {
  if (ReadSetting().isEmpty()) {
    SaveSetting(QString::fromStdString(SkinFolder(installFolder.toStdString())));
  }
  gLastFilePath = ReadSetting();
}

void ReadRememberedFolder() { gLastFilePath = ReadSetting(); }

QString RememberedFolderStore() { return SettingsStore().fileName(); }

void RememberFolder(const QString& fullFileName, const QString& fileTitle) {
  gLastFilePath = fullFileName.left(qMax(qsizetype{0}, fullFileName.size() - fileTitle.size()));
  SaveSetting(gLastFilePath);
}

}  // namespace tailorloft::env
