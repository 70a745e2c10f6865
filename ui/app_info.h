// SPDX-License-Identifier: GPL-3.0-or-later
// Who the program says it is, and the font its windows were laid out for.
#pragma once

#include <QFont>
#include <QIcon>

namespace tailorloft::ui {

// Sets the application name ("Tailorloft"), organisation and version, which
// the window title, the message boxes, the settings and the error log read,
// and the windows' icon.
void SetApplicationInfo();

// The program's icon from the desktop's icon theme, or the built-in one in
// the sizes menus and task bars ask for when the theme does not have it.
QIcon ProgramIcon();

// The small UI font the fixed window layouts were drawn for: every caption
// fits its box in it.
QFont ApplicationFont();

}  // namespace tailorloft::ui
