// SPDX-License-Identifier: GPL-3.0-or-later
// The Save command: the proposed name, cancel, the overwrite question, the
// exact file written, failures reported without losing anything, the fatal
// error trap for a dialog that cannot be prepared, and Ctrl+S as a second
// way in.
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>
#include <functional>

#include "env/error_trap.h"
#include "ui/frm_main.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

const std::string kHeader = "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n";

class SaveTest : public UiTest {
 protected:
  // A window with `bodyTitle` chosen from the folder "bodies" and `entries` listed.
  std::unique_ptr<frmMain> WindowWith(const QString& bodyTitle, const QStringList& entries = {}) {
    auto window = std::make_unique<frmMain>(MakeDesktop());
    script_->fileAnswers = {PathIn(QStringLiteral("bodies"), bodyTitle)};
    window->cmdFile_Click();
    Control<QListWidget>(window.get(), "lstParts")->addItems(entries);
    script_->shownDialogs.clear();
    return window;
  }
};

TEST_F(SaveTest, WithoutABodyFileNothingHappens) {
  frmMain window(MakeDesktop());
  window.cmdSave_Click();
  EXPECT_TRUE(script_->shownDialogs.empty());
  EXPECT_TRUE(script_->messages.empty());
}

TEST_F(SaveTest, TheDialogProposesANameFromTheBodyFile) {
  struct Case {
    QString body;
    QString proposed;
  } cases[] = {
      {QStringLiteral("x-B07-PELVIS-BODY.skn"), QStringLiteral("B07")},
      {QStringLiteral("x-c12.skn"), QStringLiteral("c12.skn")},
      {QStringLiteral("body1.skn"), QStringLiteral("body1")},
      {QStringLiteral("x--y.skn"), QString()},
      // Too short to lose an extension: nothing is proposed, the program goes on.
      {QStringLiteral("ab"), QString()},
  };
  for (const Case& c : cases) {
    auto window = WindowWith(c.body);
    script_->fileAnswers = {QString()};
    window->cmdSave_Click();
    ASSERT_EQ(script_->shownDialogs.size(), 1u) << c.body.toStdString();
    const ShownDialog& shown = script_->shownDialogs[0];
    EXPECT_EQ(shown.mode, FileDialog::Mode::Save);
    EXPECT_EQ(shown.fileName, c.proposed) << c.body.toStdString();
    EXPECT_EQ(shown.title, "Save File As");
    EXPECT_EQ(shown.filter, "CMX Files (*.cmx)|*.cmx");
    EXPECT_EQ(shown.defaultExt, "cmx");
    EXPECT_TRUE(shown.cancelError);
    EXPECT_EQ(Control<QLineEdit>(window.get(), "txtBody")->text(), c.body);
  }
}

TEST_F(SaveTest, TheSaveDialogOpensWhereTheBodyDialogLastStarted) {
  const QString start = FolderOf(QStringLiteral("start"));
  QSettings().setValue(QStringLiteral("Settings/Last File Path"), start);  // from an earlier run
  auto window = WindowWith(QStringLiteral("body1.skn"));  // chosen from "bodies"
  script_->fileAnswers = {QString()};
  window->cmdSave_Click();
  ASSERT_EQ(script_->shownDialogs.size(), 1u);
  EXPECT_EQ(script_->shownDialogs[0].initDir, start);
  EXPECT_EQ(script_->shownDialogs[0].dialogId, 1);  // the body file's own dialog
}

TEST_F(SaveTest, CancelWritesNothingAndKeepsTheFolder) {
  auto window = WindowWith(QStringLiteral("body1.skn"));
  const QString before = env::gLastFilePath;
  script_->fileAnswers = {QString()};
  window->cmdSave_Click();
  EXPECT_EQ(env::gLastFilePath, before);
  EXPECT_TRUE(script_->messages.empty());
  EXPECT_TRUE(QDir(FolderOf(QStringLiteral("bodies"))).entryList({"*.cmx"}).isEmpty());
}

TEST_F(SaveTest, WritesTheSuitOnScreenSilentlyAndRemembersTheFolder) {
  auto window = WindowWith(QStringLiteral("x-B07-PELVIS-BODY.skn"),
                           {"L_HAND = x-hat-L_HAND-a.skn", "HEAD = hat.skn", "HEAD = hat.skn"});
  const QString target = PathIn(QStringLiteral("out"), QStringLiteral("B07.cmx"));
  script_->fileAnswers = {target};
  window->cmdSave_Click();

  EXPECT_EQ(ReadBytes(target), kHeader +
                                   "B07\r\n0\r\n0\r\n4\r\n"
                                   "PELVIS\r\nx-B07-PELVIS-BODY\r\n0\r\n0\r\n"
                                   "L_HAND\r\nx-hat-L_HAND-a\r\n0\r\n0\r\n"
                                   "HEAD\r\nhat\r\n0\r\n0\r\n"
                                   "HEAD\r\nhat\r\n0\r\n0\r\n"
                                   "0\r\n");
  EXPECT_TRUE(script_->messages.empty());
  EXPECT_EQ(env::gLastFilePath, FolderOf(QStringLiteral("out")));
  EXPECT_EQ(Control<QListWidget>(window.get(), "lstParts")->count(), 3);
}

