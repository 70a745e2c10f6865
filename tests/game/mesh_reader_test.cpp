// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "game/mesh.h"
#include "game/read_error.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

using testing::BlendedMesh;
using testing::BmfBytes;
using testing::BoxMesh;
using testing::ErrorOf;
using testing::Replaced;
using testing::SknText;

// What a reader gives back for a mesh the builders wrote: the places it
// found, and no values where the detail skips them.
Mesh AsRead(Mesh mesh, const Mesh& read, MeshDetail detail) {
  mesh.binary = read.binary;
  mesh.bonesAt = read.bonesAt;
  mesh.facesAt = read.facesAt;
  mesh.bindingsAt = read.bindingsAt;
  mesh.uvsAt = read.uvsAt;
  mesh.blendsAt = read.blendsAt;
  mesh.verticesAt = read.verticesAt;
  if (detail == MeshDetail::kStructure) {
    mesh.uvs.clear();
    mesh.vertices.clear();
  }
  return mesh;
}

Mesh AwkwardMesh() {
  Mesh mesh = BlendedMesh();
  mesh.name = "xskin-b001fa_Café €-PELVIS-BODY.skn";  // a name ending in .skn is read; the check reports it
  mesh.texture = "b001falgt_café.bmp";
  mesh.bones = {"PELVIS", "SPINE 2"};
  mesh.uvs[0] = {1e-8f, -0.333333343f};
  mesh.vertices[0].position = {-1234.5678f, 3.4e38f, -0.0f};
  return mesh;
}

TEST(ReadMesh, GivesBackWhatTheBuildersWrote) {
  for (const Mesh& mesh : {BoxMesh("box", "x", "HEAD"), BlendedMesh(), AwkwardMesh()}) {
    for (const MeshDetail detail : {MeshDetail::kFull, MeshDetail::kStructure}) {
      const Mesh text = ReadSkn(SknText(mesh), "m.skn", detail);
      EXPECT_EQ(text, AsRead(mesh, text, detail)) << mesh.name;
      EXPECT_FALSE(text.binary);
      const Mesh binary = ReadBmf(BmfBytes(mesh), "m.bmf", detail);
      EXPECT_EQ(binary, AsRead(mesh, binary, detail)) << mesh.name;
      EXPECT_TRUE(binary.binary);
    }
  }
}

TEST(ReadMesh, PlacesEachBlockAtItsCount) {
  const Mesh mesh = BlendedMesh();  // 2 bones, 4 faces, 2 bindings, 6 UVs, 2 blends, 8 vertices
  const Mesh text = ReadSkn(SknText(mesh), "m.skn");
  const std::vector<std::size_t> lines = {text.bonesAt.line, text.facesAt.line,  text.bindingsAt.line,
                                          text.uvsAt.line,   text.blendsAt.line, text.verticesAt.line};
  EXPECT_EQ(lines, (std::vector<std::size_t>{3, 6, 11, 14, 21, 24}));
  const Mesh binary = ReadBmf(BmfBytes(mesh), "m.bmf");
  const std::uint64_t bones = 1 + mesh.name.size() + 2;  // two Pascal strings: the name and "x"
  const std::vector<std::uint64_t> offsets = {binary.bonesAt.offset,    binary.facesAt.offset,
                                              binary.bindingsAt.offset, binary.uvsAt.offset,
                                              binary.blendsAt.offset,   binary.verticesAt.offset};
  const std::uint64_t faces = bones + 4 + 7 + 6;
  EXPECT_EQ(offsets, (std::vector<std::uint64_t>{bones, faces, faces + 4 + 48, faces + 52 + 4 + 40,
                                                 faces + 96 + 4 + 48, faces + 148 + 4 + 16}));
}

