// SPDX-License-Identifier: GPL-3.0-or-later
// Skeletons of the game, from the first section of a text CMX file
// (adult-skeleton.cmx) or from a binary BCF file (adult-skeleton.cmx.bcf),
// and the suits a BCF file carries after its skeletons.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tailorloft::game {

struct Bone {
  std::string name;
  std::string parent;                   // empty for the root (written "NULL")
  std::array<float, 3> translation{};   // relative to the parent
  std::array<float, 4> rotation{0, 0, 0, 1};  // the stored quaternion (x, y, z, w)
  std::size_t line = 0;                 // the name's line in a text file; 0 in a binary one
  friend bool operator==(const Bone&, const Bone&) = default;
};

struct Skeleton {
  std::string name;  // "adult", "child", ...
  std::vector<Bone> bones;
  std::size_t line = 0;
  friend bool operator==(const Skeleton&, const Skeleton&) = default;
};

struct BcfSkin {
  std::string bone;
  std::string skinName;
  std::uint32_t flags = 0;
  friend bool operator==(const BcfSkin&, const BcfSkin&) = default;
};

// A suit as a BCF file holds it (the game's own outfits live in archives so).
struct BcfSuit {
  std::string name;
  std::uint32_t type = 0;
  std::vector<BcfSkin> skins;
  friend bool operator==(const BcfSuit&, const BcfSuit&) = default;
};

struct SkeletonFile {
  std::vector<Skeleton> skeletons;
  std::vector<BcfSuit> suits;  // from a BCF file only
  friend bool operator==(const SkeletonFile&, const SkeletonFile&) = default;
};

// The skeleton section of a text CMX file, which must hold at least one
// skeleton; the suit and skill sections after it are not read. Throws
// GameFileError with the line for anything else. Names are Windows-1252
// decoded to UTF-8.
SkeletonFile ReadCmxSkeletons(std::string_view bytes, std::string_view fileName);

// A BCF file: its skeletons, then its suits; reading stops before the skills.
// Throws GameFileError with the byte offset. No count is trusted before the
// bytes left can hold that many records.
SkeletonFile ReadBcf(std::string_view bytes, std::string_view fileName);

// The bone called `name` in `skeleton`, or null.
const Bone* FindBone(const Skeleton& skeleton, std::string_view name);

}  // namespace tailorloft::game
