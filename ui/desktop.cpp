// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop.h"

#include <future>

#include "env/game_search.h"
#include "env/install_path.h"

namespace tailorloft::ui {

Desktop RealDesktop() {
  // Reading a Wine prefix's registry (megabytes of text) or the Windows
  // registry needs nothing of Qt, so it runs while the application starts.
  std::shared_future<std::string> gameFolder =
      std::async(std::launch::async | std::launch::deferred, [] { return env::FindGameInstallFolder(); });
  return Desktop{
      [] { return std::make_unique<QtFileDialog>(); },
      std::make_shared<QtMessageBoxes>(),
      [gameFolder] { return gameFolder.get(); },
      [] {
        QStringList places;
        for (const std::string& place : env::GameSearchPlaces()) places << QString::fromStdString(place);
        return places;
      },
  };
}

}  // namespace tailorloft::ui
