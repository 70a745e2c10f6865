// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli --check and --show: reading suit files back, to find what the
// game would trip over before it is started, and to print a suit in the
// program's own argument form.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace tailorloft::cli {

// Checks each path, a CMX file or a folder of them (its *.cmx in any case,
// no subfolders), and reports one problem a line in the form compilers use,
// "FILE:LINE: error: ..." or "... warning: ...", then a summary line, all on
// `out`. Relative paths are taken from `workingFolder` but shown as given.
// Returns kExitSuccess without errors, kExitFailure with any.
int CheckSuits(const std::vector<std::string>& paths, const std::filesystem::path& workingFolder,
               std::ostream& out);

// Prints one tailorloft-cli command line per suit in the file, which run in a
// folder writes the same file there. Returns kExitFailure, with the reason on
// `err`, when the file cannot be read or a suit cannot be put that way.
int ShowSuits(const std::string& file, const std::filesystem::path& workingFolder,
              std::ostream& out, std::ostream& err);

}  // namespace tailorloft::cli
