// SPDX-License-Identifier: GPL-3.0-or-later
// Writing the program's text on Windows, where a console shows only what is
// written in its own code page unless it is given UTF-16.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace tailorloft::cli {

// Hands `bytes` to the standard handle `which` (STD_OUTPUT_HANDLE or
// STD_ERROR_HANDLE), whose C stream is `stream`. A console is given UTF-8
// text through the wide console call, which shows every character whatever
// its code page; a pipe or a file gets the bytes unchanged (the CMX bytes of
// --stdout, or UTF-8 text). Returns false when writing failed.
bool WriteStandard(DWORD which, std::FILE* stream, const std::string& bytes);

}  // namespace tailorloft::cli
