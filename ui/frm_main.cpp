// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frm_main.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>

#include "core/skin_names.h"
#include "core/utf8.h"
#include "env/install_path.h"
#include "env/paths.h"
#include "env/remembered_folder.h"
#include "ui/about.h"
#include "ui/form_layout.h"
#include "ui/frm_add_accessory.h"

namespace tailorloft::ui {

frmMain::frmMain(Desktop desktop, QWidget* parent) : frmMain(std::move(desktop), parent, false) {}

frmMain::frmMain(Desktop desktop, TextOnceShown) : frmMain(std::move(desktop), nullptr, true) {}

frmMain::frmMain(Desktop desktop, QWidget* parent, bool textOnceShown)
    : QWidget(parent, Qt::Window), desktop_(std::move(desktop)), cdlFile(desktop_.newFileDialog()) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(QStringLiteral("Tailorloft by Quillmoss"));
  MakeFixedDialogWindow(this, 5895, 5715);

  cdlFile->SetDialogTitle(QStringLiteral("Select SKN File To Load"));
  cdlFile->SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));

  // Created in stacking order (the text box, made with the other text
  // parts, is stacked in its place under the "..." button, which lies over
  // its end).
  Label1 = MakeCaptioned<QLabel>(this, "Label1", QStringLiteral("Body or Head File Name (SKN)"));
  PlaceTwips(Label1, 60, 120, 2355, 195);

  cmdFile = MakePlainButton(this, "cmdFile", QStringLiteral("..."),
                       QStringLiteral("Choose body or head file"));
  PlaceTwips(cmdFile, 5460, 360, 375, 315);

  // Captioned with the other text parts.
  Frame1 = MakeControl<QGroupBox>(this, "Frame1", QStringLiteral("File Type"));
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

  cmdPreview = MakePlainButton(this, "cmdPreview", QStringLiteral("Preview"), QStringLiteral("Preview suit"));
  PlaceTwips(cmdPreview, 2520, 5340, 855, 315);

  cmdQuit = MakePlainButton(this, "cmdQuit", QStringLiteral("Quit"), QStringLiteral("Quit"));
  PlaceTwips(cmdQuit, 4980, 5340, 855, 315);

  // Below the client area: it takes the focus away from the clicked button
  // without ever being seen.
  cmdFocus = MakePlainButton(this, "cmdFocus", QStringLiteral("Command1"), QStringLiteral("Command1"));
  PlaceTwips(cmdFocus, 2460, 5940, 1035, 255);

  if (!textOnceShown) MakeTextParts();
  KeepLayoutFont(this);
  lstParts->installEventFilter(this);
  // Long file names are cut at the list's edge: every entry shows its whole
  // text as a tooltip, however it was added.
  connect(lstParts->model(), &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
              QListWidgetItem* item = lstParts->item(row);
              item->setToolTip(item->text());
            }
          });

  connect(cmdFile, &QPushButton::clicked, this, &frmMain::cmdFile_Click);
  connect(cmdAdd, &QPushButton::clicked, this, &frmMain::cmdAdd_Click);
  connect(cmdDelete, &QPushButton::clicked, this, &frmMain::cmdDelete_Click);
  connect(cmdSave, &QPushButton::clicked, this, &frmMain::cmdSave_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);
  connect(cmdPreview, &QPushButton::clicked, this, &frmMain::cmdPreview_Click);

  auto* openShortcut = new QShortcut(QKeySequence::Open, this);
  connect(openShortcut, &QShortcut::activated, this, &frmMain::OpenShortcut_Activated);
  // Ctrl+S is a second way into Save, not a second Save: the button's own command.
  auto* saveShortcut = new QShortcut(QKeySequence::Save, this);
  connect(saveShortcut, &QShortcut::activated, this, &frmMain::cmdSave_Click);
  auto* previewShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), this);
  connect(previewShortcut, &QShortcut::activated, this, &frmMain::cmdPreview_Click);
  setAcceptDrops(true);
  lstParts->setAcceptDrops(true);
  lstParts->viewport()->installEventFilter(this);

  if (const QScreen* screen = this->screen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::MakeTextParts() {
  txtBody = MakeControl<QLineEdit>(this, "txtBody", QStringLiteral("Body or head file name"));
  MakeDisplayOnly(txtBody);
  PlaceTwips(txtBody, 60, 360, 5775, 285);
  txtBody->stackUnder(cmdFile);
  Label1->setBuddy(txtBody);
  txtBody->installEventFilter(this);
  Frame1->setTitle(QStringLiteral("File Type"));
  SetTabOrder({cmdFile, cmdAdd, cmdDelete, lstParts, cmdSave, cmdPreview, cmdQuit, txtBody, cmdFocus,
               optBody, optHead});
  // The window is complete: nothing on it is unsaved yet.
  savedChoices_ = ChoicesOnScreen();
}

void frmMain::setVisible(bool visible) {
  QWidget::setVisible(visible);
  // The window system has the window now; its first paint is still to come.
  if (visible && txtBody == nullptr) {
    MakeTextParts();
    txtBody->show();
  }
}

void frmMain::Form_Load() {
  const std::string path = desktop_.findGameInstallFolder();
  if (path.empty() || path == "ERROR") {
    // No game to seed it from, but a folder remembered in an earlier run still counts.
    env::ReadRememberedFolder();
    return;
  }
  gameFolder_ = QString::fromStdString(path);
  env::LoadRememberedFolder(gameFolder_);

  const std::string candidates[] = {
      env::SkinFolder(path),
      Utf8FromPath(env::ResolveCaseInsensitive(PathFromUtf8(path), "ExpansionShared/SkinsBuy")),
  };
  for (const std::string& folder : candidates) {
    // The folder as the file system spells it: on Windows the usual names
    // are lower case and the joined path may hold doubled separators.
    const QFileInfo info(QString::fromStdString(folder));
    if (info.isDir()) gameSkinFolders_ << QDir::toNativeSeparators(info.canonicalFilePath());
  }
  cdlFile->SetSidebarFolders(gameSkinFolders_);

  setWindowTitle(QStringLiteral("Tailorloft - Version %1 - by Quillmoss")
                     .arg(QCoreApplication::applicationVersion()));
}

void frmMain::cmdFile_Click() {
  cmdFocus->setFocus();

  cdlFile->SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));
  // Save leaves "cmx" here; a typed "B07" must not pick B07.cmx as the skin.
  cdlFile->SetDefaultExt(QString());
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
  ShowFileTitle(txtBody, fileTitle);
  env::RememberFolder(fileName, fileTitle);
  chosenFolders_.insert(fileTitle, env::gLastFilePath);

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

  if (addAccessory_ == nullptr) {
    addAccessory_ = new frmAddAccessory(desktop_, this);
    addAccessory_->SetSidebarFolders(gameSkinFolders_);
  }
  addAccessory_->SetAccessory(QString());
  addAccessory_->ShowModal();

  const QString entry = addAccessory_->Accessory();
  if (entry.isEmpty()) return;
  chosenFolders_.insert(addAccessory_->AccessoryFileTitle(), addAccessory_->AccessoryFolder());
  lstParts->addItem(entry);
}

