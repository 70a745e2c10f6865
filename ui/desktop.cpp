#include "ui/desktop.h"

#include "env/install_path.h"

namespace tailorloft::ui {

Desktop RealDesktop() {
  return Desktop{
      [] { return std::make_unique<QtFileDialog>(); },
      std::make_shared<QtMessageBoxes>(),
      [] { return env::FindGameInstallFolder(); },
  };
}

}  // namespace tailorloft::ui
