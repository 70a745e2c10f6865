// SPDX-License-Identifier: GPL-3.0-or-later
// What the user sees of the two windows and how the keyboard drives them:
// every caption fits its box in the program's font whatever the desktop's,
// the windows keep their fixed size with no maximise or minimise button and
// carry the program's icon, Tab walks the designed order, Enter and Space
// press the focused button, every control has a name a screen reader can
// announce, the main window as start-up shows it is the window made whole,
// and a window opened beside another stays off it where it can.
#include <QAbstractButton>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include "ui/app_info.h"
#include "ui/form_layout.h"
#include "ui/frm_add_accessory.h"
#include "ui/frm_main.h"
#include "ui_test.h"

namespace tailorloft::ui::testing {
namespace {

using LayoutTest = UiTest;

// The room a caption needs inside its control, in the control's font.
int NeededWidth(const QWidget* control, const QString& text) {
  const int textWidth = control->fontMetrics().horizontalAdvance(text);
  if (qobject_cast<const QRadioButton*>(control) != nullptr) {
    return control->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, control) +
           control->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, control) +
           textWidth;
  }
  if (qobject_cast<const QAbstractButton*>(control) != nullptr) {
    return textWidth + 2 * control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control);
  }
  return textWidth;
}

void ExpectCaptionsFit(const QWidget* window) {
  for (const QWidget* control : window->findChildren<QWidget*>()) {
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(control)) text = label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) text = button->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) text = frame->title();
    if (text.isEmpty()) continue;
    EXPECT_LE(NeededWidth(control, text), control->width())
        << window->objectName().toStdString() << "." << control->objectName().toStdString() << " \""
        << text.toStdString() << "\"";
    EXPECT_LE(control->fontMetrics().height(), control->height()) << control->objectName().toStdString();
  }
}

TEST_F(LayoutTest, EveryCaptionFitsItsBoxInTheProgramFont) {
  EXPECT_EQ(QFontInfo(ApplicationFont()).family(), ApplicationFont().family())
      << "the program's font is not installed";
  frmMain main(MakeDesktop());
  frmAddAccessory add(MakeDesktop(), &main);
  ExpectCaptionsFit(&main);
  ExpectCaptionsFit(&add);
}

// The ink of `text` drawn by a label in the program's font, as a window shows
// it: the sum over the pixels of how much darker than the background each is.
qint64 InkOf(const QString& text) {
  QLabel label(text);
  label.setFont(ApplicationFont());
  label.adjustSize();
  const QImage image = label.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const int background = qGray(image.pixel(0, 0));
  qint64 ink = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) ink += qMax(0, background - qGray(image.pixel(x, y)));
  }
  return ink;
}

// Every glyph draws: a capital I, a one-pixel stem at this size, is the one
// a glyph box cut a pixel too narrow loses first. Each of the twelve must
// add about a full stem's ink (some six pixels, each up to 255).
TEST_F(LayoutTest, EveryLetterLeavesInk) {
  for (const QString& name : {QStringLiteral("PELV%1S"), QStringLiteral("x-%1-L_HAND"), QStringLiteral("%1t comes")}) {
    const qint64 withIs = InkOf(name.arg(QString(12, QLatin1Char('I'))));
    const qint64 withSpaces = InkOf(name.arg(QString(12, QLatin1Char(' '))));
    EXPECT_GE(withIs - withSpaces, 12 * 4 * 255) << name.toStdString() << ": " << withIs << " against " << withSpaces;
  }
}

