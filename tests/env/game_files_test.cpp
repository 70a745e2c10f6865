// SPDX-License-Identifier: GPL-3.0-or-later
#include "env/game_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "core/fold_case.h"
#include "core/utf8.h"
#include "game/far.h"
#include "game/read_error.h"
#include "temp_folder.h"
#include "tests/game/game_test_files.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tailorloft::env {
namespace {

namespace fs = std::filesystem;
using game::FoundFile;
using game::testing::FarBytes;
using testing::TempFolder;

FoundFile Loose(const fs::path& path) {
  FoundFile file;
  file.path = path;
  return file;
}

// Windows keeps a folder in the spelling it was asked for, where other
// systems give the spelling on disk.
bool SameName(const std::string& shown, const std::string& expected) {
#ifdef _WIN32
  return EqualsIgnoringCase(shown, expected);
#else
  return shown == expected;
#endif
}

// A game folder "The Sims" and a folder of suits beside it.
class GameFilesTest : public ::testing::Test {
 protected:
  fs::path Game() const { return root_.path() / "The Sims"; }
  fs::path Suits() const { return root_.path() / "suits"; }

  // A finding's name with the temporary folder taken off: "The Sims/GameData/x.far/e.bmf".
  std::string Shown(const std::string& shown) const {
    const std::string prefix = Utf8FromPath(root_.path().generic_u8string()) + "/";
    return shown.starts_with(prefix) ? shown.substr(prefix.size()) : shown;
  }
  std::string Shown(const std::optional<FoundFile>& file) const { return file ? Shown(file->Shown()) : ""; }

  TempFolder root_;
};

TEST(GameFolderTest, LooksForGameData) {
  TempFolder root;
  root.MakeFolder("cd/GAMEDATA");
  root.MakeFolder("legacy/GameData/Skins");
  root.MakeFolder("skins-only/Skins");
  root.WriteFile("file-not-folder/GameData", "");
  EXPECT_TRUE(LooksLikeGameFolder(root.path() / "cd"));
  EXPECT_TRUE(LooksLikeGameFolder(root.path() / "legacy"));
  EXPECT_FALSE(LooksLikeGameFolder(root.path() / "skins-only"));
  EXPECT_FALSE(LooksLikeGameFolder(root.path() / "file-not-folder"));
  EXPECT_FALSE(LooksLikeGameFolder(root.path() / "missing"));
  EXPECT_FALSE(LooksLikeGameFolder({}));
}

TEST_F(GameFilesTest, SearchesTheSuitsFolderThenTheSkinFolderThenTheArchives) {
  root_.WriteFile("suits/own.skn", "");
  root_.WriteFile("suits/Both.bmf", "");
  root_.WriteFile("suits/both.SKN", "");
  root_.WriteFile("The Sims/GameData/SKINS/own.skn", "");
  root_.WriteFile("The Sims/GameData/SKINS/cas.bmf", "");
  root_.WriteFile("The Sims/GameData/SKINS/adult-skeleton.cmx.bcf", "");
  root_.WriteFile("The Sims/ExpansionShared/SkinsBuy/cas.bmf", "");
  root_.WriteFile("The Sims/ExpansionShared/SkinsBuy/sold.skn", "");
  root_.MakeFolder("The Sims/GameData/SKINS/sub.skn");  // a folder is no mesh
  // Path order, names ignoring case: "a.far" before "B.FAR", and a folder's
  // archives where its name sorts among the files.
  root_.WriteFile("The Sims/ExpansionShared/ExpansionShared.far", FarBytes({{"late.bmf", "x"}}));
  root_.WriteFile("The Sims/GameData/broken.far", "FAR!byAZ but nothing more");
  root_.WriteFile("The Sims/GameData/Objects/B.FAR",
                  FarBytes({{"first.bmf", "b"}, {"arch.skn", "b"}, {"sub.skn", "b"}, {"late.skn", "b"}}));
  root_.WriteFile("The Sims/GameData/Objects/a.far",
                  FarBytes({{"First.BMF", "a"}, {"arch.bmf", "a"}, {"Skins\\nested.bmf", "a"}, {"first.bmf", "2"}}));
  root_.WriteFile("The Sims/GameData/skins.far",
                  FarBytes({{"cas.skn", "s"}, {"sold.bmf", "s"}, {"last.bmf", "s"}, {"Ärmel-Café.bmf", "s"}}));

  EXPECT_EQ(GameArchives(Game()), (std::vector<fs::path>{
                                      Game() / "ExpansionShared/ExpansionShared.far",
                                      Game() / "GameData/broken.far",
                                      Game() / "GameData/Objects/a.far",
                                      Game() / "GameData/Objects/B.FAR",
                                      Game() / "GameData/skins.far",
                                  }));

  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());
  const struct {
    char type;
    const char* mesh;
    const char* found;
  } cases[] = {
      {'B', "own", "suits/own.skn"},
      {'B', "BOTH", "suits/both.SKN"},  // .skn before .bmf in one place
      {'B', "cas", "The Sims/GameData/SKINS/cas.bmf"},
      {'C', "cas", "The Sims/GameData/SKINS/cas.bmf"},
      {'L', "cas", "The Sims/ExpansionShared/SkinsBuy/cas.bmf"},
      {'H', "sold", "The Sims/ExpansionShared/SkinsBuy/sold.skn"},
      {'B', "sold", "The Sims/GameData/skins.far/sold.bmf"},  // SkinsBuy is not searched for type B
      {'B', "first", "The Sims/GameData/Objects/a.far/First.BMF"},
      {'B', "ARCH", "The Sims/GameData/Objects/a.far/arch.bmf"},  // an earlier archive's .bmf beats a later .skn
      {'B', "nested", "The Sims/GameData/Objects/a.far/Skins\\nested.bmf"},
      {'B', "sub", "The Sims/GameData/Objects/B.FAR/sub.skn"},
      {'B', "late", "The Sims/ExpansionShared/ExpansionShared.far/late.bmf"},
      {'B', "last", "The Sims/GameData/skins.far/last.bmf"},  // after the broken archive
      {'B', "äRMEL-CAFÉ", "The Sims/GameData/skins.far/Ärmel-Café.bmf"},  // stored in Windows-1252
      {'B', "none", ""},
  };
  for (const auto& c : cases) {
    EXPECT_PRED2(SameName, Shown(files->FindMesh(Suits(), c.type, c.mesh)), c.found) << c.type << " " << c.mesh;
  }
  EXPECT_PRED2(SameName, Shown(files->FindFile(Suits(), 'B', "ADULT-SKELETON.CMX.BCF")),
               "The Sims/GameData/SKINS/adult-skeleton.cmx.bcf");

