// SPDX-License-Identifier: GPL-3.0-or-later
// Forced into every file of the MinGW-w64 build: MSVC's <windows.h> defines
// min and max as macros unless NOMINMAX is set, MinGW's does not in C++, so
// this makes the cross build fail where an MSVC build would.
#ifndef NOMINMAX
#define min(a, b) (((a) < (b)) ? (a) : (b))
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
