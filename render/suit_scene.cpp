// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/suit_scene.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "core/fold_case.h"
#include "core/utf8.h"
#include "game/file_kind.h"
#include "game/mesh.h"
#include "game/read_error.h"

namespace tailorloft::render {
namespace {

namespace fs = std::filesystem;

// A texture is at most 256 x 256 in the game, a few sides larger from
// creators, well under a MB; what is larger is not one and is refused unread.
constexpr std::size_t kMaxTextureBytes = std::size_t{64} << 20;

constexpr std::string_view kLooseSkeleton = "adult-skeleton.cmx";
constexpr std::string_view kArchivedSkeleton = "adult-skeleton.cmx.bcf";
// The folder GameFiles searches for Create-a-Sim outfits: GameData/Skins.
constexpr char kCreateASimType = 'B';

// Whether a loose file lies right in `folder`.
bool IsIn(const game::FoundFile& file, const fs::path& folder) {
  return !file.InArchive() && file.path.parent_path() == (folder / "x").parent_path();
}

// Up to `maxBytes` of the file; a larger one is refused unread.
std::string ReadWhole(game::GameFiles& game, const game::FoundFile& file, std::size_t maxBytes,
                      std::string_view kind) {
  if (file.size > maxBytes) {
    throw game::GameFileError(file.Shown(), 0, game::kNoOffset,
                              "it is " + std::to_string(file.size) + " bytes, more than " + std::string(kind) +
                                  " ever holds");
  }
  std::string bytes = game.Read(file, maxBytes + 1);
  if (bytes.size() > maxBytes) {
    throw game::GameFileError(file.Shown(), 0, game::kNoOffset,
                              "it is more than " + std::to_string(maxBytes) + " bytes, more than " +
                                  std::string(kind) + " ever holds");
  }
  return bytes;
}

FoundSkeleton ReadSkeletonFile(game::GameFiles& game, const game::FoundFile& file) {
  try {
    const std::string bytes = ReadWhole(game, file, game::kMaxSkeletonBytes, "a skeleton file");
    const bool binary =
        EndsWithIgnoringCase(file.Title(), ".bcf") || game::SniffFileKind(bytes) == game::FileKind::kBcf;
    game::SkeletonFile read = binary ? game::ReadBcf(bytes, file.Shown()) : game::ReadCmxSkeletons(bytes, file.Shown());
    if (read.skeletons.empty()) {
      throw game::GameFileError(file.Shown(), 0, game::kNoOffset, "the file holds no skeleton");
    }
    auto chosen = std::find_if(read.skeletons.begin(), read.skeletons.end(),
                               [](const game::Skeleton& s) { return EqualsIgnoringCase(s.name, "adult"); });
    if (chosen == read.skeletons.end()) chosen = read.skeletons.begin();
    // A skeleton that cannot stand (a parent it lacks, a cycle) is refused here,
    // naming its file, rather than with the first mesh placed on it.
    try {
      BoneWorldTransforms(*chosen);
    } catch (const std::invalid_argument& e) {
      throw game::GameFileError(file.Shown(), chosen->line, game::kNoOffset, e.what());
    }
    return {std::move(*chosen), file};
  } catch (const game::GameFileError& e) {
    throw SceneError(e.what());
  }
}

// The mesh of one skin: in its own folder first, then where the game looks for the suit's.
game::FoundFile FindSkinMesh(game::GameFiles& game, const SkinChoice& skin, const fs::path& suitFolder,
                             char type) {
  if (!skin.folder.empty() && skin.folder != suitFolder) {
    std::optional<game::FoundFile> own = game.FindMesh(skin.folder, type, skin.skinName);
    if (own && IsIn(*own, skin.folder)) return *own;
  }
  if (std::optional<game::FoundFile> found = game.FindMesh(suitFolder, type, skin.skinName)) return *found;
  std::string where = "beside the suit or in the game";
  if (!skin.folder.empty() && skin.folder != suitFolder) {
    where = "in " + QuoteForMessage(Utf8FromPath(skin.folder)) + ", beside the suit or in the game";
  }
  throw SceneError("Could not find the mesh " + QuoteForMessage(skin.skinName) + ": there is no " +
                   QuoteForMessage(skin.skinName + ".skn") + " or " + QuoteForMessage(skin.skinName + ".bmf") +
                   " " + where + ".");
}

// The mesh read in full and placed, or SceneError with the file and the line
// (a .skn) or byte (a .bmf) at fault.
PosedMesh ReadAndPose(game::GameFiles& game, const game::FoundFile& file, const game::Skeleton& skeleton,
                      std::string& textureName) {
  const std::string shown = file.Shown();
  game::Mesh mesh;
  try {
    const std::string bytes = ReadWhole(game, file, game::kMaxMeshBytes, "a mesh");
    mesh = EndsWithIgnoringCase(file.Title(), ".bmf") ? game::ReadBmf(bytes, shown) : game::ReadSkn(bytes, shown);
    const auto at = [&mesh](std::size_t line, std::uint64_t offset) {
      return mesh.binary ? std::pair{std::size_t{0}, offset} : std::pair{line, game::kNoOffset};
    };
    if (const std::vector<game::MeshProblem> problems = game::MeshStructureProblems(mesh); !problems.empty()) {
      const auto [line, offset] = at(problems.front().line, problems.front().offset);
      throw game::GameFileError(shown, line, offset, problems.front().message);
    }
    for (std::size_t i = 0; i < mesh.bones.size(); ++i) {
      if (game::FindBone(skeleton, mesh.bones[i]) != nullptr) continue;
      // A .skn lists one bone a line after the count; a .bmf gives no offset per name.
      const auto [line, offset] = at(mesh.bonesAt.line + 1 + i, mesh.bonesAt.offset);
      throw game::GameFileError(shown, line, offset,
                                "the bone " + QuoteForMessage(mesh.bones[i]) + " is not in the skeleton " +
                                    QuoteForMessage(skeleton.name));
    }
  } catch (const game::GameFileError& e) {
    throw SceneError(e.what());
  }
  textureName = mesh.texture;
  try {
    return PoseMesh(mesh, skeleton);
  } catch (const std::invalid_argument& e) {
    throw SceneError("Could not place " + QuoteForMessage(shown) + " on the skeleton: " + e.what() + ".");
  }
}

// Reads and decodes a texture into `skin`, or says why the skin stays grey.
void Dress(SceneSkin& skin, game::GameFiles& game, const game::FoundFile& file, const TextureDecoder& decode,
           std::vector<std::string>& warnings) {
  const std::string grey = "; " + QuoteForMessage(skin.skinName) + " is drawn grey";
  std::string bytes;
  try {
    bytes = ReadWhole(game, file, kMaxTextureBytes, "a texture");
  } catch (const game::GameFileError& e) {
    warnings.push_back("the texture " + QuoteForMessage(file.Shown()) + " could not be read: " +
                       e.ProblemWithOffset() + grey);
    return;
  }
  std::optional<Image> image = decode ? decode(bytes) : std::nullopt;
  if (!image || image->width <= 0 || image->height <= 0 ||
      image->pixels.size() != static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 4) {
    warnings.push_back("the texture " + QuoteForMessage(file.Shown()) + " is not a picture that can be read" + grey);
    return;
  }
  skin.texture = std::move(*image);
  skin.view = {skin.texture.width, skin.texture.height, skin.texture.pixels};
  skin.textureFile = file;
}

// The suit's textures of one tone: the main skin's own folder first, then the
// places the game looks in; of one name, the first place's. In name order.
std::vector<game::FoundFile> PairedTextures(game::GameFiles& game, const SceneRequest& request, char type) {
  std::vector<game::FoundFile> found;
  const fs::path& own = request.skins.front().folder;
  if (!own.empty() && own != request.suitFolder) {
    for (game::FoundFile& file : game.PairedTextures(own, type, request.code)) {
      if (IsIn(file, own)) found.push_back(std::move(file));
    }
  }
  for (game::FoundFile& file : game.PairedTextures(request.suitFolder, type, request.code)) found.push_back(std::move(file));

  std::vector<std::pair<std::string, game::FoundFile>> byName;
  for (game::FoundFile& file : found) {
    const std::string title = file.Title();
    const std::optional<game::TextureName> name = game::ParseTextureName(title);
    if (!name || name->tone != request.tone) continue;
    std::string key = FoldedKey(title);
    const bool known = std::any_of(byName.begin(), byName.end(), [&key](const auto& kept) { return kept.first == key; });
    if (!known) byName.emplace_back(std::move(key), std::move(file));
  }
  std::stable_sort(byName.begin(), byName.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<game::FoundFile> textures;
  textures.reserve(byName.size());
  for (auto& [key, file] : byName) textures.push_back(std::move(file));
  return textures;
}

// The texture an accessory's mesh names: its own folder first, then the game's places.
std::optional<game::FoundFile> FindAccessoryTexture(game::GameFiles& game, const SkinChoice& skin,
                                                    const fs::path& suitFolder, char type, const std::string& title) {
  if (!skin.folder.empty() && skin.folder != suitFolder) {
    std::optional<game::FoundFile> own = game.FindFile(skin.folder, type, title);
    if (own && IsIn(*own, skin.folder)) return own;
  }
  return game.FindFile(suitFolder, type, title);
}

}  // namespace

std::optional<FoundSkeleton> FindSkeleton(const fs::path& picked, const fs::path& suitFolder, game::GameFiles& game) {
  if (!picked.empty()) {
    game::FoundFile file;
    file.path = picked;
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(picked, ec);
    if (!ec) file.size = size;
    return ReadSkeletonFile(game, file);
  }
  // A text skeleton inside an archive is not one the game reads.
  if (std::optional<game::FoundFile> loose = game.FindFile(suitFolder, kCreateASimType, kLooseSkeleton);
      loose && !loose->InArchive()) {
    return ReadSkeletonFile(game, *loose);
  }
  if (std::optional<game::FoundFile> archived = game.FindFile({}, kCreateASimType, kArchivedSkeleton)) {
    return ReadSkeletonFile(game, *archived);
  }
  return std::nullopt;
}

std::vector<SkinChoice> SkinChoices(const Suit& suit) {
  std::vector<SkinChoice> skins{{suit.mainBone, suit.mainSkinName, {}}};
  for (const SuitSkin& skin : suit.accessories) skins.push_back({skin.bone, skin.skinName, {}});
  return skins;
}

std::vector<SkinChoice> SkinChoices(const CmxSuit& suit) {
  std::vector<SkinChoice> skins;
  for (const CmxSkinRecord& skin : suit.skins) skins.push_back({skin.bone, skin.skinName, {}});
  return skins;
}

std::vector<DrawItem> SuitScene::Items() const {
  std::vector<DrawItem> items;
  items.reserve(skins.size());
  for (const SceneSkin& skin : skins) items.push_back({&skin.mesh, skin.texture.width > 0 ? &skin.view : nullptr});
  return items;
}

Box SuitScene::Bounds() const {
  Box box;
  for (const SceneSkin& skin : skins) {
    const Box one = render::Bounds(std::span(&skin.mesh, 1));
    if (one.empty) continue;
    if (box.empty) {
      box = one;
      continue;
    }
    box.min = {std::min(box.min.x, one.min.x), std::min(box.min.y, one.min.y), std::min(box.min.z, one.min.z)};
    box.max = {std::max(box.max.x, one.max.x), std::max(box.max.y, one.max.y), std::max(box.max.z, one.max.z)};
  }
  return box;
}

SuitScene BuildSuitScene(const SceneRequest& request, const game::Skeleton& skeleton, game::GameFiles& game,
                         const TextureDecoder& decode) {
  if (request.skins.empty()) throw SceneError("The suit has no skins to draw.");
  const char type = game::OutfitType(request.code);
  SuitScene scene;
  std::vector<std::string> textureNames;  // each mesh's second line
  // Every mesh first: a suit that cannot be drawn whole costs no texture decoding.
  for (std::size_t i = 0; i < request.skins.size(); ++i) {
    const SkinChoice& choice = request.skins[i];
    SceneSkin skin;
    skin.index = i;
    skin.bone = choice.bone;
    skin.skinName = choice.skinName;
    try {
      skin.meshFile = FindSkinMesh(game, choice, request.suitFolder, type);
      std::string textureName;
      skin.mesh = ReadAndPose(game, skin.meshFile, skeleton, textureName);
      textureNames.push_back(std::move(textureName));
    } catch (const SceneError& e) {
      if (!request.leaveOutUndrawable) throw;
      scene.notDrawn.push_back(e.what());
      continue;
    }
    scene.skins.push_back(std::move(skin));
  }

  scene.pairedTextures = PairedTextures(game, request, type);
  if (!scene.skins.empty() && scene.skins.front().index == 0) {
    SceneSkin& main = scene.skins.front();
    if (request.texture) {
      Dress(main, game, *request.texture, decode, scene.warnings);
    } else if (!scene.pairedTextures.empty()) {
      Dress(main, game, scene.pairedTextures.front(), decode, scene.warnings);
    } else {
      scene.warnings.push_back("no texture of tone " + std::string(game::ToneSuffix(request.tone)) +
                               " pairs with the suit's code " + QuoteForMessage(request.code) + " (" +
                               QuoteForMessage(request.code + std::string(game::ToneSuffix(request.tone)) +
                                               "_NAME.bmp") +
                               "); " + QuoteForMessage(main.skinName) + " is drawn grey");
    }
  }

  for (std::size_t i = 0; i < scene.skins.size(); ++i) {
    SceneSkin& skin = scene.skins[i];
    if (skin.index == 0) continue;
    const std::string& named = textureNames[i];
    if (EqualsIgnoringCase(named, "x")) {
      scene.warnings.push_back("the mesh " + QuoteForMessage(skin.meshFile.Shown()) +
                               " names no texture (\"x\"); it is drawn grey");
      continue;
    }
    const std::string title = named + ".bmp";
    if (std::optional<game::FoundFile> file =
            FindAccessoryTexture(game, request.skins[skin.index], request.suitFolder, type, title)) {
      Dress(skin, game, *file, decode, scene.warnings);
    } else {
      scene.warnings.push_back("the texture " + QuoteForMessage(title) + " that the mesh " +
                               QuoteForMessage(skin.meshFile.Shown()) +
                               " names is neither beside the suit nor in the game; it is drawn grey");
    }
  }
  return scene;
}

}  // namespace tailorloft::render
