// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frm_add_accessory.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "core/attachment.h"
#include "env/remembered_folder.h"
#include "ui/form_layout.h"

namespace tailorloft::ui {

frmAddAccessory::frmAddAccessory(const Desktop& desktop, QWidget* owner)
    : QDialog(owner), messages_(desktop.messages), cdlFile(desktop.newFileDialog()) {
  setObjectName(QStringLiteral("frmAddAccessory"));
  setWindowTitle(QStringLiteral("Add Accessory"));
  MakeFixedDialogWindow(this, 5895, 1905);

  Label1 = MakeCaptioned<QLabel>(this, "Label1", QStringLiteral("Accessrory Model File"));
  PlaceTwips(Label1, 60, 60, 4875, 195);

  txtAcc = MakeControl<QLineEdit>(this, "txtAcc", QStringLiteral("Accessory file name"));
  MakeDisplayOnly(txtAcc);
  PlaceTwips(txtAcc, 60, 300, 5775, 285);
  Label1->setBuddy(txtAcc);

  cmdFile = MakePlainButton(this, "cmdFile", QStringLiteral("..."),
                       QStringLiteral("Choose accessory file"));
  PlaceTwips(cmdFile, 5460, 300, 375, 315);

  Label2 = MakeCaptioned<QLabel>(this, "Label2", QStringLiteral("Attachment Point"));
  PlaceTwips(Label2, 60, 720, 1815, 195);

  cboAttach = MakeControl<QComboBox>(this, "cboAttach", QStringLiteral("Attachment point"));
  cboAttach->setEditable(false);
  PlaceTwips(cboAttach, 60, 960, 1875, 315);
  Label2->setBuddy(cboAttach);

  cmdOK = MakePlainButton(this, "cmdOK", QStringLiteral("OK"), QStringLiteral("OK"));
  PlaceTwips(cmdOK, 1860, 1500, 855, 315);

  cmdCancel = MakePlainButton(this, "cmdCancel", QStringLiteral("Cancel"), QStringLiteral("Cancel"));
  PlaceTwips(cmdCancel, 3180, 1500, 855, 315);

  // Below the client area: it takes the focus away from the clicked button
  // without ever being seen.
  cmdFocus = MakePlainButton(this, "cmdFocus", QStringLiteral("Focus"), QStringLiteral("Focus"));
  PlaceTwips(cmdFocus, 4560, 3000, 795, 375);

  SetTabOrder({cmdFile, cboAttach, cmdOK, cmdCancel, txtAcc, cmdFocus});
  KeepLayoutFont(this);

  connect(cmdFile, &QPushButton::clicked, this, &frmAddAccessory::cmdFile_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmAddAccessory::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmAddAccessory::cmdCancel_Click);
}

frmAddAccessory::~frmAddAccessory() = default;

void frmAddAccessory::ShowModal() {
  Form_Load();
  exec();
}

QString frmAddAccessory::AccessoryFileTitle() const { return cdlFile->FileTitle(); }

QString frmAddAccessory::AccessoryFolder() const {
  return cdlFile->FileName().left(cdlFile->FileName().size() - cdlFile->FileTitle().size());
}

void frmAddAccessory::SetSidebarFolders(const QStringList& folders) {
  cdlFile->SetSidebarFolders(folders);
}

void frmAddAccessory::Form_Load() {
  ShowFileTitle(txtAcc, QString());
  msFillAttachCombo(cboAttach);
  // The window would give the focus back to the control that had it when it
  // was last closed, often OK, so that Space at once warned about a missing file.
  cmdFile->setFocus();
}

void frmAddAccessory::msFillAttachCombo(QComboBox* combo) {
  combo->clear();
  for (const std::string& point : AttachmentPoints()) {
    combo->addItem(QString::fromStdString(point));
  }
  combo->setCurrentIndex(-1);
}

void frmAddAccessory::cmdFile_Click() {
  cmdFocus->setFocus();

  cdlFile->SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));
  cdlFile->SetDialogTitle(QStringLiteral("Select Accessory File"));
  cdlFile->SetFileName(QString());
  cdlFile->SetInitDir(env::gLastFilePath);
  cdlFile->ShowOpen(this);
  if (cdlFile->FileName().isEmpty()) return;

  ShowFileTitle(txtAcc, cdlFile->FileTitle());
  env::RememberFolder(cdlFile->FileName(), cdlFile->FileTitle());
  msSetCombo();
}

void frmAddAccessory::msSetCombo() {
  std::vector<std::string> offered;
  offered.reserve(static_cast<std::size_t>(cboAttach->count()));
  for (int i = 0; i < cboAttach->count(); ++i) offered.push_back(cboAttach->itemText(i).toStdString());

  if (const auto point = SuggestAttachmentPoint(txtAcc->text().toStdString(), offered)) {
    cboAttach->setCurrentIndex(cboAttach->findText(QString::fromStdString(*point)));
  }
}

void frmAddAccessory::cmdOK_Click() {
  const QString title = QCoreApplication::applicationName();
  if (txtAcc->text().isEmpty()) {
    messages_->Warning(this, title, QStringLiteral("Accessory not selected."));
    return;
  }
  if (cboAttach->currentText().isEmpty()) {
    messages_->Warning(this, title, QStringLiteral("Attachment point not selected"));
    return;
  }
  mstrAccessory = QString::fromStdString(
      MakeEntry(cboAttach->currentText().toStdString(), txtAcc->text().toStdString()));
  accept();
}

void frmAddAccessory::cmdCancel_Click() { reject(); }

void frmAddAccessory::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace tailorloft::ui
