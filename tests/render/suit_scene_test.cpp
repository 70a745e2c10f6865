// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/suit_scene.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/utf8.h"
#include "env/game_files.h"
#include "tests/env/temp_folder.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::render {
namespace {

namespace fs = std::filesystem;
using game::testing::AdultSkeleton;
using game::testing::BcfBytes;
using game::testing::BoxMesh;
using game::testing::CmxSkeletonText;
using game::testing::FarBytes;
using game::testing::SknText;

game::Skeleton Named(const std::string& name) {
  game::Skeleton skeleton = AdultSkeleton();
  skeleton.name = name;
  return skeleton;
}

// The decoder these tests hand in: a texture file's bytes name its colour.
std::optional<Image> Decode(std::string_view bytes) {
  const std::vector<std::pair<std::string_view, std::uint8_t>> colours{{"red", 0}, {"green", 1}, {"blue", 2}};
  for (const auto& [name, channel] : colours) {
    if (bytes != name) continue;
    Image image{1, 1, {0, 0, 0, 255}};
    image.pixels[channel] = 255;
    return image;
  }
  return std::nullopt;
}

std::string ColourOf(const SceneSkin& skin) {
  if (skin.texture.width == 0) return "grey";
  const auto& p = skin.texture.pixels;
  return p[0] == 255 ? "red" : p[1] == 255 ? "green" : "blue";
}

std::string Title(const game::FoundFile& file) {
  return file.InArchive() ? file.entry : Utf8FromPath(file.path.filename());
}

// A game folder "game" and a suit folder "suits" beside it.
class SuitSceneTest : public ::testing::Test {
 protected:
  fs::path Skins() const { return folder_.path() / "game" / "GameData" / "Skins"; }
  fs::path Suits() const { return folder_.path() / "suits"; }
  std::unique_ptr<game::GameFiles> Game() const { return env::OpenGameFiles(folder_.path() / "game"); }

  SuitScene Build(const std::vector<SkinChoice>& skins, game::Tone tone = game::Tone::kLight,
                  std::optional<game::FoundFile> texture = std::nullopt) {
    const auto game = Game();
    return BuildSuitScene({skins, Suits(), "B100MAFit", tone, std::move(texture)}, AdultSkeleton(), *game, Decode);
  }

