// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/desktop.h"

#include "env/game_search.h"
#include "env/install_path.h"

namespace tailorloft::ui {

Desktop RealDesktop() {
  return Desktop{
      [] { return std::make_unique<QtFileDialog>(); },
      std::make_shared<QtMessageBoxes>(),
      [] { return env::FindGameInstallFolder(); },
      [] {
        QStringList places;
        for (const std::string& place : env::GameSearchPlaces()) places << QString::fromStdString(place);
        return places;
      },
  };
}

}  // namespace tailorloft::ui
