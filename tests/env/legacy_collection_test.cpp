// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/legacy_collection.h"

#include <gtest/gtest.h>

#include "core/fold_case.h"
#include "env/paths.h"
#include "temp_folder.h"

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// Windows file names ignore case already, so there a folder is found under
// the spelling asked for; elsewhere the spelling on disk is the point.
void ExpectFolder(const std::optional<fs::path>& actual, const fs::path& expected) {
  ASSERT_TRUE(actual.has_value()) << expected;
#ifdef _WIN32
  EXPECT_TRUE(fs::equivalent(*actual, expected)) << *actual << " / " << expected;
#else
  EXPECT_EQ(*actual, expected);
#endif
}

std::string VdfText(const fs::path& folder) {
  std::string text;
  for (const char c : Utf8FromPath(folder)) {
    if (c == '\\' || c == '"') text += '\\';
    text += c;
  }
  return '"' + text + '"';
}

TEST(FoldCaseTest, ComparesCharactersIgnoringCase) {
  const struct {
    std::string_view a, b;
    bool equal;
  } cases[] = {
      {"GameData", "gamedata", true},
      {"Skins", "SKINS", true},
      {"\xC3\x89T\xC3\x89", "\xC3\xA9t\xC3\xA9", true},                // ÉTÉ / été
      {"\xC5\x81\xC3\x93" "D\xC5\xB9", "\xC5\x82\xC3\xB3" "d\xC5\xBA", true},  // ŁÓDŹ / łódź
      {"\xD0\x98\xD0\x93\xD0\xA0\xD0\x90", "\xD0\xB8\xD0\xB3\xD1\x80\xD0\xB0", true},  // ИГРА / игра
      {"\xC3\x9F", "ss", false},
      {"Skins", "Skin", false},
      {"a\xE9", "a\xC9", false},  // stray bytes match only themselves
      {"a\xE9", "a\xE9", true},
      {"", "", true},
  };
  for (const auto& c : cases) EXPECT_EQ(EqualsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(ResolveCaseInsensitiveTest, SpellsExistingFoldersAsOnDisk) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file names ignore case";
#endif
  TempFolder root;
  root.MakeFolder("The Sims/GameData/Skins");
  const struct {
    const char* relative;
    fs::path expected;
  } cases[] = {
      {"GameData/Skins", "The Sims/GameData/Skins"},
      {"gamedata\\skins", "The Sims/GameData/Skins"},
      {"GAMEDATA/skins/new", "The Sims/GameData/Skins/new"},
      {"gamedata/missing/skins", "The Sims/GameData/missing/skins"},
      {"./gamedata//skins/", "The Sims/GameData/Skins"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveCaseInsensitive(root.path() / "The Sims", c.relative), root.path() / c.expected)
        << c.relative;
  }
}

TEST(ResolveCaseInsensitiveTest, PrefersTheExactSpelling) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows file names ignore case";
#endif
  TempFolder root;
  root.MakeFolder("skins");
  root.MakeFolder("Skins");
  EXPECT_EQ(ResolveCaseInsensitive(root.path(), "Skins"), root.path() / "Skins");
  EXPECT_EQ(ResolveCaseInsensitive(root.path(), "skins"), root.path() / "skins");
  EXPECT_EQ(ResolveCaseInsensitive(root.path(), "SKINS"), root.path() / "Skins");  // first in name order
}

struct VdfCase {
  const char* name;
  std::string vdf;
  std::vector<std::string> folders;
};

