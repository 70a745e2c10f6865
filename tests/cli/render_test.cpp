// SPDX-License-Identifier: GPL-3.0-or-later
// tailorloft-cli --render, run in-process on suits built here: the picture
// it writes, and what it refuses.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "env/picture_files.h"
#include "tests/env/temp_folder.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::cli {
namespace {

namespace fs = std::filesystem;
using game::testing::AdultSkeleton;
using game::testing::BmpBytes;
using game::testing::BoxMesh;
using game::testing::CmxSkeletonText;
using game::testing::SknText;

// An 8-bit BMP of one colour: palette entry 0, which every pixel uses.
std::string Plain(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::string bmp = BmpBytes(8, 8, 8);
  bmp[54] = static_cast<char>(blue);
  bmp[55] = static_cast<char>(green);
  bmp[56] = static_cast<char>(red);
  return bmp;
}

std::string Skin(const std::string& bone, const std::string& name) { return bone + "\r\n" + name + "\r\n0\r\n0\r\n"; }

// A suit record: name, two zeros, the skin count and the skins.
std::string SuitRecord(const std::string& name, const std::vector<std::string>& skins) {
  std::string record = name + "\r\n0\r\n0\r\n" + std::to_string(skins.size()) + "\r\n";
  for (const std::string& skin : skins) record += skin;
  return record;
}

std::string CmxOf(const std::vector<std::string>& suits) {
  std::string cmx = "// Character File. Copyright 1997, Maxis Inc.\r\nversion 300\r\n0\r\n" + std::to_string(suits.size()) + "\r\n";
  for (const std::string& suit : suits) cmx += suit;
  return cmx + "0\r\n";
}

constexpr const char* kSuit = "suits/B100MAFit_x.cmx";

struct Result {
  int exitCode;
  std::string err;
};

// A body on PELVIS in a blue paired texture and a ring on L_HAND in a red
// one named by its mesh, with the skeleton beside them; no game.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Write(kSuit, CmxOf({SuitRecord("B100MAFit_x", {Skin("PELVIS", "body"), Skin("L_HAND", "ring")})}));
    Write("suits/body.skn", SknText(BoxMesh("body", "x", "PELVIS")));
    Write("suits/ring.skn", SknText(BoxMesh("ring", "red", "L_HAND")));
    Write("suits/B100MAFitlgt_a.bmp", Plain(0, 0, 255));
    Write("suits/red.bmp", Plain(255, 0, 0));
    Write("suits/adult-skeleton.cmx", CmxSkeletonText({AdultSkeleton()}));
  }

  Result Run(std::vector<std::string> args, FileSystem& fileSystem = RealFileSystem()) {
    std::ostringstream out, err;
    const int exitCode = RunCli(args, folder_.path(), out, err, fileSystem, [] { return std::string("ERROR"); });
    EXPECT_EQ(out.str(), "");
    return {exitCode, err.str()};
  }

  void Write(const std::string& name, const std::string& bytes) const { folder_.WriteFile(name, bytes); }

  std::string Read(const std::string& name) const {
    std::ifstream file(folder_.path() / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.path())) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Suits() const { return (folder_.path() / "suits").generic_string() + "/"; }

  env::testing::TempFolder folder_;
};

// Where the picture is inked in a colour: the mean column of its opaque
// pixels whose `channel` is the largest, and how many there are.
struct Ink {
  double meanX = 0;
  int count = 0;
};
Ink InkOf(const render::Image& image, int channel) {
  Ink ink;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = &image.pixels[static_cast<std::size_t>((y * image.width + x) * 4)];
      if (p[3] != 255) continue;
      const bool wins = channel < 0 ? (p[0] == p[1] && p[1] == p[2])
                                    : p[channel] > p[(channel + 1) % 3] + 40 && p[channel] > p[(channel + 2) % 3] + 40;
      if (!wins) continue;
      ink.meanX += x;
      ++ink.count;
    }
  }
  if (ink.count > 0) ink.meanX /= ink.count;
  return ink;
}

TEST_F(RenderTest, DrawsTheSuitFromTheFrontOnATransparentBackground) {
  Write("old.png", "not yet a picture");
  const Result result = Run({"--render", kSuit, "-o", "old.png", "--size", "96x64"});
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "");
  const std::optional<render::Image> picture = env::DecodePicture(Read("old.png"));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->width, 96);
  EXPECT_EQ(picture->height, 64);
  EXPECT_EQ(picture->pixels[3], 0);  // the corner
  const Ink body = InkOf(*picture, 2), ring = InkOf(*picture, 0);
  EXPECT_GT(body.count, 20);
  EXPECT_GT(ring.count, 20);
  // The Sim faces the viewer: its left hand is on the viewer's right.
  EXPECT_GT(ring.meanX, body.meanX + 20);
  // Replaced in one step: nothing else is left beside it.
  EXPECT_EQ(Names(), (std::vector<std::string>{"old.png", "suits"}));
}

