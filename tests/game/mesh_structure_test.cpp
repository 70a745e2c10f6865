// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>

#include "game/mesh.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::game {
namespace {

using testing::BlendedMesh;

// Where a problem is expected: a block's count, or one record of the block.
enum class Block { kFaces, kBindings, kUvs, kBlends, kVertices };

struct Expected {
  std::string message;
  Block block;
  int record = -1;  // -1 for the block itself
};

MeshProblem Placed(const Mesh& read, const Expected& expected) {
  const auto [place, size] = [&]() -> std::pair<MeshBlockPlace, std::uint64_t> {
    switch (expected.block) {
      case Block::kFaces: return {read.facesAt, 12};
      case Block::kBindings: return {read.bindingsAt, 20};
      case Block::kUvs: return {read.uvsAt, 8};
      case Block::kBlends: return {read.blendsAt, 8};
      case Block::kVertices: break;
    }
    return {read.verticesAt, 24};
  }();
  MeshProblem problem;
  problem.message = expected.message;
  if (expected.record < 0) {
    problem.line = read.binary ? 0 : place.line;
    problem.offset = read.binary ? place.offset : 0;
  } else if (read.binary) {
    problem.offset = place.offset + 4 + size * static_cast<std::uint64_t>(expected.record);
  } else {
    problem.line = place.line + 1 + static_cast<std::size_t>(expected.record);
  }
  return problem;
}

TEST(MeshStructureProblems, FindsEachFaultAtItsRecord) {
  struct Case {
    std::string name;
    std::function<void(Mesh&)> edit;
    std::vector<Expected> problems;
  };
  // BlendedMesh: 2 bones, 6 real vertices (0-3 on binding 0, 4-5 on binding 1),
  // 2 blend vertices on binding 1, blends pulling vertices 2 and 3.
  const std::vector<Case> cases = {
      {"fits", [](Mesh&) {}, {}},
      {"face past the real vertices",
       [](Mesh& m) { m.faces[1].c = 6; },
       {{"face 1 names vertex 6, but the mesh has 6 real vertices", Block::kFaces, 1}}},
      {"binding of a missing bone",
       [](Mesh& m) { m.bindings[1].bone = 2; },
       {{"binding 1 names bone 2, but the mesh has 2 bones", Block::kBindings, 1}}},
      {"binding past the real vertices",
       [](Mesh& m) { m.bindings[1].realCount = 3; },
       {{"binding 1 covers real vertices 4 to 6, but the mesh has 6 real vertices", Block::kBindings, 1}}},
      {"bindings overlapping",
       [](Mesh& m) { m.bindings[1].firstReal = 3, m.bindings[1].realCount = 3; },
       {{"binding 1 covers real vertex 3, which binding 0 covers too", Block::kBindings, 1}}},
      {"real vertex unbound",
       [](Mesh& m) { m.bindings[0].realCount = 3; },
       {{"real vertex 3 is bound to no bone", Block::kBindings}}},
      {"blend vertex unbound",
       [](Mesh& m) { m.bindings[1].blendCount = 1; },
       {{"blend vertex 1 is bound to no bone", Block::kBindings}}},
      {"blend vertices overlapping",
       [](Mesh& m) { m.bindings[0].firstBlend = 0, m.bindings[0].blendCount = 2; },
       {{"binding 1 covers blend vertices 0 to 1, which binding 0 covers too", Block::kBindings, 1}}},
      {"binding past the blend vertices",
       [](Mesh& m) { m.bindings[1].blendCount = 3; },
       {{"binding 1 covers blend vertices 0 to 2, but the mesh has 2 blend vertices", Block::kBindings, 1}}},
      {"blends without a first blend",
       [](Mesh& m) { m.bindings[1].firstBlend = -1; },
       {{"binding 1 has 2 blend vertices but no first blend vertex (-1)", Block::kBindings, 1},
        {"blend vertices 0 to 1 are bound to no bone", Block::kBindings}}},
      {"UVs not one a real vertex",
       [](Mesh& m) { m.uvCount = 5; },
       {{"the mesh has 5 UVs but 6 real vertices; each real vertex needs one UV", Block::kUvs}}},
      {"blend of a missing vertex",
       [](Mesh& m) { m.blends[0].vertex = 6; },
       {{"blend 0 pulls vertex 6, but the mesh has 6 real vertices", Block::kBlends, 0}}},
      {"blend weighing more than all",
       [](Mesh& m) { m.blends[1].weight = 32769; },
       {{"blend 1 weighs 32769, more than 32768 (all of the vertex)", Block::kBlends, 1}}},
      {"fewer vertices than blends",
       [](Mesh& m) {
         m = testing::BoxMesh("box", "x", "PELVIS");
         m.blends = {{0, 1}, {0, 1}};
         m.vertexCount = 1;
         m.uvCount = 0;
         m.bindings[0] = {0, 0, 0, 0, 2};
         m.faces.clear();
       },
       {{"the mesh has 2 blends but only 1 vertex; the vertices must be the real ones and then one for each blend",
         Block::kVertices},
        {"blend 0 pulls vertex 0, but the mesh has 0 real vertices", Block::kBlends, 0},
        {"blend 1 pulls vertex 0, but the mesh has 0 real vertices", Block::kBlends, 1}}},
      {"many faces past the real vertices",
       [](Mesh& m) {
         for (MeshFace& face : m.faces) face.a = 9;
         m.faces.insert(m.faces.end(), m.faces.begin(), m.faces.end());
       },
       {{"face 0 names vertex 9, but the mesh has 6 real vertices", Block::kFaces, 0},
        {"face 1 names vertex 9, but the mesh has 6 real vertices", Block::kFaces, 1},
        {"face 2 names vertex 9, but the mesh has 6 real vertices", Block::kFaces, 2},
        {"face 3 names vertex 9, but the mesh has 6 real vertices", Block::kFaces, 3},
        {"face 4 names vertex 9, but the mesh has 6 real vertices", Block::kFaces, 4},
        {"and 3 more faces that name vertices the mesh does not have", Block::kFaces, 5}}},
  };
  for (const Case& c : cases) {
    Mesh mesh = BlendedMesh();
    c.edit(mesh);
    // Through the files, so the places are the ones a reader gives.
    for (const Mesh& read : {ReadSkn(testing::SknText(mesh), "m.skn", MeshDetail::kStructure),
                             ReadBmf(testing::BmfBytes(mesh), "m.bmf", MeshDetail::kStructure)}) {
      std::vector<MeshProblem> expected;
      for (const Expected& e : c.problems) expected.push_back(Placed(read, e));
      EXPECT_EQ(MeshStructureProblems(read), expected) << c.name << (read.binary ? " (binary)" : " (text)");
    }
  }
}

TEST(MeshStructureProblems, FindsNothingInTheBuildersMeshes) {
  EXPECT_EQ(MeshStructureProblems(testing::BoxMesh("box", "x", "HEAD")), std::vector<MeshProblem>{});
}

}  // namespace
}  // namespace tailorloft::game
