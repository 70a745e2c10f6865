// SPDX-License-Identifier: GPL-3.0-or-later
// Who the program says it is, and the font its windows were laid out for.
#pragma once

#include <QFont>
#include <QIcon>

namespace tailorloft::ui {

// Sets the application name ("Tailorloft"), organisation and version, which
// the window title, the message boxes, the settings and the error log read.
// Once an application object exists, the windows' icon (ProgramIcon) follows
// as soon as the first window is on screen, or a second after the call if
// none is by then: looking it up and reading it costs more than the rest of
// start-up, and the window is not kept waiting for it. Under Wine it also has
// text drawn from the glyphs' outlines (see app_info.cpp), so it must come
// before anything is painted.
void SetApplicationInfo();

// The program's icon from the desktop's icon theme, or the built-in one in
// the sizes menus and task bars ask for when the theme does not have it.
QIcon ProgramIcon();

// The small UI font the fixed window layouts were drawn for: every caption
// fits its box in it.
QFont ApplicationFont();

}  // namespace tailorloft::ui