void frmMain::cmdDelete_Click() {
  cmdFocus->setFocus();
  DeleteSelectedEntry();
}

void frmMain::DeleteSelectedEntry() {
  const int count = lstParts->count();
  for (int i = 0; i < count; ++i) {
    if (lstParts->item(i)->isSelected()) {
      delete lstParts->takeItem(i);
      // Qt would select the next entry, and a second Delete would remove an
      // entry the user never picked.
      lstParts->selectionModel()->clear();
      return;
    }
  }
}

void frmMain::cmdQuit_Click() { close(); }

void frmMain::ShowAbout() {
  AboutFacts facts;
  facts.version = QCoreApplication::applicationVersion();
  facts.gameFolder = gameFolder_;
  if (gameFolder_.isEmpty() && desktop_.gameSearchPlaces) facts.searched = desktop_.gameSearchPlaces();
  facts.settingsStore = env::RememberedFolderStore();
  facts.guide = UserGuideLocation();
  desktop_.messages->About(this, QStringLiteral("About Tailorloft"), AboutText(facts));
}

void frmMain::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::HelpContents)) {
    event->accept();
    ShowAbout();
    return;
  }
  QWidget::keyPressEvent(event);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
  if (FilterDropEvent(watched, event)) return true;
  if (watched == lstParts && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Delete)) {
    DeleteSelectedEntry();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tailorloft::ui
