// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/game_search.h"

#include <filesystem>

#include "core/utf8.h"
#ifndef _WIN32
#include "env/wine_prefix.h"
#endif

namespace tailorloft::env {

namespace {

#ifndef _WIN32
// "a, b and c", or `none` for an empty list.
std::string Listed(const std::vector<std::filesystem::path>& folders, const std::string& none) {
  if (folders.empty()) return none;
  std::string text;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    if (i > 0) text += i + 1 == folders.size() ? " and " : ", ";
    text += Utf8FromPath(folders[i]);
  }
  return text;
}
#endif

}  // namespace

std::vector<std::string> GameSearchPlaces() {
#ifdef _WIN32
  return {
      "the registry value InstallPath of HKEY_LOCAL_MACHINE\\Software\\Maxis\\The Sims",
      "the Legacy Collection in the Steam libraries and in C:\\Program Files\\EA Games",
  };
#else
  const HomePlaces places = CurrentHomePlaces();
  return {
      "the registry value InstallPath of HKEY_LOCAL_MACHINE\\Software\\Maxis\\The Sims in the Wine "
      "prefixes: " +
          Listed(WinePrefixes(places),
                 "none found ($WINEPREFIX or ~/.wine, Bottles, Lutris, PlayOnLinux, Proton)"),
      "the Legacy Collection in the Steam folders (" + Listed(SteamFolders(places), "none found") +
          ") and in the EA app's folder of each Wine prefix",
  };
#endif
}

}  // namespace tailorloft::env
