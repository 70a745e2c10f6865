// Who the program says it is, and the font its windows were laid out for.
#pragma once

#include <QFont>

namespace tailorloft::ui {

// Sets the application name ("Tailorloft"), organisation and version, which
// the window title, the message boxes, the settings and the error log read.
void SetApplicationInfo();

// The small UI font the fixed window layouts were drawn for: every caption
// fits its box in it.
QFont ApplicationFont();

}  // namespace tailorloft::ui
