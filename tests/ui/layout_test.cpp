// What the user sees of the two windows: every caption fits its box in the
// program's font, the windows keep their fixed size with no maximise or
// minimise button, Tab walks the designed order, and every control has a
// name a screen reader can announce.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "ui/app_info.h"
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
  EXPECT_EQ(TabWalk(Control<QWidget>(&main, "cmdFile"), 11),
            QStringList({"cmdFile", "cmdAdd", "cmdDelete", "lstParts", "cmdSave", "cmdQuit", "txtBody",
                         "cmdFocus", "optBody", "optHead", "cmdFile"}));
  EXPECT_EQ(TabWalk(Control<QWidget>(&add, "cmdFile"), 7),
            QStringList({"cmdFile", "cboAttach", "cmdOK", "cmdCancel", "txtAcc", "cmdFocus", "cmdFile"}));
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

}  // namespace
}  // namespace tailorloft::ui::testing
