// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QStringList>
#include <QStyle>
#include <QTreeView>
#include <QUrl>
#include <algorithm>

#include "env/remembered_folder.h"

namespace tailorloft::ui {

namespace {

// As long as the skin names creators use get: the name column shows one
// whole, and the dialog is made as much wider as the column grows.
const QString kLongSkinName = QStringLiteral("xskin-b1B5fafit_SexyWinter-PELVIS-BODY.skn");
const QString kSizeKey = QStringLiteral("Settings/File Dialog Size");

// Widens the name column of Qt's own dialog, unless it is wider already (as
// the user left it: Qt keeps the columns between runs); how much it grew.
int WidenNameColumn(QTreeView* view) {
  const QStyle* style = view->style();
  // An entry is its icon and its name, each with a margin on both sides.
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  const int icon = view->iconSize().isValid() ? view->iconSize().width()
                                              : style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view);
  const int needed = view->fontMetrics().horizontalAdvance(kLongSkinName) + icon + 5 * margin;
  QHeaderView* header = view->header();
  const int grown = std::max(0, needed - header->sectionSize(0));
  if (grown > 0) header->resizeSection(0, needed);
  return grown;
}

}  // namespace

void FileDialog::Show(Mode mode, QWidget* owner) {
  const QString chosen = Run(mode, owner);
  if (chosen.isEmpty()) {
    if (cancelError_) throw FileDialogCancelled();
    return;
  }
  fileName_ = QDir::toNativeSeparators(chosen);
  fileTitle_ = QFileInfo(chosen).fileName();
}

QString QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i < parts.size(); i += 2) {
    const QString description = parts[i].trimmed();
    const QString patterns =
        i + 1 < parts.size() ? QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' ')) : QString();
    // Qt reads the patterns from the parentheses; add them when the
    // description does not already show them.
    if (patterns.isEmpty() || description.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))) {
      filters << description;
    } else {
      filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
  }
  return filters.join(QStringLiteral(";;"));
}

QString QtFileDialog::Run(Mode mode, QWidget* owner) {
  QFileDialog dialog(owner, DialogTitle(), InitDir(), QtNameFilters(Filter()));
  dialog.setOptions(extraOptions_ | QFileDialog::DontConfirmOverwrite);
  dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(mode == Mode::Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setDefaultSuffix(DefaultExt());
  QList<QUrl> places = dialog.sidebarUrls();
  for (const QString& folder : SidebarFolders()) {
    const QUrl url = QUrl::fromLocalFile(folder);
    if (!places.contains(url)) places << url;
  }
  dialog.setSidebarUrls(places);
  if (!FileName().isEmpty()) dialog.selectFile(FileName());
  // Only Qt's own dialog has this view; a desktop's dialog sizes itself.
  auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  QSize given;
  if (view != nullptr) {
    const int grown = WidenNameColumn(view);
    const QSize stored = env::SettingsStore().value(kSizeKey).toSize();
    given = stored.isValid() ? stored : dialog.sizeHint() + QSize(grown, 0);
    dialog.resize(given);
  }
  const int result = dialog.exec();
  if (view != nullptr && dialog.size() != given) env::SettingsStore().setValue(kSizeKey, dialog.size());
  if (result != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

}  // namespace tailorloft::ui
