// SPDX-License-Identifier: GPL-3.0-or-later
// The install lookup on Windows: the game's registry value, read the way a
// 32-bit program sees it, else the Legacy Collection's usual folders.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "env/install_path.h"
#include "env/legacy_collection.h"
#include "env/paths.h"
#include "env/win32_text.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kError = "ERROR";

HKEY RootHandle(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

std::optional<fs::path> EnvironmentFolder(const wchar_t* name) {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH + 1);
  if (length == 0 || length > MAX_PATH) return std::nullopt;
  return fs::path(std::wstring(buffer, length));
}

}  // namespace

std::string ReadRegistryString(RegistryRoot rootKey, std::string_view subKey,
                               std::string_view valueName, std::uint32_t& bufferSize) {
  // Through the wide calls: a folder named in characters outside the ANSI
  // code page (C:\Spiele\日本) would lose them in the ANSI ones.
  const std::optional<std::wstring> subKeyWide = WideFrom(CP_UTF8, subKey, MB_ERR_INVALID_CHARS);
  const std::optional<std::wstring> valueNameWide = WideFrom(CP_UTF8, valueName, MB_ERR_INVALID_CHARS);
  if (!subKeyWide || !valueNameWide) return std::string(kError);

  // Read-only, and in the 32-bit view the game's own installer wrote to.
  HKEY key = nullptr;
  if (RegOpenKeyExW(RootHandle(rootKey), subKeyWide->c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
      ERROR_SUCCESS) {
    return std::string(kError);
  }
  // The text as stored, never expanded; RegGetValueW adds the NUL a value
  // stored without one lacks. Its size is asked first, so a long value is
  // read whole, and asked again should it grow in between.
  constexpr DWORD kStrings = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  std::wstring buffer;
  DWORD size = 0;
  LSTATUS status = ERROR_MORE_DATA;
  for (int attempt = 0; attempt < 3 && status == ERROR_MORE_DATA; ++attempt) {
    status = RegGetValueW(key, nullptr, valueNameWide->c_str(), kStrings, nullptr, nullptr, &size);
    if (status != ERROR_SUCCESS) break;
    buffer.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    status = RegGetValueW(key, nullptr, valueNameWide->c_str(), kStrings, nullptr, buffer.data(), &size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::string(kError);

  bufferSize = size;
  buffer.resize(std::min<std::size_t>(size / sizeof(wchar_t), buffer.size()));
  buffer.resize(std::min(buffer.size(), buffer.find(L'\0')));
  return BytesFrom(CP_UTF8, buffer).value_or(std::string(kError));
}

std::string FindGameInstallFolder() {
  std::uint32_t bufferSize = 0;
  std::string folder =
      ReadRegistryString(RegistryRoot::LocalMachine, "Software\\Maxis\\The Sims", "InstallPath", bufferSize);
  // An uninstalled game may leave its value behind: only a folder that is
  // there counts, else the Legacy Collection's folders are searched.
  std::error_code ec;
  if (!folder.empty() && folder != kError && fs::is_directory(PathFromUtf8(folder), ec)) return folder;

  std::vector<fs::path> steamFolders;
  const struct {
    RegistryRoot root;
    const char* key;
    const char* value;
  } steamValues[] = {
      {RegistryRoot::CurrentUser, "Software\\Valve\\Steam", "SteamPath"},
      {RegistryRoot::LocalMachine, "Software\\Valve\\Steam", "InstallPath"},
  };
  for (const auto& steam : steamValues) {
    const std::string path = ReadRegistryString(steam.root, steam.key, steam.value, bufferSize);
    if (!path.empty() && path != kError) steamFolders.push_back(PathFromUtf8(path));
  }

  std::vector<fs::path> eaGamesFolders;
  for (const wchar_t* name : {L"ProgramW6432", L"ProgramFiles"}) {
    if (std::optional<fs::path> programFiles = EnvironmentFolder(name)) {
      eaGamesFolders.push_back(*programFiles / "EA Games");
    }
  }
  eaGamesFolders.push_back(fs::path(L"C:\\Program Files\\EA Games"));

  if (std::optional<fs::path> game = FindLegacyCollection(steamFolders, eaGamesFolders)) {
    return Utf8FromPath(game->make_preferred());
  }
  return std::string(kError);
}

std::string SkinFolder(const std::string& installFolder) { return installFolder + "\\gamedata\\skins"; }

}  // namespace tailorloft::env
