// SPDX-License-Identifier: GPL-3.0-or-later
// The code page CMX files are written in: the one the game reads them with.
#pragma once

#include <memory>

#include "core/codepage.h"

namespace tailorloft::env {

// On Windows the system's ANSI code page, which the game, a non-Unicode
// program, runs in; elsewhere Windows-1252, that of the game's Western
// releases. Encode() refuses any text the code page cannot hold exactly.
const tailorloft::CodePage& SystemCodePage();

#ifdef _WIN32
// A Windows code page by number (1252, 932, ...) through the system's own
// conversion tables, named "Windows-1252" or "code page 932".
std::unique_ptr<tailorloft::CodePage> MakeWindowsCodePage(unsigned int codePage);
#endif

}  // namespace tailorloft::env