// A platform theme (qt6ct, GTK) sets its own fonts, for the whole program and
// per kind of control, also after the windows were made; the windows keep the
// font they were laid out in.
TEST_F(LayoutTest, CaptionsFitWhateverFontTheDesktopSets) {
  const QFont before = QApplication::font();
  const QFont themeFont(QStringLiteral("DejaVu Serif"), 15);
  const char* const kinds[] = {"QPushButton", "QLabel", "QRadioButton", "QGroupBox", "QComboBox",
                               "QLineEdit", "QListWidget", "QAbstractButton"};
  for (const bool setBefore : {true, false}) {
    if (setBefore) {
      QApplication::setFont(themeFont);
      for (const char* kind : kinds) QApplication::setFont(themeFont, kind);
    }
    frmMain main(MakeDesktop());
    frmAddAccessory add(MakeDesktop(), &main);
    if (!setBefore) {
      QApplication::setFont(themeFont);
      for (const char* kind : kinds) QApplication::setFont(themeFont, kind);
    }
    QApplication::processEvents();
    for (const QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&add)}) {
      for (const QWidget* control : window->findChildren<QWidget*>()) {
        EXPECT_EQ(control->font().family(), ApplicationFont().family()) << control->objectName().toStdString();
        EXPECT_EQ(control->font().pointSizeF(), ApplicationFont().pointSizeF()) << control->objectName().toStdString();
      }
    }
    ExpectCaptionsFit(&main);
    ExpectCaptionsFit(&add);
    QApplication::setFont(before);
    for (const char* kind : kinds) QApplication::setFont(before, kind);
  }
}

TEST_F(LayoutTest, WindowsHaveTheirFixedSizeAndNoMaximiseOrMinimiseButton) {
  frmMain main(MakeDesktop());
  frmAddAccessory add(MakeDesktop(), &main);
  struct Case {
    QWidget* window;
    QSize client;
  } cases[] = {{&main, {393, 381}}, {&add, {393, 127}}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.window->minimumSize(), c.client);
    EXPECT_EQ(c.window->maximumSize(), c.client);
    EXPECT_FALSE(c.window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(c.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(c.window->windowFlags() & Qt::WindowCloseButtonHint);
    // The focus holder is there, but below what the window shows.
    auto* focus = Control<QWidget>(c.window, "cmdFocus");
    EXPECT_FALSE(focus->isHidden());
    EXPECT_GE(focus->y(), c.client.height());
  }
  EXPECT_EQ(add.windowTitle(), "Add Accessory");
  EXPECT_EQ(add.parentWidget(), &main);
}

QStringList TabWalk(QWidget* first, int steps) {
  QStringList names;
  QWidget* widget = first;
  for (int i = 0; i < steps; ++i) {
    names << widget->objectName();
    do {
      widget = widget->nextInFocusChain();
    } while (widget->focusPolicy() == Qt::NoFocus || widget->objectName().isEmpty());
  }
  return names;
}

TEST_F(LayoutTest, TabFollowsTheDesignedOrder) {
  frmMain main(MakeDesktop());
  frmAddAccessory add(MakeDesktop(), &main);
  EXPECT_EQ(TabWalk(Control<QWidget>(&main, "cmdFile"), 12),
            QStringList({"cmdFile", "cmdAdd", "cmdDelete", "lstParts", "cmdSave", "cmdPreview", "cmdQuit",
                         "txtBody", "cmdFocus", "optBody", "optHead", "cmdFile"}));
  EXPECT_EQ(TabWalk(Control<QWidget>(&add, "cmdFile"), 7),
            QStringList({"cmdFile", "cboAttach", "cmdOK", "cmdCancel", "txtAcc", "cmdFocus", "cmdFile"}));
}

// Start-up makes the text box and the frame's caption only once the window is
// shown; from then on nothing may tell it from a window made whole: the same
// controls in the same stacking order, places, fonts, captions and names,
// and the same Tab order.
TEST_F(LayoutTest, TheStartUpWindowOnceShownIsTheWindowMadeWhole) {
  const auto describe = [](const QWidget* window) {
    QStringList controls;
    for (const QWidget* control : window->findChildren<QWidget*>()) {
      if (control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_"))) continue;
      QString caption;
      if (const auto* label = qobject_cast<const QLabel*>(control)) {
        caption = label->text() + QStringLiteral(" for ") + (label->buddy() ? label->buddy()->objectName() : QString());
      }
      if (const auto* button = qobject_cast<const QAbstractButton*>(control)) caption = button->text();
      if (const auto* frame = qobject_cast<const QGroupBox*>(control)) caption = frame->title();
      if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
        caption = box->palette().color(QPalette::Base).name() + (box->isReadOnly() ? QStringLiteral(" read-only") : QString());
      }
      const QRect place = control->geometry();
      controls << QStringLiteral("%1 %2,%3 %4x%5 %6 \"%7\" [%8]%9")
                      .arg(control->objectName())
                      .arg(place.x()).arg(place.y()).arg(place.width()).arg(place.height())
                      .arg(control->font().toString(), caption, control->accessibleName(),
                           control->isVisible() ? QString() : QStringLiteral(" hidden"));
    }
    return controls;
  };
  frmMain whole(MakeDesktop());
  frmMain started(MakeDesktop(), frmMain::TextOnceShown{});
  EXPECT_EQ(started.findChild<QLineEdit*>(), nullptr);
  QString focus[2];
  for (frmMain* window : {&whole, &started}) {
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    focus[window == &started] = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }
  EXPECT_EQ(focus[1], focus[0]);
  EXPECT_EQ(describe(&started), describe(&whole));
  EXPECT_EQ(TabWalk(Control<QWidget>(&started, "cmdFile"), 12), TabWalk(Control<QWidget>(&whole, "cmdFile"), 12));
  // The "..." button lies over the text box's end.
  const QPoint overlap = Control<QWidget>(&started, "cmdFile")->geometry().center();
  EXPECT_EQ(started.childAt(overlap)->objectName(), "cmdFile");
}

TEST_F(LayoutTest, EveryControlHasAnAccessibleName) {
  frmMain main(MakeDesktop());
  frmAddAccessory add(MakeDesktop(), &main);
  for (const QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&add)}) {
    for (const QWidget* control : window->findChildren<QWidget*>()) {
      if (control->isWindow() || control->objectName().isEmpty() ||
          control->objectName().startsWith(QLatin1String("qt_"))) {
        continue;
      }
      EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
      EXPECT_NE(control->accessibleName(), "...") << control->objectName().toStdString();
    }
  }
  EXPECT_EQ(Control<QWidget>(&main, "cmdFile")->accessibleName(), "Choose body or head file");
  EXPECT_EQ(Control<QWidget>(&add, "cmdFile")->accessibleName(), "Choose accessory file");
}

