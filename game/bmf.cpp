// SPDX-License-Identifier: GPL-3.0-or-later
// The binary mesh: the blocks of the text mesh with u32 counts and records
// of a fixed size, so every count is checked against the bytes left before
// anything is reserved for it. Bytes after the last vertex are left alone,
// as the game leaves them.
#include "game/mesh.h"
#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

using detail::ByteCursor;

constexpr std::size_t kFaceSize = 3 * 4;
constexpr std::size_t kBindingSize = 5 * 4;
constexpr std::size_t kUvSize = 2 * 4;
constexpr std::size_t kBlendSize = 2 * 4;
constexpr std::size_t kVertexSize = 6 * 4;

}  // namespace

Mesh ReadBmf(std::string_view bytes, std::string_view fileName, MeshDetail detail) {
  ByteCursor in(bytes, fileName);
  Mesh mesh;
  mesh.binary = true;
  mesh.name = in.Pascal("the mesh name");
  mesh.texture = in.Pascal("the texture name");

  mesh.bonesAt.offset = in.Offset();
  const std::uint32_t bones = in.Count("bone count", 1, false);
  mesh.bones.reserve(bones);
  for (std::uint32_t i = 0; i < bones; ++i) mesh.bones.push_back(in.Pascal("a bone name"));

  mesh.facesAt.offset = in.Offset();
  const std::uint32_t faces = in.Count("face count", kFaceSize, true);
  mesh.faces.reserve(faces);
  for (std::uint32_t i = 0; i < faces; ++i) {
    MeshFace face;
    face.a = in.U32("a face");
    face.b = in.U32("a face");
    face.c = in.U32("a face");
    mesh.faces.push_back(face);
  }

  mesh.bindingsAt.offset = in.Offset();
  const std::uint32_t bindings = in.Count("binding count", kBindingSize, true);
  mesh.bindings.reserve(bindings);
  for (std::uint32_t i = 0; i < bindings; ++i) {
    MeshBinding binding;
    binding.bone = in.U32("a binding");
    binding.firstReal = in.U32("a binding");
    binding.realCount = in.U32("a binding");
    binding.firstBlend = in.I32("a binding");
    binding.blendCount = in.U32("a binding");
    mesh.bindings.push_back(binding);
  }

  mesh.uvsAt.offset = in.Offset();
  mesh.uvCount = in.Count("UV count", kUvSize, true);
  if (detail == MeshDetail::kFull) {
    mesh.uvs.reserve(mesh.uvCount);
    for (std::uint32_t i = 0; i < mesh.uvCount; ++i) {
      MeshUv uv;
      uv.u = in.F32("a UV");
      uv.v = in.F32("a UV");
      mesh.uvs.push_back(uv);
    }
  } else {
    in.Skip(std::uint64_t{mesh.uvCount} * kUvSize, "the UVs");
  }

  mesh.blendsAt.offset = in.Offset();
  const std::uint32_t blends = in.Count("blend count", kBlendSize, true);
  mesh.blends.reserve(blends);
  for (std::uint32_t i = 0; i < blends; ++i) {
    MeshBlend blend;
    blend.weight = in.U32("a blend");  // weight first, the reverse of the text form
    blend.vertex = in.U32("a blend");
    mesh.blends.push_back(blend);
  }

  mesh.verticesAt.offset = in.Offset();
  mesh.vertexCount = in.Count("vertex count", kVertexSize, true);
  if (detail == MeshDetail::kFull) {
    mesh.vertices.reserve(mesh.vertexCount);
    for (std::uint32_t i = 0; i < mesh.vertexCount; ++i) {
      MeshVertex vertex;
      vertex.position = {in.F32("a vertex"), in.F32("a vertex"), in.F32("a vertex")};
      vertex.normal = {in.F32("a vertex"), in.F32("a vertex"), in.F32("a vertex")};
      mesh.vertices.push_back(vertex);
    }
  } else {
    in.Skip(std::uint64_t{mesh.vertexCount} * kVertexSize, "the vertices");
  }
  return mesh;
}

}  // namespace tailorloft::game
