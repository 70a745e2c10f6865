// SPDX-License-Identifier: GPL-3.0-or-later
// Runs on Windows, or under Wine: the keys are made by the test itself in a
// throwaway registry, in both views of a 64-bit system.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "env/install_path.h"
#include "env/paths.h"
#include "temp_folder.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;

constexpr REGSAM kView32 = KEY_WOW64_32KEY;
constexpr REGSAM kView64 = KEY_WOW64_64KEY;

// Sets `value` (raw bytes, REG_SZ unless told otherwise) under HKLM in one view.
void SetValue(HKEY root, REGSAM view, const char* subKey, const char* name, const std::string& data,
              DWORD type = REG_SZ) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// Sets the REG_SZ `value` (UTF-8 here) through the wide call, as UTF-16 with its NUL.
void SetWideValue(HKEY root, REGSAM view, const char* subKey, const wchar_t* name, const std::string& utf8) {
  const std::wstring text = PathFromUtf8(utf8).native();
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

void DeleteKey(HKEY root, REGSAM view, const char* subKey) {
  RegDeleteTreeA(root, subKey);  // the view flag does not apply to RegDeleteTree
  HKEY parent = nullptr;
  if (RegOpenKeyExA(root, "Software", 0, KEY_ALL_ACCESS | view, &parent) == ERROR_SUCCESS) {
    const std::string rest = std::string(subKey).substr(std::string("Software\\").size());
    RegDeleteTreeA(parent, rest.c_str());
    RegCloseKey(parent);
  }
}

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// Sets and deletes the game's and Steam's keys, so it only runs in a
// throwaway Wine prefix, never on a real machine.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!UnderWine()) GTEST_SKIP() << "changes the machine's registry; runs under Wine";
    TearDown();
  }
  void TearDown() override {
    if (!UnderWine()) return;
    for (const char* key : {"Software\\Tailorloft Test", "Software\\Maxis\\The Sims", "Software\\Valve\\Steam"}) {
      DeleteKey(HKEY_LOCAL_MACHINE, kView32, key);
      DeleteKey(HKEY_LOCAL_MACHINE, kView64, key);
      DeleteKey(HKEY_CURRENT_USER, kView64, key);
    }
  }
};

TEST_F(RegistryTest, ReadRegistryStringOutcomes) {
  const char* key = "Software\\Tailorloft Test";
  const std::string longest(254, 'x');
  const std::string japanese = "C:\\Spiele\\\u65e5\u672c";
  const std::string longPath = "C:\\" + std::string(300, 'p') + "\\\u65e5\u672c";
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "Fits", longest + '\0');
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "TooLong", longest + "y" + '\0');
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "Empty", std::string(1, '\0'));
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "NoNul", "abc");
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "FullNoNul", std::string(255, 'z'));
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "Nul", std::string("ab\0cd\0", 6));
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "Both", std::string("32-bit\0", 7));
  SetValue(HKEY_LOCAL_MACHINE, kView64, key, "Both", std::string("64-bit\0", 7));
  SetValue(HKEY_LOCAL_MACHINE, kView64, key, "Only64", std::string("64-bit\0", 7));
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "Expand", std::string("%WINDIR%\0", 9), REG_EXPAND_SZ);
  SetValue(HKEY_LOCAL_MACHINE, kView32, key, "Number", std::string(4, '\1'), REG_DWORD);
  SetValue(HKEY_CURRENT_USER, kView64, key, "User", std::string("user\0", 5));
  // Characters outside the ANSI code page, stored as the game's installer
  // would store them: in UTF-16.
  SetWideValue(HKEY_LOCAL_MACHINE, kView32, key, L"Japanese", japanese);
  SetWideValue(HKEY_LOCAL_MACHINE, kView32, key, L"LongPath", longPath);

  const struct {
    RegistryRoot root;
    const char* subKey;
    const char* value;
    std::uint32_t bufferSize;
    std::string expected;
    std::optional<std::uint32_t> sizeAfter;  // nothing: Windows and Wine report different sizes
  } cases[] = {
      {RegistryRoot::LocalMachine, "Software\\Missing", "Fits", 0, "ERROR", 0},
      {RegistryRoot::LocalMachine, key, "Missing", 0, "ERROR", 0},
      {RegistryRoot::LocalMachine, key, "Number", 0, "ERROR", 0},
      {RegistryRoot::LocalMachine, key, "Fits", 0, longest, 510},
      // Longer than the 255 bytes of the first version's buffer: read whole.
      {RegistryRoot::LocalMachine, key, "TooLong", 0, longest + "y", 512},
      {RegistryRoot::LocalMachine, key, "TooLong", 256, longest + "y", 512},
      {RegistryRoot::LocalMachine, key, "LongPath", 0, longPath, 2 * (3 + 300 + 3 + 1)},
      {RegistryRoot::LocalMachine, key, "Japanese", 0, japanese, 2 * (12 + 1)},
      {RegistryRoot::LocalMachine, key, "Empty", 0, "", 2},
      {RegistryRoot::LocalMachine, key, "NoNul", 0, "abc", std::nullopt},
      {RegistryRoot::LocalMachine, key, "FullNoNul", 0, std::string(255, 'z'), std::nullopt},
      {RegistryRoot::LocalMachine, key, "Nul", 0, "ab", 12},
      {RegistryRoot::LocalMachine, key, "Both", 0, "32-bit", 14},
      {RegistryRoot::LocalMachine, key, "Only64", 0, "ERROR", 0},  // the game never writes there
      {RegistryRoot::LocalMachine, key, "Expand", 0, "%WINDIR%", 18},
      {RegistryRoot::CurrentUser, key, "User", 0, "user", 10},
  };
  for (const auto& c : cases) {
    std::uint32_t size = c.bufferSize;
    EXPECT_EQ(ReadRegistryString(c.root, c.subKey, c.value, size), c.expected) << c.subKey << " " << c.value;
    if (c.sizeAfter) {
      EXPECT_EQ(size, *c.sizeAfter) << c.subKey << " " << c.value;
    }
  }
}

