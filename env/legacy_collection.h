// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the Legacy Collection, the game's current release, which may not
// write the registry value older releases did: it lives in a Steam library
// (steamapps/common/The Sims Legacy Collection) or in the EA app's games
// folder (The Sims Legacy). Both keep their skins in GameData/Skins.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tailorloft::env {

// The library folders a Steam libraryfolders.vdf lists, in file order, as
// written there (escapes decoded). Both the current layout ("path" inside a
// numbered block) and the old one (numbered keys naming the folder) are read.
// Broken input gives the folders read before the fault.
std::vector<std::string> ParseSteamLibraryFolders(std::string_view vdf);

// The game's folder: for each of `steamFolders`, the folder itself and each
// library its steamapps/libraryfolders.vdf lists are searched for
// steamapps/common/The Sims Legacy Collection; then each of `eaGamesFolders`
// for The Sims Legacy. Names match case-insensitively; the first folder
// that exists wins, spelled as on disk.
std::optional<std::filesystem::path> FindLegacyCollection(
    const std::vector<std::filesystem::path>& steamFolders,
    const std::vector<std::filesystem::path>& eaGamesFolders);

}  // namespace tailorloft::env