  const std::optional<FoundFile> first = files->FindMesh(Suits(), 'B', "first");
  ASSERT_TRUE(first);
  EXPECT_EQ(first->size, 1u);
  EXPECT_EQ(files->Read(*first, 100), "a");

  ASSERT_EQ(files->Problems().size(), 1u);
  EXPECT_EQ(Shown(files->Problems()[0].file), "The Sims/GameData/broken.far");
}

TEST_F(GameFilesTest, PairsTexturesByCodeFirstPlaceWinning) {
  root_.WriteFile("suits/B300FASknlgt_Red.bmp", "");
  root_.WriteFile("suits/B300FASkn_Red.cmx", "");
  root_.WriteFile("suits/B301FASknlgt_Other.bmp", "");
  root_.WriteFile("The Sims/GameData/Skins/b300fasknLGT_red.bmp", "");
  root_.WriteFile("The Sims/GameData/Skins/B300FASknmed_Blue.bmp", "");
  root_.WriteFile("The Sims/ExpansionShared/SkinsBuy/B300FASkndrk_Sold.bmp", "");
  root_.WriteFile("The Sims/GameData/Skins.far", FarBytes({{"B300FASkndrk_Arch.bmp", "x"},
                                                           {"b300fasknmed_BLUE.bmp", "x"},
                                                           {"B300FASkn_Arch.bmp", "x"}}));
  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());
  std::vector<std::string> shown;
  for (const FoundFile& file : files->PairedTextures(Suits(), 'B', "b300faskn")) shown.push_back(Shown(file));
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "The Sims/GameData/Skins.far/B300FASkndrk_Arch.bmp",
                       "suits/B300FASknlgt_Red.bmp",
                       "The Sims/GameData/Skins/B300FASknmed_Blue.bmp",
                   }));
}

TEST_F(GameFilesTest, IndexesTheArchivesOnceAtFirstNeed) {
  root_.WriteFile("suits/here.skn", "");
  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());
  root_.WriteFile("The Sims/GameData/one.far", FarBytes({{"one.bmf", "1"}}));  // after opening: still seen
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "here")), "suits/here.skn");
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "one")), "The Sims/GameData/one.far/one.bmf");
  root_.WriteFile("The Sims/GameData/two.far", FarBytes({{"two.bmf", "2"}}));
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "two")), "");  // the index is made once a run
}