  env::testing::TempFolder folder_;
};

TEST_F(SuitSceneTest, SkeletonFirstFoundWinsAndAdultBeforeTheFirst) {
  struct Case {
    const char* name;
    bool picked, besideSuit, inSkins, inArchive;
    const char* file;  // relative to the test's folder
    const char* skeleton;
  };
  const Case cases[] = {
      {"Picked", true, true, true, true, "picked.cmx", "dog"},
      {"BesideSuit", false, true, true, true, "suits/adult-skeleton.cmx", "adult"},
      {"GameSkins", false, false, true, true, "game/GameData/Skins/adult-skeleton.cmx", "adult"},
      {"Archive", false, false, false, true, "game/GameData/Objects.far/adult-skeleton.cmx.bcf", "adult"},
  };
  for (const Case& c : cases) {
    env::testing::TempFolder folder;
    folder.MakeFolder("game/GameData/Skins");
    folder.MakeFolder("suits");
    if (c.picked) folder.WriteFile("picked.cmx", CmxSkeletonText({Named("dog")}));
    if (c.besideSuit) folder.WriteFile("suits/adult-skeleton.cmx", CmxSkeletonText({Named("adult")}));
    if (c.inSkins) folder.WriteFile("game/GameData/Skins/adult-skeleton.cmx", CmxSkeletonText({Named("adult")}));
    if (c.inArchive) {
      folder.WriteFile("game/GameData/Objects.far",
                       FarBytes({{"adult-skeleton.cmx.bcf", BcfBytes({{Named("child"), Named("adult")}, {}})}}));
    }
    const auto game = env::OpenGameFiles(folder.path() / "game");
    const std::optional<FoundSkeleton> found =
        FindSkeleton(c.picked ? folder.path() / "picked.cmx" : fs::path(), folder.path() / "suits", *game);
    ASSERT_TRUE(found) << c.name;
    EXPECT_EQ(found->file.Shown(), (folder.path() / c.file).generic_string()) << c.name;
    EXPECT_EQ(found->skeleton.name, c.skeleton) << c.name;
  }
}

TEST_F(SuitSceneTest, NoSkeletonIsNothingAndABrokenOneIsNeverPassedOver) {
  folder_.MakeFolder("game/GameData/Skins");
  EXPECT_FALSE(FindSkeleton({}, Suits(), *Game()));

  folder_.WriteFile("game/GameData/Objects.far",
                    FarBytes({{"adult-skeleton.cmx.bcf", BcfBytes({{AdultSkeleton()}, {}})}}));
  const fs::path broken = folder_.WriteFile("suits/adult-skeleton.cmx", "// Character File\r\nversion 300\r\nmany\r\n");
  try {
    FindSkeleton({}, Suits(), *Game());
    ADD_FAILURE() << "a broken skeleton beside the suit was passed over";
  } catch (const SceneError& e) {
    EXPECT_EQ(std::string(e.what()), "Could not read \"" + broken.generic_string() +
                                         "\": line 3: expected a skeleton count, found \"many\".");
  }
}

TEST_F(SuitSceneTest, DressesEachSkinInItsTexture) {
  folder_.WriteFile("suits/xskin-B100MAFit_x-PELVIS-BODY.skn", SknText(BoxMesh("body", "x", "PELVIS")));
  folder_.WriteFile("game/GameData/Skins/acc-hat-HEAD.skn", SknText(BoxMesh("acc-hat-HEAD", "hat", "HEAD")));
  folder_.WriteFile("suits/B100MAFitlgt_b.bmp", "blue");
  folder_.WriteFile("game/GameData/Skins/B100MAFitlgt_a.bmp", "red");
  folder_.WriteFile("suits/B100MAFitmed_c.bmp", "green");
  folder_.WriteFile("game/GameData/Skins/hat.bmp", "green");
  const std::vector<SkinChoice> skins{{"PELVIS", "xskin-B100MAFit_x-PELVIS-BODY", {}}, {"HEAD", "acc-hat-HEAD", {}}};

  const SuitScene light = Build(skins);
  ASSERT_EQ(light.pairedTextures.size(), 2u);
  EXPECT_EQ(Title(light.pairedTextures[0]), "B100MAFitlgt_a.bmp");  // name order, across places
  EXPECT_EQ(Title(light.pairedTextures[1]), "B100MAFitlgt_b.bmp");
  EXPECT_EQ(ColourOf(light.skins[0]), "red");
  EXPECT_EQ(ColourOf(light.skins[1]), "green");
  EXPECT_EQ(light.warnings, std::vector<std::string>{});
  const std::vector<DrawItem> items = light.Items();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].mesh, &light.skins[1].mesh);
  ASSERT_NE(items[1].texture, nullptr);
  EXPECT_EQ(items[1].texture->pixels.data(), light.skins[1].texture.pixels.data());

  EXPECT_EQ(ColourOf(Build(skins, game::Tone::kMedium).skins[0]), "green");
  EXPECT_EQ(ColourOf(Build(skins, game::Tone::kLight, light.pairedTextures[1]).skins[0]), "blue");
}

TEST_F(SuitSceneTest, AMissingOrUnreadableTextureDrawsGreyAndSaysSo) {
  folder_.WriteFile("suits/body.skn", SknText(BoxMesh("body", "x", "PELVIS")));
  folder_.WriteFile("suits/plain.skn", SknText(BoxMesh("plain", "x", "HEAD")));
  folder_.WriteFile("suits/lost.skn", SknText(BoxMesh("lost", "gone", "L_HAND")));
  folder_.WriteFile("suits/odd.skn", SknText(BoxMesh("odd", "junk", "R_HAND")));
  folder_.WriteFile("suits/junk.bmp", "not a picture");
  const std::string suits = Suits().generic_string() + "/";
  const SuitScene scene = Build({{"PELVIS", "body", {}}, {"HEAD", "plain", {}}, {"L_HAND", "lost", {}}, {"R_HAND", "odd", {}}});
  EXPECT_EQ(scene.warnings,
            (std::vector<std::string>{
                "no texture of tone lgt pairs with the suit's code \"B100MAFit\" (\"B100MAFitlgt_NAME.bmp\"); "
                "\"body\" is drawn grey",
                "the mesh \"" + suits + "plain.skn\" names no texture (\"x\"); it is drawn grey",
                "the texture \"gone.bmp\" that the mesh \"" + suits +
                    "lost.skn\" names is neither beside the suit nor in the game; it is drawn grey",
                "the texture \"" + suits + "junk.bmp\" is not a picture that can be read; \"odd\" is drawn grey",
            }));
  for (const DrawItem& item : scene.Items()) EXPECT_EQ(item.texture, nullptr);
}

