// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window: the suit on screen in the main window, drawn as the
// game stands it on the adult skeleton, redrawn as the suit or its files
// change, with the suit check's findings below it.
#pragma once

#include <QHash>
#include <QString>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/suit.h"
#include "game/finding.h"
#include "game/texture_names.h"
#include "render/suit_scene.h"
#include "ui/desktop.h"

class QComboBox;
class QFileSystemWatcher;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace tailorloft::game {
class GameFiles;
}

namespace tailorloft::ui {

class PreviewWorker;
class SuitPicture;
struct CompanionSuit;

// The suit as the main window holds it, and where its files were chosen.
struct PreviewSuit {
  SuitChoices choices;
  // The suit's file title: the saved or opened file's, else the one Save
  // would propose ("B700MAFit_mine.cmx"); empty when there is none.
  QString cmxFileTitle;
  // Where the suit file is, else the folder its main skin was chosen in,
  // with a trailing separator; empty when neither is known.
  QString suitFolder;
  // Skin file title -> the folder it was chosen in, with a trailing separator.
  QHash<QString, QString> chosenFolders;
};

class frmPreview : public QWidget {
  Q_OBJECT

 public:
  // A window of `owner`'s that closes with it. `suitOnScreen` is asked for
  // the suit at every redraw; the game's files are under `gameFolder`
  // (empty: no game). Draws the suit before returning, so the first picture
  // is there as soon as the window is shown.
  frmPreview(const Desktop& desktop, std::filesystem::path gameFolder,
             std::function<PreviewSuit()> suitOnScreen, QWidget* owner);
  ~frmPreview() override;

  // Shows the window where it was last, or beside its owner the first time,
  // and brings it to the front.
  void ShowPreview();
  // The suit on screen changed: redraw once the change is complete.
  void SuitChanged();

  // "Reset View": straight from the front, the whole suit in view.
  void cmdResetView_Click();
  // "Skeleton...": picks the skeleton file to stand suits on, remembered.
  void cmdSkeleton_Click();
  // "Save Picture...": writes the picture as shown to a PNG file.
  void cmdSavePicture_Click();

 protected:
  void hideEvent(QHideEvent* event) override;
  // Closes with its owner.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Drawn;
  void Redraw();
  // The suit on screen as the scene's request; what cannot be drawn is
  // said in `notes`, the folders its files were chosen in added to `folders`.
  render::SceneRequest RequestForSuit(QStringList& notes, QStringList& folders);
  // The skeleton file picked in the settings; a file gone since is forgotten, and said so.
  QString PickedSkeleton(QStringList& notes) const;
  void LookForSkeleton(const std::filesystem::path& picked, const std::filesystem::path& suitFolder);
  // The suit and the one shown with it on the skeleton found; the files
  // they were read from are added to `files`.
  Drawn DrawScenes(const render::SceneRequest& request, QStringList& notes, QStringList& files, QStringList& folders);
  // The texture, companion and status controls for what was drawn.
  void ShowDrawn(const Drawn& drawn, const QStringList& notes);
  // What a redraw leaves until its picture is on screen.
  void AfterPicture();
  void ShowFindings(const std::vector<game::Finding>& findings);
  void ListCompanions(bool heads, const std::filesystem::path& folder);
  void ShowCompanions(std::vector<CompanionSuit> suits);
  // Watches `files` (an archive's entries by the archive) and `folders`;
  // with `keep`, also what was watched before.
  void WatchFiles(const QStringList& files, const QStringList& folders, bool keep);
  void SaveGeometry() const;
  QString SuitName() const;

  Desktop desktop_;
  std::filesystem::path gameFolder_;
  std::function<PreviewSuit()> suitOnScreen_;
  std::unique_ptr<FileDialog> cdlPicture_;
  std::unique_ptr<FileDialog> cdlSkeleton_;
  std::unique_ptr<game::GameFiles> game_;  // the window's thread's own
  std::unique_ptr<PreviewWorker> worker_;

  // The skeleton found for a picked file and suit folder, kept between
  // pictures until either or the files on disk change.
  struct SkeletonLookup {
    std::filesystem::path picked, suitFolder;
    std::optional<render::FoundSkeleton> found;
    QString problem;  // why no skeleton could be used, when one was meant to
  };
  std::optional<SkeletonLookup> skeleton_;

  PreviewSuit shown_;  // the suit drawn last
  game::Tone tone_ = game::Tone::kLight;
  std::optional<game::FoundFile> texture_;  // the main skin's, when picked
  std::string textureCode_;                 // the code of the suit it was picked for
  std::vector<game::FoundFile> pairedTextures_;  // as the texture choice offers them
  std::vector<CompanionSuit> companions_;
  std::optional<std::pair<bool, std::filesystem::path>> companionsListed_;  // heads?, folder
  QString companion_;  // the label of the suit shown with it; empty for none

  std::function<void()> afterPicture_;
  QTimer* redrawTimer_;
  QTimer* diskTimer_;
  QFileSystemWatcher* watcher_;
  QStringList watched_;      // what is meant to be watched, absolute
  bool foldersChanged_ = false;
  bool diskChanged_ = false;  // a watched file or folder changed since the last redraw
  bool placed_ = false;

  QLabel* lblTone;
  QComboBox* cboTone;
  QLabel* lblTexture;
  QComboBox* cboTexture;
  QLabel* lblCompanion;
  QComboBox* cboCompanion;
  SuitPicture* picSuit;
  QPlainTextEdit* txtNotes;
  QPushButton* cmdResetView;
  QPushButton* cmdSkeleton;
  QPushButton* cmdSavePicture;
  QLabel* lblFindings;
  QListWidget* lstFindings;
};

}  // namespace tailorloft::ui
