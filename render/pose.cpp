// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pose.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tailorloft::render {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// rotation of the conjugate of the unit quaternion (x, y, z, w), which is
// the transpose of the quaternion's own.
std::array<double, 9> ConjugateRotation(const game::Bone& bone) {
  double x = bone.rotation[0], y = bone.rotation[1], z = bone.rotation[2], w = bone.rotation[3];
  const double length = std::sqrt(x * x + y * y + z * z + w * w);
  if (!std::isfinite(length) || length < 1e-6) {
    throw std::invalid_argument("bone \"" + bone.name + "\" has no usable rotation");
  }
  x /= length, y /= length, z /= length, w /= length;
  return {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),
          2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),
          2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y)};
}

BoneTransform Compose(const BoneTransform& parent, const game::Bone& bone) {
  const std::array<double, 9> local = ConjugateRotation(bone);
  const auto& p = parent.rotation;
  BoneTransform world;
  for (std::size_t r = 0; r < 3; ++r) {
    for (std::size_t c = 0; c < 3; ++c) {
      world.rotation[r * 3 + c] =
          p[r * 3] * local[c] + p[r * 3 + 1] * local[3 + c] + p[r * 3 + 2] * local[6 + c];
    }
    world.translation[r] = p[r * 3] * bone.translation[0] + p[r * 3 + 1] * bone.translation[1] +
                           p[r * 3 + 2] * bone.translation[2] + parent.translation[r];
  }
  return world;
}

struct Point {
  double x = 0, y = 0, z = 0;
};

Point Rotate(const BoneTransform& t, const game::Vec3& v) {
  const auto& m = t.rotation;
  return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
          m[6] * v.x + m[7] * v.y + m[8] * v.z};
}

Point Place(const BoneTransform& t, const game::Vec3& v) {
  const Point r = Rotate(t, v);
  return {r.x + t.translation[0], r.y + t.translation[1], r.z + t.translation[2]};
}

Point Mix(const Point& a, const Point& b, double w) {
  return {(1 - w) * a.x + w * b.x, (1 - w) * a.y + w * b.y, (1 - w) * a.z + w * b.z};
}