TEST(ParseSteamLibraryFoldersTest, ReadsBothLayoutsAndSurvivesBrokenFiles) {
  const VdfCase cases[] = {
      {"current layout",
       R"("libraryfolders"
{
	"0"
	{
		"path"		"/home/u/.local/share/Steam"
		"label"		""
		"apps"
		{
			"228980"		"123"
		}
	}
	"1"
	{
		"path"		"/mnt/games/SteamLibrary"
	}
})",
       {"/home/u/.local/share/Steam", "/mnt/games/SteamLibrary"}},
      {"Windows paths",
       R"("libraryfolders" { "0" { "path" "C:\\Program Files (x86)\\Steam" } "1" { "PATH" "D:\\Games\\Steam \"x\"" } })",
       {"C:\\Program Files (x86)\\Steam", "D:\\Games\\Steam \"x\""}},
      {"old layout",
       R"("LibraryFolders"
{
	"TimeNextStatsReport"		"1700000000"
	"ContentStatsID"		"-1"
	"1"		"/mnt/old"
	// a comment "2" "/not/this"
	"2"		"/mnt/other"
})",
       {"/mnt/old", "/mnt/other"}},
      {"unquoted tokens", "libraryfolders { 0 { path /srv/steam } }", {"/srv/steam"}},
      {"a path elsewhere is not a library", R"("other" { "0" { "path" "/x" } } "libraryfolders" { "0" { "apps" { "path" "/y" } } })", {}},
      {"unterminated string", R"("libraryfolders" { "0" { "path" "/a" } "1" { "path" "/b)", {"/a"}},
      {"stray closing brace", R"("libraryfolders" { "0" { "path" "/a" } } } "libraryfolders" { "0" { "path" "/b" } })", {"/a"}},
      {"empty", "", {}},
  };
  for (const VdfCase& c : cases) EXPECT_EQ(ParseSteamLibraryFolders(c.vdf), c.folders) << c.name;
}

class FindLegacyCollectionTest : public ::testing::Test {
 protected:
  TempFolder root_;
  fs::path steam_ = root_.MakeFolder("home/.local/share/Steam");
};

TEST_F(FindLegacyCollectionTest, FindsTheGameInALibraryTheVdfLists) {
  const fs::path library = root_.MakeFolder("mnt/SteamLibrary");
  root_.WriteFile("home/.local/share/Steam/steamapps/libraryfolders.vdf",
                  "\"libraryfolders\" { \"0\" { \"path\" " + VdfText(steam_) + " } \"1\" { \"path\" " +
                      VdfText(library) + " } }");
  root_.MakeFolder("mnt/SteamLibrary/SteamApps/common/the sims legacy collection/GameData/Skins");
  ExpectFolder(FindLegacyCollection({steam_}, {}), library / "SteamApps/common/the sims legacy collection");
}

TEST_F(FindLegacyCollectionTest, FindsTheGameInTheSteamFolderItself) {
  root_.MakeFolder("home/.local/share/Steam/steamapps/common/The Sims Legacy Collection");
  ExpectFolder(FindLegacyCollection({root_.path() / "missing", steam_}, {}),
               steam_ / "steamapps/common/The Sims Legacy Collection");
}

TEST_F(FindLegacyCollectionTest, SteamBeforeTheEaApp) {
  const fs::path ea = root_.MakeFolder("Program Files/EA Games");
  root_.MakeFolder("Program Files/EA Games/The Sims Legacy");
  ExpectFolder(FindLegacyCollection({steam_}, {root_.path() / "nowhere", ea}), ea / "The Sims Legacy");
  root_.MakeFolder("home/.local/share/Steam/steamapps/common/The Sims Legacy Collection");
  ExpectFolder(FindLegacyCollection({steam_}, {ea}), steam_ / "steamapps/common/The Sims Legacy Collection");
}

TEST_F(FindLegacyCollectionTest, NothingWhenNoFolderHoldsTheGame) {
  root_.WriteFile("home/.local/share/Steam/steamapps/common/The Sims Legacy Collection", "a file");
  root_.WriteFile("home/.local/share/Steam/steamapps/libraryfolders.vdf", "\"libraryfolders\" { \"0\" { \"path\" \"/nonexistent\" } }");
  EXPECT_EQ(FindLegacyCollection({steam_}, {root_.path()}), std::nullopt);
  EXPECT_EQ(FindLegacyCollection({}, {}), std::nullopt);
}

}  // namespace
}  // namespace tailorloft::env
