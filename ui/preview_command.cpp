// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Preview command: the preview window, made at its first
// use so that nothing of it costs the program's start, and kept in step with
// the suit on screen.
#include <QAbstractItemModel>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <stdexcept>

#include "core/skin_names.h"
#include "ui/frm_main.h"
#include "ui/frm_preview.h"

namespace tailorloft::ui {

void frmMain::cmdPreview_Click() {
  if (preview_ == nullptr) {
    preview_ = new frmPreview(desktop_, std::filesystem::path(gameFolder_.toStdU16String()),
                              [this] { return SuitForPreview(); }, this);
    // Whatever changes the suit on screen redraws it: the body file, the
    // Head/Body choice and the accessory list (added, deleted, dropped or
    // opened); a save, which may give the suit another name, says so itself.
    connect(txtBody, &QLineEdit::textChanged, preview_, &frmPreview::SuitChanged);
    connect(optHead, &QRadioButton::toggled, preview_, &frmPreview::SuitChanged);
    const QAbstractItemModel* list = lstParts->model();
    connect(list, &QAbstractItemModel::rowsInserted, preview_, &frmPreview::SuitChanged);
    connect(list, &QAbstractItemModel::rowsRemoved, preview_, &frmPreview::SuitChanged);
    connect(list, &QAbstractItemModel::modelReset, preview_, &frmPreview::SuitChanged);
    connect(list, &QAbstractItemModel::dataChanged, preview_, &frmPreview::SuitChanged);
  }
  preview_->ShowPreview();
}

void frmMain::SetSavedFile(const QString& fileName) {
  savedFile_ = fileName;
  if (preview_ != nullptr) preview_->SuitChanged();
}

PreviewSuit frmMain::SuitForPreview() const {
  PreviewSuit suit;
  suit.choices = ChoicesOnScreen();
  suit.chosenFolders = chosenFolders_;
  const QString file = !savedFile_.isEmpty() ? savedFile_ : openedFile_;
  if (!file.isEmpty()) {
    suit.cmxFileTitle = QFileInfo(file).fileName();
    suit.suitFolder = file.left(file.size() - suit.cmxFileTitle.size());
    return suit;
  }
  // Not saved yet: named as Save would propose, and kept beside its main skin.
  const QString body = txtBody->text();
  try {
    suit.cmxFileTitle = QString::fromStdString(DefaultCmxName(body.toStdString()));
  } catch (const std::invalid_argument&) {
    // A title too short to propose a name: the suit has none yet.
  }
  if (!suit.cmxFileTitle.isEmpty() && !suit.cmxFileTitle.endsWith(QLatin1String(".cmx"), Qt::CaseInsensitive)) {
    suit.cmxFileTitle += QLatin1String(".cmx");
  }
  suit.suitFolder = chosenFolders_.value(body);
  return suit;
}

}  // namespace tailorloft::ui
