// SPDX-License-Identifier: GPL-3.0-or-later
// What Windows does with a file name: it drops trailing dots and spaces, reads
// a colon as the start of a stream name, and refuses some characters and the
// device names. The save paths apply these rules on Windows before a name is
// used, so the file written is the file named; they build everywhere so every
// platform tests them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tailorloft {

// `title` (a file name without its folder) as Windows creates it: without
// the dots and spaces at its end.
std::string TrimForWindows(std::string_view title);

// Why Windows cannot create a file titled `title` (already trimmed), or
// nothing when it can: a colon, a character Windows forbids in file names
// (< > " / \ | ? * and control characters), a device name (CON, PRN, AUX,
// NUL, COM1 to COM9, LPT1 to LPT9, in any case, with any extension), or no
// name at all. The reason reads "it ...".
std::optional<std::string> WhyWindowsRefuses(std::string_view title);

}  // namespace tailorloft