TEST_F(SaveTest, HeadChoiceAndAnEmptyListGiveTheShortFile) {
  auto window = WindowWith(QStringLiteral("x-C03-HEAD-HEAD.skn"));
  Control<QRadioButton>(window.get(), "optBody")->setChecked(true);  // changed by hand
  Control<QRadioButton>(window.get(), "optHead")->setChecked(true);
  const QString target = PathIn(QStringLiteral("out"), QStringLiteral("C03.cmx"));
  script_->fileAnswers = {target};
  window->cmdSave_Click();
  EXPECT_EQ(ReadBytes(target), kHeader + "C03\r\n0\r\n0\r\n1\r\nHEAD\r\nx-C03-HEAD-HEAD\r\n0\r\n0\r\n0\r\n");
}

TEST_F(SaveTest, AnExistingFileIsReplacedOnlyAfterYes) {
  const QString target = PathIn(QStringLiteral("out"), QStringLiteral("suit.cmx"));
  const std::string newBytes =
      kHeader + "suit\r\n0\r\n0\r\n1\r\nPELVIS\r\nbody1\r\n0\r\n0\r\n0\r\n";
  struct Case {
    bool yes;
    std::string expected;
  } cases[] = {{false, "old content, longer than the new file will be ....................."},
               {true, newBytes}};
  for (const Case& c : cases) {
    WriteBytes(target, "old content, longer than the new file will be .....................");
    auto window = WindowWith(QStringLiteral("body1.skn"));
    script_->fileAnswers = {target};
    script_->yesNoAnswers = {c.yes};
    script_->messages.clear();
    window->cmdSave_Click();
    ASSERT_EQ(script_->messages.size(), 1u);
    EXPECT_EQ(script_->messages[0].kind, Message::Question);
    EXPECT_EQ(script_->messages[0].title, "Confirm Action");
    EXPECT_EQ(script_->messages[0].text, target + " already exisits. Overwrite file?");
    EXPECT_EQ(ReadBytes(target), c.expected) << c.yes;
    // The folder is remembered even when the answer is No.
    EXPECT_EQ(env::gLastFilePath, FolderOf(QStringLiteral("out")));
  }
}

// The dialog adds "cmx" only to a name without a dot; the command makes sure
// the file is a CMX file, never a skin that happens to share the proposed name.
TEST_F(SaveTest, TheSavedFileIsAlwaysACmxFileNamedAfterItsFinalTitle) {
  struct Case {
    QString body;
    QString accepted;  // what the dialog returns
    QString written;
    std::string suitName;
    bool writtenExists;  // asks about the final name
  } cases[] = {
      {QStringLiteral("x-c12.skn"), QStringLiteral("c12.skn"), QStringLiteral("c12.skn.cmx"), "c12.skn", false},
      {QStringLiteral("x-.skn"), QStringLiteral(".skn"), QStringLiteral(".skn.cmx"), ".skn", false},
      {QStringLiteral("xskin-body.skn"), QStringLiteral("body.skn"), QStringLiteral("body.skn.cmx"), "body.skn",
       true},
      {QStringLiteral("body1.skn"), QStringLiteral("Suit.CMX"), QStringLiteral("Suit.CMX"), "Suit", false},
  };
  const std::string mesh = "a real skin mesh";
  for (const Case& c : cases) {
    const QString accepted = PathIn(QStringLiteral("out"), c.accepted);
    const QString written = PathIn(QStringLiteral("out"), c.written);
    QFile::remove(written);
    if (accepted != written) WriteBytes(accepted, mesh);
    if (c.writtenExists) WriteBytes(written, "older suit");
    auto window = WindowWith(c.body);
    script_->fileAnswers = {accepted};
    script_->yesNoAnswers = {true};
    script_->messages.clear();
    window->cmdSave_Click();

    if (accepted != written) {
      EXPECT_EQ(ReadBytes(accepted), mesh) << c.accepted.toStdString();
    }
    EXPECT_EQ(ReadBytes(written).substr(0, kHeader.size() + c.suitName.size() + 2),
              kHeader + c.suitName + "\r\n")
        << c.accepted.toStdString();
    ASSERT_EQ(script_->messages.size(), c.writtenExists ? 1u : 0u) << c.accepted.toStdString();
    if (c.writtenExists) {
      EXPECT_EQ(script_->messages[0].text, written + " already exisits. Overwrite file?");
    }
  }
}

