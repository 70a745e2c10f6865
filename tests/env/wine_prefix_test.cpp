// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/wine_prefix.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "env/install_path.h"
#include "env/paths.h"
#include "temp_folder.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;

std::string SystemReg(std::string_view keysAndValues) {
  return "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n" +
         std::string(keysAndValues);
}

std::string GameKey(std::string_view installPath, bool wow64 = true) {
  std::string escaped;
  for (const char c : installPath) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return std::string(wow64 ? "[Software\\\\Wow6432Node\\\\Maxis\\\\The Sims] 1700000000\n"
                           : "[Software\\\\Maxis\\\\The Sims] 1700000000\n") +
         "\"InstallPath\"=\"" + escaped + "\"\n\n";
}

// A home folder of its own, with Wine prefixes made the way Wine makes them.
class WinePrefixTest : public ::testing::Test {
 protected:
  fs::path MakePrefix(const fs::path& relative, std::string_view systemReg) {
    const fs::path prefix = home_.MakeFolder(relative);
    home_.WriteFile(relative / "system.reg", systemReg);
    home_.MakeFolder(relative / "drive_c");
    home_.MakeFolder(relative / "dosdevices");
    fs::create_directory_symlink("../drive_c", prefix / "dosdevices/c:");
    fs::create_directory_symlink("/", prefix / "dosdevices/z:");
    return prefix;
  }
  HomePlaces Places(fs::path winePrefix = {}) const { return HomePlaces{home_.path(), std::move(winePrefix)}; }

  testing::TempFolder home_;
};

TEST_F(WinePrefixTest, SearchesPrefixesInOrder) {
  const fs::path steam = home_.MakeFolder(".local/share/Steam");
  home_.MakeFolder(".steam");
  fs::create_directory_symlink(steam, home_.path() / ".steam/steam");  // the same Steam twice
  const std::vector<fs::path> expected = {
      MakePrefix(".wine", SystemReg("")),
      MakePrefix(".local/share/bottles/bottles/a", SystemReg("")),
      MakePrefix(".local/share/bottles/bottles/b", SystemReg("")),
      MakePrefix(".var/app/com.usebottles.bottles/data/bottles/bottles/c", SystemReg("")),
      MakePrefix("Games/the-sims", SystemReg("")),
      MakePrefix(".PlayOnLinux/wineprefix/TheSims", SystemReg("")),
      MakePrefix(".local/share/Steam/steamapps/compatdata/3314060/pfx", SystemReg("")),
  };
  home_.MakeFolder("Games/not-a-prefix");
  home_.MakeFolder(".local/share/Steam/steamapps/compatdata/228980");

  EXPECT_EQ(WinePrefixes(Places()), expected);

  const fs::path own = MakePrefix("elsewhere", SystemReg(""));
  std::vector<fs::path> withOwn = expected;
  withOwn.front() = own;  // $WINEPREFIX replaces ~/.wine
  EXPECT_EQ(WinePrefixes(Places(own)), withOwn);
}

TEST_F(WinePrefixTest, FirstPrefixWithTheValueWins) {
  MakePrefix(".wine", SystemReg("[Software\\\\Maxis\\\\The Sims] 1\n\"Other\"=\"x\"\n"));
  const fs::path second = MakePrefix("Games/a", SystemReg(GameKey("C:\\A")));
  MakePrefix("Games/b", SystemReg(GameKey("C:\\B")));
  const auto hit = FindInWinePrefixes(WinePrefixes(Places()), RegistryRoot::LocalMachine,
                                      "Software\\Maxis\\The Sims", "InstallPath");
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->prefix, second);
  EXPECT_EQ(hit->value.text, "C:\\A");
}

TEST_F(WinePrefixTest, ReadRegistryStringOutcomes) {
  const std::string longest(254, 'x');
  const fs::path prefix = MakePrefix(
      ".wine", SystemReg("[Software\\\\Wow6432Node\\\\T] 1\n\"Fits\"=\"" + longest + "\"\n\"TooLong\"=\"" +
                         longest + "y\"\n\"Empty\"=\"\"\n\"Nul\"=\"ab\\0cd\"\n\"Number\"=dword:00000001\n" +
                         "\"Both\"=\"32-bit\"\n\n[Software\\\\T] 1\n\"Only64\"=\"64-bit\"\n\"Both\"=\"64-bit\"\n"));
  const struct {
    const char* subKey;
    const char* value;
    std::uint32_t bufferSize;
    std::string expected;
    std::uint32_t sizeAfter;
  } cases[] = {
      {"Software\\Missing", "Fits", 0, "ERROR", 0},
      {"Software\\T", "Missing", 0, "ERROR", 0},
      {"Software\\T", "Fits", 0, longest, 255},
      // Longer than a 255-byte buffer would hold: read whole, as on Windows.
      {"Software\\T", "TooLong", 0, longest + "y", 256},
      {"Software\\T", "TooLong", 100, longest + "y", 256},
      {"Software\\T", "Empty", 0, "", 1},
      {"Software\\T", "Nul", 0, "ab", 6},
      {"Software\\T", "Number", 7, "ERROR", 7},
      {"Software\\T", "Both", 0, "32-bit", 7},
      {"Software\\T", "Only64", 0, "64-bit", 7},
      {"software\\t", "fits", 300, longest, 255},
  };
  for (const auto& c : cases) {
    std::uint32_t size = c.bufferSize;
    EXPECT_EQ(ReadRegistryStringIn({prefix}, RegistryRoot::LocalMachine, c.subKey, c.value, size), c.expected)
        << c.subKey << " " << c.value;
    EXPECT_EQ(size, c.sizeAfter) << c.subKey << " " << c.value;
  }
}

