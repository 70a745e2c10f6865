#include "ui/frm_main.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>

#include "core/skin_names.h"
#include "env/remembered_folder.h"
#include "ui/form_layout.h"
#include "ui/frm_add_accessory.h"

namespace tailorloft::ui {

frmMain::frmMain(Desktop desktop, QWidget* parent)
    : QWidget(parent, Qt::Window), desktop_(std::move(desktop)), cdlFile(desktop_.newFileDialog()) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Tailorloft by Quillmoss"));
  MakeFixedDialogWindow(this, 5895, 5715);

  cdlFile->SetDialogTitle(QStringLiteral("Select SKN File To Load"));
  cdlFile->SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));

  // Created in stacking order: the "..." button lies over the text box's end.
  Label1 = MakeCaptioned<QLabel>(this, "Label1", QStringLiteral("Body or Head File Name (SKN)"));
  PlaceTwips(Label1, 60, 120, 2355, 195);

  txtBody = MakeControl<QLineEdit>(this, "txtBody", QStringLiteral("Body or head file name"));
  MakeDisplayOnly(txtBody);
  PlaceTwips(txtBody, 60, 360, 5775, 285);
  Label1->setBuddy(txtBody);

  cmdFile = MakePlainButton(this, "cmdFile", QStringLiteral("..."),
                       QStringLiteral("Choose body or head file"));
  PlaceTwips(cmdFile, 5460, 360, 375, 315);

  Frame1 = MakeCaptioned<QGroupBox>(this, "Frame1", QStringLiteral("File Type"));
  PlaceTwips(Frame1, 60, 720, 1755, 675);

  optBody = MakeCaptioned<QRadioButton>(Frame1, "optBody", QStringLiteral("Body"));
  PlaceTwips(optBody, 180, 300, 795, 195);

  optHead = MakeCaptioned<QRadioButton>(Frame1, "optHead", QStringLiteral("Head"));
  PlaceTwips(optHead, 900, 300, 735, 195);

  cmdAdd = MakePlainButton(this, "cmdAdd", QStringLiteral("Add"), QStringLiteral("Add accessory"));
  PlaceTwips(cmdAdd, 1260, 1560, 735, 315);

  cmdDelete = MakePlainButton(this, "cmdDelete", QStringLiteral("Delete"),
                         QStringLiteral("Delete selected accessory"));
  PlaceTwips(cmdDelete, 1980, 1560, 735, 315);

  Label2 = MakeCaptioned<QLabel>(this, "Label2", QStringLiteral("Accessories"));
  PlaceTwips(Label2, 60, 1620, 1155, 195);

  lstParts = MakeControl<QListWidget>(this, "lstParts", QStringLiteral("Accessories"));
  lstParts->setSelectionMode(QAbstractItemView::SingleSelection);
  PlaceTwips(lstParts, 60, 1860, 5775, 3375);
  Label2->setBuddy(lstParts);

  cmdSave = MakePlainButton(this, "cmdSave", QStringLiteral("Save"), QStringLiteral("Save suit"));
  PlaceTwips(cmdSave, 60, 5340, 855, 315);

  cmdQuit = MakePlainButton(this, "cmdQuit", QStringLiteral("Quit"), QStringLiteral("Quit"));
  PlaceTwips(cmdQuit, 4980, 5340, 855, 315);

  // Below the client area: it takes the focus away from the clicked button
  // without ever being seen.
  cmdFocus = MakePlainButton(this, "cmdFocus", QStringLiteral("Command1"), QStringLiteral("Command1"));
  PlaceTwips(cmdFocus, 2460, 5940, 1035, 255);

  SetTabOrder({cmdFile, cmdAdd, cmdDelete, lstParts, cmdSave, cmdQuit, txtBody, cmdFocus, optBody,
               optHead});

  connect(cmdFile, &QPushButton::clicked, this, &frmMain::cmdFile_Click);
  connect(cmdAdd, &QPushButton::clicked, this, &frmMain::cmdAdd_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
  connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);

  auto* openShortcut = new QShortcut(QKeySequence::Open, this);
  connect(openShortcut, &QShortcut::activated, this, &frmMain::OpenShortcut_Activated);
  setAcceptDrops(true);
  txtBody->installEventFilter(this);
  lstParts->setAcceptDrops(true);
  lstParts->viewport()->installEventFilter(this);

  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  Form_Load();
  savedChoices_ = ChoicesOnScreen();
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
  const std::string path = desktop_.findGameInstallFolder();
  if (path.empty() || path == "ERROR") return;
  env::LoadRememberedFolder(QString::fromStdString(path));
  setWindowTitle(QStringLiteral("Tailorloft - Version %1 - by Quillmoss")
                     .arg(QCoreApplication::applicationVersion()));
}

void frmMain::cmdFile_Click() {
  cmdFocus->setFocus();

  cdlFile->SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));
  cdlFile->SetDialogTitle(QStringLiteral("Select Body File"));
  cdlFile->SetFileName(QString());
  cdlFile->SetInitDir(env::gLastFilePath);
  try {
    cdlFile->ShowOpen(this);
  } catch (const FileDialogCancelled&) {
    // The dialog is shared with Save, which asks for Cancel as an error.
    return;
  }
  if (cdlFile->FileName().isEmpty()) return;
  SetBodyFile(cdlFile->FileName(), cdlFile->FileTitle());
}

void frmMain::SetBodyFile(const QString& fileName, const QString& fileTitle) {
  txtBody->setText(fileTitle);
  env::RememberFolder(fileName, fileTitle);

  if (IsHeadSkin(txtBody->text().toStdString())) {
    optBody->setChecked(false);
    optHead->setChecked(true);
  } else {
    optBody->setChecked(true);
    optHead->setChecked(false);
  }
}

void frmMain::cmdAdd_Click() {
  cmdFocus->setFocus();

  if (addAccessory_ == nullptr) addAccessory_ = new frmAddAccessory(desktop_, this);
  addAccessory_->SetAccessory(QString());
  addAccessory_->ShowModal();

  const QString entry = addAccessory_->Accessory();
  if (entry.isEmpty()) return;
  lstParts->addItem(entry);
}

void frmMain::cmdDelete_Click() {
  cmdFocus->setFocus();

  const int count = lstParts->count();
  for (int i = 0; i < count; ++i) {
    if (lstParts->item(i)->isSelected()) {
      delete lstParts->takeItem(i);
      return;
    }
  }
}

void frmMain::cmdQuit_Click() { close(); }

}  // namespace tailorloft::ui
