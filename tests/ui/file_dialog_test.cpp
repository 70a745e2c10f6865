// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog: filters in Qt's form, and the real QFileDialog driven as a
// user would, typing a name and accepting, or resizing it.
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTreeView>

#include "ui/file_dialog.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

TEST(QtNameFiltersTest, TranslatesDescriptionPatternPairs) {
  struct Case {
    QString filter;
    QString qt;
  } cases[] = {
      {"SKN Files (*.skn)|*.skn", "SKN Files (*.skn)"},
      {"CMX Files (*.cmx)|*.cmx", "CMX Files (*.cmx)"},
      {"Skins|*.skn", "Skins (*.skn)"},
      {"Suits (*.cmx)|*.cmx|Skins|*.skn;*.bmf", "Suits (*.cmx);;Skins (*.skn *.bmf)"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(QtNameFilters(c.filter), c.qt) << c.filter.toStdString();
}

class RealFileDialogTest : public UiTest {
 protected:
  // Types `name` into the dialog that is about to open and accepts it,
  // recording what the dialog showed.
  void TypeAndAccept(const QString& name) {
    WhenModalShown([this, name](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      ASSERT_NE(dialog, nullptr);
      seenTitle_ = dialog->windowTitle();
      seenFolder_ = dialog->directory().absolutePath();
      seenFilters_ = dialog->nameFilters();
      auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      ASSERT_NE(edit, nullptr);
      seenName_ = edit->text();
      edit->clear();
      QTest::keyClicks(edit, name);
      QTest::keyClick(edit, Qt::Key_Return);
      // A question of the dialog's own would be the modal window now.
      QTimer::singleShot(200, [this] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          askedItself_ = true;
          box->accept();
        }
      });
    });
  }

  QtFileDialog dialog_{QFileDialog::DontUseNativeDialog};
  QString seenTitle_, seenFolder_, seenName_;
  QStringList seenFilters_;
  bool askedItself_ = false;
};

TEST_F(RealFileDialogTest, SaveAddsTheExtensionAndAsksNoOverwriteQuestion) {
  const QString folder = FolderOf(QStringLiteral("out"));
  WriteBytes(folder + QStringLiteral("mysuit.cmx"), "old");
  dialog_.SetFilter(QStringLiteral("CMX Files (*.cmx)|*.cmx"));
  dialog_.SetDefaultExt(QStringLiteral("cmx"));
  dialog_.SetDialogTitle(QStringLiteral("Save File As"));
  dialog_.SetInitDir(folder);
  dialog_.SetFileName(QStringLiteral("B07"));
  dialog_.SetCancelError(true);

  TypeAndAccept(QStringLiteral("mysuit"));
  dialog_.ShowSave(nullptr);
  QTest::qWait(300);

  EXPECT_EQ(seenTitle_, "Save File As");
  EXPECT_EQ(QDir(seenFolder_), QDir(folder));
  EXPECT_EQ(seenFilters_, QStringList({"CMX Files (*.cmx)"}));
  EXPECT_EQ(seenName_, "B07");
  EXPECT_EQ(dialog_.FileName(), folder + QStringLiteral("mysuit.cmx"));
  EXPECT_EQ(dialog_.FileTitle(), "mysuit.cmx");
  EXPECT_FALSE(askedItself_);
}

TEST_F(RealFileDialogTest, OpenReportsTheChosenFileAndCancelLeavesTheNames) {
  const QString folder = FolderOf(QStringLiteral("skins"));
  WriteBytes(folder + QStringLiteral("x-B07-PELVIS-BODY.skn"), "");
  dialog_.SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));
  dialog_.SetInitDir(folder);

  TypeAndAccept(QStringLiteral("x-B07-PELVIS-BODY.skn"));
  dialog_.ShowOpen(nullptr);
  EXPECT_EQ(dialog_.FileName(), folder + QStringLiteral("x-B07-PELVIS-BODY.skn"));
  EXPECT_EQ(dialog_.FileTitle(), "x-B07-PELVIS-BODY.skn");

  for (const bool cancelError : {false, true}) {
    dialog_.SetCancelError(cancelError);
    WhenModalShown([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    if (cancelError) {
      EXPECT_THROW(dialog_.ShowOpen(nullptr), FileDialogCancelled);
    } else {
      dialog_.ShowOpen(nullptr);
    }
    EXPECT_EQ(dialog_.FileName(), folder + QStringLiteral("x-B07-PELVIS-BODY.skn"));
    EXPECT_EQ(dialog_.FileTitle(), "x-B07-PELVIS-BODY.skn");
  }
}

// Whether the view draws the entry named `name` without eliding it, by the
// rules Qt's styles draw entries with: the text's room is what the style
// leaves beside the icon, less a margin on each side.
bool ShowsWhole(const QTreeView* view, const QString& name) {
  const QAbstractItemModel* model = view->model();
  QModelIndex index;
  for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
    const QModelIndex candidate = model->index(row, 0, view->rootIndex());
    if (candidate.data().toString() == name) index = candidate;
  }
  if (!index.isValid()) return false;
  struct Delegate : QStyledItemDelegate {
    using QStyledItemDelegate::initStyleOption;
  } delegate;
  QStyleOptionViewItem option;
  option.initFrom(view);
  option.widget = view;
  option.rect = view->visualRect(index);
  const int icon = view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view);
  option.decorationSize = view->iconSize().isValid() ? view->iconSize() : QSize(icon, icon);
  delegate.initStyleOption(&option, index);
  const QRect text = view->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, view);
  const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  return option.fontMetrics.horizontalAdvance(name) <= text.width() - 2 * margin;
}

// Qt's own dialog shows the long names creators give skins whole at its
// first size, and opens next time at the size the user left it at.
TEST_F(RealFileDialogTest, ShowsLongNamesWholeAndOpensAtTheSizeTheUserLeftIt) {
  const QString name = QStringLiteral("xskin-b1B5fafit_SexyWinter-PELVIS-BODY.skn");
  const QString folder = FolderOf(QStringLiteral("skins"));
  WriteBytes(folder + name, "");
  dialog_.SetFilter(QStringLiteral("SKN Files (*.skn)|*.skn"));
  dialog_.SetInitDir(folder);

  bool whole = false;
  QSize left;
  WhenModalShown([&](QWidget* modal) {
    const auto* view = modal->findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_NE(view, nullptr);
    whole = QTest::qWaitFor([&] { return ShowsWhole(view, name); });
    left = modal->size() + QSize(120, 60);
    modal->resize(left);
    qobject_cast<QDialog*>(modal)->reject();
  });
  dialog_.ShowOpen(nullptr);
  EXPECT_TRUE(whole);
  EXPECT_EQ(QSettings().value(QStringLiteral("Settings/File Dialog Size")).toSize(), left);

  QSize opened;
  WhenModalShown([&](QWidget* modal) {
    opened = modal->size();
    qobject_cast<QDialog*>(modal)->reject();
  });
  dialog_.ShowSave(nullptr);
  EXPECT_EQ(opened, left);
}

}  // namespace
}  // namespace tailorloft::ui::testing
