// SPDX-License-Identifier: GPL-3.0-or-later
// The suit on screen: read from the controls for saving, written to them for
// opening, so the two directions cannot drift apart.
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "ui/form_layout.h"
#include "ui/frm_main.h"

namespace tailorloft::ui {

SuitChoices frmMain::ChoicesOnScreen() const {
  SuitChoices choices;
  choices.headChosen = optHead->isChecked();
  choices.bodyFileTitle = txtBody->text().toStdString();
  choices.entries.reserve(static_cast<std::size_t>(lstParts->count()));
  for (int i = 0; i < lstParts->count(); ++i) {
    choices.entries.push_back(lstParts->item(i)->text().toStdString());
  }
  return choices;
}

void frmMain::ShowChoices(const SuitChoices& choices) {
  ShowFileTitle(txtBody, QString::fromStdString(choices.bodyFileTitle));
  // In the order the body file command sets them.
  if (choices.headChosen) {
    optBody->setChecked(false);
    optHead->setChecked(true);
  } else {
    optBody->setChecked(true);
    optHead->setChecked(false);
  }
  lstParts->clear();
  for (const std::string& entry : choices.entries) lstParts->addItem(QString::fromStdString(entry));
}

}  // namespace tailorloft::ui