// Mirrored into the drawing frame.
game::Vec3 Mirrored(const Point& p) {
  return {static_cast<float>(-p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
}

// "1 real vertex", "2 real vertices".
std::string Count(std::uint64_t n, std::string_view one, std::string_view many) {
  return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

[[noreturn]] void Refuse(const game::Mesh& mesh, const std::string& why) {
  throw std::invalid_argument("mesh \"" + mesh.name + "\": " + why);
}

// Marks vertices first .. first + count - 1 of `covered` as bound, refusing a
// range outside it or a vertex bound twice.
void Cover(const game::Mesh& mesh, std::vector<bool>& covered, std::uint64_t first, std::uint64_t count,
           std::size_t binding, std::string_view kind) {
  if (count > 0 && first + count > covered.size()) {
    Refuse(mesh, "binding " + std::to_string(binding) + " names " + std::string(kind) + " vertices " +
                     std::to_string(first) + " to " + std::to_string(first + count - 1) + ", but the mesh has " +
                     Count(covered.size(), std::string(kind) + " vertex", std::string(kind) + " vertices"));
  }
  for (auto k = static_cast<std::size_t>(first); k < first + count; ++k) {
    if (covered[k]) {
      Refuse(mesh, std::string(kind) + " vertex " + std::to_string(k) + " is bound twice");
    }
    covered[k] = true;
  }
}

// Everything PoseMesh indexes, checked before anything is placed; returns
// the skeleton index of each of the mesh's bones.
std::vector<std::size_t> CheckMesh(const game::Mesh& mesh, const game::Skeleton& skeleton) {
  if (mesh.vertices.size() != mesh.vertexCount) {
    Refuse(mesh, "holds " + std::to_string(mesh.vertices.size()) + " of its " +
                     std::to_string(mesh.vertexCount) + " vertices");
  }
  if (mesh.blends.size() > mesh.vertices.size()) {
    Refuse(mesh, "has " + Count(mesh.blends.size(), "blend", "blends") + " but only " +
                     Count(mesh.vertices.size(), "vertex", "vertices"));
  }
  const std::size_t real = mesh.vertices.size() - mesh.blends.size();
  if (mesh.uvs.size() != real) {
    Refuse(mesh, "has " + Count(mesh.uvs.size(), "UV", "UVs") + " for " +
                     Count(real, "real vertex", "real vertices"));
  }

  std::unordered_map<std::string_view, std::size_t> byName;
  for (std::size_t i = 0; i < skeleton.bones.size(); ++i) byName.emplace(skeleton.bones[i].name, i);
  std::vector<std::size_t> bones;
  for (const std::string& name : mesh.bones) {
    const auto found = byName.find(name);
    if (found == byName.end()) {
      Refuse(mesh, "bone \"" + name + "\" is not in the skeleton \"" + skeleton.name + "\"");
    }
    bones.push_back(found->second);
  }

  std::vector<bool> realCovered(real), blendCovered(mesh.blends.size());
  for (std::size_t b = 0; b < mesh.bindings.size(); ++b) {
    const game::MeshBinding& binding = mesh.bindings[b];
    if (binding.bone >= bones.size()) {
      Refuse(mesh, "binding " + std::to_string(b) + " names bone " + std::to_string(binding.bone) +
                       ", but the mesh lists " + Count(bones.size(), "bone", "bones"));
    }
    Cover(mesh, realCovered, binding.firstReal, binding.realCount, b, "real");
    if (binding.blendCount > 0) {
      if (binding.firstBlend < 0) {
        Refuse(mesh, "binding " + std::to_string(b) + " has blend vertices but no first one");
      }
      Cover(mesh, blendCovered, static_cast<std::uint64_t>(binding.firstBlend), binding.blendCount, b, "blend");
    }
  }
  if (const auto loose = std::find(realCovered.begin(), realCovered.end(), false); loose != realCovered.end()) {
    Refuse(mesh, "real vertex " + std::to_string(loose - realCovered.begin()) + " is bound to no bone");
  }
  if (const auto loose = std::find(blendCovered.begin(), blendCovered.end(), false);
      loose != blendCovered.end()) {
    Refuse(mesh, "blend vertex " + std::to_string(loose - blendCovered.begin()) + " is bound to no bone");
  }

  for (std::size_t i = 0; i < mesh.blends.size(); ++i) {
    const game::MeshBlend& blend = mesh.blends[i];
    if (blend.vertex >= real) {
      Refuse(mesh, "blend " + std::to_string(i) + " pulls vertex " + std::to_string(blend.vertex) +
                       ", but the mesh has " + Count(real, "real vertex", "real vertices"));
    }
    if (blend.weight > 32768) {
      Refuse(mesh, "blend " + std::to_string(i) + " weighs " + std::to_string(blend.weight) +
                       ", more than 32768");
    }
  }
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    const game::MeshFace& face = mesh.faces[f];
    for (const std::uint32_t corner : {face.a, face.b, face.c}) {
      if (corner >= real) {
        Refuse(mesh, "face " + std::to_string(f) + " names vertex " + std::to_string(corner) +
                         ", but the mesh has " + Count(real, "real vertex", "real vertices"));
      }
    }
  }
  return bones;
}

}  // namespace

std::vector<BoneTransform> BoneWorldTransforms(const game::Skeleton& skeleton) {
  const std::size_t count = skeleton.bones.size();
  std::unordered_map<std::string_view, std::size_t> byName;
  for (std::size_t i = 0; i < count; ++i) {
    if (!byName.emplace(skeleton.bones[i].name, i).second) {
      throw std::invalid_argument("skeleton \"" + skeleton.name + "\" has two bones called \"" +
                                  skeleton.bones[i].name + "\"");
    }
  }
  std::vector<std::size_t> parents(count, kNone);
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& parent = skeleton.bones[i].parent;
    if (parent.empty()) continue;
    const auto found = byName.find(parent);
    if (found == byName.end()) {
      throw std::invalid_argument("bone \"" + skeleton.bones[i].name + "\" hangs on \"" + parent +
                                  "\", which is not in the skeleton \"" + skeleton.name + "\"");
    }
    parents[i] = found->second;
  }

  // Files list parents first, but nothing here relies on it: each bone is
  // placed after the chain above it, walked without recursion so that a long
  // chain cannot exhaust the stack.
  std::vector<BoneTransform> world(count);
  enum class State : std::uint8_t { kTodo, kWalking, kDone };
  std::vector<State> state(count, State::kTodo);
  std::vector<std::size_t> chain;
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t k = i; k != kNone && state[k] != State::kDone; k = parents[k]) {
      if (state[k] == State::kWalking) {
        throw std::invalid_argument("bone \"" + skeleton.bones[k].name + "\" is its own ancestor");
      }
      state[k] = State::kWalking;
      chain.push_back(k);
    }
    for (; !chain.empty(); chain.pop_back()) {
      const std::size_t k = chain.back();
      world[k] = Compose(parents[k] == kNone ? BoneTransform{} : world[parents[k]], skeleton.bones[k]);
      state[k] = State::kDone;
    }
  }
  return world;
}

