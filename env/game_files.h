// SPDX-License-Identifier: GPL-3.0-or-later
// The game's files on disk, as the suit check looks them up: loose files in
// the suit's folder and the game's skin folders, and the entries of the
// game's .far archives, indexed from their manifests the first time they are
// needed. Free of Qt, so it also builds with MinGW and runs under Wine.
#pragma once

#include <filesystem>
#include <memory>
#include <vector>

#include "game/game_files.h"

namespace tailorloft::env {

// Whether `folder` holds a GameData folder (its name matched ignoring case),
// as every edition of the game does.
bool LooksLikeGameFolder(const std::filesystem::path& folder);

// The game's files under `gameFolder`; an empty path for no game, when only
// each suit's own folder is searched. Nothing is read until a lookup needs
// it: the archives are listed and indexed at the first lookup that reaches
// them, each folder is listed once, and the skeletons and the archives' suits
// are read once. Not for use from several threads at once.
std::unique_ptr<game::GameFiles> OpenGameFiles(const std::filesystem::path& gameFolder);

// The game's archives: every .far file under `gameFolder` (its name matched
// ignoring case; linked folders are not followed), in path order: folder by
// folder, names compared ignoring case. The order the lookups search them in.
std::vector<std::filesystem::path> GameArchives(const std::filesystem::path& gameFolder);

}  // namespace tailorloft::env