TEST_F(RenderTest, AMissingTextureIsGreyWithAWarning) {
  fs::remove(folder_.path() / "suits/red.bmp");
  const Result result = Run({"--render", kSuit, "-o", "out.png", "--size", "96x64"});
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "tailorloft-cli: warning: the texture \"red.bmp\" that the mesh \"" + Suits() +
                            "ring.skn\" names is neither beside the suit nor in the game; it is drawn grey\n");
  const std::optional<render::Image> picture = env::DecodePicture(Read("out.png"));
  ASSERT_TRUE(picture);
  EXPECT_EQ(InkOf(*picture, 0).count, 0);
  EXPECT_GT(InkOf(*picture, -1).meanX, InkOf(*picture, 2).meanX + 20);
}

TEST_F(RenderTest, SeveralSuitsDrawTheFirstWithAWarning) {
  Write(kSuit, CmxOf({SuitRecord("B100MAFit_x", {Skin("PELVIS", "body")}), SuitRecord("other", {Skin("PELVIS", "gone")})}));
  const Result result = Run({"--render", kSuit, "-o", "out.png"});
  EXPECT_EQ(result.exitCode, kExitSuccess);
  EXPECT_EQ(result.err, "tailorloft-cli: warning: \"suits/B100MAFit_x.cmx\" holds 2 suits; only the first, "
                        "\"B100MAFit_x\", is drawn\n");
}

TEST_F(RenderTest, RefusesWhatItCannotDrawAndWritesNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> extra;
    const char* remove;   // a file of the suit taken away first
    std::string replace;  // ... or broken: a mesh's new bytes
    int exitCode;
    std::string err;
  };
  std::string broken = SknText(BoxMesh("ring", "red", "L_HAND"));
  broken.replace(broken.find("\r\n1\r\n") + 2, 1, "one");
  const std::string help = "\nRun with --help for more information.\n";
  const Case cases[] = {
      {"NoSkeleton", {}, "suits/adult-skeleton.cmx", "", kExitFailure,
       "tailorloft-cli: no skeleton found: neither adult-skeleton.cmx beside the suit nor the game's own "
       "skeleton; give one with --skeleton FILE (an adult-skeleton.cmx or adult-skeleton.cmx.bcf), or the "
       "game's folder with --game DIR.\n"},
      {"MissingMesh", {}, "suits/ring.skn", "", kExitFailure,
       "tailorloft-cli: Could not find the mesh \"ring\": there is no \"ring.skn\" or \"ring.bmf\" beside the "
       "suit or in the game.\n"},
      {"BrokenMesh", {}, nullptr, broken, kExitFailure,
       "tailorloft-cli: Could not read \"" + Suits() + "ring.skn\": line 3: expected a bone count, found \"one\".\n"},
      {"BrokenSkeletonGiven", {"--skeleton", "suits/ring.skn"}, nullptr, "", kExitFailure,
       "tailorloft-cli: Could not read \"" + Suits() + "ring.skn\": line 1: expected the header line "},
      {"SideTooSmall", {"--size", "15x512"}, nullptr, "", kExitUsage,
       "tailorloft-cli: --size \"15x512\" is not WIDTHxHEIGHT with each side 16 to 8192, as 512x512." + help},
      {"SizeNotTwoSides", {"--size", "512"}, nullptr, "", kExitUsage,
       "tailorloft-cli: --size \"512\" is not WIDTHxHEIGHT with each side 16 to 8192, as 512x512." + help},
      {"WritesNoSuit", {"-f"}, nullptr, "", kExitUsage,
       "tailorloft-cli: --render writes a picture, not a suit, so --force cannot go with it." + help},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.remove != nullptr) fs::remove(folder_.path() / c.remove);
    if (!c.replace.empty()) Write("suits/ring.skn", c.replace);
    std::vector<std::string> args{"--render", kSuit, "-o", "out.png"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const Result result = Run(args);
    EXPECT_EQ(result.exitCode, c.exitCode) << c.name;
    EXPECT_EQ(result.err.substr(0, c.err.size()), c.err) << c.name;
    EXPECT_EQ(Names(), std::vector<std::string>{"suits"}) << c.name;
  }
  EXPECT_EQ(Run({"--render", kSuit}).err, "tailorloft-cli: --render needs -o OUT.png: the picture to write." + help);
  EXPECT_EQ(Run({"body.skn", "--tone", "med"}).err, "tailorloft-cli: --tone goes with --render only." + help);
}

// The rename that would put the picture in place fails: the old picture stays
// whole and the temporary file is gone.
TEST_F(RenderTest, AFailedWriteKeepsTheOldPicture) {
  class RenameFails : public ForwardingFileSystem {
   public:
    std::error_code Rename(const fs::path&, const fs::path&, bool) override {
      return std::make_error_code(std::errc::io_error);
    }
  } fileSystem;
  Write("out.png", "the old picture");
  const Result result = Run({"--render", kSuit, "-o", "out.png"}, fileSystem);
  EXPECT_EQ(result.exitCode, kExitFailure);
  EXPECT_EQ(result.err.rfind("tailorloft-cli: Could not save \"", 0), 0u) << result.err;
  EXPECT_EQ(Read("out.png"), "the old picture");
  EXPECT_EQ(Names(), (std::vector<std::string>{"out.png", "suits"}));
}

}  // namespace
}  // namespace tailorloft::cli
