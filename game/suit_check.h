// SPDX-License-Identifier: GPL-3.0-or-later
// The suit check: reads suit files, the meshes, textures and skeletons they
// need and the files beside them, and says what the game would trip over,
// without writing anything. The rules below are functions of what was read,
// each usable alone; CheckSuits reads the files and puts the rules together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/cmx_reader.h"
#include "core/file_system.h"
#include "game/finding.h"
#include "game/game_files.h"
#include "game/mesh.h"
#include "game/skeleton.h"

namespace tailorloft::game {

struct CheckResult {
  std::vector<Finding> findings;  // sorted by file, then line
  std::size_t files = 0;          // files looked at, the paths not found among them
};

// Checks each path: a suit, mesh, texture, skeleton or archive file, or a
// folder, whose own files of those kinds are checked (a subfolder holding
// any is reported, as the game reads none). Relative paths are taken from
// `workingFolder` (empty: the current folder) and findings name files as
// given; files found elsewhere are named by their full path, an archive's
// entry as "ARCHIVE.far/ENTRY". Meshes, textures and skeletons are looked up
// and every file is read through `game`; folders are listed and paths looked
// at through `fileSystem`. Time and memory stay bounded whatever the files
// hold: no file is read past what its kind can need.
CheckResult CheckSuits(const std::vector<std::filesystem::path>& paths,
                       const std::filesystem::path& workingFolder, GameFiles& game,
                       FileSystem& fileSystem);

// The bones of the skeletons the check knows: the adult skeleton's 29
// always, and those of every skeleton added.
class KnownBones {
 public:
  KnownBones();
  void Add(const Skeleton& skeleton);
  bool Has(std::string_view bone) const;  // compared exactly, as the game does

 private:
  std::unordered_set<std::string> bones_;
};

// In every rule, `file` is how findings name the file the rule looks at.

// suit-name: the suit's name differs, ignoring case, from its file's title
// without extension (`fileStem`).
std::vector<Finding> SuitNameFindings(const CmxSuit& suit, std::string_view fileStem, const std::string& file);

// main-bone: a main skin named as a head but bound to PELVIS, the other way
// round, or bound to a bone other than both.
std::vector<Finding> MainBoneFindings(const CmxSuit& suit, const std::string& file);

// unknown-bone: a skin bound to a bone no known skeleton has.
std::vector<Finding> SuitBoneFindings(const CmxSuit& suit, const KnownBones& bones, const std::string& file);

// unknown-bone: a bone in the mesh's list that no known skeleton has.
std::vector<Finding> MeshBoneFindings(const Mesh& mesh, const KnownBones& bones, const std::string& file);

// unknown-bone: a bone whose parent is not a bone of its skeleton.
std::vector<Finding> SkeletonFindings(const Skeleton& skeleton, const std::string& file);

// mesh-structure: MeshStructureProblems, the first few of them in full.
std::vector<Finding> MeshStructureFindings(const Mesh& mesh, const std::string& file);

// mesh-name: a name ending in ".skn" or (with `textureLineUsed`, false for a
// mesh only ever used as a main skin) a texture ending in ".bmp"; a name
// other than the file's title without extension (`fileStem`), ignoring case.
std::vector<Finding> MeshNameFindings(const Mesh& mesh, std::string_view fileStem, bool textureLineUsed,
                                      const std::string& file);

// missing-texture: of the texture titles that pair with the suit's `code`,
// none, or none for some skin tones. `line` is where the suit is named.
std::vector<Finding> SuitTextureFindings(std::string_view code, const std::vector<std::string>& pairedTitles,
                                         const std::string& file, std::size_t line);

// missing-texture: an accessory mesh whose texture is "x", or is not found.
std::vector<Finding> AccessoryTextureFindings(const Mesh& mesh, bool textureFound, const std::string& file);

// texture-format (and unreadable for a broken BMP header): from the first
// kBmpHeaderBytes bytes of a texture file of `fileSize` bytes.
std::vector<Finding> TextureFormatFindings(std::string_view firstBytes, std::uint64_t fileSize,
                                           const std::string& file);

// wrong-folder: an outfit sold in the game (types L, F, S, W, H) in a folder
// called Skins, or a Create-a-Sim one (B, C) in one called SkinsBuy.
std::vector<Finding> OutfitFolderFindings(std::string_view code, std::string_view folderName,
                                          const std::string& file);

// A suit as id-clash sees it: its code and the title it is known by.
struct SuitCodeUse {
  std::string code;
  std::string name;  // the suit file's title without extension, or an archived suit's name
  std::string file;  // how findings name it
  bool checked = true;  // false for the game's own suits, which get no findings
};

// id-clash: suits of different names that share one code, ignoring case.
// One finding on each checked suit, naming the others.
std::vector<Finding> CodeClashFindings(const std::vector<SuitCodeUse>& suits);

// id-clash: names in one folder (`shownFolder`) that differ only in letter
// case; a finding on each but the first in name order.
std::vector<Finding> CaseClashFindings(const std::filesystem::path& shownFolder,
                                       std::vector<std::string> names);

}  // namespace tailorloft::game
