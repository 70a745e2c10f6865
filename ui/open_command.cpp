// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a suit in the main window (Ctrl+O, a dropped file, the command
// line) and the skin files dropped on its body field and accessory list.
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <filesystem>
#include <stdexcept>

#include "core/attachment.h"
#include "core/cmx_reader.h"
#include "core/skin_names.h"
#include "env/remembered_folder.h"
#include "env/system_codepage.h"
#include "ui/frm_main.h"

namespace tailorloft::ui {

namespace {

bool HasExtension(const QString& fileName, const QString& extension) {
  return fileName.endsWith(extension, Qt::CaseInsensitive);
}

// The local files a drag carries; nothing when it carries anything else.
QStringList DraggedFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files << QDir::toNativeSeparators(url.toLocalFile());
  }
  return files;
}

QString Quoted(const QString& fileName) {
  return QLatin1Char('"') + QDir::toNativeSeparators(fileName) + QLatin1Char('"');
}

// Why the window cannot show `cmx` without losing part of it, or nothing.
QString WhyNotShown(const CmxContents& cmx) {
  if (cmx.suits.empty()) return QStringLiteral("it holds no suit");
  if (cmx.suits.size() > 1) {
    return QStringLiteral("it holds %1 suits, and Tailorloft shows one suit at a time, so saving "
                          "it again would lose all but one")
        .arg(cmx.suits.size());
  }
  const CmxSuit& suit = cmx.suits.front();
  if (suit.skins.empty()) return QStringLiteral("its suit has no skins");
  // The window has no place for these numbers and saves 0 in each.
  const auto nonZero = [](std::int64_t number, std::size_t line) {
    return QStringLiteral("line %1 holds the number %2 where Tailorloft always saves 0, so saving "
                          "it again would lose it")
        .arg(line)
        .arg(number);
  };
  if (suit.firstNumber != 0) return nonZero(suit.firstNumber, suit.nameLine + 1);
  if (suit.secondNumber != 0) return nonZero(suit.secondNumber, suit.nameLine + 2);
  for (const CmxSkinRecord& skin : suit.skins) {
    if (skin.firstNumber != 0) return nonZero(skin.firstNumber, skin.line + 2);
    if (skin.secondNumber != 0) return nonZero(skin.secondNumber, skin.line + 3);
  }
  return {};
}

}  // namespace

void frmMain::OpenShortcut_Activated() {
  cmdFocus->setFocus();

  cdlFile->SetFilter(QStringLiteral("CMX Files (*.cmx)|*.cmx"));
  cdlFile->SetDialogTitle(QStringLiteral("Open Suit File"));
  cdlFile->SetFileName(QString());
  cdlFile->SetInitDir(env::gLastFilePath);
  try {
    cdlFile->ShowOpen(this);
  } catch (const FileDialogCancelled&) {
    return;  // the dialog is shared with Save, which asks for Cancel as an error
  }
  if (cdlFile->FileName().isEmpty()) return;
  env::RememberFolder(cdlFile->FileName(), cdlFile->FileTitle());
  OpenCmxFile(cdlFile->FileName());
}

bool frmMain::OpenCmxFile(const QString& fileName) {
  const QString title = QCoreApplication::applicationName();
  const QString shown = Quoted(fileName);
  const auto refuse = [&](const QString& why) {
    desktop_.messages->Warning(this, title, QStringLiteral("Could not open %1: %2.").arg(shown, why));
    return false;
  };

  CmxContents cmx;
  try {
    cmx = ReadCmxFile(std::filesystem::path(fileName.toStdU16String()), env::SystemCodePage());
  } catch (const CmxReadError& error) {
    desktop_.messages->Warning(this, title, QString::fromUtf8(error.what()));
    return false;
  }
  if (const QString why = WhyNotShown(cmx); !why.isEmpty()) return refuse(why);
  const Suit suit = ToSuit(cmx.suits.front());
  SuitChoices choices;
  try {
    choices = ChoicesFromSuit(suit);
  } catch (const std::invalid_argument& error) {
    return refuse(QString::fromUtf8(error.what()));
  }

  // The work on screen comes first: whether to give it up is asked before
  // anything about the file.
  if (ChoicesOnScreen() != savedChoices_ &&
      !desktop_.messages->AskYesNo(
          this, QStringLiteral("Confirm Action"),
          QStringLiteral("The suit on screen has changes that have not been saved. Open %1 and "
                         "discard them?")
              .arg(shown))) {
    return false;
  }
  // Saving names the suit after its file; say so when that renames it.
  const QString fileTitle = QFileInfo(fileName).fileName();
  const QString fileSuitName = fileTitle.left(fileTitle.size() - 4);
  const QString suitName = QString::fromStdString(suit.suitName);
  if (suitName != fileSuitName &&
      !desktop_.messages->AskYesNo(
          this, QStringLiteral("Confirm Action"),
          QStringLiteral("The suit in %1 is named \"%2\". Saved again as \"%3\", it will be named "
                         "\"%4\". Open it anyway?")
              .arg(shown, suitName, fileTitle, fileSuitName))) {
    return false;
  }

  ShowChoices(choices);
  savedChoices_ = choices;
  openedFile_ = QDir::toNativeSeparators(fileName);
  savedFile_.clear();
  env::RememberFolder(openedFile_, fileTitle);
  // The suit's skins are where the game looks for them: beside it.
  chosenFolders_.insert(QString::fromStdString(choices.bodyFileTitle), env::gLastFilePath);
  for (const std::string& entry : choices.entries) {
    chosenFolders_.insert(QString::fromStdString(ParseEntry(entry).fileTitle), env::gLastFilePath);
  }
  return true;
}