TEST_F(GameFilesTest, WithoutAGameSearchesOnlyTheSuitsFolder) {
  root_.WriteFile("suits/here.skn", "");
  root_.WriteFile("The Sims/GameData/Skins/there.skn", "");
  root_.WriteFile("The Sims/GameData/one.far", FarBytes({{"one.bmf", "1"}}));
  root_.WriteFile("The Sims/GameData/Skins/adult-skeleton.cmx",
                  game::testing::CmxSkeletonText({game::testing::AdultSkeleton()}));
  const std::unique_ptr<game::GameFiles> files = OpenGameFiles({});
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "here")), "suits/here.skn");
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "there")), "");
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "one")), "");
  EXPECT_TRUE(files->GameSkeletons().empty());
  EXPECT_TRUE(files->Problems().empty());

  // A suit given by a bare file name is in the current folder.
  const fs::path before = fs::current_path();
  fs::current_path(Suits());
  EXPECT_EQ(Shown(files->FindMesh({}, 'B', "here")), "here.skn");
  fs::current_path(before);
}

// Each broken archive is one problem, worded as the archive reader words it.
TEST_F(GameFilesTest, ReportsEachBrokenArchiveOnce) {
  std::string manifestOutside = FarBytes({{"a.bmf", "a"}});
  manifestOutside[12] = '\x7F';
  std::string entryOutside = FarBytes({{"a.bmf", "a"}});
  entryOutside[entryOutside.size() - 10] = '\x7F';  // the high byte of the entry's offset
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"short.far", "FAR!"},
      {"not-far.far", std::string(64, 'x')},
      {"manifest-outside.far", manifestOutside},
      {"entry-outside.far", entryOutside},
  };
  for (const auto& c : cases) root_.WriteFile(fs::path("The Sims/GameData") / c.name, c.bytes);
  root_.WriteFile("The Sims/GameData/zz-good.far", FarBytes({{"good.bmf", "g"}}));

  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "good")), "The Sims/GameData/zz-good.far/good.bmf");
  EXPECT_EQ(Shown(files->FindMesh(Suits(), 'B', "a")), "");
  std::vector<game::GameFileProblem> expected;
  for (const auto& c : cases) {
    const std::string shown = Loose(Game() / "GameData" / c.name).Shown();
    try {
      game::ReadFar(c.bytes, shown);
      ADD_FAILURE() << c.name << " reads";
    } catch (const game::GameFileError& e) {
      expected.push_back({shown, e.ProblemWithOffset()});
    }
  }
  std::sort(expected.begin(), expected.end(), [](const auto& a, const auto& b) { return a.file < b.file; });
  const std::vector<game::GameFileProblem> problems = files->Problems();
  ASSERT_EQ(problems.size(), expected.size());
  for (std::size_t i = 0; i < problems.size(); ++i) {
    EXPECT_EQ(problems[i].file, expected[i].file);
    EXPECT_EQ(problems[i].message, expected[i].message);
  }
  files->FindFile(Suits(), 'B', "other.bmp");
  files->ArchiveSuits();
  EXPECT_EQ(files->Problems().size(), expected.size());
}

TEST_F(GameFilesTest, ReadsNoMoreThanAskedAndRefusesWhatChanged) {
  root_.WriteFile("suits/mesh.skn", "0123456789");
#ifndef _WIN32
  ASSERT_EQ(::mkfifo((Suits() / "pipe.skn").c_str(), 0600), 0);
#endif
  const fs::path archive = root_.WriteFile("The Sims/GameData/a.far", FarBytes({{"one.bmf", "abcdef"}}));
  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());
  const std::optional<FoundFile> loose = files->FindMesh(Suits(), 'B', "mesh");
  const std::optional<FoundFile> entry = files->FindMesh(Suits(), 'B', "one");
  ASSERT_TRUE(loose && entry);
  EXPECT_EQ(files->Read(*loose, 4), "0123");
  EXPECT_EQ(files->Read(*loose, 100), "0123456789");
  EXPECT_EQ(files->Read(*entry, 4), "abcd");
  EXPECT_EQ(files->Read(*entry, 100), "abcdef");

  fs::resize_file(archive, 18);  // the entry's bytes cut short after indexing
  fs::remove(root_.path() / "suits/mesh.skn");
  const struct {
    FoundFile file;
    const char* problem;
  } cases[] = {
      {*entry, "the entry lies outside the archive, which is 18 bytes long"},
      {*loose, "the file does not exist"},
      {Loose(Suits()), "it is a folder"},
  };
  for (const auto& c : cases) {
    try {
      files->Read(c.file, 100);
      ADD_FAILURE() << c.file.Shown() << " reads";
    } catch (const game::GameFileError& e) {
      EXPECT_EQ(e.FileName(), c.file.Shown());
      EXPECT_EQ(e.Problem(), c.problem);
    }
  }
