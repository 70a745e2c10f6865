// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/game/game_test_files.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include <gtest/gtest.h>

#include "core/codepage.h"
#include "game/read_error.h"

namespace tailorloft::game::testing {

namespace {

std::string Encoded(const std::string& name) {
  const std::optional<std::string> bytes = Windows1252().Encode(name);
  if (!bytes) throw std::invalid_argument("not Windows-1252 text: " + name);
  return *bytes;
}

// The shortest text that reads back as the same float.
std::string Number(float value) {
  std::array<char, 32> text{};
  const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
  return std::string(text.data(), result.ptr);
}

class Text {
 public:
  Text& Line(const std::string& line) {
    bytes_ += line;
    bytes_ += "\r\n";
    return *this;
  }
  Text& Name(const std::string& name) { return Line(Encoded(name)); }
  template <typename Integer>
  Text& Count(Integer count) {
    return Line(std::to_string(count));
  }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

class Binary {
 public:
  Binary& U8(std::uint8_t value) {
    bytes_.push_back(static_cast<char>(value));
    return *this;
  }
  Binary& U16(std::uint16_t value) {
    U8(static_cast<std::uint8_t>(value & 0xFF));
    return U8(static_cast<std::uint8_t>(value >> 8));
  }
  Binary& U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    return *this;
  }
  Binary& I32(std::int32_t value) { return U32(static_cast<std::uint32_t>(value)); }
  Binary& F32(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return U32(bits);
  }
  Binary& Pascal(const std::string& name) {
    const std::string bytes = Encoded(name);
    if (bytes.size() > 255) throw std::invalid_argument("longer than a Pascal string: " + name);
    U8(static_cast<std::uint8_t>(bytes.size()));
    bytes_ += bytes;
    return *this;
  }
  Binary& Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
  }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
};

std::uint32_t Size(std::size_t size) { return static_cast<std::uint32_t>(size); }

MeshUv UvAt(const Mesh& mesh, std::size_t i) { return i < mesh.uvs.size() ? mesh.uvs[i] : MeshUv{}; }
MeshVertex VertexAt(const Mesh& mesh, std::size_t i) {
  return i < mesh.vertices.size() ? mesh.vertices[i] : MeshVertex{};
}

std::string Joined(std::initializer_list<float> values) {
  std::string text;
  for (const float value : values) {
    if (!text.empty()) text += ' ';
    text += Number(value);
  }
  return text;
}

}  // namespace

std::string SknText(const Mesh& mesh) {
  Text text;
  text.Name(mesh.name).Name(mesh.texture).Count(mesh.bones.size());
  for (const std::string& bone : mesh.bones) text.Name(bone);
  text.Count(mesh.faces.size());
  for (const MeshFace& face : mesh.faces) {
    text.Line(std::to_string(face.a) + " " + std::to_string(face.b) + " " + std::to_string(face.c));
  }
  text.Count(mesh.bindings.size());
  for (const MeshBinding& b : mesh.bindings) {
    text.Line(std::to_string(b.bone) + " " + std::to_string(b.firstReal) + " " + std::to_string(b.realCount) +
              " " + std::to_string(b.firstBlend) + " " + std::to_string(b.blendCount));
  }
  text.Count(mesh.uvCount);
  for (std::size_t i = 0; i < mesh.uvCount; ++i) {
    const MeshUv uv = UvAt(mesh, i);
    text.Line(Joined({uv.u, uv.v}));
  }
  text.Count(mesh.blends.size());
  for (const MeshBlend& blend : mesh.blends) {
    text.Line(std::to_string(blend.vertex) + " " + std::to_string(blend.weight));
  }
  text.Count(mesh.vertexCount);
  for (std::size_t i = 0; i < mesh.vertexCount; ++i) {
    const MeshVertex v = VertexAt(mesh, i);
    text.Line(Joined({v.position.x, v.position.y, v.position.z, v.normal.x, v.normal.y, v.normal.z}));
  }
  return std::move(text.Bytes());
}

std::string BmfBytes(const Mesh& mesh) {
  Binary out;
  out.Pascal(mesh.name).Pascal(mesh.texture).U32(Size(mesh.bones.size()));
  for (const std::string& bone : mesh.bones) out.Pascal(bone);
  out.U32(Size(mesh.faces.size()));
  for (const MeshFace& face : mesh.faces) out.U32(face.a).U32(face.b).U32(face.c);
  out.U32(Size(mesh.bindings.size()));
  for (const MeshBinding& b : mesh.bindings) {
    out.U32(b.bone).U32(b.firstReal).U32(b.realCount).I32(b.firstBlend).U32(b.blendCount);
  }
  out.U32(mesh.uvCount);
  for (std::size_t i = 0; i < mesh.uvCount; ++i) {
    const MeshUv uv = UvAt(mesh, i);
    out.F32(uv.u).F32(uv.v);
  }
  out.U32(Size(mesh.blends.size()));
  for (const MeshBlend& blend : mesh.blends) out.U32(blend.weight).U32(blend.vertex);
  out.U32(mesh.vertexCount);
  for (std::size_t i = 0; i < mesh.vertexCount; ++i) {
    const MeshVertex v = VertexAt(mesh, i);
    out.F32(v.position.x).F32(v.position.y).F32(v.position.z);
    out.F32(v.normal.x).F32(v.normal.y).F32(v.normal.z);
  }
  return std::move(out.Bytes());
}

