// SPDX-License-Identifier: GPL-3.0-or-later
// What the windows need from the world around them: file dialogs, message
// boxes and the game's install folder. The program passes the real ones;
// tests pass fakes that answer.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "ui/file_dialog.h"
#include "ui/message_boxes.h"

namespace tailorloft::ui {

struct Desktop {
  // A new file dialog for a window to own.
  std::function<std::unique_ptr<FileDialog>()> newFileDialog;
  std::shared_ptr<MessageBoxes> messages;
  // The game's install folder, or "ERROR" when the game is not found.
  std::function<std::string()> findGameInstallFolder;
  // Where that lookup looks, in words, for the About box.
  std::function<QStringList()> gameSearchPlaces;
};

// QFileDialog, QMessageBox and the registry or Wine prefix lookup. The
// lookup starts at once, on a thread of its own, and is made once: call this
// early (before the application object exists is fine) and ask later.
Desktop RealDesktop();

}  // namespace tailorloft::ui