#ifndef _WIN32
  // Found as a file would be, and never waited on.
  const std::optional<FoundFile> pipe = files->FindMesh(Suits(), 'B', "pipe");
  ASSERT_TRUE(pipe);
  EXPECT_THROW(files->Read(*pipe, 100), game::GameFileError);
#endif
}

// The manifest at the end of an archive of about 4 GB: its bytes are never
// read, so this takes no time and no memory. File systems without sparse
// files would write 4 GB, so the case is skipped there.
TEST_F(GameFilesTest, IndexesALargeArchiveFromItsManifestAlone) {
  constexpr std::uint32_t kManifestAt = 0xF0000000u;
  const std::string small = FarBytes({{"huge.bmf", std::string(8, 'h')}});
  const std::string manifest = small.substr(16 + 8);
  std::string header = small.substr(0, 16);
  for (std::size_t i = 0; i < 4; ++i) header[12 + i] = static_cast<char>((kManifestAt >> (8 * i)) & 0xFF);
  const fs::path archive = root_.WriteFile("The Sims/GameData/huge.far", header);
  std::error_code ec;
  fs::resize_file(archive, kManifestAt, ec);
  if (ec) GTEST_SKIP() << "no sparse files here: " << ec.message();
  {
    std::ofstream out(archive, std::ios::binary | std::ios::app);
    out.write(manifest.data(), static_cast<std::streamsize>(manifest.size()));
  }
  const auto start = std::chrono::steady_clock::now();
  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());
  const std::optional<FoundFile> huge = files->FindMesh(Suits(), 'B', "huge");
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->offset, 16u);
  EXPECT_TRUE(files->Problems().empty());
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
}

TEST_F(GameFilesTest, ReadsTheGameSkeletonsAndArchivedSuitsOnce) {
  using game::testing::AdultSkeleton;
  game::Skeleton child = AdultSkeleton();
  child.name = "child";
  const game::BcfSuit suit{"b001fafat_01", 1, {{"PELVIS", "xskin-b001fafat_01-PELVIS-BODY", 0}}};
  root_.WriteFile("The Sims/GameData/Skins/adult-skeleton.cmx",
                  game::testing::CmxSkeletonText({AdultSkeleton()}));
  root_.WriteFile("The Sims/GameData/Skins/b001fafat_01.cmx", "");  // a suit: not read
  root_.WriteFile("The Sims/ExpansionShared/SkinsBuy/A001FAFit_shop.cmx", "");
  root_.WriteFile("The Sims/GameData/Skins/broken.bcf", "x");
  root_.WriteFile("The Sims/GameData/Skeletons.far",
                  FarBytes({{"child-skeleton.cmx.bcf", game::testing::BcfBytes({{child}, {}})},
                            {"suits.bcf", game::testing::BcfBytes({{}, {suit}})},
                            {"broken.bcf", "y"},
                            {"xskin.bmf", "not read"}}));
  const std::unique_ptr<game::GameFiles> files = OpenGameFiles(Game());

  const std::vector<game::FoundSkeletons>& skeletons = files->GameSkeletons();
  std::vector<std::string> shown;
  for (const game::FoundSkeletons& found : skeletons) {
    shown.push_back(Shown(found.file) + ": " + found.skeletons.at(0).name);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{
                       "The Sims/GameData/Skins/adult-skeleton.cmx: adult",
                       "The Sims/GameData/Skeletons.far/child-skeleton.cmx.bcf: child",
                   }));
  ASSERT_EQ(files->ArchiveSuits().size(), 1u);
  EXPECT_EQ(Shown(files->ArchiveSuits()[0].file), "The Sims/GameData/Skeletons.far/suits.bcf");
  EXPECT_EQ(files->ArchiveSuits()[0].suit, suit);

  // The loose suits are listed, skeleton files left out, and none is read.
  std::vector<std::string> suits;
  for (const FoundFile& file : files->GameSuitFiles()) suits.push_back(Shown(file));
  EXPECT_EQ(suits, (std::vector<std::string>{
                       "The Sims/GameData/Skins/b001fafat_01.cmx",
                       "The Sims/ExpansionShared/SkinsBuy/A001FAFit_shop.cmx",
                   }));

  files->GameSkeletons();
  std::vector<std::string> problems;
  for (const game::GameFileProblem& problem : files->Problems()) problems.push_back(Shown(problem.file));
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "The Sims/GameData/Skins/broken.bcf",
                          "The Sims/GameData/Skeletons.far/broken.bcf",
                      }));
}

}  // namespace
}  // namespace tailorloft::env