TEST_F(RegistryTest, FindsTheGameThroughTheRegistryFirst) {
  testing::TempFolder steam;
  testing::TempFolder cd;
  steam.MakeFolder("steamapps/common/The Sims Legacy Collection");
  const std::string installed = Utf8FromPath(fs::path(cd.MakeFolder("Maxis/The Sims")).make_preferred());
  SetValue(HKEY_CURRENT_USER, kView64, "Software\\Valve\\Steam", "SteamPath", Utf8FromPath(steam.path()) + '\0');
  SetValue(HKEY_LOCAL_MACHINE, kView32, "Software\\Maxis\\The Sims", "InstallPath", installed + '\0');
  EXPECT_EQ(FindGameInstallFolder(), installed);
  EXPECT_EQ(SkinFolder(FindGameInstallFolder()), installed + "\\gamedata\\skins");
}

// The game's installer writes the folder in UTF-16: a name outside the ANSI
// code page is found as it is.
TEST_F(RegistryTest, FindsAGameFolderNamedInAnyLanguage) {
  testing::TempFolder cd;
  const std::string installed =
      Utf8FromPath(fs::path(cd.MakeFolder(PathFromUtf8("Spiele/\u65e5\u672c"))).make_preferred());
  SetWideValue(HKEY_LOCAL_MACHINE, kView32, "Software\\Maxis\\The Sims", L"InstallPath", installed);
  EXPECT_EQ(FindGameInstallFolder(), installed);
}

// An uninstalled CD version can leave its value behind: a value naming no
// folder must not hide the Legacy Collection.
TEST_F(RegistryTest, AValueNamingNoFolderCountsAsNotFound) {
  testing::TempFolder steam;
  testing::TempFolder cd;
  const fs::path game = steam.MakeFolder("steamapps/common/The Sims Legacy Collection");
  cd.WriteFile("Sims", "not a folder");
  SetValue(HKEY_CURRENT_USER, kView64, "Software\\Valve\\Steam", "SteamPath", Utf8FromPath(steam.path()) + '\0');
  const std::string cdFolder = Utf8FromPath(fs::path(cd.path()).make_preferred());
  for (const std::string& stale : {cdFolder + "\\Gone", cdFolder + "\\Gone\\", cdFolder + "\\Sims"}) {
    SetValue(HKEY_LOCAL_MACHINE, kView32, "Software\\Maxis\\The Sims", "InstallPath", stale + '\0');
    EXPECT_EQ(FindGameInstallFolder(), Utf8FromPath(fs::path(game).make_preferred())) << stale;
  }
}

TEST_F(RegistryTest, FallsBackToTheSteamLibraries) {
  testing::TempFolder steam;
  testing::TempFolder library;
  const fs::path game = library.MakeFolder("steamapps/common/The Sims Legacy Collection");
  std::string libraryText;
  for (const char c : Utf8FromPath(library.path())) libraryText += c == '\\' ? std::string("\\\\") : std::string(1, c);
  steam.WriteFile("steamapps/libraryfolders.vdf",
                  "\"libraryfolders\" { \"1\" { \"path\" \"" + libraryText + "\" } }");
  // Steam writes its own folder with forward slashes.
  std::string steamPath = Utf8FromPath(steam.path());
  for (char& c : steamPath) c = c == '\\' ? '/' : c;
  SetValue(HKEY_CURRENT_USER, kView64, "Software\\Valve\\Steam", "SteamPath", steamPath + '\0');
  SetValue(HKEY_LOCAL_MACHINE, kView32, "Software\\Maxis\\The Sims", "InstallPath", std::string(1, '\0'));

  const std::string found = FindGameInstallFolder();
  EXPECT_EQ(found, Utf8FromPath(fs::path(game).make_preferred()));
  EXPECT_EQ(found.find('/'), std::string::npos) << found;
}

TEST_F(RegistryTest, ErrorWhenTheGameIsNowhere) { EXPECT_EQ(FindGameInstallFolder(), "ERROR"); }

}  // namespace
}  // namespace tailorloft::env
