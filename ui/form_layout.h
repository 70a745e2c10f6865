// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the windows' fixed layouts, which are drawn in twips: 15 twips
// make one pixel at 96 dpi, and Qt scales those pixels for denser screens.
#pragma once

#include <QGroupBox>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <initializer_list>
#include <type_traits>

class QLineEdit;
class QPushButton;

namespace tailorloft::ui {

// A control named `name` (so tests and tools can find it) with the name a
// screen reader announces.
template <typename Control>
Control* MakeControl(QWidget* parent, const char* name, const QString& accessibleName) {
  auto* control = new Control(parent);
  control->setObjectName(QLatin1String(name));
  control->setAccessibleName(accessibleName);
  return control;
}

// A label, option button or frame whose caption is also what a screen reader
// announces.
template <typename Control>
Control* MakeCaptioned(QWidget* parent, const char* name, const QString& caption) {
  auto* control = MakeControl<Control>(parent, name, caption);
  if constexpr (std::is_base_of_v<QGroupBox, Control>) {
    control->setTitle(caption);
  } else {
    control->setText(caption);
  }
  return control;
}

// A button that is never a default button: Enter and Space press it only
// when it has the focus.
QPushButton* MakePlainButton(QWidget* parent, const char* name, const QString& caption,
                             const QString& accessibleName);

constexpr int Twips(int twips) { return twips / 15; }

void PlaceTwips(QWidget* widget, int left, int top, int width, int height);

// A fixed-size window of the given client size with a title bar and a close
// button but no maximise or minimise button.
void MakeFixedDialogWindow(QWidget* window, int clientWidthTwips, int clientHeightTwips);

// A text box that shows a file title: grey like a button face and locked
// against typing, but still selectable and reachable by Tab.
void MakeDisplayOnly(QLineEdit* textBox);

// Shows a file title in a display-only text box from its start, where the
// fields that decide Head/Body and the proposed name are, with the whole
// name as a tooltip.
void ShowFileTitle(QLineEdit* textBox, const QString& title);

// Gives the window and each of its controls the font the layouts were drawn
// for, so a desktop theme's font (qt6ct, GTK) cannot cut their captions.
void KeepLayoutFont(QWidget* window);

// Where a window of client size `wanted` (at least `least`) opens beside
// the window whose frame is `owner`, on a screen whose free area is `room`;
// `frame` is what the window manager adds to a client's width and height.
// Returns the frame's top left and the client size: right of the owner, else
// left of it, narrower rather than over it, down to the least width; where
// neither side has room for that, on the roomier side, over the owner as
// little as the screen allows.
struct Placement {
  QPoint topLeft;
  QSize size;
};
Placement PlaceBeside(const QRect& owner, const QRect& room, QSize wanted, QSize least, QSize frame);

// Moves keyboard focus through `widgets` in the order given.
void SetTabOrder(std::initializer_list<QWidget*> widgets);

}  // namespace tailorloft::ui
