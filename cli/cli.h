// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli as a function: parses the command line, writes one CMX suit
// file (or its bytes to `out`) and reports problems on `err`, so tests can run
// the whole program in-process with their own folder and streams.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace tailorloft::cli {

// Exit statuses of the program.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a save failed or an input was refused
inline constexpr int kExitUsage = 2;    // the command line itself is wrong

// The program's name and version, as --version prints them.
std::string VersionText();

// Runs the program on `args` (UTF-8, without the program name). Relative file
// names are taken from `workingFolder`; an empty one means the process's
// current folder. The CMX bytes go to `out` only with --stdout; every message
// goes to `err`, starting with "tailorloft-cli: ". Files are written through
// `fileSystem`. Returns the exit status.
int RunCli(const std::vector<std::string>& args, const std::filesystem::path& workingFolder,
           std::ostream& out, std::ostream& err, FileSystem& fileSystem = RealFileSystem());

}  // namespace tailorloft::cli
