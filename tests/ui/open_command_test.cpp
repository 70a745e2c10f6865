// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a suit: each way in fills the controls as if built by hand, an
// opened file saves back byte for byte, refusals leave the window as it was,
// and dropped skin files land where they are dropped.
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QRadioButton>
#include <QUrl>
#include <algorithm>

#include "ui/frm_main.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

const std::string kSuitLf =
    "// Character File. Copyright 1997, Maxis Inc.\nversion 300\n0\n1\nC03\n0\n0\n3\n"
    "HEAD\nx-C03-HEAD-HEAD\n0\n0\nL_HAND\nring\n0\n0\nR_HAND\ncane st\xE9\x63k\n0\n0\n0\n";

std::string Crlf(const std::string& lf) {
  std::string crlf;
  for (const char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

// A real drop event, as the window system delivers one.
void DropFiles(QWidget* target, const QStringList& files) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& file : files) urls << QUrl::fromLocalFile(file);
  data.setUrls(urls);
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
}

struct Screen {
  QString body;
  bool head;
  bool bodyChecked;
  QStringList entries;
  friend bool operator==(const Screen&, const Screen&) = default;
};

Screen ScreenOf(const QWidget* window) {
  Screen screen{Control<QLineEdit>(window, "txtBody")->text(),
                Control<QRadioButton>(window, "optHead")->isChecked(),
                Control<QRadioButton>(window, "optBody")->isChecked(),
                {}};
  const auto* list = Control<QListWidget>(window, "lstParts");
  for (int i = 0; i < list->count(); ++i) screen.entries << list->item(i)->text();
  return screen;
}

void PrintTo(const Screen& s, std::ostream* os) {
  *os << s.body.toStdString() << (s.head ? " Head" : "") << (s.bodyChecked ? " Body" : "") << " ["
      << s.entries.join(QStringLiteral("; ")).toStdString() << "]";
}

using OpenTest = UiTest;

TEST_F(OpenTest, EachWayInFillsTheControlsAsIfBuiltByHand) {
  const QString file = PathIn(QStringLiteral("suits"), QStringLiteral("C03.cmx"));
  WriteBytes(file, kSuitLf);
  const Screen expected{QStringLiteral("x-C03-HEAD-HEAD.skn"), true, false,
                        {QStringLiteral("L_HAND = ring.skn"), QStringLiteral("R_HAND = cane stéck.skn")}};
  const struct {
    const char* way;
    std::function<void(frmMain&)> open;
  } ways[] = {
      {"dialog", [&](frmMain& w) { script_->fileAnswers = {file}; w.OpenShortcut_Activated(); }},
      {"drop", [&](frmMain& w) { DropFiles(&w, {file}); }},
      {"drop on the list", [&](frmMain& w) { DropFiles(Control<QListWidget>(&w, "lstParts")->viewport(), {file}); }},
      {"command line", [&](frmMain& w) { EXPECT_TRUE(w.OpenCmxFile(file)); }},
  };
  for (const auto& way : ways) {
    const QString start = FolderOf(QStringLiteral("start"));
    script_->shownDialogs.clear();
    frmMain window(MakeDesktop());
    // Start-up reads the stored folder, so the folder to start in is set after it.
    env::gLastFilePath = start;
    way.open(window);
    EXPECT_EQ(ScreenOf(&window), expected) << way.way;
    EXPECT_TRUE(script_->messages.empty()) << way.way;
    EXPECT_EQ(env::gLastFilePath, FolderOf(QStringLiteral("suits"))) << way.way;
    if (std::string(way.way) == "dialog") {
      ASSERT_EQ(script_->shownDialogs.size(), 1u);
      EXPECT_EQ(script_->shownDialogs[0].filter, "CMX Files (*.cmx)|*.cmx");
      EXPECT_EQ(script_->shownDialogs[0].initDir, start);
      EXPECT_EQ(script_->shownDialogs[0].mode, FileDialog::Mode::Open);
    }
  }
}

TEST_F(OpenTest, OpenEditSaveKeepsEveryUntouchedByte) {
  const QString file = PathIn(QStringLiteral("suits"), QStringLiteral("C03.cmx"));
  WriteBytes(file, kSuitLf);
  const QString hat = PathIn(QStringLiteral("skins"), QStringLiteral("x-hat-NECK-a.skn"));
  frmMain window(MakeDesktop());
  ASSERT_TRUE(window.OpenCmxFile(file));
  DropFiles(Control<QListWidget>(&window, "lstParts")->viewport(), {hat});

  script_->fileAnswers = {file};
  script_->yesNoAnswers = {true};  // overwrite
  window.cmdSave_Click();
  ASSERT_EQ(script_->shownDialogs.size(), 1u);
  EXPECT_EQ(script_->shownDialogs[0].fileName, file);  // its own name in its own folder
  std::string expected = Crlf(kSuitLf);
  expected.replace(expected.find("\r\n3\r\n"), 5, "\r\n4\r\n");
  expected.insert(expected.size() - 3, "NECK\r\nx-hat-NECK-a\r\n0\r\n0\r\n");
  EXPECT_EQ(ReadBytes(file), expected);

  // Saved: opening another file asks nothing.
  script_->messages.clear();
  EXPECT_TRUE(window.OpenCmxFile(file));
  EXPECT_TRUE(script_->messages.empty());
}