// Windows drops trailing dots and spaces and reads a colon as a stream: there
// the file is saved, and the suit named, as Windows really names the file,
// and the names it would refuse or misread are refused before anything is
// written. Elsewhere these names are ordinary ones.
TEST_F(SaveTest, NamesAreTakenAsTheSystemNamesTheFile) {
  struct Case {
    QString accepted;  // what the dialog returns
    QString written;   // empty: refused, with `why`
    std::string suitName;
    QString why;
  } cases[] = {
#ifdef Q_OS_WIN
      {QStringLiteral("dots.cmx..."), QStringLiteral("dots.cmx"), "dots", {}},
      {QStringLiteral("sp.cmx  "), QStringLiteral("sp.cmx"), "sp", {}},
      {QStringLiteral("tail."), QStringLiteral("tail.cmx"), "tail", {}},
      {QStringLiteral("x.cmx:evil"), {}, {}, "it contains \":\", which Windows reads as the start of a stream name"},
      {QStringLiteral("q?.cmx"), {}, {}, "it contains \"?\", which Windows does not allow in file names"},
      {QStringLiteral("a|b.cmx"), {}, {}, "it contains \"|\", which Windows does not allow in file names"},
      {QStringLiteral("com1.cmx"), {}, {}, "it is \"com1\", a device name on Windows, whatever the extension"},
      {QStringLiteral("Nul"), {}, {}, "it is \"Nul\", a device name on Windows, whatever the extension"},
#else
      {QStringLiteral("dots.cmx..."), QStringLiteral("dots.cmx....cmx"), "dots.cmx...", {}},
      {QStringLiteral("tail."), QStringLiteral("tail..cmx"), "tail.", {}},
      {QStringLiteral("x.cmx:evil"), QStringLiteral("x.cmx:evil.cmx"), "x.cmx:evil", {}},
      {QStringLiteral("q?.cmx"), QStringLiteral("q?.cmx"), "q?", {}},
      {QStringLiteral("com1.cmx"), QStringLiteral("com1.cmx"), "com1", {}},
#endif
  };
  int folder = 0;
  for (const Case& c : cases) {
    const QString out = QStringLiteral("names%1").arg(++folder);
    auto window = WindowWith(QStringLiteral("body1.skn"));
    script_->fileAnswers = {PathIn(out, c.accepted)};
    script_->messages.clear();
    window->cmdSave_Click();

    const QStringList files = QDir(FolderOf(out)).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (c.written.isEmpty()) {
      EXPECT_TRUE(files.isEmpty()) << c.accepted.toStdString() << ": " << files.join(QLatin1Char('|')).toStdString();
      ASSERT_EQ(script_->messages.size(), 1u) << c.accepted.toStdString();
      EXPECT_EQ(script_->messages[0].kind, Message::Warning);
      EXPECT_EQ(script_->messages[0].text, "The file name \"" + c.accepted + "\" cannot be used: " + c.why + ".");
    } else {
      EXPECT_EQ(files, QStringList{c.written}) << c.accepted.toStdString();
      EXPECT_EQ(ReadBytes(PathIn(out, c.written)),
                kHeader + c.suitName + "\r\n0\r\n0\r\n1\r\nPELVIS\r\nbody1\r\n0\r\n0\r\n0\r\n")
          << c.accepted.toStdString();
      EXPECT_TRUE(script_->messages.empty()) << c.accepted.toStdString();
    }
  }
}

