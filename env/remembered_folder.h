// SPDX-License-Identifier: GPL-3.0-or-later
// The folder the file dialogs start in: the one the user last picked a file
// from, kept per user between runs (QSettings "Tailorloft"/"Tailorloft",
// group "Settings", key "Last File Path").
#pragma once

#include <QSettings>
#include <QString>

namespace tailorloft::env {

// The remembered folder with its trailing separator; empty at program start.
extern QString gLastFilePath;

// Seeds the setting with the game's skin folder when it is empty, then reads
// it into gLastFilePath. Called once at start-up with the install folder.
void LoadRememberedFolder(const QString& installFolder);

// Reads the setting into gLastFilePath without seeding it: start-up without
// the game still opens the dialogs where the user last picked a file.
void ReadRememberedFolder();

// Where the setting is kept, for people who look for it: the settings file,
// or on Windows the registry key.
QString RememberedFolderStore();

// The per-user store the setting is kept in, which holds the program's
// other settings too. The default format is the native store (the registry
// on Windows, an INI file elsewhere); tests switch it to an INI file in a
// folder of their own.
QSettings SettingsStore();

// gLastFilePath = the folder part of fullFileName (fullFileName minus
// fileTitle, trailing separator kept), saved to the setting at once.
void RememberFolder(const QString& fullFileName, const QString& fileTitle);

}  // namespace tailorloft::env