std::string CmxSkeletonText(const std::vector<Skeleton>& skeletons) {
  Text text;
  text.Line("// Character File. Copyright 1997, Maxis Inc.").Line("version 300").Count(skeletons.size());
  for (const Skeleton& skeleton : skeletons) {
    text.Name(skeleton.name).Count(skeleton.bones.size());
    for (const Bone& bone : skeleton.bones) {
      const auto& t = bone.translation;
      const auto& r = bone.rotation;
      text.Name(bone.name).Name(bone.parent.empty() ? "NULL" : bone.parent).Count(0);
      text.Line("| " + Joined({t[0], t[1], t[2]}) + " |");
      text.Line("| " + Joined({r[0], r[1], r[2], r[3]}) + " |");
      text.Count(1).Count(1).Count(1).Count(0).Count(0);
    }
  }
  text.Count(0).Count(0);
  return std::move(text.Bytes());
}

std::string BcfBytes(const SkeletonFile& file) {
  Binary out;
  out.U32(Size(file.skeletons.size()));
  for (const Skeleton& skeleton : file.skeletons) {
    out.Pascal(skeleton.name).U32(Size(skeleton.bones.size()));
    for (const Bone& bone : skeleton.bones) {
      out.Pascal(bone.name).Pascal(bone.parent.empty() ? "NULL" : bone.parent).U32(0);
      for (const float value : bone.translation) out.F32(value);
      for (const float value : bone.rotation) out.F32(value);
      out.U32(1).U32(1).U32(1).F32(0).F32(0);
    }
  }
  out.U32(Size(file.suits.size()));
  for (const BcfSuit& suit : file.suits) {
    out.Pascal(suit.name).U32(suit.type).U32(0).U32(Size(suit.skins.size()));
    for (const BcfSkin& skin : suit.skins) out.Pascal(skin.bone).Pascal(skin.skinName).U32(skin.flags).U32(0);
  }
  out.U32(0);
  return std::move(out.Bytes());
}

std::string FarBytes(const std::vector<std::pair<std::string, std::string>>& nameAndBytes) {
  std::string data;
  Binary manifest;
  manifest.U32(Size(nameAndBytes.size()));
  for (const auto& [name, bytes] : nameAndBytes) {
    const std::string stored = Encoded(name);
    manifest.U32(Size(bytes.size())).U32(Size(bytes.size())).U32(Size(16 + data.size()));
    manifest.U32(Size(stored.size())).Raw(stored);
    data += bytes;
  }
  Binary out;
  out.Raw("FAR!byAZ").U32(1).U32(Size(16 + data.size())).Raw(data).Raw(manifest.Bytes());
  return std::move(out.Bytes());
}

std::string BmpBytes(int width, int height, int bitCount, std::uint32_t compression, bool topDown,
                     std::uint32_t infoHeaderSize) {
  const bool core = infoHeaderSize == 12;
  const std::uint32_t colors = bitCount <= 8 ? 1u << bitCount : 0;
  const std::uint32_t paletteBytes = colors * (core ? 3 : 4);
  const std::uint32_t masksBytes = compression == 3 && infoHeaderSize == 40 ? 12 : 0;
  const std::uint32_t stride = (static_cast<std::uint32_t>(width * bitCount) + 31) / 32 * 4;
  const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(height);
  const std::uint32_t pixelOffset = 14 + infoHeaderSize + masksBytes + paletteBytes;

  Binary out;
  out.Raw("BM").U32(pixelOffset + pixelBytes).U16(0).U16(0).U32(pixelOffset);
  out.U32(infoHeaderSize);
  if (core) {
    out.U16(static_cast<std::uint16_t>(width)).U16(static_cast<std::uint16_t>(height));
    out.U16(1).U16(static_cast<std::uint16_t>(bitCount));
  } else {
    out.I32(width).I32(topDown ? -height : height).U16(1).U16(static_cast<std::uint16_t>(bitCount));
    out.U32(compression).U32(pixelBytes).I32(2835).I32(2835).U32(0).U32(0);
    if (infoHeaderSize > 40) {
      // Masks, colour space and the rest: plausible values, then zeros.
      out.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF).U32(0xFF000000).U32(0x73524742);  // 'sRGB'
      out.Raw(std::string(infoHeaderSize - 60, '\0'));
    }
  }
  if (masksBytes != 0) out.U32(0x00FF0000).U32(0x0000FF00).U32(0x000000FF);
  for (std::uint32_t i = 0; i < colors; ++i) {
    const auto grey = static_cast<std::uint8_t>(i * 255 / (colors - 1 == 0 ? 1 : colors - 1));
    out.U8(grey).U8(grey).U8(grey);
    if (!core) out.U8(0);
  }
  out.Raw(std::string(pixelBytes, '\0'));
  return std::move(out.Bytes());
}