// Enter and Space press the button that has the focus; neither window has a
// default button, so Enter on a text box or the list presses nothing.
TEST_F(LayoutTest, EnterAndSpacePressOnlyTheFocusedButton) {
  struct Case {
    const char* target;
    Qt::Key key;
    bool pressesDelete;
  } mainCases[] = {
      {"cmdDelete", Qt::Key_Return, true}, {"cmdDelete", Qt::Key_Enter, true}, {"cmdDelete", Qt::Key_Space, true},
      {"txtBody", Qt::Key_Return, false},  {"lstParts", Qt::Key_Return, false}, {"optBody", Qt::Key_Return, false},
  };
  for (const Case& c : mainCases) {
    frmMain main(MakeDesktop());
    main.show();
    auto* list = Control<QListWidget>(&main, "lstParts");
    list->addItems({"A = 1.skn", "B = 2.skn"});
    list->setCurrentRow(0);
    QWidget* target = Control<QWidget>(&main, c.target);
    target->setFocus();
    QTest::keyClick(target, c.key);
    EXPECT_EQ(list->count(), c.pressesDelete ? 1 : 2) << c.target << " key " << c.key;
  }

  struct AddCase {
    const char* target;
    Qt::Key key;
    bool pressesOk;
  } addCases[] = {
      {"cmdOK", Qt::Key_Return, true},    {"cmdOK", Qt::Key_Space, true},      {"txtAcc", Qt::Key_Return, false},
      {"cboAttach", Qt::Key_Return, false}, {"cmdCancel", Qt::Key_Enter, false},
  };
  for (const AddCase& c : addCases) {
    script_->messages.clear();
    frmAddAccessory add(MakeDesktop(), nullptr);
    add.Form_Load();
    add.show();
    QWidget* target = Control<QWidget>(&add, c.target);
    target->setFocus();
    QTest::keyClick(target, c.key);
    // OK with nothing chosen warns; nothing else shows a message.
    EXPECT_EQ(script_->messages.size(), c.pressesOk ? 1u : 0u) << c.target << " key " << c.key;
    EXPECT_EQ(add.isVisible(), c.target != std::string("cmdCancel")) << c.target;
  }
}

