// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_desktop.h"

#include <gtest/gtest.h>

namespace tailorloft::ui::testing {

QString FakeFileDialog::Run(Mode mode, QWidget*) {
  script_->shownDialogs.push_back(
      {mode, Filter(), DialogTitle(), FileName(), InitDir(), DefaultExt(), CancelError(), id_,
       SidebarFolders()});
  if (script_->fileAnswers.empty()) {
    ADD_FAILURE() << "file dialog \"" << DialogTitle().toStdString() << "\" shown unexpectedly";
    return {};
  }
  QString answer = script_->fileAnswers.front();
  script_->fileAnswers.pop_front();
  return answer;
}

void FakeMessageBoxes::Warning(QWidget*, const QString& title, const QString& text) {
  script_->messages.push_back({Message::Warning, title, text});
}

bool FakeMessageBoxes::AskYesNo(QWidget*, const QString& title, const QString& text) {
  script_->messages.push_back({Message::Question, title, text});
  if (script_->yesNoAnswers.empty()) {
    ADD_FAILURE() << "unexpected question: " << text.toStdString();
    return false;
  }
  const bool answer = script_->yesNoAnswers.front();
  script_->yesNoAnswers.pop_front();
  return answer;
}

void FakeMessageBoxes::Critical(QWidget*, const QString& title, const QString& text) {
  script_->messages.push_back({Message::Critical, title, text});
}

void FakeMessageBoxes::About(QWidget*, const QString& title, const QString& text) {
  script_->messages.push_back({Message::About, title, text});
}

Desktop FakeDesktop(const std::shared_ptr<DesktopScript>& script) {
  return Desktop{
      [script] { return std::make_unique<FakeFileDialog>(script); },
      std::make_shared<FakeMessageBoxes>(script),
      [script] { return script->installFolder; },
      [script] { return script->searchPlaces; },
  };
}

}  // namespace tailorloft::ui::testing
