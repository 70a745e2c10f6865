// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli as a function: parses the command line, writes one CMX suit
// file (or its bytes to `out`) and reports problems on `err`, so tests can run
// the whole program in-process with their own folder and streams.
#pragma once

#include <filesystem>
#include <functional>
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

// Where the game is installed, as env::FindGameInstallFolder answers:
// UTF-8, "ERROR" when it is not found.
using GameLookup = std::function<std::string()>;

// Runs the program on `args` (UTF-8, without the program name). Relative file
// names are taken from `workingFolder`; an empty one means the process's
// current folder. The CMX bytes go to `out` only with --stdout, and --check's
// report goes there; every message goes to `err`, starting with
// "tailorloft-cli: ". Files are written and looked at through `fileSystem`.
// --check without --game asks `findGame` where the game is (when empty,
// env::FindGameInstallFolder). Returns the exit status.
int RunCli(const std::vector<std::string>& args, const std::filesystem::path& workingFolder,
           std::ostream& out, std::ostream& err, FileSystem& fileSystem = RealFileSystem(),
           const GameLookup& findGame = {});

}  // namespace tailorloft::cli
