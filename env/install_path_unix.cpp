// SPDX-License-Identifier: GPL-3.0-or-later
// The install lookup where there is no Windows registry: the game runs under
// Wine, so its registry value is read from the user's Wine prefixes.
#include "env/install_path.h"

#include "env/paths.h"
#include "env/wine_prefix.h"

namespace tailorloft::env {

std::string ReadRegistryString(RegistryRoot rootKey, std::string_view subKey,
                               std::string_view valueName, std::uint32_t& bufferSize) {
  return ReadRegistryStringIn(WinePrefixes(CurrentHomePlaces()), rootKey, subKey, valueName,
                              bufferSize);
}

std::string FindGameInstallFolder() { return FindGameInstallFolderIn(CurrentHomePlaces()); }

std::string SkinFolder(const std::string& installFolder) {
  return Utf8FromPath(ResolveCaseInsensitive(PathFromUtf8(installFolder), "gamedata/skins"));
}

}  // namespace tailorloft::env
