// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/suit_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/fold_case.h"
#include "core/utf8.h"
#include "game/read_error.h"
#include "game/texture_names.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

namespace fs = std::filesystem;
using testing::BmfBytes;
using testing::BmpBytes;
using testing::BoxMesh;
using testing::CmxSkeletonText;
using testing::SknText;

// The game as the check sees it: the suit's own folder on disk, then one
// archive "game.far" held in memory, and the game's skeletons and suits, in
// the archive and loose in its skin folders.
class TestGame final : public GameFiles {
 public:
  std::vector<std::pair<std::string, std::string>> entries;
  std::vector<FoundSkeletons> skeletons;
  std::vector<FoundSuit> suits;
  std::vector<FoundFile> looseSuits;

  std::optional<FoundFile> FindMesh(const fs::path& folder, char type, std::string_view name) override {
    for (const char* extension : {".skn", ".bmf"}) {
      if (auto file = Loose(folder, std::string(name) + extension)) return file;
    }
    for (const char* extension : {".skn", ".bmf"}) {
      if (auto file = FindFile({}, type, std::string(name) + extension)) return file;
    }
    return std::nullopt;
  }

  std::optional<FoundFile> FindFile(const fs::path& folder, char, std::string_view title) override {
    if (auto file = Loose(folder, title)) return file;
    for (const auto& [name, bytes] : entries) {
      if (EqualsIgnoringCase(name, title)) return FoundFile{"game.far", name, 16, bytes.size()};
    }
    return std::nullopt;
  }

  std::vector<FoundFile> PairedTextures(const fs::path& folder, char type, std::string_view code) override {
    std::map<std::string, FoundFile> byName;
    for (const auto& entry : fs::directory_iterator(folder)) {
      const std::string name = Utf8FromPath(entry.path().filename());
      if (PairsWith(name, code)) byName.try_emplace(FoldedKey(name), *Loose(folder, name));
    }
    for (const auto& [name, bytes] : entries) {
      if (PairsWith(name, code)) byName.try_emplace(FoldedKey(name), *FindFile({}, type, name));
    }
    std::vector<FoundFile> found;
    for (auto& [key, file] : byName) found.push_back(file);
    return found;
  }

  std::string Read(const FoundFile& file, std::size_t maxBytes) override {
    ++reads;
    if (file.InArchive()) {
      for (const auto& [name, bytes] : entries) {
        if (name == file.entry) return bytes.substr(0, maxBytes);
      }
    }
    std::ifstream in(file.path, std::ios::binary);
    if (!in) throw GameFileError(file.Shown(), 0, kNoOffset, "it cannot be opened");
    std::string bytes(maxBytes, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(maxBytes));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
  }

  const std::vector<FoundSkeletons>& GameSkeletons() override { return skeletons; }
  const std::vector<FoundSuit>& ArchiveSuits() override { return suits; }
  std::vector<FoundFile> GameSuitFiles() override { return looseSuits; }
  std::vector<GameFileProblem> Problems() override { return {}; }

  int reads = 0;

 private:
  static std::optional<FoundFile> Loose(const fs::path& folder, std::string_view title) {
    if (folder.empty()) return std::nullopt;
    for (const auto& entry : fs::directory_iterator(folder)) {
      if (entry.is_regular_file() && EqualsIgnoringCase(Utf8FromPath(entry.path().filename()), title)) {
        return FoundFile{entry.path(), "", 0, static_cast<std::uint64_t>(entry.file_size())};
      }
    }
    return std::nullopt;
  }
};

std::string Cmx(const std::string& suitName, const std::string& mainBone, const std::string& mainSkin,
                const std::vector<std::pair<std::string, std::string>>& accessories = {}) {
  std::string cmx = "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\n" + suitName +
                    "\r\n0\r\n0\r\n" + std::to_string(accessories.size() + 1) + "\r\n" + mainBone + "\r\n" +
                    mainSkin + "\r\n0\r\n0\r\n";
  for (const auto& [bone, skin] : accessories) cmx += bone + "\r\n" + skin + "\r\n0\r\n0\r\n";
  return cmx + "0\r\n";
}