TEST(ReadSkn, TakesWhatHandsWrite) {
  const Mesh mesh = BlendedMesh();
  std::string text = SknText(mesh);
  // LF line ends, blanks around numbers and names, blank lines at the end.
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, "\n");
  text = Replaced(text, "\n0 1 2\n", "\n \t0  1\t2 \n");
  text = Replaced(text, "\nPELVIS\n", "\n\tPELVIS \n");
  text = Replaced(text, "\n8\n", "\n 8\t\n");
  text += "\n \t\n";
  const Mesh read = ReadSkn(text, "m.skn");
  EXPECT_EQ(read, AsRead(mesh, read, MeshDetail::kFull));
}

TEST(ReadSkn, RefusesWithTheLineAndWhatWasExpected) {
  const std::string box = SknText(BoxMesh("box", "x", "PELVIS"));
  struct Case {
    std::string text;
    std::string message;
    MeshDetail detail = MeshDetail::kFull;
  };
  const std::vector<Case> cases = {
      {"", "line 1: expected the mesh name, found the end of the file"},
      {"box\r\n\r\n", "line 2: expected the texture name, found \"\""},
      {Replaced(box, "\r\n12\r\n", "\r\nPELVIS\r\n"), "line 5: expected a face count, found \"PELVIS\""},
      {Replaced(box, "\r\n12\r\n", "\r\n4294967296\r\n"),
       "line 5: expected a face count, found \"4294967296\""},
      {Replaced(box, "\r\n12\r\n", "\r\n-1\r\n"), "line 5: expected a face count, found \"-1\""},
      {Replaced(box, "\r\n4 6 2\r\n", "\r\n4 6\r\n"),
       "line 6: expected face 1 of 12 (three vertex indices), found \"4 6\""},
      {Replaced(box, "\r\n4 6 2\r\n", "\r\n4 6 2 0\r\n"),
       "line 6: expected face 1 of 12 (three vertex indices), found \"4 6 2 0\""},
      {Replaced(box, "\r\n4 6 2\r\n", "\r\n4 6 2.5\r\n"),
       "line 6: expected face 1 of 12 (three vertex indices), found \"4 6 2.5\""},
      {Replaced(box, "\r\n4 6 2\r\n", "\r\n4 +6 2\r\n"),
       "line 6: expected face 1 of 12 (three vertex indices), found \"4 +6 2\""},
      {Replaced(box, "\r\n4 6 2\r\n", "\r\n4 6 4294967296\r\n"),
       "line 6: expected face 1 of 12 (three vertex indices), found \"4 6 4294967296\""},
      {Replaced(box, "\r\n0 0 8 -1 0\r\n", "\r\n0 -1 8 -1 0\r\n"),
       "line 19: expected binding 1 of 1 (bone, first vertex, vertex count, first blend, blend count), "
       "found \"0 -1 8 -1 0\""},
      // A hostile count costs what the lines cost: reading stops at the first line that is not a face.
      {Replaced(box, "\r\n12\r\n", "\r\n4000000000\r\n"),
       "line 18: expected face 13 of 4000000000 (three vertex indices), found \"1\""},
      {Replaced(box, "\r\n0 1\r\n", "\r\n0 one\r\n"),
       "line 21: expected UV 1 of 8 (u and v), found \"0 one\""},
      {Replaced(box, "\r\n0 1\r\n", "\r\n0 inf\r\n"),
       "line 21: expected UV 1 of 8 (u and v), found \"0 inf\""},
      {box + "0 0 0 0 0 0\r\n", "line 39: expected the end of the file, found \"0 0 0 0 0 0\""},
      {box + "0 0 0 0 0 0\r\n", "line 39: expected the end of the file, found \"0 0 0 0 0 0\"",
       MeshDetail::kStructure},
      {Replaced(box, "box", "b\x81x"),
       "line 1: expected the mesh name, found \"b\\x81x\", which is not text in Windows-1252"},
      {Replaced(box, "PELVIS", ""), "line 4: expected bone 1 of 1 (a bone name), found \"\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { ReadSkn(c.text, "m.skn", c.detail); }),
              "Could not read \"m.skn\": " + c.message + ".")
        << c.text;
  }
  // Only the full read looks at the numbers of UVs and vertices.
  EXPECT_NO_THROW(ReadSkn(Replaced(box, "\r\n0 1\r\n", "\r\n0 one\r\n"), "m.skn", MeshDetail::kStructure));
}