// Once on screen, the windows carry the icon theme's icon when it has one,
// else the built-in icon in every size. Start-up sets it only after the
// first window is shown, so the test shows one.
TEST_F(LayoutTest, TheWindowsCarryTheProgramIcon) {
  frmMain main(MakeDesktop());
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  frmAddAccessory add(MakeDesktop(), &main);
  const QImage expected = ProgramIcon().pixmap(48, 48).toImage();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !main.windowIcon().isNull(); }));
  EXPECT_EQ(main.windowIcon().pixmap(48, 48).toImage(), expected);
  EXPECT_EQ(add.windowIcon().pixmap(48, 48).toImage(), expected);
  const QIcon builtIn = ProgramIcon();
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    EXPECT_EQ(builtIn.pixmap(QSize(size, size)).size(), QSize(size, size)) << size;
  }

  const QStringList paths = QIcon::themeSearchPaths();
  const QString theme = QIcon::themeName();
  const QString icons = FolderOf(QStringLiteral("icons/hicolor/48x48/apps"));
  ASSERT_TRUE(QFile::copy(QStringLiteral(":/icons/48.png"), icons + QStringLiteral("io.github.tailorloft.Tailorloft.png")));
  WriteBytes(FolderOf(QStringLiteral("icons/hicolor")) + QStringLiteral("index.theme"),
             "[Icon Theme]\nName=Hicolor\nDirectories=48x48/apps\n\n[48x48/apps]\nSize=48\nType=Fixed\n");
  QIcon::setThemeSearchPaths({FolderOf(QStringLiteral("icons"))});
  QIcon::setThemeName(QStringLiteral("hicolor"));
  // A theme icon is looked up when used, so it is checked before the theme is put back.
  EXPECT_EQ(ProgramIcon().name(), "io.github.tailorloft.Tailorloft");
  QIcon::setThemeSearchPaths(paths);
  QIcon::setThemeName(theme);
}

// A window wanting 640 x 640 client pixels, at least 400 x 300, beside an
// owner 400 x 420 (its frame included).
TEST(PlaceBesideTest, BesideTheOwnerWhereTheScreenHasRoom) {
  struct Case {
    const char* what;
    QRect owner, room;
    QSize frame;
    QPoint topLeft;
    QSize size;
  };
  const QRect wide(0, 0, 1280, 1024);
  const Case cases[] = {
      {"right, whole", {100, 100, 400, 420}, wide, {0, 0}, {508, 100}, {640, 640}},
      {"right, narrower", {440, 100, 400, 420}, wide, {0, 0}, {848, 100}, {432, 640}},
      {"left, the owner at the right edge", {880, 100, 400, 420}, wide, {0, 0}, {232, 100}, {640, 640}},
      {"left, narrower", {430, 100, 400, 420}, {0, 0, 1000, 1024}, {0, 0}, {0, 100}, {422, 640}},
      {"the frame counted", {100, 100, 410, 450}, wide, {10, 30}, {518, 100}, {640, 640}},
      {"the frame makes it narrower", {440, 100, 410, 450}, wide, {10, 30}, {858, 100}, {412, 640}},
      {"no room either side: the roomier one, least width, kept on the screen",
       {312, 100, 400, 420}, {0, 0, 1024, 768}, {0, 0}, {624, 100}, {400, 640}},
      {"no room either side, more on the left", {330, 100, 400, 420}, {0, 0, 1024, 768}, {0, 0},
       {0, 100}, {400, 640}},
      {"lower on a short screen, up to fit", {100, 600, 400, 420}, {0, 0, 1280, 720}, {10, 30}, {508, 50},
       {640, 640}},
      {"shorter than wanted on a short screen", {100, 0, 400, 420}, {0, 0, 1280, 600}, {0, 30}, {508, 0},
       {640, 570}},
      {"a second screen to the right", {1300, 50, 400, 420}, {1280, 0, 1024, 768}, {0, 0}, {1708, 50},
       {596, 640}},
  };
  for (const Case& c : cases) {
    const Placement placed = PlaceBeside(c.owner, c.room, {640, 640}, {400, 300}, c.frame);
    EXPECT_EQ(placed.topLeft, c.topLeft) << c.what;
    EXPECT_EQ(placed.size, c.size) << c.what;
    // Never off the screen's free area, frame and all.
    EXPECT_TRUE(c.room.contains(QRect(placed.topLeft, placed.size + c.frame))) << c.what;
  }
}

}  // namespace
}  // namespace tailorloft::ui::testing