TEST_F(WinePrefixTest, CurrentUserReadsUserReg) {
  const fs::path prefix = MakePrefix(".wine", SystemReg(""));
  home_.WriteFile(".wine/user.reg", "WINE REGISTRY Version 2\n[Software\\\\Valve\\\\Steam] 1\n\"SteamPath\"=\"c:/steam\"\n");
  std::uint32_t size = 0;
  EXPECT_EQ(ReadRegistryStringIn({prefix}, RegistryRoot::CurrentUser, "Software\\Valve\\Steam", "SteamPath", size),
            "c:/steam");
}

TEST_F(WinePrefixTest, MapsWindowsPathsThroughDosDevices) {
  const fs::path prefix = MakePrefix(".wine", SystemReg(""));
  home_.MakeFolder(".wine/drive_c/Program Files/Maxis/The Sims/GameData/Skins");
  const std::string driveC = Utf8FromPath(prefix / "drive_c");
  const struct {
    const char* windowsPath;
    std::optional<std::string> unixPath;
  } cases[] = {
      {"C:\\Program Files\\Maxis\\The Sims", driveC + "/Program Files/Maxis/The Sims"},
      {"c:\\PROGRAM FILES\\maxis\\the sims\\", driveC + "/Program Files/Maxis/The Sims/"},
      {"C:/Program Files/Maxis/The Sims 2", driveC + "/Program Files/Maxis/The Sims 2"},
      {"C:\\Games\\Sims", driveC + "/Games/Sims"},
      {"C:\\", driveC + "/"},
      {"Z:\\opt\\sims", "/opt/sims"},
      {"D:\\Sims", std::nullopt},
      {"\\\\server\\share\\Sims", std::nullopt},
      {"Program Files\\Maxis", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(MapWindowsPath(prefix, c.windowsPath), c.unixPath) << c.windowsPath;

  fs::remove(prefix / "dosdevices/c:");  // an older prefix: drive C: is still drive_c
  EXPECT_EQ(MapWindowsPath(prefix, "C:\\Program Files"), driveC + "/Program Files");
}

TEST_F(WinePrefixTest, FindsTheGameThroughTheRegistry) {
  MakePrefix(".wine", SystemReg(GameKey("C:\\Program Files\\Maxis\\The Sims")));
  const fs::path game = home_.MakeFolder(".wine/drive_c/Program Files/Maxis/The Sims");
  home_.MakeFolder(".wine/drive_c/Program Files/Maxis/The Sims/GameData/Skins");
  home_.MakeFolder(".local/share/Steam/steamapps/common/The Sims Legacy Collection");  // registry wins

  const std::string found = FindGameInstallFolderIn(Places());
  EXPECT_EQ(found, Utf8FromPath(game));
  EXPECT_EQ(SkinFolder(found), Utf8FromPath(game / "GameData/Skins"));
}

TEST_F(WinePrefixTest, SkipsAValueNoDriveMaps) {
  MakePrefix(".wine", SystemReg(GameKey("Q:\\Sims")));
  const fs::path prefix = MakePrefix("Games/sims", SystemReg(GameKey("C:\\Sims", false)));
  home_.MakeFolder("Games/sims/drive_c/Sims");
  EXPECT_EQ(FindGameInstallFolderIn(Places()), Utf8FromPath(prefix / "drive_c/Sims"));
}

// An uninstalled game can leave its registry value behind. A value naming a
// folder that is not there must not hide the game found further on.
TEST_F(WinePrefixTest, AValueNamingNoFolderCountsAsNotFound) {
  const struct {
    const char* name;
    const char* installPath;  // in ~/.wine, whose C:\Sims is a file and whose C:\Gone is missing
    bool laterPrefix;         // Games/cd has the game's value, naming a folder that exists
    bool legacyCollection;    // Steam has the Legacy Collection
    const char* expected;     // relative to the home folder; nullptr: "ERROR"
  } cases[] = {
      {"missing folder, Steam", "C:\\Gone", false, true, "Steam/steamapps/common/The Sims Legacy Collection"},
      {"missing folder, later prefix", "C:\\Gone\\", true, true, "Games/cd/drive_c/Sims"},
      {"a file, not a folder", "C:\\Sims", false, true, "Steam/steamapps/common/The Sims Legacy Collection"},
      {"missing folder, nothing else", "C:\\Gone", false, false, nullptr},
  };
  for (const auto& c : cases) {
    testing::TempFolder home;
    const auto makePrefix = [&home](const fs::path& relative, const std::string& installPath) {
      home.WriteFile(relative / "system.reg", SystemReg(GameKey(installPath)));
      home.MakeFolder(relative / "dosdevices");
      fs::create_directory_symlink("../drive_c", home.path() / relative / "dosdevices/c:");
      return home.MakeFolder(relative / "drive_c");
    };
    makePrefix(".wine", c.installPath);
    home.WriteFile(".wine/drive_c/Sims", "not a folder");
    if (c.laterPrefix) {
      makePrefix("Games/cd", "C:\\Sims");
      home.MakeFolder("Games/cd/drive_c/Sims");
    }
    fs::create_directory_symlink(home.MakeFolder("Steam"), home.MakeFolder(".steam") / "steam");
    if (c.legacyCollection) home.MakeFolder("Steam/steamapps/common/The Sims Legacy Collection");

    EXPECT_EQ(FindGameInstallFolderIn(HomePlaces{home.path(), {}}),
              c.expected ? Utf8FromPath(home.path() / c.expected) : std::string("ERROR"))
        << c.name;
  }
}

TEST_F(WinePrefixTest, FallsBackToTheLegacyCollection) {
  MakePrefix(".wine", SystemReg("[Software\\\\Maxis\\\\The Sims] 1\n\"InstallPath\"=\"\"\n"));
  const fs::path steam = home_.MakeFolder(".local/share/Steam");
  const fs::path library = home_.MakeFolder("SteamLibrary");
  home_.WriteFile(".local/share/Steam/steamapps/libraryfolders.vdf",
                  "\"libraryfolders\" { \"0\" { \"path\" \"" + Utf8FromPath(steam) + "\" } \"1\" { \"path\" \"" +
                      Utf8FromPath(library) + "\" } }");
  home_.MakeFolder("SteamLibrary/steamapps/common/The Sims Legacy Collection/GameData/Skins");
  const std::string found = FindGameInstallFolderIn(Places());
  EXPECT_EQ(found, Utf8FromPath(library / "steamapps/common/The Sims Legacy Collection"));
  EXPECT_EQ(SkinFolder(found), Utf8FromPath(library / "steamapps/common/The Sims Legacy Collection/GameData/Skins"));
}

TEST_F(WinePrefixTest, FindsTheEaAppInstallInsideAPrefix) {
  MakePrefix("Games/ea-app", SystemReg(""));
  const fs::path game = home_.MakeFolder("Games/ea-app/drive_c/Program Files/EA Games/The Sims Legacy");
  EXPECT_EQ(FindGameInstallFolderIn(Places()), Utf8FromPath(game));
}

TEST_F(WinePrefixTest, ErrorWhenTheGameIsNowhere) {
  MakePrefix(".wine", "not a registry");
  home_.WriteFile(".local/share/bottles/bottles/x/system.reg", std::string("\0\xff[\n\"", 5));
  EXPECT_EQ(FindGameInstallFolderIn(Places()), "ERROR");
  EXPECT_EQ(FindGameInstallFolderIn(HomePlaces{}), "ERROR");
}

TEST(SkinFolderTest, UsesTheRealSpellingWhereItExists) {
  testing::TempFolder root;
  const std::string game = Utf8FromPath(root.MakeFolder("Game"));
  EXPECT_EQ(SkinFolder(game), game + "/gamedata/skins");
  root.MakeFolder("Game/GameData");
  EXPECT_EQ(SkinFolder(game + "/"), game + "/GameData/skins");
  root.MakeFolder("Game/GameData/SKINS");
  EXPECT_EQ(SkinFolder(game), game + "/GameData/SKINS");
}

// The entry points read the user's places from HOME and WINEPREFIX.
TEST_F(WinePrefixTest, EntryPointsUseTheEnvironment) {
  const fs::path prefix = MakePrefix("custom", SystemReg(GameKey("C:\\Sims")));
  home_.MakeFolder("custom/drive_c/Sims");
  const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  ::setenv("HOME", home_.path().c_str(), 1);
  ::setenv("WINEPREFIX", prefix.c_str(), 1);
  std::uint32_t size = 0;
  const std::string value =
      ReadRegistryString(RegistryRoot::LocalMachine, "Software\\Maxis\\The Sims", "InstallPath", size);
  const std::string folder = FindGameInstallFolder();
  ::unsetenv("WINEPREFIX");
  ::setenv("HOME", oldHome.c_str(), 1);

  EXPECT_EQ(value, "C:\\Sims");
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(folder, Utf8FromPath(prefix / "drive_c/Sims"));
}

}  // namespace
}  // namespace tailorloft::env