PosedMesh PoseMesh(const game::Mesh& mesh, const game::Skeleton& skeleton) {
  const std::vector<std::size_t> bones = CheckMesh(mesh, skeleton);
  const std::vector<BoneTransform> world = BoneWorldTransforms(skeleton);
  const std::size_t real = mesh.vertices.size() - mesh.blends.size();

  std::vector<Point> positions(real), normals(real);
  std::vector<Point> blendPositions(mesh.blends.size()), blendNormals(mesh.blends.size());
  for (const game::MeshBinding& binding : mesh.bindings) {
    const BoneTransform& bone = world[bones[binding.bone]];
    for (std::size_t k = binding.firstReal; k < binding.firstReal + std::size_t{binding.realCount}; ++k) {
      positions[k] = Place(bone, mesh.vertices[k].position);
      normals[k] = Rotate(bone, mesh.vertices[k].normal);
    }
    for (std::size_t i = 0; i < binding.blendCount; ++i) {
      const std::size_t blend = static_cast<std::size_t>(binding.firstBlend) + i;
      blendPositions[blend] = Place(bone, mesh.vertices[real + blend].position);
      blendNormals[blend] = Rotate(bone, mesh.vertices[real + blend].normal);
    }
  }
  for (std::size_t i = 0; i < mesh.blends.size(); ++i) {
    const std::size_t k = mesh.blends[i].vertex;
    const double w = mesh.blends[i].weight / 32768.0;
    positions[k] = Mix(positions[k], blendPositions[i], w);
    normals[k] = Mix(normals[k], blendNormals[i], w);
  }

  PosedMesh posed;
  posed.positions.reserve(real);
  posed.normals.reserve(real);
  for (std::size_t k = 0; k < real; ++k) {
    posed.positions.push_back(Mirrored(positions[k]));
    Point n = normals[k];
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0) n = {n.x / length, n.y / length, n.z / length};
    posed.normals.push_back(Mirrored(n));
  }
  posed.uvs = mesh.uvs;
  posed.faces.reserve(mesh.faces.size());
  for (const game::MeshFace& face : mesh.faces) posed.faces.push_back({face.a, face.c, face.b});
  return posed;
}

Box Bounds(std::span<const PosedMesh> meshes) {
  Box box;
  for (const PosedMesh& mesh : meshes) {
    for (const game::Vec3& p : mesh.positions) {
      if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) continue;
      if (box.empty) {
        box = {p, p, false};
        continue;
      }
      box.min = {std::min(box.min.x, p.x), std::min(box.min.y, p.y), std::min(box.min.z, p.z)};
      box.max = {std::max(box.max.x, p.x), std::max(box.max.y, p.y), std::max(box.max.z, p.z)};
    }
  }
  return box;
}

}  // namespace tailorloft::render