Skeleton AdultSkeleton() {
  Skeleton skeleton;
  skeleton.name = "adult";
  const auto add = [&](const std::string& name, const std::string& parent, float x, float y, float z) {
    Bone bone;
    bone.name = name;
    bone.parent = parent;
    bone.translation = {x, y, z};
    skeleton.bones.push_back(bone);
  };
  add("ROOT", "", 0, 3, 0);
  add("PELVIS", "ROOT", 0, 0, 0);
  for (const char* side : {"L_", "R_"}) {
    const std::string s = side;
    const float out = s == "L_" ? -1.0f : 1.0f;  // the left side at -X
    add(s + "LEG", "PELVIS", 0.3f * out, -0.15f, 0);
    add(s + "LEG1", s + "LEG", 0, -1.4f, 0);
    add(s + "FOOT", s + "LEG1", 0, -1.4f, 0);
    add(s + "TOE0", s + "FOOT", 0, -0.05f, 0.25f);
    add(s + "TOE01", s + "TOE0", 0, 0, 0.1f);
    add(s + "TOE02", s + "TOE01", 0, 0, 0.05f);
  }
  add("SPINE", "PELVIS", 0, 0.3f, 0);
  add("SPINE1", "SPINE", 0, 0.4f, 0);
  add("SPINE2", "SPINE1", 0, 0.4f, 0);
  add("NECK", "SPINE2", 0, 0.5f, 0);
  add("HEAD", "NECK", 0, 0.4f, 0);
  for (const char* side : {"L_", "R_"}) {
    const std::string s = side;
    const float out = s == "L_" ? -1.0f : 1.0f;
    add(s + "ARM", "NECK", 0.35f * out, -0.15f, 0);
    add(s + "ARM1", s + "ARM", 0.5f * out, 0, 0);
    add(s + "ARM2", s + "ARM1", 0.6f * out, 0, 0);
    add(s + "HAND", s + "ARM2", 0.6f * out, 0, 0);
    add(s + "FINGER0", s + "HAND", 0.2f * out, 0, 0);
  }
  return skeleton;
}

Mesh BoxMesh(const std::string& name, const std::string& texture, const std::string& boneName) {
  Mesh mesh;
  mesh.name = name;
  mesh.texture = texture;
  mesh.bones = {boneName};
  // Vertex i has x, y, z = bits 0, 1, 2 of i; every face turns the same way seen from outside.
  mesh.faces = {{4, 6, 2}, {4, 2, 0}, {1, 3, 7}, {1, 7, 5}, {0, 1, 5}, {0, 5, 4},
                {6, 7, 3}, {6, 3, 2}, {2, 3, 1}, {2, 1, 0}, {4, 5, 7}, {4, 7, 6}};
  mesh.bindings = {{0, 0, 8, -1, 0}};
  const float n = 1.0f / std::sqrt(3.0f);
  for (std::uint32_t i = 0; i < 8; ++i) {
    const float x = (i & 1) != 0 ? 0.5f : -0.5f;
    const float y = (i & 2) != 0 ? 0.5f : -0.5f;
    const float z = (i & 4) != 0 ? 0.5f : -0.5f;
    mesh.vertices.push_back({{x, y, z}, {x * 2 * n, y * 2 * n, z * 2 * n}});
    mesh.uvs.push_back({x + 0.5f, 0.5f - y});
  }
  mesh.uvCount = 8;
  mesh.vertexCount = 8;
  return mesh;
}

Mesh BlendedMesh() {
  Mesh mesh;
  mesh.name = "xskin-b001fa_test-PELVIS-BLEND";
  mesh.texture = "x";
  mesh.bones = {"PELVIS", "SPINE"};
  mesh.faces = {{0, 1, 2}, {0, 2, 3}, {3, 2, 4}, {3, 4, 5}};
  mesh.bindings = {{0, 0, 4, -1, 0}, {1, 4, 2, 0, 2}};
  mesh.blends = {{2, 16384}, {3, 8192}};
  mesh.uvs = {{0, 1}, {1, 1}, {1, 0.5f}, {0, 0.5f}, {1, 0}, {0, 0}};
  mesh.vertices = {
      {{-0.5f, 0, 0}, {0, 0, 1}},    {{0.5f, 0, 0}, {0, 0, 1}},     {{0.5f, 0.3f, 0}, {0, 0, 1}},
      {{-0.5f, 0.3f, 0}, {0, 0, 1}}, {{0.5f, 0.25f, 0}, {0, 0, 1}}, {{-0.5f, 0.25f, 0}, {0, 0, 1}},
      {{0.5f, 0, 0}, {0, 0, 1}},     {{-0.5f, 0, 0}, {0, 0, 1}},  // the blend vertices, in SPINE's space
  };
  mesh.uvCount = 6;
  mesh.vertexCount = 8;
  return mesh;
}

std::string ErrorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const GameFileError& error) {
    return error.what();
  }
  return "(read)";
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return text.replace(at, from.size(), to);
}

std::string WithU32(std::string bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

}  // namespace tailorloft::game::testing
