// SPDX-License-Identifier: GPL-3.0-or-later
// A skin mesh of the game, read from its text form (.skn) or its binary one
// (.bmf) into one type: name, texture, bones, faces, bindings, UVs, blends
// and vertices, with where each block stands in the file for messages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tailorloft::game {

struct Vec3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const Vec3&, const Vec3&) = default;
};

struct MeshFace {
  std::uint32_t a = 0, b = 0, c = 0;  // indices into the real vertices
  friend bool operator==(const MeshFace&, const MeshFace&) = default;
};

// Real vertices firstReal .. firstReal + realCount - 1 and blend vertices
// firstBlend .. firstBlend + blendCount - 1 (counted after the real ones)
// hang on bones[bone]. firstBlend is -1 when blendCount is 0.
struct MeshBinding {
  std::uint32_t bone = 0;
  std::uint32_t firstReal = 0;
  std::uint32_t realCount = 0;
  std::int32_t firstBlend = -1;
  std::uint32_t blendCount = 0;
  friend bool operator==(const MeshBinding&, const MeshBinding&) = default;
};

struct MeshUv {
  float u = 0, v = 0;  // fractions of the texture, v counted from its top row
  friend bool operator==(const MeshUv&, const MeshUv&) = default;
};

// Blend vertex i (the i-th after the real ones) pulls real vertex `vertex`
// with weight / 32768.
struct MeshBlend {
  std::uint32_t vertex = 0;
  std::uint32_t weight = 0;
  friend bool operator==(const MeshBlend&, const MeshBlend&) = default;
};

struct MeshVertex {
  Vec3 position;
  Vec3 normal;
  friend bool operator==(const MeshVertex&, const MeshVertex&) = default;
};

// Where a block of the mesh starts: for a text file the line of its count
// (its records follow one a line), for a binary one the byte offset of its
// count (its records follow at a fixed size each). 0 when not read.
struct MeshBlockPlace {
  std::size_t line = 0;
  std::uint64_t offset = 0;
  friend bool operator==(const MeshBlockPlace&, const MeshBlockPlace&) = default;
};

struct Mesh {
  std::string name;     // the name line / string, Windows-1252 decoded to UTF-8
  std::string texture;  // the default texture's name, "x" for none
  std::vector<std::string> bones;
  std::vector<MeshFace> faces;
  std::vector<MeshBinding> bindings;
  std::vector<MeshBlend> blends;
  // The counts as the file gives them; always set.
  std::uint32_t uvCount = 0;
  std::uint32_t vertexCount = 0;  // real + blend
  // Filled only when read with MeshDetail::kFull; a check needs counts,
  // indices and names, not coordinates.
  std::vector<MeshUv> uvs;
  std::vector<MeshVertex> vertices;

  bool binary = false;  // read from a .bmf
  MeshBlockPlace bonesAt, facesAt, bindingsAt, uvsAt, blendsAt, verticesAt;

  friend bool operator==(const Mesh&, const Mesh&) = default;
};

enum class MeshDetail {
  kStructure,  // counts, indices and names; UV and vertex values are skipped (not converted)
  kFull,       // everything, for drawing
};

// Read a mesh from its bytes. `fileName` is only for messages. Throw
// GameFileError (line for .skn, byte offset for .bmf) for anything that is
// not such a mesh. No count is trusted before the bytes left can hold that
// many records, so a hostile count costs nothing.
Mesh ReadSkn(std::string_view bytes, std::string_view fileName, MeshDetail detail = MeshDetail::kFull);
Mesh ReadBmf(std::string_view bytes, std::string_view fileName, MeshDetail detail = MeshDetail::kFull);

// One fault in how a mesh's counts and indices fit together, with the place
// it was found (a line of a .skn; for a .bmf the byte offset of the record).
struct MeshProblem {
  std::size_t line = 0;
  std::uint64_t offset = 0;
  std::string message;  // plain words, e.g. "face 12 names vertex 480, but the mesh has 369 real vertices"
  friend bool operator==(const MeshProblem&, const MeshProblem&) = default;
};

// Everything that does not fit: a face naming a vertex that does not exist,
// a binding naming a bone not in the list, a binding's range outside the
// vertices or overlapping another, real or blend vertices not covered
// exactly once by the bindings, a blend naming a missing vertex or weighing
// more than 32768, vertices not equal to real + blend, UVs not equal to the
// real vertices. Real vertices are the vertex count less the blend count.
std::vector<MeshProblem> MeshStructureProblems(const Mesh& mesh);

}  // namespace tailorloft::game