TEST_F(SaveTest, AFailedSaveIsReportedAndLosesNothing) {
  const std::string earlier = "earlier file";
  struct Case {
    const char* what;
    QString body;
    QStringList entries;
    QString target;
    QString mentioned;  // the file the warning must name
  } cases[] = {
      // A name too short for a suit can no longer reach the writer: ".cmx" is always added.
      {"a folder of that name", QStringLiteral("body1.skn"), {}, FolderOf("out/suit.cmx").chopped(1),
       QStringLiteral("suit.cmx")},
      {"short accessory name", QStringLiteral("body1.skn"), {"HEAD = ab"}, PathIn("out", "earlier.cmx"),
       QStringLiteral("ab")},
      {"missing folder", QStringLiteral("body1.skn"), {}, FolderOf("out") + "gone/x.cmx", "x.cmx"},
      {"unencodable name", QStringLiteral("body1.skn"), {QStringLiteral("HEAD = \u4e2d\u6587.skn")},
       PathIn("out", "earlier.cmx"), QStringLiteral("\u4e2d\u6587")},
  };
  for (const Case& c : cases) {
    const QString earlierFile = PathIn(QStringLiteral("out"), QStringLiteral("earlier.cmx"));
    WriteBytes(earlierFile, earlier);
    auto window = WindowWith(c.body, c.entries);
    script_->fileAnswers = {c.target};
    script_->yesNoAnswers = {true};
    script_->messages.clear();
    window->cmdSave_Click();

    ASSERT_FALSE(script_->messages.empty()) << c.what;
    const Message& warning = script_->messages.back();
    EXPECT_EQ(warning.kind, Message::Warning) << c.what;
    EXPECT_EQ(warning.title, "Tailorloft") << c.what;
    EXPECT_TRUE(warning.text.contains(c.mentioned)) << c.what << ": " << warning.text.toStdString();
    EXPECT_EQ(ReadBytes(earlierFile), earlier) << c.what;
    if (c.target != earlierFile) {
      EXPECT_FALSE(QFileInfo(c.target).isFile()) << c.what;
    }
    EXPECT_EQ(Control<QLineEdit>(window.get(), "txtBody")->text(), c.body) << c.what;
    EXPECT_EQ(Control<QListWidget>(window.get(), "lstParts")->count(), c.entries.size()) << c.what;
  }
}

struct ProgramEnded {};

TEST_F(SaveTest, AFailureWhilePreparingTheDialogGoesToTheFatalTrap) {
  QStringList shown;
  env::SetFatalErrorHooks({[&](const QString& title, const QString& text) { shown << title << text; },
                           [] { throw ProgramEnded(); }, dir_.path(), dir_.path()});
  auto window = WindowWith(QStringLiteral("body1.skn"));
  script_->failNextFilter = true;
  EXPECT_THROW(window->cmdSave_Click(), ProgramEnded);
  env::SetFatalErrorHooks({});

  EXPECT_EQ(env::gErrDescription, "Out of dialog resources");
  EXPECT_EQ(env::gErrModule, "frmMain");
  EXPECT_EQ(env::gErrProcedure, "cmdSave_Click");
  EXPECT_EQ(env::gErrLocation, 1000);
  ASSERT_EQ(shown.size(), 2);
  EXPECT_EQ(shown[0], "Unrecoverable Error");
  EXPECT_TRUE(shown[1].contains("Out of dialog resources"));
  const std::string log = ReadBytes(QDir(dir_.path()).filePath(QStringLiteral("errorlog.txt")));
  EXPECT_NE(log.find("Procedure: cmdSave_Click\r\nLocation: 1000\r\n"), std::string::npos) << log;
  EXPECT_TRUE(script_->shownDialogs.empty());
}

// Ctrl+S runs the button's own command: the same dialog and file, and the
// focus moved off the control that had it, as a click leaves it.
TEST_F(SaveTest, CtrlSSavesAsTheSaveButtonDoes) {
  const struct {
    const char* way;
    std::function<void(QWidget*)> press;
  } ways[] = {
      {"Save button",
       [](QWidget* window) { QTest::mouseClick(Control<QPushButton>(window, "cmdSave"), Qt::LeftButton); }},
      {"Ctrl+S",
       [](QWidget* window) { QTest::keyClick(window->focusWidget(), Qt::Key_S, Qt::ControlModifier); }},
  };
  for (const auto& way : ways) {
    auto window = WindowWith(QStringLiteral("x-B07-PELVIS-BODY.skn"), {"HEAD = hat.skn"});
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Control<QListWidget>(window.get(), "lstParts")->setFocus();
    const QString target = PathIn(QString::fromLatin1(way.way), QStringLiteral("B07.cmx"));
    script_->fileAnswers = {target};
    way.press(window.get());

    ASSERT_EQ(script_->shownDialogs.size(), 1u) << way.way;
    EXPECT_EQ(script_->shownDialogs[0].mode, FileDialog::Mode::Save) << way.way;
    EXPECT_EQ(script_->shownDialogs[0].title, "Save File As") << way.way;
    EXPECT_EQ(script_->shownDialogs[0].fileName, "B07") << way.way;
    EXPECT_EQ(ReadBytes(target), kHeader +
                                     "B07\r\n0\r\n0\r\n2\r\n"
                                     "PELVIS\r\nx-B07-PELVIS-BODY\r\n0\r\n0\r\n"
                                     "HEAD\r\nhat\r\n0\r\n0\r\n0\r\n")
        << way.way;
    EXPECT_EQ(QApplication::focusWidget(), Control<QWidget>(window.get(), "cmdFocus")) << way.way;
  }
}

}  // namespace
}  // namespace tailorloft::ui::testing