TEST_F(SuitSceneTest, RefusesAMeshItCannotDrawWhole) {
  game::Mesh tail = BoxMesh("tail", "x", "PELVIS");
  tail.bones = {"TAIL"};
  game::Mesh faulty = BoxMesh("faulty", "x", "PELVIS");
  faulty.faces[2].b = 99;
  std::string broken = SknText(BoxMesh("broken", "x", "PELVIS"));
  broken.replace(broken.find("\r\n1\r\n") + 2, 1, "one");
  folder_.WriteFile("suits/body.skn", SknText(BoxMesh("body", "x", "PELVIS")));
  folder_.WriteFile("suits/tail.skn", SknText(tail));
  folder_.WriteFile("suits/faulty.skn", SknText(faulty));
  folder_.WriteFile("suits/broken.skn", broken);
  const std::string suits = Suits().generic_string() + "/";
  const std::pair<const char*, std::string> cases[] = {
      {"gone", "Could not find the mesh \"gone\": there is no \"gone.skn\" or \"gone.bmf\" beside the suit or in the game."},
      {"broken", "Could not read \"" + suits + "broken.skn\": line 3: expected a bone count, found \"one\"."},
      {"tail", "Could not read \"" + suits + "tail.skn\": line 4: the bone \"TAIL\" is not in the skeleton \"adult\"."},
      {"faulty", "Could not read \"" + suits + "faulty.skn\": line 8: face 2 names vertex 99, but the mesh has 8 real vertices."},
  };
  std::vector<SkinChoice> all{{"PELVIS", "body", {}}};
  std::vector<std::string> messages;
  for (const auto& [mesh, message] : cases) {
    try {
      Build({{"PELVIS", "body", {}}, {"HEAD", mesh, {}}});
      ADD_FAILURE() << mesh << " was drawn";
    } catch (const SceneError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
    all.push_back({"HEAD", mesh, {}});
    messages.push_back(message);
  }

  // A preview leaves them out and says why; the main skin left out takes its texture with it.
  const auto game = Game();
  all.push_back({"HEAD", "body", {}});
  SceneRequest request{all, Suits(), "B100MAFit", game::Tone::kLight, std::nullopt, true};
  const SuitScene scene = BuildSuitScene(request, AdultSkeleton(), *game, Decode);
  EXPECT_EQ(scene.notDrawn, messages);
  ASSERT_EQ(scene.skins.size(), 2u);
  EXPECT_EQ(scene.skins[0].index, 0u);
  EXPECT_EQ(scene.skins[1].index, 5u);
  request.skins.erase(request.skins.begin());
  const SuitScene withoutMain = BuildSuitScene(request, AdultSkeleton(), *game, Decode);
  ASSERT_EQ(withoutMain.skins.size(), 1u);
  EXPECT_EQ(withoutMain.skins[0].index, 4u);
  EXPECT_EQ(withoutMain.warnings, std::vector<std::string>{"the mesh \"" + suits + "body.skn\" names no texture (\"x\"); it is drawn grey"});
}

TEST_F(SuitSceneTest, ASkinsOwnFolderIsSearchedFirst) {
  folder_.WriteFile("suits/body.skn", SknText(BoxMesh("body", "x", "PELVIS")));
  folder_.WriteFile("suits/ring.skn", SknText(BoxMesh("ring", "gold", "R_HAND")));
  folder_.WriteFile("suits/gold.bmp", "red");
  const fs::path chosen = folder_.MakeFolder("chosen");
  folder_.WriteFile("chosen/ring.skn", SknText(BoxMesh("ring", "gold", "L_HAND")));
  folder_.WriteFile("chosen/gold.bmp", "blue");
  const SuitScene scene = Build({{"PELVIS", "body", {}}, {"L_HAND", "ring", chosen}});
  EXPECT_EQ(scene.skins[1].meshFile.path, chosen / "ring.skn");
  EXPECT_EQ(ColourOf(scene.skins[1]), "blue");
  // L_HAND is at -X in the game's frame, mirrored to +X for drawing.
  EXPECT_GT(scene.skins[1].mesh.positions[0].x, 1.0f);
}

}  // namespace
}  // namespace tailorloft::render
