// The main window: holds the suit being put together (body or head file,
// Head/Body choice, accessory list) in its controls, and runs its commands.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

#include "ui/desktop.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tailorloft::ui {

class frmAddAccessory;

class frmMain : public QWidget {
  Q_OBJECT

 public:
  // Runs Form_Load; the caller shows the window.
  explicit frmMain(Desktop desktop, QWidget* parent = nullptr);
  ~frmMain() override;

  // Start-up: finds the game, loads the remembered folder, sets the title.
  void Form_Load();
  // "...": chooses the body or head skin file.
  void cmdFile_Click();
  // "Add": asks for one accessory and appends it to the list.
  void cmdAdd_Click();
  // "Delete": removes the first selected accessory.
  void cmdDelete_Click();
  // "Save": writes the suit on screen to a CMX file.
  void cmdSave_Click();
  // "Quit": closes the window.
  void cmdQuit_Click();
  // F1: the About box.
  void ShowAbout();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  // The Delete key on the accessory list removes the selected entry.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void DeleteSelectedEntry();

  Desktop desktop_;
  QString gameFolder_;           // empty when the game was not found
  QStringList gameSkinFolders_;  // the game's skin folders that exist, for the dialogs' side bar
  std::unique_ptr<FileDialog> cdlFile;
  frmAddAccessory* addAccessory_ = nullptr;  // created on first use, owned as a child

  QLabel* Label1;
  QLineEdit* txtBody;
  QPushButton* cmdFile;
  QGroupBox* Frame1;
  QRadioButton* optBody;
  QRadioButton* optHead;
  QPushButton* cmdAdd;
  QPushButton* cmdDelete;
  QLabel* Label2;
  QListWidget* lstParts;
  QPushButton* cmdSave;
  QPushButton* cmdQuit;
  QPushButton* cmdFocus;
};

}  // namespace tailorloft::ui
