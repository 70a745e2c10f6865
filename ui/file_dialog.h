// SPDX-License-Identifier: GPL-3.0-or-later
// A file dialog in the shape the windows use it: set the properties, show it
// to open or to save, read back the chosen full name and file title. Each
// window owns one, and it keeps its properties between uses, so a save
// dialog starts in the folder the last open dialog was given.
#pragma once

#include <QFileDialog>
#include <QString>
#include <QStringList>
#include <stdexcept>

class QWidget;

namespace tailorloft::ui {

// Thrown by ShowOpen/ShowSave when the user cancels and CancelError is set.
class FileDialogCancelled : public std::runtime_error {
 public:
  FileDialogCancelled() : std::runtime_error("The file dialog was cancelled.") {}
};

class FileDialog {
 public:
  enum class Mode { Open, Save };

  virtual ~FileDialog() = default;

  // Filters as "Description (*.ext)|*.ext", pairs joined by "|".
  virtual void SetFilter(const QString& filter) { filter_ = filter; }
  virtual void SetDialogTitle(const QString& title) { dialogTitle_ = title; }
  // Before showing: the proposed name. After: the chosen full file name, in
  // the platform's own separators.
  virtual void SetFileName(const QString& fileName) { fileName_ = fileName; }
  virtual void SetInitDir(const QString& folder) { initDir_ = folder; }
  // Extension (without dot) added to a name typed without one.
  virtual void SetDefaultExt(const QString& extension) { defaultExt_ = extension; }
  virtual void SetCancelError(bool cancelError) { cancelError_ = cancelError; }
  // Folders listed in the side bar after the usual places (the game's skin
  // folders); the caller passes only folders that exist.
  void SetSidebarFolders(const QStringList& folders) { sidebarFolders_ = folders; }

  const QString& Filter() const { return filter_; }
  const QString& DialogTitle() const { return dialogTitle_; }
  const QString& FileName() const { return fileName_; }
  // The chosen file's name without its folder; empty until a file is chosen.
  const QString& FileTitle() const { return fileTitle_; }
  const QString& InitDir() const { return initDir_; }
  const QString& DefaultExt() const { return defaultExt_; }
  bool CancelError() const { return cancelError_; }
  const QStringList& SidebarFolders() const { return sidebarFolders_; }

  // Modal on `owner`. On a choice FileName and FileTitle hold it; on cancel
  // both keep their values, or FileDialogCancelled is thrown if CancelError.
  void ShowOpen(QWidget* owner) { Show(Mode::Open, owner); }
  void ShowSave(QWidget* owner) { Show(Mode::Save, owner); }

 protected:
  // Runs the dialog; the chosen full file name, or an empty string on cancel.
  virtual QString Run(Mode mode, QWidget* owner) = 0;

 private:
  void Show(Mode mode, QWidget* owner);

  QString filter_;
  QString dialogTitle_;
  QString fileName_;
  QString fileTitle_;
  QString initDir_;
  QString defaultExt_;
  bool cancelError_ = false;
  QStringList sidebarFolders_;
};

// "SKN Files (*.skn)|*.skn|All (*.*)|*.*" in QFileDialog's form,
// "SKN Files (*.skn);;All (*.*)".
QString QtNameFilters(const QString& filter);

// The real dialog, a QFileDialog. The save dialog asks no overwrite question
// of its own: the save command asks its own. Qt's own dialog (where the
// desktop offers none of its own) lists names as long as creators give their
// skins whole, and opens at the size the user last left it at, kept in the
// program's settings ("Settings/File Dialog Size"); the desktop's dialogs
// keep their own sizes.
class QtFileDialog : public FileDialog {
 public:
  explicit QtFileDialog(QFileDialog::Options extraOptions = {}) : extraOptions_(extraOptions) {}

 protected:
  QString Run(Mode mode, QWidget* owner) override;

 private:
  QFileDialog::Options extraOptions_;
};

}  // namespace tailorloft::ui
