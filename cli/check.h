// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli --check and --show: reading suit files back, to find what the
// game would trip over before it is started, and to print a suit in the
// program's own argument form.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "core/file_system.h"

namespace tailorloft::cli {

// Checks each path (a CMX, SKN, BMF, BMP or skeleton file, or a folder of
// them) with the suit check of game/suit_check.h, the game's files taken
// from `gameFolder` (empty: no game, only each suit's own folder). Prints
// the findings on `out`, one a line in the form compilers use,
// "FILE:LINE: error: message [code]", then a summary line; with `json`, one
// JSON object instead. Relative paths are taken from `workingFolder` but
// shown as given. Returns kExitSuccess without errors, kExitFailure with any.
int CheckSuits(const std::vector<std::string>& paths, const std::filesystem::path& gameFolder, bool json,
               const std::filesystem::path& workingFolder, std::ostream& out, FileSystem& fileSystem);

// Prints one tailorloft-cli command line per suit in the file, which run in a
// folder writes the same file there; when a suit's name differs from its
// file's, the line writes a file named after the suit, and a note on `err`
// says so. Returns kExitFailure, with the reason on
// `err`, when the file cannot be read or a suit cannot be put that way.
int ShowSuits(const std::string& file, const std::filesystem::path& workingFolder,
              std::ostream& out, std::ostream& err);

}  // namespace tailorloft::cli
