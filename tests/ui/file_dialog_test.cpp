// SPDX-License-Identifier: GPL-3.0-or-later
// The file dialog: filters in Qt's form, and the real QFileDialog driven as a
// user would, typing a name and accepting.
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

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

}  // namespace
}  // namespace tailorloft::ui::testing
