// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/wine_prefix.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <utility>

#include "core/fold_case.h"
#include "env/legacy_collection.h"
#include "env/paths.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kError = "ERROR";
constexpr std::string_view kGameKey = "Software\\Maxis\\The Sims";
constexpr std::string_view kGameValue = "InstallPath";

bool HasRegistry(const fs::path& prefix) {
  std::error_code ec;
  return fs::is_regular_file(prefix / "system.reg", ec);
}

// The subfolders of `folder`, in name order, each joined with `below`.
std::vector<fs::path> Subfolders(const fs::path& folder, const char* below = nullptr) {
  std::vector<fs::path> found;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    found.push_back(below ? it->path() / below : it->path());
  }
  std::sort(found.begin(), found.end());
  return found;
}

std::vector<std::string> KeysToTry(RegistryRoot root, std::string_view subKey) {
  std::vector<std::string> keys;
  constexpr std::string_view kSoftware = "Software\\";
  const std::string_view rest = subKey.substr(std::min(subKey.size(), kSoftware.size()));
  if (root == RegistryRoot::LocalMachine && subKey.size() > kSoftware.size() &&
      EqualsIgnoringCase(subKey.substr(0, kSoftware.size()), kSoftware) &&
      !EqualsIgnoringCase(rest.substr(0, std::min(rest.size(), std::size_t{12})), "Wow6432Node\\")) {
    keys.push_back("Software\\Wow6432Node\\" + std::string(rest));
  }
  keys.emplace_back(subKey);
  return keys;
}

// What reading `value` gives, as on Windows: the text up to its first NUL,
// whatever its length (a folder may be named longer than the 255 bytes a
// fixed buffer would hold), or "ERROR" when it is not a string.
std::string WholeString(const WineRegistryValue& value, std::uint32_t& bufferSize) {
  if (!value.isString) return std::string(kError);
  bufferSize = static_cast<std::uint32_t>(value.text.size() + 1);
  return value.text.substr(0, value.text.find('\0'));
}

}  // namespace

HomePlaces CurrentHomePlaces() {
  HomePlaces places;
  if (const char* home = std::getenv("HOME"); home && *home) {
    places.home = home;
  } else if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) {
    places.home = entry->pw_dir;
  }
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) places.winePrefix = prefix;
  return places;
}

std::vector<fs::path> SteamFolders(const HomePlaces& places) {
  std::vector<fs::path> folders;
  if (places.home.empty()) return folders;
  for (const char* candidate :
       {".steam/steam", ".local/share/Steam", ".var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
    std::error_code ec;
    fs::path real = fs::canonical(places.home / candidate, ec);
    if (ec || !fs::is_directory(real, ec)) continue;
    if (std::find(folders.begin(), folders.end(), real) == folders.end()) folders.push_back(std::move(real));
  }
  return folders;
}

std::vector<fs::path> WinePrefixes(const HomePlaces& places) {
  std::vector<fs::path> candidates;
  if (!places.winePrefix.empty()) {
    candidates.push_back(places.winePrefix);
  } else if (!places.home.empty()) {
    candidates.push_back(places.home / ".wine");
  }
  if (!places.home.empty()) {
    const fs::path& home = places.home;
    for (const char* bottles :
         {".local/share/bottles/bottles", ".var/app/com.usebottles.bottles/data/bottles/bottles"}) {
      for (fs::path& p : Subfolders(home / bottles)) candidates.push_back(std::move(p));
    }
    for (fs::path& p : Subfolders(home / "Games")) candidates.push_back(std::move(p));
    for (fs::path& p : Subfolders(home / ".PlayOnLinux/wineprefix")) candidates.push_back(std::move(p));
    for (const fs::path& steam : SteamFolders(places)) {
      for (fs::path& p : Subfolders(steam / "steamapps/compatdata", "pfx")) candidates.push_back(std::move(p));
    }
  }

  std::vector<fs::path> prefixes;
  for (fs::path& candidate : candidates) {
    if (HasRegistry(candidate) &&
        std::find(prefixes.begin(), prefixes.end(), candidate) == prefixes.end()) {
      prefixes.push_back(std::move(candidate));
    }
  }
  return prefixes;
}

std::optional<WineRegistryHit> FindInWinePrefixes(const std::vector<fs::path>& prefixes,
                                                  RegistryRoot root, std::string_view subKey,
                                                  std::string_view valueName) {
  const WineRegistryQuery query{KeysToTry(root, subKey), std::string(valueName)};
  const char* file = root == RegistryRoot::CurrentUser ? "user.reg" : "system.reg";
  for (const fs::path& prefix : prefixes) {
    if (std::optional<WineRegistryValue> value = FindWineRegistryValueInFile(prefix / file, query)) {
      return WineRegistryHit{prefix, std::move(*value)};
    }
  }
  return std::nullopt;
}

std::string ReadRegistryStringIn(const std::vector<fs::path>& prefixes, RegistryRoot root,
                                 std::string_view subKey, std::string_view valueName,
                                 std::uint32_t& bufferSize) {
  const std::optional<WineRegistryHit> hit = FindInWinePrefixes(prefixes, root, subKey, valueName);
  if (!hit) return std::string(kError);
  return WholeString(hit->value, bufferSize);
}

std::optional<std::string> MapWindowsPath(const fs::path& prefix, std::string_view windowsPath) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':') return std::nullopt;
  const char letter = windowsPath[0];
  const bool isLetter = (letter >= 'a' && letter <= 'z') || (letter >= 'A' && letter <= 'Z');
  if (!isLetter) return std::nullopt;
  const char drive = static_cast<char>(letter | 0x20);

  std::error_code ec;
  fs::path root = fs::canonical(prefix / "dosdevices" / (std::string(1, drive) + ":"), ec);
  if (ec && drive == 'c') root = fs::canonical(prefix / "drive_c", ec);
  if (ec || !fs::is_directory(root, ec)) return std::nullopt;

  std::string mapped = Utf8FromPath(ResolveCaseInsensitive(root, windowsPath.substr(2)));
  const char last = windowsPath.back();
  if ((last == '\\' || last == '/') && (mapped.empty() || mapped.back() != '/')) mapped += '/';
  return mapped;
}

std::string FindGameInstallFolderIn(const HomePlaces& places) {
  const std::vector<fs::path> prefixes = WinePrefixes(places);
  // A registry value, when it names a folder that is there, wins over any
  // folder search. An uninstalled game may leave its value behind: a folder
  // that is gone does not count, and the next places are searched.
  for (const fs::path& prefix : prefixes) {
    std::uint32_t bufferSize = 0;
    const std::string value = ReadRegistryStringIn({prefix}, RegistryRoot::LocalMachine, kGameKey,
                                                    kGameValue, bufferSize);
    if (value.empty() || value == kError) continue;
    std::optional<std::string> folder = MapWindowsPath(prefix, value);
    std::error_code ec;
    if (folder && fs::is_directory(PathFromUtf8(*folder), ec)) return *folder;
  }

  std::vector<fs::path> eaGamesFolders;
  for (const fs::path& prefix : prefixes) {
    eaGamesFolders.push_back(ResolveCaseInsensitive(prefix, "drive_c/Program Files/EA Games"));
  }
  if (std::optional<fs::path> game = FindLegacyCollection(SteamFolders(places), eaGamesFolders)) {
    return Utf8FromPath(*game);
  }
  return std::string(kError);
}

}  // namespace tailorloft::env
