// SPDX-License-Identifier: GPL-3.0-or-later
// The Add Accessory dialog and the main window's Add command.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "core/attachment.h"
#include "ui/frm_add_accessory.h"
#include "ui/frm_main.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

class AddAccessoryTest : public UiTest {
 protected:
  void SetUp() override {
    UiTest::SetUp();
    dialog_ = std::make_unique<frmAddAccessory>(MakeDesktop(), nullptr);
    dialog_->Form_Load();
    txtAcc_ = Control<QLineEdit>(dialog_.get(), "txtAcc");
    cboAttach_ = Control<QComboBox>(dialog_.get(), "cboAttach");
  }

  void Choose(const QString& title) {
    script_->fileAnswers = {title.isEmpty() ? QString() : FolderOf(QStringLiteral("acc")) + title};
    dialog_->cmdFile_Click();
  }

  std::unique_ptr<frmAddAccessory> dialog_;
  QLineEdit* txtAcc_ = nullptr;
  QComboBox* cboAttach_ = nullptr;
};

TEST_F(AddAccessoryTest, StartsWithNoFileAndAllPointsOfferedNoneChosen) {
  ASSERT_EQ(cboAttach_->count(), 28);
  for (int i = 0; i < 28; ++i) {
    EXPECT_EQ(cboAttach_->itemText(i).toStdString(), AttachmentPoints()[static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(cboAttach_->currentText(), "");
  EXPECT_EQ(txtAcc_->text(), "");
  EXPECT_FALSE(cboAttach_->isEditable());
}

TEST_F(AddAccessoryTest, TheFileNameSuggestsAPointAndOtherwiseKeepsTheEarlierOne) {
  struct Step {
    QString file;  // "" cancels
    QString text;
    QString point;
  } steps[] = {
      {QStringLiteral("hat.skn"), QStringLiteral("hat.skn"), QString()},
      {QStringLiteral("x-hat-L_HAND-a.skn"), QStringLiteral("x-hat-L_HAND-a.skn"), QStringLiteral("L_HAND")},
      {QStringLiteral("x-hat-l_hand-a.skn"), QStringLiteral("x-hat-l_hand-a.skn"), QStringLiteral("L_HAND")},
      {QStringLiteral("x-hat-SPINE-a.skn"), QStringLiteral("x-hat-SPINE-a.skn"), QStringLiteral("SPINE")},
      {QStringLiteral("x-hat-HEAD.skn"), QStringLiteral("x-hat-HEAD.skn"), QStringLiteral("SPINE")},
      {QString(), QStringLiteral("x-hat-HEAD.skn"), QStringLiteral("SPINE")},
      {QStringLiteral("x-hat-R_HAND-") + QString(120, QLatin1Char('r')) + QStringLiteral(".skn"),
       QStringLiteral("x-hat-R_HAND-") + QString(120, QLatin1Char('r')) + QStringLiteral(".skn"),
       QStringLiteral("R_HAND")},
  };
  for (const Step& step : steps) {
    Choose(step.file);
    const ShownDialog& shown = script_->shownDialogs.back();
    EXPECT_EQ(shown.title, "Select Accessory File");
    EXPECT_EQ(shown.filter, "SKN Files (*.skn)|*.skn");
    EXPECT_EQ(shown.fileName, "");
    EXPECT_EQ(txtAcc_->text(), step.text) << step.file.toStdString();
    EXPECT_EQ(txtAcc_->toolTip(), step.text);
    EXPECT_EQ(cboAttach_->currentText(), step.point) << step.file.toStdString();
    EXPECT_EQ(txtAcc_->cursorPosition(), 0) << "the box shows the name's end";
  }
  EXPECT_EQ(env::gLastFilePath, FolderOf(QStringLiteral("acc")));
  EXPECT_TRUE(script_->messages.empty());
}

TEST_F(AddAccessoryTest, OkWarnsAboutTheFileFirstThenThePoint) {
  dialog_->cmdOK_Click();
  Choose(QStringLiteral("ring.skn"));
  dialog_->cmdOK_Click();
  ASSERT_EQ(script_->messages.size(), 2u);
  EXPECT_EQ(script_->messages[0].text, "Accessory not selected.");
  EXPECT_EQ(script_->messages[1].text, "Attachment point not selected");
  for (const Message& m : script_->messages) {
    EXPECT_EQ(m.kind, Message::Warning);
    EXPECT_EQ(m.title, "Tailorloft");
  }
  EXPECT_EQ(dialog_->Accessory(), "");
  EXPECT_EQ(dialog_->result(), QDialog::Rejected);
}

TEST_F(AddAccessoryTest, OkMakesTheEntryAndCancelKeepsWhatTheCallerSet) {
  Choose(QStringLiteral("ring.skn"));
  cboAttach_->setCurrentIndex(cboAttach_->findText(QStringLiteral("L_HAND")));
  dialog_->SetAccessory(QString());
  dialog_->cmdCancel_Click();
  EXPECT_EQ(dialog_->Accessory(), "");

  dialog_->cmdOK_Click();
  EXPECT_EQ(dialog_->Accessory(), "L_HAND = ring.skn");
  EXPECT_EQ(dialog_->result(), QDialog::Accepted);
  EXPECT_TRUE(script_->messages.empty());
}

TEST_F(AddAccessoryTest, EscapeDoesNotCloseTheDialog) {
  WhenModalShown([](QWidget* modal) {
    QTest::keyClick(modal, Qt::Key_Escape);
    const bool stillOpen = modal->isVisible();
    modal->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    EXPECT_TRUE(stillOpen);
  });
  dialog_->ShowModal();
}

// A click on OK leaves the focus there; the next display must not start with
// it, or Space would at once warn "Accessory not selected.".
TEST_F(AddAccessoryTest, EachDisplayStartsWithTheFocusOnTheFirstControl) {
  for (int display = 0; display < 2; ++display) {
    QWidget* focused = nullptr;
    WhenModalShown([&focused](QWidget* modal) {
      focused = modal->focusWidget();
      modal->findChild<QPushButton*>(QStringLiteral("cmdOK"))->setFocus();
      modal->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    });
    dialog_->ShowModal();
    EXPECT_EQ(focused, Control<QWidget>(dialog_.get(), "cmdFile")) << "display " << display;
  }
}

// Drives the modal Add dialog shown by the main window's Add command.
void AnswerAddDialog(const QString& point, bool ok) {
  WhenModalShown([point, ok](QWidget* modal) {
    auto* combo = modal->findChild<QComboBox*>(QStringLiteral("cboAttach"));
    auto* text = modal->findChild<QLineEdit*>(QStringLiteral("txtAcc"));
    // Each display starts afresh.
    EXPECT_EQ(text->text(), "");
    EXPECT_EQ(combo->currentIndex(), -1);
    EXPECT_EQ(combo->count(), 28);
    modal->findChild<QPushButton*>(QStringLiteral("cmdFile"))->click();
    if (!point.isEmpty()) combo->setCurrentIndex(combo->findText(point));
    modal->findChild<QPushButton*>(ok ? QStringLiteral("cmdOK") : QStringLiteral("cmdCancel"))->click();
  });
}

TEST_F(AddAccessoryTest, AddAppendsEachEntryDuplicatesIncludedAndCancelAddsNothing) {
  frmMain window(MakeDesktop());
  window.show();
  auto* list = Control<QListWidget>(&window, "lstParts");
  const QString acc = FolderOf(QStringLiteral("acc"));

  script_->fileAnswers = {acc + "x-hat-L_HAND-a.skn", acc + "ring.skn", acc + "ring.skn",
                          acc + "ring.skn"};
  AnswerAddDialog(QString(), true);  // point suggested by the name
  window.cmdAdd_Click();
  AnswerAddDialog(QStringLiteral("R_HAND"), true);
  window.cmdAdd_Click();
  AnswerAddDialog(QStringLiteral("R_HAND"), true);
  window.cmdAdd_Click();
  AnswerAddDialog(QStringLiteral("HEAD"), false);
  window.cmdAdd_Click();

  QStringList entries;
  for (int i = 0; i < list->count(); ++i) {
    entries << list->item(i)->text();
    EXPECT_EQ(list->item(i)->toolTip(), list->item(i)->text());
  }
  EXPECT_EQ(entries, QStringList({"L_HAND = x-hat-L_HAND-a.skn", "R_HAND = ring.skn", "R_HAND = ring.skn"}));
}

}  // namespace
}  // namespace tailorloft::ui::testing
