// SPDX-License-Identifier: GPL-3.0-or-later
// A mesh placed on a skeleton as the game stands it, then mirrored from the
// game's left-handed frame into the right-handed one every picture is drawn in.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "game/mesh.h"
#include "game/skeleton.h"

namespace tailorloft::render {

// A rigid transform acting on column vectors: p' = rotation * p + translation,
// rotation row-major.
struct BoneTransform {
  std::array<double, 9> rotation{1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::array<double, 3> translation{};
};

// boneWorld(bone) = boneWorld(parent) * T(translation) * R(q*) for every bone,
// in the skeleton's order, q* being the conjugate of the stored quaternion
// (normalised first). In the game's frame, not mirrored. Throws
// std::invalid_argument for a parent that is not in the skeleton, a cycle of
// parents, two bones of one name, or a rotation that is not a number or of
// length 0.
std::vector<BoneTransform> BoneWorldTransforms(const game::Skeleton& skeleton);

// One value per real vertex of the mesh, and its triangles, in the drawing
// frame: x mirrored (x -> -x) for positions and normals, and each face's last
// two corners swapped so that a triangle turns about its normals as it did in
// the game's frame. UVs are the mesh's own: v counts from the texture's top row.
struct PosedMesh {
  std::vector<game::Vec3> positions;
  std::vector<game::Vec3> normals;  // unit length, or 0 where the mesh's normals cancel out
  std::vector<game::MeshUv> uvs;
  std::vector<game::MeshFace> faces;
};

// Places each real vertex by its binding's bone and each blend vertex by its
// own; a blend pulls its real vertex to (1 - w) * position + w * blendPosition,
// w = weight / 32768, and its normal (turned by the bone's rotation only) the
// same way, renormalised. Several blends of one vertex apply in file order.
// Bone names are matched exactly. Throws std::invalid_argument, with a plain
// message naming the mesh, for any mesh it cannot place whole: a bone the
// skeleton lacks, an index or range outside the mesh, a vertex covered by no
// binding or by two, a weight above 32768, UVs or vertices missing (a mesh
// read without its coordinates).
PosedMesh PoseMesh(const game::Mesh& mesh, const game::Skeleton& skeleton);

// The smallest box holding every finite position of the meshes; `empty` when
// there is none.
struct Box {
  game::Vec3 min, max;
  bool empty = true;
};
Box Bounds(std::span<const PosedMesh> meshes);

}  // namespace tailorloft::render
