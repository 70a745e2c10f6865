// The main window's start-up and its body file, Delete and Quit commands.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "ui/frm_main.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

using FrmMainTest = UiTest;

TEST_F(FrmMainTest, StartUpWithoutTheGameKeepsTheDesignCaptionAndNoFolder) {
  for (const std::string notFound : {"ERROR", ""}) {
    script_->installFolder = notFound;
    frmMain window(MakeDesktop());
    EXPECT_EQ(window.windowTitle(), "Tailorloft by Quillmoss") << notFound;
    EXPECT_EQ(env::gLastFilePath, "") << notFound;
  }
}

TEST_F(FrmMainTest, StartUpWithTheGameShowsTheVersionAndOpensInTheSkinFolder) {
  const QString install = FolderOf(QStringLiteral("Sims"));
  const QString skins = FolderOf(QStringLiteral("Sims/GameData/Skins"));
  script_->installFolder = install.toStdString();
  frmMain window(MakeDesktop());
  EXPECT_EQ(window.windowTitle(), "Tailorloft - Version 1.0.0 - by Quillmoss");

  script_->fileAnswers = {QString()};
  window.cmdFile_Click();
  ASSERT_EQ(script_->shownDialogs.size(), 1u);
  EXPECT_TRUE(script_->shownDialogs[0].initDir.startsWith(install)) << script_->shownDialogs[0].initDir.toStdString();
  EXPECT_TRUE(script_->shownDialogs[0].initDir.contains(QStringLiteral("kins")));
}

TEST_F(FrmMainTest, ChoosingTheBodyFileSetsTitleFolderAndHeadOrBody) {
  struct Case {
    QString title;
    bool head;
  } cases[] = {
      {QStringLiteral("x-C03-HEAD-HEAD.skn"), true},
      {QStringLiteral("body1.skn"), false},
      {QStringLiteral("x-c12.skn"), true},
      {QStringLiteral("x-B07-PELVIS-BODY.skn"), false},
      {QStringLiteral("x-.skn"), false},
  };
  frmMain window(MakeDesktop());
  auto* txtBody = Control<QLineEdit>(&window, "txtBody");
  auto* optHead = Control<QRadioButton>(&window, "optHead");
  auto* optBody = Control<QRadioButton>(&window, "optBody");
  EXPECT_FALSE(optHead->isChecked());
  EXPECT_FALSE(optBody->isChecked());

  QString previousFolder;
  for (const Case& c : cases) {
    const QString folder = FolderOf(c.title + QStringLiteral(".dir"));
    script_->fileAnswers = {folder + c.title};
    window.cmdFile_Click();
    const ShownDialog& shown = script_->shownDialogs.back();
    EXPECT_EQ(shown.mode, FileDialog::Mode::Open);
    EXPECT_EQ(shown.title, "Select Body File");
    EXPECT_EQ(shown.filter, "SKN Files (*.skn)|*.skn");
    EXPECT_EQ(shown.fileName, "");
    EXPECT_EQ(shown.initDir, previousFolder);
    EXPECT_EQ(txtBody->text(), c.title);
    EXPECT_EQ(optHead->isChecked(), c.head) << c.title.toStdString();
    EXPECT_EQ(optBody->isChecked(), !c.head) << c.title.toStdString();
    EXPECT_EQ(env::gLastFilePath, folder);
    previousFolder = folder;
  }
}

TEST_F(FrmMainTest, CancellingTheBodyFileChangesNothing) {
  frmMain window(MakeDesktop());
  const QString folder = FolderOf(QStringLiteral("a"));
  script_->fileAnswers = {folder + QStringLiteral("x-C03-HEAD-HEAD.skn")};
  window.cmdFile_Click();

  script_->fileAnswers = {QString()};
  window.cmdFile_Click();
  EXPECT_EQ(Control<QLineEdit>(&window, "txtBody")->text(), "x-C03-HEAD-HEAD.skn");
  EXPECT_TRUE(Control<QRadioButton>(&window, "optHead")->isChecked());
  EXPECT_EQ(env::gLastFilePath, folder);
}

TEST_F(FrmMainTest, TheBodyDialogTakesCancelAsNoChoiceAfterASaveWasCancelled) {
  frmMain window(MakeDesktop());
  script_->fileAnswers = {PathIn(QStringLiteral("a"), QStringLiteral("body1.skn")), QString(),
                          QString()};
  window.cmdFile_Click();
  window.cmdSave_Click();  // cancelled; leaves the shared dialog reporting Cancel as an error
  window.cmdFile_Click();  // cancelled again: must simply do nothing
  EXPECT_EQ(Control<QLineEdit>(&window, "txtBody")->text(), "body1.skn");
  EXPECT_TRUE(script_->fileAnswers.empty());
}

TEST_F(FrmMainTest, TheRememberedFolderIsSharedByAllDialogsAndSurvivesARestart) {
  const QString install = FolderOf(QStringLiteral("Sims"));
  script_->installFolder = install.toStdString();
  const QString bodies = FolderOf(QStringLiteral("bodies"));
  const QString hats = FolderOf(QStringLiteral("hats"));
  {
    frmMain window(MakeDesktop());
    script_->fileAnswers = {bodies + QStringLiteral("body1.skn")};
    window.cmdFile_Click();

    // The Add dialog opens where the body was chosen, and remembers its own choice.
    WhenModalShown([&](QWidget* modal) {
      modal->findChild<QPushButton*>(QStringLiteral("cmdFile"))->click();
      modal->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
    });
    script_->fileAnswers = {hats + QStringLiteral("hat.skn")};
    window.cmdAdd_Click();
    EXPECT_EQ(script_->shownDialogs.back().initDir, bodies);
    EXPECT_EQ(env::gLastFilePath, hats);
  }

  // A new run: the remembered folder is read back, not the skin folder.
  env::gLastFilePath.clear();
  frmMain window(MakeDesktop());
  EXPECT_EQ(env::gLastFilePath, hats);
  script_->fileAnswers = {QString()};
  window.cmdFile_Click();
  EXPECT_EQ(script_->shownDialogs.back().initDir, hats);
}

TEST_F(FrmMainTest, DeleteRemovesOnlyTheSelectedEntry) {
  struct Case {
    int selected;  // -1: none
    QStringList after;
  } cases[] = {
      {-1, {"A = 1.skn", "B = 2.skn", "C = 3.skn"}},
      {0, {"B = 2.skn", "C = 3.skn"}},
      {1, {"A = 1.skn", "C = 3.skn"}},
      {2, {"A = 1.skn", "B = 2.skn"}},
  };
  for (const Case& c : cases) {
    frmMain window(MakeDesktop());
    auto* list = Control<QListWidget>(&window, "lstParts");
    list->addItems({"A = 1.skn", "B = 2.skn", "C = 3.skn"});
    if (c.selected >= 0) list->setCurrentRow(c.selected);
    window.cmdDelete_Click();
    QStringList after;
    for (int i = 0; i < list->count(); ++i) after << list->item(i)->text();
    EXPECT_EQ(after, c.after) << c.selected;
  }
}

TEST_F(FrmMainTest, QuitClosesTheWindowWithoutAsking) {
  frmMain window(MakeDesktop());
  window.show();
  Control<QPushButton>(&window, "cmdQuit")->click();
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(script_->messages.empty());
}

}  // namespace
}  // namespace tailorloft::ui::testing
