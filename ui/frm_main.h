// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: holds the suit being put together (body or head file,
// Head/Body choice, accessory list) in its controls, and runs its commands.
#pragma once

#include <QHash>
#include <QStringList>
#include <QWidget>
#include <memory>

#include "core/suit.h"
#include "ui/desktop.h"

class QDragEnterEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tailorloft::ui {

class frmAddAccessory;
class frmPreview;
struct PreviewSuit;

class frmMain : public QWidget {
  Q_OBJECT

 public:
  // Runs Form_Load; the caller shows the window.
  explicit frmMain(Desktop desktop, QWidget* parent = nullptr);
  // For start-up: the same window, but the parts that lay their text out as
  // soon as they are made (the body or head field, the File Type caption)
  // are made when it is first shown, after it is mapped and before it is
  // first painted; Qt's font system, slow to start, then starts after the
  // map, as it would for a window of labels alone. Show it before using it.
  struct TextOnceShown {};
  frmMain(Desktop desktop, TextOnceShown);
  ~frmMain() override;

  // Shown the first time, start-up's window makes its text parts.
  void setVisible(bool visible) override;

  // Start-up: finds the game, loads the remembered folder, sets the title.
  void Form_Load();
  // "...": chooses the body or head skin file.
  void cmdFile_Click();
  // "Add": asks for one accessory and appends it to the list.
  void cmdAdd_Click();
  // "Delete": removes the first selected accessory.
  void cmdDelete_Click();
  // "Save" and Ctrl+S: writes the suit on screen to a CMX file.
  void cmdSave_Click();
  // "Quit": closes the window.
  void cmdQuit_Click();
  // "Preview" and Ctrl+R: shows the suit in the preview window, made at first use.
  void cmdPreview_Click();
  // F1: the About box.
  void ShowAbout();
  // Ctrl+O: chooses a CMX file and opens it.
  void OpenShortcut_Activated();

  // Shows the suit of a CMX file as if it had been built by hand, and Save
  // then proposes that file. A file the window cannot show in full is
  // refused with a message; unsaved changes are only replaced after asking,
  // before any question about the file itself. Refused or declined, the
  // window is left as it was and false returned.
  bool OpenCmxFile(const QString& fileName);

 protected:
  // A .cmx file dropped anywhere opens; .skn files dropped on the body field
  // or the accessory list are chosen or added there.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Drops on the body field and the list; the Delete key on the list removes
  // the selected entry.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  frmMain(Desktop desktop, QWidget* parent, bool textOnceShown);
  // The text box and the frame's caption, and the tab order through them.
  void MakeTextParts();
  void DeleteSelectedEntry();
  // Handles drag and drop events on the body field and the list; true when
  // the event was one of them.
  bool FilterDropEvent(QObject* watched, QEvent* event);
  // The one mapping between the suit and the controls that hold it.
  SuitChoices ChoicesOnScreen() const;
  void ShowChoices(const SuitChoices& choices);
  // The suit on screen with where its files were chosen, for the preview.
  PreviewSuit SuitForPreview() const;
  // The suit was saved to `fileName`: the preview names it so.
  void SetSavedFile(const QString& fileName);

  // Sets the body or head file as the "..." button does.
  void SetBodyFile(const QString& fileName, const QString& fileTitle);
  // Whether `files` dropped on `target` (the window, txtBody or lstParts)
  // would do anything, and doing it.
  bool AcceptsDrop(const QObject* target, const QStringList& files) const;
  void Drop(const QObject* target, const QStringList& files);

  Desktop desktop_;
  QString gameFolder_;           // empty when the game was not found
  QStringList gameSkinFolders_;  // the game's skin folders that exist, for the dialogs' side bar
  // What was on screen when the suit was last saved or opened.
  SuitChoices savedChoices_;
  // The CMX file opened last, full name; empty until one is.
  QString openedFile_;
  // The CMX file the suit was last saved to, full name; empty until it is,
  // and again when a file is opened.
  QString savedFile_;
  // Skin file title -> the folder it was chosen in (trailing separator
  // kept): the window holds titles only, the preview needs the files.
  QHash<QString, QString> chosenFolders_;
  std::unique_ptr<FileDialog> cdlFile;
  frmAddAccessory* addAccessory_ = nullptr;  // created on first use, owned as a child
  frmPreview* preview_ = nullptr;            // likewise

  QLabel* Label1;
  QLineEdit* txtBody = nullptr;
  QPushButton* cmdFile;
  QGroupBox* Frame1;
  QRadioButton* optBody;
  QRadioButton* optHead;
  QPushButton* cmdAdd;
  QPushButton* cmdDelete;
  QLabel* Label2;
  QListWidget* lstParts;
  QPushButton* cmdSave;
  QPushButton* cmdPreview;
  QPushButton* cmdQuit;
  QPushButton* cmdFocus;
};

}  // namespace tailorloft::ui
