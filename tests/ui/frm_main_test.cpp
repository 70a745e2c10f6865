// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's start-up and its body file, Delete and Quit commands.
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include "ui/about.h"
#include "ui/frm_main.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

using FrmMainTest = UiTest;

// Without the game nothing seeds the setting, but a folder remembered in an
// earlier run is used all the same.
TEST_F(FrmMainTest, StartUpWithoutTheGameKeepsTheDesignCaptionAndReadsOnlyAStoredFolder) {
  for (const QString& stored : {QString(), QStringLiteral("/srv/my skins/")}) {
    for (const std::string notFound : {"ERROR", ""}) {
      QSettings().setValue(QStringLiteral("Settings/Last File Path"), stored);
      env::gLastFilePath.clear();
      script_->installFolder = notFound;
      frmMain window(MakeDesktop());
      EXPECT_EQ(window.windowTitle(), "Tailorloft by Quillmoss") << notFound;
      EXPECT_EQ(env::gLastFilePath, stored) << notFound;
      EXPECT_EQ(QSettings().value(QStringLiteral("Settings/Last File Path")).toString(), stored);
      script_->fileAnswers = {QString()};
      window.cmdFile_Click();
      EXPECT_EQ(script_->shownDialogs.back().initDir, stored);
    }
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
      // Longer than the box: it must show the start, which decides Head/Body.
      {QStringLiteral("x-C03-HEAD-") + QString(120, QLatin1Char('h')) + QStringLiteral(".skn"), true},
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
    EXPECT_EQ(txtBody->cursorPosition(), 0) << "the box shows the name's end";
    EXPECT_EQ(txtBody->toolTip(), c.title);
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

TEST_F(FrmMainTest, TheBodyDialogIsAnOpenDialogAgainAfterASave) {
  frmMain window(MakeDesktop());
  script_->fileAnswers = {PathIn(QStringLiteral("a"), QStringLiteral("body1.skn")), QString(),
                          QString()};
  window.cmdFile_Click();
  window.cmdSave_Click();  // cancelled; leaves the shared dialog reporting Cancel as an error
  window.cmdFile_Click();  // cancelled again: must simply do nothing
  EXPECT_EQ(Control<QLineEdit>(&window, "txtBody")->text(), "body1.skn");
  EXPECT_TRUE(script_->fileAnswers.empty());
  // Nor may it complete a typed "B07" to the skin "B07.cmx".
  EXPECT_EQ(script_->shownDialogs.back().defaultExt, "");
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

// By the button or by the Delete key on the list; as a Windows list box, no
// entry is selected afterwards, so a second Delete removes nothing.
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
  for (const bool byKey : {false, true}) {
    for (const Case& c : cases) {
      frmMain window(MakeDesktop());
      window.show();
      auto* list = Control<QListWidget>(&window, "lstParts");
      list->addItems({"A = 1.skn", "B = 2.skn", "C = 3.skn"});
      if (c.selected >= 0) list->setCurrentRow(c.selected);
      for (int press = 0; press < 2; ++press) {
        if (byKey) {
          QTest::keyClick(list, Qt::Key_Delete);
        } else {
          window.cmdDelete_Click();
        }
      }
      QStringList after;
      for (int i = 0; i < list->count(); ++i) after << list->item(i)->text();
      EXPECT_EQ(after, c.after) << c.selected << (byKey ? " by key" : " by button");
      EXPECT_TRUE(list->selectedItems().isEmpty()) << c.selected;
    }
  }
}

TEST_F(FrmMainTest, F1ShowsWhoTheProgramIsAndWhereItLooked) {
  const QString install = FolderOf(QStringLiteral("Sims"));
  struct Case {
    std::string installFolder;
    QString game;  // the line about the game
  } cases[] = {
      {install.toStdString(), QStringLiteral("The game was found in ") + QDir::toNativeSeparators(install)},
      {"ERROR", QStringLiteral("The game was not found. Tailorloft looked for\n- the Wine prefixes: none found")},
  };
  for (const Case& c : cases) {
    script_->installFolder = c.installFolder;
    script_->messages.clear();
    frmMain window(MakeDesktop());
    window.show();
    QTest::keyClick(Control<QListWidget>(&window, "lstParts"), Qt::Key_F1);
    ASSERT_EQ(script_->messages.size(), 1u);
    const Message& about = script_->messages[0];
    EXPECT_EQ(about.kind, Message::About);
    EXPECT_EQ(about.title, "About Tailorloft");
    for (const QString& part : {QStringLiteral("Tailorloft 1.0.0"), QStringLiteral("GPL-3.0-or-later"), c.game,
                                QDir::toNativeSeparators(QSettings().fileName()),
                                QStringLiteral("User guide: ")}) {
      EXPECT_TRUE(about.text.contains(part)) << part.toStdString() << "\nin:\n" << about.text.toStdString();
    }
  }
}

// The settings key as regedit and the guide write it, not as Qt's path from
// the registry's root; on Windows the guide the downloads carry, README.txt.
TEST(AboutTest, NamesTheSettingsKeyAndTheGuideAsTheUserFindsThem) {
  AboutFacts facts{QStringLiteral("1.0.0"), QStringLiteral("C:/Games/The Sims"), {},
                   QStringLiteral("\\HKEY_CURRENT_USER\\Software\\Tailorloft\\Tailorloft"), QStringLiteral("guide")};
  EXPECT_TRUE(AboutText(facts).contains(
      "\nThe folder the file dialogs start in is kept in HKEY_CURRENT_USER\\Software\\Tailorloft\\Tailorloft\n"))
      << AboutText(facts).toStdString();
#ifdef Q_OS_WIN
  const QString guide = UserGuideLocation();
  EXPECT_TRUE(guide.contains(QStringLiteral("README.txt")) && !guide.contains(QStringLiteral("README.md")))
      << guide.toStdString();
#endif
}

// Windows file names are case-blind: there the side bar may spell a folder
// the way the game's rules name it.
QStringList AsCompared(QStringList folders) {
#ifdef Q_OS_WIN
  for (QString& folder : folders) folder = folder.toLower();
#endif
  return folders;
}

// The side bar of every file dialog lists the game's skin folders that exist.
TEST_F(FrmMainTest, TheDialogsSideBarListsTheGamesSkinFolders) {
  const QString install = FolderOf(QStringLiteral("Sims"));
  const QString skins = FolderOf(QStringLiteral("Sims/GameData/Skins")).chopped(1);
  const QString buy = FolderOf(QStringLiteral("Sims/ExpansionShared/SkinsBuy")).chopped(1);
  script_->installFolder = install.toStdString();
  frmMain window(MakeDesktop());
  window.show();
  script_->fileAnswers = {PathIn(QStringLiteral("b"), QStringLiteral("body1.skn")), QString(), QString()};
  window.cmdFile_Click();
  WhenModalShown([](QWidget* modal) {
    modal->findChild<QPushButton*>(QStringLiteral("cmdFile"))->click();
    modal->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
  });
  window.cmdAdd_Click();
  window.cmdSave_Click();
  ASSERT_EQ(script_->shownDialogs.size(), 3u);
  for (const ShownDialog& shown : script_->shownDialogs) {
    EXPECT_EQ(AsCompared(shown.sidebarFolders), AsCompared({skins, buy})) << shown.title.toStdString();
  }

  // Without the expansion's folder only the skin folder is offered.
  QDir(buy).removeRecursively();
  frmMain second(MakeDesktop());
  script_->fileAnswers = {QString()};
  second.cmdFile_Click();
  EXPECT_EQ(AsCompared(script_->shownDialogs.back().sidebarFolders), AsCompared({skins}));
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
