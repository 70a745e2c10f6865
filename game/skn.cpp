// SPDX-License-Identifier: GPL-3.0-or-later
// The text mesh: one record a line after each block's count. Records are
// never reserved for beyond what the lines left could hold, and with
// MeshDetail::kStructure the UV and vertex lines are only counted, which is
// what keeps a check of thousands of meshes close to the time of reading them.
#include <algorithm>
#include <array>
#include <limits>

#include "game/mesh.h"
#include "game/read_cursor.h"

namespace tailorloft::game {

namespace {

using detail::ParseFloat;
using detail::ParseI32;
using detail::SplitFields;
using detail::TextCursor;

// One record of a block, named for a message only when one is needed, so
// the lines that read fine cost no string.
struct Record {
  std::string_view kind;
  std::uint32_t index = 0;
  std::uint32_t count = 0;
  std::string_view shape;

  std::string Expected() const {
    return std::string(kind) + " " + std::to_string(index + 1) + " of " + std::to_string(count) + " (" +
           std::string(shape) + ")";
  }
};

// Room for `count` records, but never for more than the bytes left could
// hold at `shortest` bytes a line ("0 0 0" and its line end for a face).
template <typename Vector>
void ReserveFor(Vector& records, std::uint32_t count, const TextCursor& text, std::size_t shortest) {
  records.reserve(std::min<std::size_t>(count, text.BytesLeft() / shortest + 1));
}

std::string_view TakeRecord(TextCursor& text, const Record& record) {
  return text.AtEnd() ? text.Take(record.Expected()) : text.Take({});
}

// The lines of a block whose values are not wanted: counted, not read.
void SkipRecords(TextCursor& text, Record record) {
  record.index = static_cast<std::uint32_t>(text.SkipLines(record.count));
  if (record.index < record.count) text.Take(record.Expected());
}

// Exactly `N` whole unsigned numbers separated by blanks, as ParseU32 takes
// them, in one pass over the line: faces and blends are most of the lines a
// structure read looks at.
template <std::size_t N>
bool ParseIndices(std::string_view line, std::array<std::uint32_t, N>& values) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  const char* p = line.data();
  const char* const end = p + line.size();
  for (std::size_t i = 0; i < N; ++i) {
    while (p != end && blank(*p)) ++p;
    if (p == end || !digit(*p)) return false;
    std::uint64_t value = 0;
    for (; p != end && digit(*p); ++p) {
      value = value * 10 + static_cast<std::uint64_t>(*p - '0');
      if (value > std::numeric_limits<std::uint32_t>::max()) return false;
    }
    if (p != end && !blank(*p)) return false;
    values[i] = static_cast<std::uint32_t>(value);
  }
  while (p != end && blank(*p)) ++p;
  return p == end;
}

template <std::size_t N>
std::array<std::uint32_t, N> Indices(TextCursor& text, const Record& record) {
  const std::string_view line = TakeRecord(text, record);
  std::array<std::uint32_t, N> values{};
  if (!ParseIndices(line, values)) text.Fail(record.Expected(), line);
  return values;
}

// The `N` numbers of the record line `line`, parsed by `parse` each.
template <std::size_t N, typename Parse>
auto Fields(const TextCursor& text, std::string_view line, const Record& record, Parse parse) {
  std::array<std::string_view, N> tokens;
  std::array<typename decltype(parse(std::string_view()))::value_type, N> values{};
  if (!SplitFields(line, tokens.data(), N)) text.Fail(record.Expected(), line);
  for (std::size_t i = 0; i < N; ++i) {
    const auto value = parse(tokens[i]);
    if (!value) text.Fail(record.Expected(), line);
    values[i] = *value;
  }
  return values;
}

}  // namespace

Mesh ReadSkn(std::string_view bytes, std::string_view fileName, MeshDetail detail) {
  TextCursor text(bytes, fileName);
  Mesh mesh;
  mesh.name = text.Name("the mesh name", false, false);
  mesh.texture = text.Name("the texture name", false, false);

  const std::uint32_t bones = text.Count("a bone count");
  mesh.bonesAt.line = text.Line();
  ReserveFor(mesh.bones, bones, text, 2);
  for (std::uint32_t i = 0; i < bones; ++i) {
    mesh.bones.push_back(text.Name(Record{"bone", i, bones, "a bone name"}.Expected(), true, false));
  }

  const std::uint32_t faces = text.Count("a face count");
  mesh.facesAt.line = text.Line();
  ReserveFor(mesh.faces, faces, text, 6);
  for (std::uint32_t i = 0; i < faces; ++i) {
    const auto v = Indices<3>(text, {"face", i, faces, "three vertex indices"});
    mesh.faces.push_back({v[0], v[1], v[2]});
  }

  const std::uint32_t bindings = text.Count("a binding count");
  mesh.bindingsAt.line = text.Line();
  ReserveFor(mesh.bindings, bindings, text, 10);
  for (std::uint32_t i = 0; i < bindings; ++i) {
    const Record record{"binding", i, bindings, "bone, first vertex, vertex count, first blend, blend count"};
    // firstBlend is the one signed field (-1 for none); the others are parsed as
    // signed too and refused when negative, so one parse serves the line.
    const std::string_view line = TakeRecord(text, record);
    const auto v = Fields<5>(text, line, record, ParseI32);
    if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[4] < 0) text.Fail(record.Expected(), line);
    mesh.bindings.push_back({static_cast<std::uint32_t>(v[0]), static_cast<std::uint32_t>(v[1]),
                             static_cast<std::uint32_t>(v[2]), v[3], static_cast<std::uint32_t>(v[4])});
  }

  mesh.uvCount = text.Count("a UV count");
  mesh.uvsAt.line = text.Line();
  if (detail == MeshDetail::kFull) {
    ReserveFor(mesh.uvs, mesh.uvCount, text, 4);
    for (std::uint32_t i = 0; i < mesh.uvCount; ++i) {
      const Record record{"UV", i, mesh.uvCount, "u and v"};
      const auto v = Fields<2>(text, TakeRecord(text, record), record, ParseFloat);
      mesh.uvs.push_back({v[0], v[1]});
    }
  } else {
    SkipRecords(text, {"UV", 0, mesh.uvCount, "u and v"});
  }

  const std::uint32_t blends = text.Count("a blend count");
  mesh.blendsAt.line = text.Line();
  ReserveFor(mesh.blends, blends, text, 4);
  for (std::uint32_t i = 0; i < blends; ++i) {
    const auto v = Indices<2>(text, {"blend", i, blends, "vertex and weight"});
    mesh.blends.push_back({v[0], v[1]});
  }

  mesh.vertexCount = text.Count("a vertex count");
  mesh.verticesAt.line = text.Line();
  if (detail == MeshDetail::kFull) {
    ReserveFor(mesh.vertices, mesh.vertexCount, text, 12);
    for (std::uint32_t i = 0; i < mesh.vertexCount; ++i) {
      const Record record{"vertex", i, mesh.vertexCount, "position and normal, six numbers"};
      const auto v = Fields<6>(text, TakeRecord(text, record), record, ParseFloat);
      mesh.vertices.push_back({{v[0], v[1], v[2]}, {v[3], v[4], v[5]}});
    }
  } else {
    SkipRecords(text, {"vertex", 0, mesh.vertexCount, "position and normal, six numbers"});
  }

  text.ExpectEnd();
  return mesh;
}

}  // namespace tailorloft::game