bool frmMain::AcceptsDrop(const QObject* target, const QStringList& files) const {
  if (files.isEmpty()) return false;
  if (std::any_of(files.begin(), files.end(),
                  [](const QString& file) { return HasExtension(file, QStringLiteral(".cmx")); })) {
    return true;
  }
  const bool allSkins = std::all_of(files.begin(), files.end(), [](const QString& file) {
    return HasExtension(file, QStringLiteral(".skn"));
  });
  return allSkins && (target == txtBody || target == lstParts->viewport());
}

void frmMain::Drop(const QObject* target, const QStringList& files) {
  const QString title = QCoreApplication::applicationName();
  const qsizetype suits = std::count_if(files.begin(), files.end(), [](const QString& file) {
    return HasExtension(file, QStringLiteral(".cmx"));
  });
  if (suits > 0) {
    if (files.size() > 1) {
      desktop_.messages->Warning(
          this, title,
          QStringLiteral("Drop one CMX file at a time: Tailorloft shows one suit at a time."));
      return;
    }
    OpenCmxFile(files.front());
    return;
  }

  if (target == txtBody) {
    if (files.size() > 1) {
      desktop_.messages->Warning(
          this, title, QStringLiteral("A suit has one body or head file. Drop a single SKN file here."));
      return;
    }
    SetBodyFile(files.front(), QFileInfo(files.front()).fileName());
    return;
  }

  // The accessory list: each file whose name says its bone, as the Add
  // dialog would suggest it.
  QStringList withoutBone;
  for (const QString& file : files) {
    const QString fileTitle = QFileInfo(file).fileName();
    const auto bone = SuggestAttachmentPoint(fileTitle.toStdString(), AttachmentPoints());
    if (!bone) {
      withoutBone << fileTitle;
      continue;
    }
    lstParts->addItem(QString::fromStdString(MakeEntry(*bone, fileTitle.toStdString())));
    env::RememberFolder(file, fileTitle);
    chosenFolders_.insert(fileTitle, env::gLastFilePath);
  }
  if (!withoutBone.isEmpty()) {
    const QString intro =
        withoutBone.size() == 1
            ? QStringLiteral("This file was not added, because its name does not say which bone it "
                             "belongs to:")
            : QStringLiteral("These files were not added, because their names do not say which "
                             "bone they belong to:");
    desktop_.messages->Warning(
        this, title,
        intro + QStringLiteral("\n\n") + withoutBone.join(QLatin1Char('\n')) +
            QStringLiteral("\n\nAdd them with the Add button, choosing the attachment point."));
  }
}

void frmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (AcceptsDrop(this, DraggedFiles(event->mimeData()))) event->acceptProposedAction();
}

void frmMain::dropEvent(QDropEvent* event) {
  const QStringList files = DraggedFiles(event->mimeData());
  if (!AcceptsDrop(this, files)) return;
  event->acceptProposedAction();
  Drop(this, files);
}

bool frmMain::FilterDropEvent(QObject* watched, QEvent* event) {
  if (watched != txtBody && watched != lstParts->viewport()) return false;
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (AcceptsDrop(watched, DraggedFiles(drag->mimeData()))) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const QStringList files = DraggedFiles(drop->mimeData());
      if (AcceptsDrop(watched, files)) {
        drop->acceptProposedAction();
        Drop(watched, files);
      }
      return true;
    }
    default:
      return false;
  }
}

}  // namespace tailorloft::ui