// A body suit with a hat, as a creator ships it: the suit file, its two
// meshes, the hat's texture and a texture for each skin tone.
constexpr const char* kSuit = "skins/B001FAFit_Test.cmx";
constexpr const char* kBody = "skins/xskin-B001FAFit_Test-PELVIS-BODY.skn";
constexpr const char* kHat = "skins/acc-hat-HEAD-red.skn";
constexpr const char* kHatTexture = "skins/acc-hat-red.bmp";
constexpr const char* kLight = "skins/B001FAFitlgt_Test.bmp";
constexpr const char* kMedium = "skins/B001FAFitmed_Test.bmp";
constexpr const char* kDark = "skins/B001FAFitdrk_Test.bmp";

Mesh Body() {
  Mesh mesh = testing::BlendedMesh();
  mesh.name = "xskin-B001FAFit_Test-PELVIS-BODY";
  return mesh;
}
Mesh Hat() { return BoxMesh("acc-hat-HEAD-red", "acc-hat-red", "HEAD"); }

using Files = std::map<std::string, std::optional<std::string>>;  // nullopt: no such file

Files Shipped() {
  return {
      {kSuit, Cmx("B001FAFit_Test", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY", {{"HEAD", "acc-hat-HEAD-red"}})},
      {kBody, SknText(Body())},
      {kHat, SknText(Hat())},
      {kHatTexture, BmpBytes(32, 32, 8)},
      {kLight, BmpBytes(64, 64, 8)},
      {kMedium, BmpBytes(64, 64, 8)},
      {kDark, BmpBytes(64, 64, 8)},
  };
}

template <typename Change>
std::string Changed(Mesh mesh, Change change) {
  change(mesh);
  return SknText(mesh);
}

Skeleton DogSkeleton() {
  Skeleton dog;
  dog.name = "dog";
  dog.bones = {{"ROOT", "", {0, 1, 0}, {0, 0, 0, 1}, 0}, {"TAIL", "ROOT", {0, 0, -1}, {0, 0, 0, 1}, 0}};
  return dog;
}

BcfSuit GameSuit(const std::string& name) { return {name, 0, {{"PELVIS", "xskin-game-PELVIS-BODY", 0}}}; }

struct CheckCase {
  const char* name;
  Files changes;                      // over Shipped()
  std::vector<std::string> expected;  // "FILE:LINE severity code", in order
  std::string fragment = {};          // in one of the messages
  std::vector<std::pair<std::string, std::string>> archive = {};
  std::vector<BcfSuit> gameSuits = {};
  std::vector<std::string> paths = {"skins"};
  bool gameSkeleton = false;  // the game has a dog skeleton
  std::vector<std::string> gameSkinFolder = {};  // files of `changes` loose in the game's skin folder
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.name; }

class CheckTest : public ::testing::TestWithParam<CheckCase> {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("tailorloft-suit-check-" + std::to_string(random()));
    fs::create_directories(folder_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(folder_, ec);
  }

  void Write(const Files& files) const {
    for (const auto& [name, bytes] : files) {
      if (!bytes) continue;
      const fs::path path = folder_ / PathFromUtf8(name);
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << *bytes;
    }
  }

  CheckResult Check(const std::vector<std::string>& paths, TestGame& game,
                    FileSystem& fileSystem = RealFileSystem()) const {
    std::vector<fs::path> given;
    for (const std::string& path : paths) given.push_back(PathFromUtf8(path));
    return CheckSuits(given, folder_, game, fileSystem);
  }

  fs::path folder_;
};

// "FILE:LINE severity code" with "/" between folders on every platform.
std::vector<std::string> Summary(const CheckResult& result) {
  std::vector<std::string> lines;
  for (const Finding& f : result.findings) {
    std::string file = f.file;
    std::replace(file.begin(), file.end(), '\\', '/');
    lines.push_back(file + ":" + std::to_string(f.line) + " " +
                    (f.severity == Severity::kError ? "error" : "warning") + " " + f.code);
  }
  return lines;
}

std::string Messages(const CheckResult& result) {
  std::string text;
  for (const Finding& f : result.findings) text += f.message + "\n";
  return text;
}

TEST_P(CheckTest, FindsExactlyWhatIsWrong) {
  const CheckCase& c = GetParam();
  Files files = Shipped();
  for (const auto& [name, bytes] : c.changes) files[name] = bytes;
  Write(files);
  TestGame game;
  game.entries = c.archive;
  for (const BcfSuit& suit : c.gameSuits) game.suits.push_back({{"game.far", "suits.bcf", 16, 0}, suit});
  if (c.gameSkeleton) game.skeletons.push_back({{"game.far", "dog.cmx.bcf", 16, 0}, {DogSkeleton()}});
  for (const std::string& name : c.gameSkinFolder) {
    const fs::path path = folder_ / PathFromUtf8(name);
    game.looseSuits.push_back({path, "", 0, fs::file_size(path)});
  }

  const CheckResult result = Check(c.paths, game);
  EXPECT_EQ(Summary(result), c.expected) << Messages(result);
  EXPECT_NE(Messages(result).find(c.fragment), std::string::npos) << Messages(result);
}

const CheckCase kCases[] = {
    {"Shipped", {}, {}},
    // unreadable
    {"SuitFileHoldingAMesh", {{"skins/B002FAFit_Odd.cmx", SknText(Hat())}},
     {"skins/B002FAFit_Odd.cmx:0 error unreadable"}, "the file is a mesh, not a suit file"},
    {"BrokenSuitFile", {{kSuit, Cmx("B001FAFit_Test", "PELVIS", "x").replace(50, 1, "X")}},
     {"skins/B001FAFit_Test.cmx:2 error unreadable"}, "found \"verXion 300\""},
    {"HostileCountInMesh", {{kBody, "xskin-B001FAFit_Test-PELVIS-BODY\r\nx\r\n1\r\nPELVIS\r\n4000000000\r\n"}},
     {"skins/xskin-B001FAFit_Test-PELVIS-BODY.skn:6 error unreadable"}, "of 4000000000"},
    {"BrokenTextureHeader", {{kHatTexture, std::string("BM\x10\0\0\0", 6)}},
     {"skins/acc-hat-red.bmp:0 error unreadable"}},
    {"PathsNotThere", {}, {"nowhere.cmx:0 error unreadable"}, "no such file or folder", {}, {}, {"skins", "nowhere.cmx"}},
    {"GivenFileOfNoKind", {{"notes.txt", "a suit for my sister"}}, {"notes.txt:0 error unreadable"},
     "not a file of the game", {}, {}, {"skins", "notes.txt"}},
    // missing-mesh
    {"AccessoryMeshMissing", {{kHat, std::nullopt}},
     {"skins/B001FAFit_Test.cmx:14 error missing-mesh", "skins/acc-hat-red.bmp:0 warning unused"},
     "put \"acc-hat-HEAD-red.skn\" beside the suit"},
    {"AccessoryMeshInTheGame", {{kHat, std::nullopt}}, {}, {}, {{"acc-hat-HEAD-red.bmf", BmfBytes(Hat())}}},
    // The game's own meshes are read as loose ones are; a fault in one is a warning.
    {"ArchivedMeshChecked", {{kHat, std::nullopt}},
     {"game.far/acc-hat-HEAD-red.bmf:0 warning mesh-structure", "game.far/acc-hat-HEAD-red.bmf:0 warning unknown-bone"},
     "at byte", {{"acc-hat-HEAD-red.bmf", BmfBytes([] {
                   Mesh mesh = BoxMesh("acc-hat-HEAD-red", "acc-hat-red", "TAIL");
                   mesh.faces[0].c = 99;
                   return mesh;
                 }())}}},
    {"ArchivedMainMeshInvisible", {{kBody, std::nullopt}},
     {"game.far/xskin-B001FAFit_Test-PELVIS-BODY.skn:1 warning mesh-name"}, "ends in \".skn\"",
     {{"xskin-B001FAFit_Test-PELVIS-BODY.skn",
       Changed(Body(), [](Mesh& m) { m.name = "xskin-B001FAFit_Test-PELVIS-BODY.skn"; })}}},
    {"ArchivedMeshUnreadable", {{kHat, std::nullopt}},
     {"game.far/acc-hat-HEAD-red.bmf:0 warning unreadable", "skins/acc-hat-red.bmp:0 warning unused"}, {},
     {{"acc-hat-HEAD-red.bmf", "not a mesh"}}},
    {"AccessoryMeshInASubfolder", {{kHat, std::nullopt}, {"skins/old/acc-hat-HEAD-red.skn", SknText(Hat())}},
     {"skins/B001FAFit_Test.cmx:14 error missing-mesh", "skins/acc-hat-red.bmp:0 warning unused",
      "skins/old:0 warning wrong-folder"},
     "but the game reads no subfolder"},
    // unknown-bone
    {"SuitBoneNoSkeletonHas",
     {{kSuit, Cmx("B001FAFit_Test", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY", {{"L_PAW", "acc-hat-HEAD-red"}})}},
     {"skins/B001FAFit_Test.cmx:13 error unknown-bone"}, "\"L_PAW\" is not a bone"},
    {"MeshBoneNoSkeletonHas", {{kHat, SknText(BoxMesh("acc-hat-HEAD-red", "acc-hat-red", "TAIL"))}},
     {"skins/acc-hat-HEAD-red.skn:4 error unknown-bone"}, "the bone \"TAIL\""},
    {"MeshBoneOfALooseSkeleton",
     {{kHat, SknText(BoxMesh("acc-hat-HEAD-red", "acc-hat-red", "TAIL"))},
      {"skins/dog-skeleton.cmx", CmxSkeletonText({DogSkeleton()})}},
     {}},
    {"SkeletonBoneWithoutParent",
     {{"skins/dog-skeleton.cmx", CmxSkeletonText({[] {
         Skeleton dog = DogSkeleton();
         dog.bones[1].parent = "BODY";
         return dog;
       }()})}},
     {"skins/dog-skeleton.cmx:16 error unknown-bone"}, "hangs on \"BODY\""},
    {"MeshBoneOfAGameSkeleton", {{kHat, SknText(BoxMesh("acc-hat-HEAD-red", "acc-hat-red", "TAIL"))}}, {}, {}, {},
     {}, {"skins"}, true},
    // main-bone
    {"BodyOnTheHead",
     {{kSuit, Cmx("B001FAFit_Test", "HEAD", "xskin-B001FAFit_Test-PELVIS-BODY", {{"HEAD", "acc-hat-HEAD-red"}})}},
     {"skins/B001FAFit_Test.cmx:9 warning main-bone"}, "is named as a body but is bound to HEAD"},
    // mesh-structure
    {"FaceNamesNoVertex", {{kBody, Changed(Body(), [](Mesh& m) { m.faces[1].c = 99; })}},
     {"skins/xskin-B001FAFit_Test-PELVIS-BODY.skn:8 error mesh-structure"}, "99"},
    {"ManyFaultsInOneMesh", {{kHat, Changed(Hat(), [](Mesh& m) {
                                for (MeshFace& face : m.faces) face.c = 99;
                              })}},
     // A few in full, then how many more: a broken mesh does not flood the report.
     {"skins/acc-hat-HEAD-red.skn:6 error mesh-structure", "skins/acc-hat-HEAD-red.skn:7 error mesh-structure",
      "skins/acc-hat-HEAD-red.skn:8 error mesh-structure", "skins/acc-hat-HEAD-red.skn:9 error mesh-structure",
      "skins/acc-hat-HEAD-red.skn:10 error mesh-structure", "skins/acc-hat-HEAD-red.skn:11 error mesh-structure"},
     "and 7 more faces"},
    // mesh-name
    {"MeshNames",
     {{kHat, SknText(BoxMesh("acc-hat-HEAD-red.skn", "acc-hat-red.bmp", "HEAD"))},
      {kBody, Changed(Body(), [](Mesh& m) {
         m.name = "body";
         m.texture = "unused-by-the-game.bmp";
       })}},
     {"skins/acc-hat-HEAD-red.skn:1 error mesh-name", "skins/acc-hat-HEAD-red.skn:2 error mesh-name",
      "skins/xskin-B001FAFit_Test-PELVIS-BODY.skn:1 warning mesh-name"},
     "makes the mesh invisible"},
    // suit-name
    {"SuitNamedOtherwise",
     {{kSuit, Cmx("B001FAFit_TestX", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY", {{"HEAD", "acc-hat-HEAD-red"}})}},
     {"skins/B001FAFit_Test.cmx:5 error suit-name"}, "\"B001FAFit_TestX\""},
    {"SuitNameInOtherCase",
     {{kSuit, Cmx("b001fafit_test", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY", {{"HEAD", "acc-hat-HEAD-red"}})}},
     {}},
    // missing-texture
    {"NoTextureAtAll", {{kLight, std::nullopt}, {kMedium, std::nullopt}, {kDark, std::nullopt}},
     {"skins/B001FAFit_Test.cmx:5 error missing-texture"}, "\"B001FAFitdrk_NAME.bmp\""},
    {"TonesMissing", {{kMedium, std::nullopt}, {kDark, std::nullopt}},
     {"skins/B001FAFit_Test.cmx:5 warning missing-texture"}, "no texture for the medium and dark skin tones"},
    {"TextureInTheGame", {{kDark, std::nullopt}}, {}, {}, {{"B001FAFitdrk_Game.bmp", BmpBytes(64, 64, 8)}}},
    {"AccessoryTextureX", {{kHat, SknText(BoxMesh("acc-hat-HEAD-red", "x", "HEAD"))}},
     {"skins/acc-hat-HEAD-red.skn:2 warning missing-texture", "skins/acc-hat-red.bmp:0 warning unused"},
     "grey X"},
    {"AccessoryTextureMissing", {{kHatTexture, std::nullopt}},
     {"skins/acc-hat-HEAD-red.skn:2 error missing-texture"}, "\"acc-hat-red.bmp\""},
    {"MainMeshTextureNotChecked", {{kBody, Changed(Body(), [](Mesh& m) { m.texture = "nowhere"; })}}, {}},
    // texture-format
    {"TextureFormats",
     {{kLight, BmpBytes(64, 64, 24)},
      {kMedium, BmpBytes(64, 64, 8, 1)},
      {kDark, BmpBytes(64, 32, 8)},
      {kHatTexture, "\x89PNG\r\n\x1A\n"}},
     {"skins/B001FAFitdrk_Test.bmp:0 warning texture-format", "skins/B001FAFitlgt_Test.bmp:0 error texture-format",
      "skins/B001FAFitmed_Test.bmp:0 error texture-format", "skins/acc-hat-red.bmp:0 error texture-format"},
     "a PNG picture, not a BMP"},
    // id-clash
    {"TwoSuitsOneCode",
     {{"skins/B001FAFit_Other.cmx",
       Cmx("B001FAFit_Other", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY", {{"HEAD", "acc-hat-HEAD-red"}})}},
     {"skins/B001FAFit_Other.cmx:0 warning id-clash", "skins/B001FAFit_Test.cmx:0 warning id-clash"},
     "also the code of \"B001FAFit_Other\""},
    {"CodeOfAGameSuit", {}, {"skins/B001FAFit_Test.cmx:0 warning id-clash"}, "the game's \"B001FAFit_Game\"", {},
     {GameSuit("B001FAFit_Game")}},
    // wrong-folder
    {"SoldOutfitInSkins",
     {{"skins/L001FAFit_Shop.cmx", Cmx("L001FAFit_Shop", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY")},
      {"skins/L001FAFitlgt_Shop.bmp", BmpBytes(64, 64, 8)},
      {"skins/L001FAFitmed_Shop.bmp", BmpBytes(64, 64, 8)},
      {"skins/L001FAFitdrk_Shop.bmp", BmpBytes(64, 64, 8)}},
     {"skins/L001FAFit_Shop.cmx:0 warning wrong-folder"}, "ExpansionShared/SkinsBuy"},
    {"SuitInASubfolder", {{"skins/backup/B001FAFit_Test.cmx", Cmx("B001FAFit_Test", "PELVIS", "x")}},
     {"skins/backup:0 warning wrong-folder"}, "the 1 suit file here is not used"},
    // unused
    {"StrayFiles",
     {{"skins/stray.skn", SknText(BoxMesh("stray", "x", "HEAD"))},
      {"skins/B009FAFitlgt_Stray.bmp", BmpBytes(64, 64, 8)},
      {"skins/C009FAlgt_Game.bmp", BmpBytes(64, 64, 8)}},
     {"skins/B009FAFitlgt_Stray.bmp:0 warning unused", "skins/stray.skn:0 warning unused"},
     "no suit here or in the game uses this mesh", {}, {GameSuit("C009FA_Game")}},
    {"StrayFilesUsedByALooseSuitOfTheGame",
     {{"skins/stray.skn", SknText(BoxMesh("stray", "x", "HEAD"))},
      {"skins/B009FAFitlgt_Stray.bmp", BmpBytes(64, 64, 8)},
      {"skins/acc-stray-red.bmp", BmpBytes(32, 32, 8)},
      {"game/B009FAFit_Stray.cmx", Cmx("B009FAFit_Stray", "PELVIS", "stray", {{"HEAD", "acc-stray"}})},
      {"game/acc-stray.skn", SknText(BoxMesh("acc-stray", "acc-stray-red", "HEAD"))}},
     {}, {}, {}, {}, {"skins"}, false, {"game/B009FAFit_Stray.cmx"}},
    // empty-suit
    {"SuitWithoutSkins",
     {{kSuit, "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n1\r\nB001FAFit_Test\r\n0\r\n0\r\n"
              "0\r\n0\r\n"}},
     {"skins/B001FAFit_Test.cmx:8 warning empty-suit", "skins/acc-hat-HEAD-red.skn:0 warning unused",
      "skins/xskin-B001FAFit_Test-PELVIS-BODY.skn:0 warning unused"}},
};

INSTANTIATE_TEST_SUITE_P(SuitCheck, CheckTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(CheckTest, CountsEachFileOnceAndReadsEachOnce) {
  Write(Shipped());
  TestGame game;
  // The folder and its suit file given both: still one check of each file.
  const CheckResult result = Check({"skins", kSuit, "skins/"}, game);
  EXPECT_EQ(Summary(result), std::vector<std::string>{});
  EXPECT_EQ(result.files, 7u);
  EXPECT_EQ(game.reads, 7);
}

// A FIFO or a device where a file was expected is never opened, a file
// larger than its kind ever is is not read, and a name's control
// characters never reach a message raw.
TEST_F(CheckTest, HostileFilesAreRefusedUnread) {
  Files files = Shipped();
  files[kSuit] = Cmx("B001FAFit\x1BTest", "PELVIS", "xskin-B001FAFit_Test-PELVIS-BODY", {{"HEAD", "acc-hat-HEAD-red"}});
  Write(files);
  std::ofstream(folder_ / "skins/huge.skn", std::ios::binary) << "xskin";
#ifdef _WIN32
  const std::uintmax_t huge = (std::uintmax_t{16} << 20) + 1;
#else
  const std::uintmax_t huge = std::uintmax_t{2} << 30;  // sparse: no disk space taken
#endif
  fs::resize_file(folder_ / "skins/huge.skn", huge);

  // A FIFO called pipe.cmx, and the device given as a suit file.
  class Fifos final : public ForwardingFileSystem {
   public:
    fs::file_status Status(const fs::path& path, std::error_code& ec) override {
      if (path.filename() == "pipe.cmx" || path.filename() == "tty.cmx") {
        ec.clear();
        return fs::file_status(path.filename() == "tty.cmx" ? fs::file_type::character : fs::file_type::fifo);
      }
      return ForwardingFileSystem::Status(path, ec);
    }
    std::vector<FolderEntry> List(const fs::path& folder, const std::function<bool(const fs::path&)>& wanted,
                                  std::error_code& ec) override {
      std::vector<FolderEntry> entries = ForwardingFileSystem::List(folder, wanted, ec);
      if (folder.filename() == "skins") entries.push_back({"pipe.cmx", fs::file_type::fifo, {}});
      return entries;
    }
  } fifos;

  TestGame game;
  const CheckResult result = Check({"skins", "tty.cmx"}, game, fifos);
  EXPECT_EQ(Summary(result), (std::vector<std::string>{
                                 "skins/B001FAFit_Test.cmx:5 error unreadable",
                                 "skins/huge.skn:0 error unreadable",
                                 "skins/pipe.cmx:0 error unreadable",
                                 "tty.cmx:0 error unreadable",
                             }));
  const std::string messages = Messages(result);
  EXPECT_NE(messages.find("\"B001FAFit\\x1BTest\""), std::string::npos) << messages;
  EXPECT_EQ(messages.find('\x1B'), std::string::npos);
  EXPECT_NE(messages.find("a FIFO (a named pipe), not a file"), std::string::npos) << messages;
  EXPECT_NE(messages.find("a device, not a file"), std::string::npos) << messages;
  EXPECT_NE(messages.find("it was not read"), std::string::npos) << messages;
  EXPECT_EQ(game.reads, 7);  // the shipped files, and nothing of the refused ones
}

TEST(OutfitFolderTest, EachKindOfOutfitInItsOwnFolder) {
  const struct {
    const char* code;
    const char* folder;
    bool wrong;
  } cases[] = {
      {"B001FAFit", "Skins", false}, {"C001FA", "skins", false},    {"L001FAFit", "SkinsBuy", false},
      {"h001FA", "SKINSBUY", false}, {"L001FAFit", "Skins", true},  {"w001FA", "skins", true},
      {"B001FAFit", "SkinsBuy", true}, {"c001FA", "skinsbuy", true}, {"B001FAFit", "Downloads", false},
      {"X001", "Skins", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OutfitFolderFindings(c.code, c.folder, "f").size(), c.wrong ? 1u : 0u) << c.code << " in " << c.folder;
  }
}

// On Windows two such names cannot be made, so the rule is tried on names alone.
TEST(CaseClashTest, NamesEqualIgnoringCaseAreOneFileOnWindows) {
  const std::vector<Finding> findings =
      CaseClashFindings("skins", {"b1.cmx", "B1.CMX", "B1.cmx", "hat.skn", "Ärmel.bmp", "ärmel.bmp"});
  std::vector<std::string> summary;
  for (const Finding& f : findings) summary.push_back(f.file + " | " + f.message);
  const std::string in = Utf8FromPath(fs::path("skins") / "");
  EXPECT_EQ(summary, (std::vector<std::string>{
                         in + "B1.cmx | \"B1.cmx\" and \"B1.CMX\" differ only in letter case: on Windows they "
                              "are one file, and the game sees only one of them; remove or rename one",
                         in + "b1.cmx | \"b1.cmx\" and \"B1.CMX\" differ only in letter case: on Windows they "
                              "are one file, and the game sees only one of them; remove or rename one",
                         in + "ärmel.bmp | \"ärmel.bmp\" and \"Ärmel.bmp\" differ only in letter case: on "
                              "Windows they are one file, and the game sees only one of them; remove or "
                              "rename one",
                     }));
}

}  // namespace
}  // namespace tailorloft::game
