// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes that answer the windows' file dialogs and message boxes, and record
// what the windows asked of them.
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/desktop.h"

namespace tailorloft::ui::testing {

// One display of a file dialog, with its properties as they were then.
struct ShownDialog {
  FileDialog::Mode mode;
  QString filter;
  QString title;
  QString fileName;
  QString initDir;
  QString defaultExt;
  bool cancelError;
  int dialogId;  // which dialog object was shown
  QStringList sidebarFolders;
};

struct Message {
  enum Kind { Warning, Question, Critical, About } kind;
  QString title;
  QString text;
};

// Shared by every fake dialog of one test: the answers to give, in order,
// and the record of what was shown.
struct DesktopScript {
  std::deque<QString> fileAnswers;  // full file names; "" cancels
  std::deque<bool> yesNoAnswers;
  std::vector<ShownDialog> shownDialogs;
  std::vector<Message> messages;
  std::string installFolder = "ERROR";
  QStringList searchPlaces = {QStringLiteral("the Wine prefixes: none found")};
  bool failNextFilter = false;  // the next SetFilter throws
  int dialogsMade = 0;
};

class FakeFileDialog : public FileDialog {
 public:
  explicit FakeFileDialog(std::shared_ptr<DesktopScript> script)
      : script_(std::move(script)), id_(++script_->dialogsMade) {}

  void SetFilter(const QString& filter) override {
    if (script_->failNextFilter) {
      script_->failNextFilter = false;
      throw std::runtime_error("Out of dialog resources");
    }
    FileDialog::SetFilter(filter);
  }

 protected:
  QString Run(Mode mode, QWidget* owner) override;

 private:
  std::shared_ptr<DesktopScript> script_;
  int id_;
};

class FakeMessageBoxes : public MessageBoxes {
 public:
  explicit FakeMessageBoxes(std::shared_ptr<DesktopScript> script) : script_(std::move(script)) {}
  void Warning(QWidget* owner, const QString& title, const QString& text) override;
  bool AskYesNo(QWidget* owner, const QString& title, const QString& text) override;
  void Critical(QWidget* owner, const QString& title, const QString& text) override;
  void About(QWidget* owner, const QString& title, const QString& text) override;

 private:
  std::shared_ptr<DesktopScript> script_;
};

Desktop FakeDesktop(const std::shared_ptr<DesktopScript>& script);

}  // namespace tailorloft::ui::testing