TEST_F(OpenTest, WhatTheWindowCannotShowIsRefusedAndTheWindowKept) {
  const auto edited = [](const std::string& from, const std::string& to) {
    std::string bytes = kSuitLf;
    bytes.replace(bytes.find(from), from.size(), to);
    return bytes;
  };
  const struct {
    std::string bytes;
    std::deque<bool> answers;
    QString message;
  } cases[] = {
      {edited("0\n1\nC03", "0\n2\nC03").substr(0, kSuitLf.size() - 2) + "b\n0\n0\n1\nHEAD\nh\n0\n0\n0\n", {},
       "holds 2 suits, and Tailorloft shows one suit at a time"},
      {edited("C03\n0\n0", "C03\n1\n0"), {}, "line 6 holds the number 1 where Tailorloft always saves 0"},
      {edited("ring\n0\n0", "ring\n0\n2"), {}, "line 16 holds the number 2"},
      {edited("HEAD\nx-C03", "NECK\nx-C03"), {}, "its main skin is bound to \"NECK\""},
      {edited("L_HAND", "L HAND"), {}, "the bone name \"L HAND\" holds a space"},
      {edited("\n3\n", "\n2\n"), {}, "line 8: the skin count is 2, but the suit has 3 skin records"},
      // Over unsaved changes, giving them up is asked about before the file.
      {edited("C03\n0", "Other\n0"), {true, false}, "is named \"Other\". Saved again as \"C03.cmx\""},
      {edited("C03\n0", "Other\n0"), {false}, "has changes that have not been saved"},
      {kSuitLf, {false}, "has changes that have not been saved"},
  };
  for (const auto& c : cases) {
    const QString file = PathIn(QStringLiteral("suits"), QStringLiteral("C03.cmx"));
    WriteBytes(file, c.bytes);
    frmMain window(MakeDesktop());
    script_->fileAnswers = {PathIn(QStringLiteral("skins"), QStringLiteral("body1.skn"))};
    window.cmdFile_Click();
    Control<QListWidget>(&window, "lstParts")->addItem(QStringLiteral("L_HAND = x.skn"));
    const Screen before = ScreenOf(&window);
    script_->messages.clear();
    script_->yesNoAnswers = c.answers;

    EXPECT_FALSE(window.OpenCmxFile(file)) << c.message.toStdString();
    EXPECT_EQ(ScreenOf(&window), before) << c.message.toStdString();
    ASSERT_EQ(script_->messages.size(), std::max<std::size_t>(c.answers.size(), 1)) << c.message.toStdString();
    if (c.answers.size() > 1) {
      EXPECT_TRUE(script_->messages.front().text.contains("has changes that have not been saved"))
          << script_->messages.front().text.toStdString();
    }
    EXPECT_TRUE(script_->messages.back().text.contains(c.message)) << script_->messages.back().text.toStdString();
  }
}

TEST_F(OpenTest, DroppedSkinFilesAreChosenOrAddedWhereTheyLand) {
  frmMain window(MakeDesktop());
  const QString head = PathIn(QStringLiteral("heads"), QStringLiteral("x-C03-HEAD-HEAD.skn"));
  DropFiles(Control<QLineEdit>(&window, "txtBody"), {head});
  EXPECT_EQ(env::gLastFilePath, FolderOf(QStringLiteral("heads")));

  const QString acc = FolderOf(QStringLiteral("acc"));
  DropFiles(Control<QListWidget>(&window, "lstParts")->viewport(),
            {acc + "x-hat-HEAD-a.skn", acc + "plain.skn", acc + "x-ring-L_HAND-b.skn", acc + "x-y-l_hand-c.skn"});
  EXPECT_EQ(ScreenOf(&window), (Screen{QStringLiteral("x-C03-HEAD-HEAD.skn"), true, false,
                                       {QStringLiteral("HEAD = x-hat-HEAD-a.skn"),
                                        QStringLiteral("L_HAND = x-ring-L_HAND-b.skn")}}));
  ASSERT_EQ(script_->messages.size(), 1u);
  EXPECT_EQ(script_->messages[0].text,
            "These files were not added, because their names do not say which bone they belong "
            "to:\n\nplain.skn\nx-y-l_hand-c.skn\n\nAdd them with the Add button, choosing the "
            "attachment point.");
  EXPECT_EQ(env::gLastFilePath, acc);

  // Two bodies at once, or skins on the window itself, change nothing.
  const Screen before = ScreenOf(&window);
  DropFiles(Control<QLineEdit>(&window, "txtBody"), {acc + "a.skn", acc + "b.skn"});
  DropFiles(&window, {acc + "a.skn"});
  EXPECT_EQ(ScreenOf(&window), before);
}

}  // namespace
}  // namespace tailorloft::ui::testing
