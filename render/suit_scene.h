// SPDX-License-Identifier: GPL-3.0-or-later
// A suit made ready to draw: its skeleton found, every skin's mesh read and
// placed on it, and each skin's texture decoded in the chosen tone. Shared by
// the preview window and tailorloft-cli --render; plain C++, no Qt (the
// texture decoder is handed in).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/cmx_reader.h"
#include "core/suit.h"
#include "game/game_files.h"
#include "game/skeleton.h"
#include "game/texture_names.h"
#include "render/pose.h"
#include "render/rasterizer.h"

namespace tailorloft::render {

// Turns a picture file's bytes (an 8-bit BMP, or anything else the decoder
// reads) into RGBA8 pixels, rows from the top; nothing when it cannot.
using TextureDecoder = std::function<std::optional<Image>(std::string_view bytes)>;

// A mesh or skeleton that cannot be drawn whole: missing, unreadable, or not
// fitting the skeleton. what() names the file and, where there is one, the
// line or byte: "Could not read "F.skn": line 8: expected a face count, found "x"."
class SceneError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// --- The skeleton ---------------------------------------------------------

struct FoundSkeleton {
  game::Skeleton skeleton;
  game::FoundFile file;  // where it was read; file.Shown() names it
};

// The skeleton to stand the suit on, first found wins:
//   1. `picked`, a skeleton file the user chose (text CMX or BCF; empty: none);
//   2. a loose adult-skeleton.cmx in `suitFolder`, else in the game's GameData/Skins;
//   3. adult-skeleton.cmx.bcf in the game's archives (or loose in GameData/Skins).
// Of the skeletons in that file, the one named "adult" (ignoring case), else
// the first. Nothing when none of these exists: the caller says that no
// skeleton was found and how to give one. Throws SceneError, the reader's
// message with file and line or byte, when the file that wins cannot be read
// or holds no skeleton: a broken skeleton is never passed over for another.
std::optional<FoundSkeleton> FindSkeleton(const std::filesystem::path& picked,
                                          const std::filesystem::path& suitFolder, game::GameFiles& game);

// The words both front ends end their "no skeleton" refusal with, after
// saying how to pick one in their own way.
inline constexpr std::string_view kNoSkeletonFound =
    "no skeleton found: neither adult-skeleton.cmx beside the suit nor the game's own skeleton";

// --- The suit -------------------------------------------------------------

// One skin of the suit as the front end knows it.
struct SkinChoice {
  std::string bone;
  std::string skinName;           // without extension
  std::filesystem::path folder;   // where the user chose the file, looked in first; empty: none
  friend bool operator==(const SkinChoice&, const SkinChoice&) = default;
};

// The skins of a suit, main skin first, with no folders of their own.
std::vector<SkinChoice> SkinChoices(const Suit& suit);
std::vector<SkinChoice> SkinChoices(const CmxSuit& suit);

struct SceneRequest {
  std::vector<SkinChoice> skins;     // the main skin first; at least one
  std::filesystem::path suitFolder;  // where the suit file is (or will be); may be empty
  std::string code;                  // game::SuitCode of the suit's file title
  game::Tone tone = game::Tone::kLight;
  // The main skin's texture instead of the first one paired for the tone:
  // one of SuitScene::pairedTextures, or any loose file (--texture).
  std::optional<game::FoundFile> texture;
  // Leave out a skin whose mesh cannot be drawn whole, its reason in
  // SuitScene::notDrawn, instead of refusing the suit: a preview shows what it can.
  bool leaveOutUndrawable = false;
};

// One skin ready to draw. Not copyable: `view` points into `texture`.
struct SceneSkin {
  SceneSkin() = default;
  SceneSkin(SceneSkin&&) = default;
  SceneSkin& operator=(SceneSkin&&) = default;
  SceneSkin(const SceneSkin&) = delete;
  SceneSkin& operator=(const SceneSkin&) = delete;

  std::size_t index = 0;  // its place in SceneRequest::skins
  std::string bone;
  std::string skinName;
  game::FoundFile meshFile;
  PosedMesh mesh;
  // The texture drawn; nothing when the skin is drawn grey (a warning says why).
  std::optional<game::FoundFile> textureFile;
  Image texture;      // decoded; width 0 when grey
  TextureView view;   // over `texture`
};

struct SuitScene {
  std::vector<SceneSkin> skins;  // in the request's order, less those left out
  // With leaveOutUndrawable, why each skin left out is: SceneError's words.
  std::vector<std::string> notDrawn;
  // The textures that pair with the suit's code in the requested tone, in
  // name order (of several with one name the first place wins): the choice
  // the window offers. The main skin wears the request's texture, else the first.
  std::vector<game::FoundFile> pairedTextures;
  // In plain words, each naming its file: a texture missing, "x", or not
  // decodable, so that a skin is drawn grey.
  std::vector<std::string> warnings;

  // What to hand the rasterizer: pointers into this scene, valid while it
  // lives and is not changed.
  std::vector<DrawItem> Items() const;
  // The box around every skin, for framing.
  Box Bounds() const;
};

// Reads every skin's mesh, places it on `skeleton` and decodes its texture.
// A mesh is looked for in its skin's own folder, then as `game` finds meshes
// for a suit in `request.suitFolder`. The main skin wears the suit's paired
// texture (its own folder searched first), an accessory the texture its mesh
// names on its second line (its own folder first, then the suit's). Throws
// SceneError when a mesh is missing, cannot be read or placed (unless the
// request leaves such skins out); a missing or undecodable texture only
// warns. Files are read through `game`, whose folder listings may be cached:
// to see files that appeared since, open a new one.
SuitScene BuildSuitScene(const SceneRequest& request, const game::Skeleton& skeleton, game::GameFiles& game,
                         const TextureDecoder& decode);

}  // namespace tailorloft::render
