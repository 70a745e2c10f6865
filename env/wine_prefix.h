// SPDX-License-Identifier: GPL-3.0-or-later
// The install lookup where the game runs under Wine: its registry lives in a
// Wine prefix, a folder with system.reg (HKEY_LOCAL_MACHINE), user.reg
// (HKEY_CURRENT_USER) and dosdevices/ linking drive letters to Unix folders.
// The entry points of install_path.h use these with the user's own places.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "env/install_path.h"
#include "env/wine_registry.h"

namespace tailorloft::env {

// Where to look: the home folder and $WINEPREFIX (empty when not set).
struct HomePlaces {
  std::filesystem::path home;
  std::filesystem::path winePrefix;
};
HomePlaces CurrentHomePlaces();

// The prefixes that have a system.reg, in search order: $WINEPREFIX, else
// ~/.wine; then the per-game prefixes of Bottles, Lutris (~/Games/*),
// PlayOnLinux and Steam's Proton (compatdata/*/pfx), each set in name order.
std::vector<std::filesystem::path> WinePrefixes(const HomePlaces& places);

// The user's Steam folders that exist, each named once.
std::vector<std::filesystem::path> SteamFolders(const HomePlaces& places);

struct WineRegistryHit {
  std::filesystem::path prefix;
  WineRegistryValue value;
};

// The value from the first prefix whose registry has it. Under
// HKEY_LOCAL_MACHINE a "Software\..." key is looked for in the 32-bit view
// (Software\Wow6432Node\...) first, as a 32-bit program like the game sees it.
std::optional<WineRegistryHit> FindInWinePrefixes(const std::vector<std::filesystem::path>& prefixes,
                                                  RegistryRoot root, std::string_view subKey,
                                                  std::string_view valueName);

// ReadRegistryString over these prefixes.
std::string ReadRegistryStringIn(const std::vector<std::filesystem::path>& prefixes,
                                 RegistryRoot root, std::string_view subKey,
                                 std::string_view valueName, std::uint32_t& bufferSize);

// The Unix folder that `windowsPath` ("C:\Program Files\...") names inside
// `prefix`, through dosdevices/<drive>:, with each component spelled as on
// disk (matched case-insensitively, as Wine does). A trailing separator is
// kept as "/". Nothing for a path without a drive letter or with a drive the
// prefix does not map.
std::optional<std::string> MapWindowsPath(const std::filesystem::path& prefix,
                                          std::string_view windowsPath);

// FindGameInstallFolder for these places.
std::string FindGameInstallFolderIn(const HomePlaces& places);

}  // namespace tailorloft::env