// Cut after any line but the last, the file is refused at the line that is missing.
TEST(ReadSkn, RefusesAFileCutAfterAnyLine) {
  const std::string text = SknText(BlendedMesh());
  std::size_t line = 0;
  for (std::size_t end = 0; (end = text.find('\n', end)) != text.size() - 1; ++end) {
    ++line;
    for (const MeshDetail detail : {MeshDetail::kFull, MeshDetail::kStructure}) {
      try {
        ReadSkn(text.substr(0, end + 1), "m.skn", detail);
        ADD_FAILURE() << "read when cut after line " << line;
      } catch (const GameFileError& error) {
        EXPECT_EQ(error.Line(), line + 1);
        EXPECT_NE(error.Problem().find(", found the end of the file"), std::string::npos) << error.what();
      }
    }
  }
}

TEST(ReadBmf, RefusesWithTheOffsetAndWhatWasExpected) {
  const Mesh mesh = BoxMesh("box", "x", "PELVIS");
  const std::string bytes = BmfBytes(mesh);
  const std::size_t faces = 1 + 3 + 1 + 1 + 4 + 1 + 6;  // the face count's offset
  const auto withU32 = [&](std::size_t at, std::uint32_t value) {
    std::string edited = bytes;
    for (std::size_t i = 0; i < 4; ++i) edited[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return edited;
  };
  struct Case {
    std::string bytes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"", "at byte 0: expected 1 byte for the mesh name, found the end of the file"},
      {"\x05"
       "ab",
       "at byte 1: expected 5 bytes for the mesh name, found 2"},
      {bytes.substr(0, 13), "at byte 11: expected 6 bytes for a bone name, found 2"},
      {bytes.substr(0, faces + 4 + 20),
       "at byte 17: the face count is 12, but the 20 bytes left hold at most 1 record of 12 bytes"},
      {withU32(faces, 4000000000),
       "at byte 17: the face count is 4000000000, but the 436 bytes left hold at most 36 records of 12 bytes"},
      {withU32(6, 4000000000),
       "at byte 6: the bone count is 4000000000, but the 447 bytes left hold at most 447 records of at least 1 byte"},
      {"\x03"
       "b\x81x",
       "at byte 1: expected the mesh name, found \"b\\x81x\", which is not text in Windows-1252"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { ReadBmf(c.bytes, "m.bmf"); }), "Could not read \"m.bmf\": " + c.message + ".");
  }
  // The parts, for findings that lay the message out themselves.
  try {
    ReadBmf(bytes.substr(0, 13), "m.bmf");
  } catch (const GameFileError& error) {
    EXPECT_EQ(error.FileName(), "m.bmf");
    EXPECT_EQ(error.Offset(), 11u);
    EXPECT_EQ(error.ProblemWithOffset(), "at byte 11: expected 6 bytes for a bone name, found 2");
  }
  try {
    ReadSkn("box\r\n", "m.skn");
  } catch (const GameFileError& error) {
    EXPECT_EQ(error.Offset(), kNoOffset);
    EXPECT_EQ(error.ProblemWithOffset(), "expected the texture name, found the end of the file");
  }
}

// Cut anywhere before the end, the file is refused at or before the cut.
TEST(ReadBmf, RefusesAFileCutAnywhere) {
  const std::string bytes = BmfBytes(BlendedMesh());
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    for (const MeshDetail detail : {MeshDetail::kFull, MeshDetail::kStructure}) {
      try {
        ReadBmf(bytes.substr(0, size), "m.bmf", detail);
        ADD_FAILURE() << "read when cut to " << size << " bytes";
      } catch (const GameFileError& error) {
        EXPECT_LE(error.Offset(), size);
        EXPECT_EQ(error.Line(), 0u);
      }
    }
  }
}

}  // namespace
}  // namespace tailorloft::game
