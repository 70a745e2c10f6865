// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/file_dialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QUrl>

namespace tailorloft::ui {

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
  if (dialog.exec() != QDialog::Accepted) return {};
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

}  // namespace tailorloft::ui
