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

// Names and values go through the ANSI registry calls; our strings are UTF-8.
std::optional<std::string> AnsiFromUtf8(std::string_view utf8) {
  const std::optional<std::wstring> wide = WideFrom(CP_UTF8, utf8, MB_ERR_INVALID_CHARS);
  if (!wide) return std::nullopt;
  return BytesFrom(CP_ACP, *wide);
}

std::string Utf8FromAnsi(std::string_view ansi) {
  const std::optional<std::wstring> wide = WideFrom(CP_ACP, ansi, 0);
  if (!wide) return std::string();
  return BytesFrom(CP_UTF8, *wide).value_or(std::string());
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
  if (bufferSize == 0) bufferSize = 255;
  const std::optional<std::string> subKeyAnsi = AnsiFromUtf8(subKey);
  const std::optional<std::string> valueNameAnsi = AnsiFromUtf8(valueName);
  if (!subKeyAnsi || !valueNameAnsi) return std::string(kError);

  // Read-only, and in the 32-bit view the game's own installer wrote to.
  HKEY key = nullptr;
  if (RegOpenKeyExA(RootHandle(rootKey), subKeyAnsi->c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY,
                    &key) != ERROR_SUCCESS) {
    return std::string(kError);
  }
  std::string buffer(bufferSize, ' ');
  DWORD type = REG_SZ;
  DWORD size = bufferSize;
  const LSTATUS status = RegQueryValueExA(key, valueNameAnsi->c_str(), nullptr, &type,
                                          reinterpret_cast<BYTE*>(buffer.data()), &size);
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::string(kError);

  bufferSize = size;
  // A value stored without its terminating NUL ends where its data ends.
  buffer.resize(std::min<std::size_t>(size, buffer.size()));
  buffer.resize(std::min(buffer.size(), buffer.find('\0')));
  return Utf8FromAnsi(buffer);
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
    bufferSize = 4096;
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
