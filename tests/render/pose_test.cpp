// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pose.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/game/game_test_files.h"

namespace tailorloft::render {
namespace {

using game::Mesh;
using game::Vec3;

// Bone A, the root, 3 up and a quarter turn about Z; bone B one along A's x.
game::Skeleton TwoBones() {
  game::Skeleton skeleton;
  skeleton.name = "two";
  game::Bone a;
  a.name = "A";
  a.translation = {0, 3, 0};
  a.rotation = {0, 0, 0.7071068f, 0.7071068f};
  game::Bone b;
  b.name = "B";
  b.parent = "A";
  b.translation = {1, 0, 0};
  skeleton.bones = {a, b};
  return skeleton;
}

// One triangle's three real vertices on `bone`, the first at `position` with `normal`.
Mesh OnBone(const std::string& bone, Vec3 position, Vec3 normal) {
  Mesh mesh;
  mesh.name = "m";
  mesh.bones = {bone};
  mesh.faces = {{0, 1, 2}};
  mesh.bindings = {{0, 0, 3, -1, 0}};
  mesh.uvs = {{0.25f, 0.75f}, {0, 0}, {0, 0}};
  mesh.vertices = {{position, normal}, {}, {}};
  mesh.uvCount = 3;
  mesh.vertexCount = 3;
  return mesh;
}

// A blend vertex on the same bone pulling real vertex 0.
Mesh& AddBlend(Mesh& mesh) {
  mesh.vertices.push_back({});
  mesh.vertexCount = 4;
  mesh.blends = {{0, 100}};
  mesh.bindings[0].firstBlend = 0;
  mesh.bindings[0].blendCount = 1;
  return mesh;
}

void ExpectNear(const Vec3& actual, const Vec3& expected, const std::string& what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-5) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-5) << what;
}

// The worked example of the bone transform (the conjugate of the stored
// quaternion), then the mirror x -> -x, by hand.
TEST(PoseMesh, PlacesRealVerticesByTheirBoneAndMirrorsX) {
  struct Case {
    const char* bone;
    Vec3 position, normal;
    Vec3 placed, turned;
  };
  const Case cases[] = {
      {"B", {1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}},
      {"A", {1, 0, 0}, {0, 1, 0}, {0, 2, 0}, {-1, 0, 0}},
      {"A", {0, 1, 0}, {0, 0, 1}, {-1, 3, 0}, {0, 0, 1}},
      {"B", {0, 0, 2}, {0, 1, 0}, {0, 2, 2}, {-1, 0, 0}},
  };
  for (const Case& c : cases) {
    const PosedMesh posed = PoseMesh(OnBone(c.bone, c.position, c.normal), TwoBones());
    const std::string what = std::string(c.bone) + " vertex " + std::to_string(c.position.x) + " " +
                             std::to_string(c.position.y) + " " + std::to_string(c.position.z);
    ExpectNear(posed.positions[0], c.placed, what);
    ExpectNear(posed.normals[0], c.turned, what);
    EXPECT_EQ(posed.uvs[0], (game::MeshUv{0.25f, 0.75f})) << what;
    // The mirror turns the winding; swapping two corners turns it back.
    EXPECT_EQ(posed.faces, (std::vector<game::MeshFace>{{0, 2, 1}})) << what;
  }
}

TEST(PoseMesh, BlendPullsItsRealVertexByItsWeight) {
  Mesh mesh;
  mesh.name = "blended";
  mesh.bones = {"A", "B"};
  mesh.faces = {{0, 0, 0}};
  // Real vertex 0 on A lands at (0, 2, 0); blend vertex 0 on B at (0, 1, 0).
  mesh.bindings = {{0, 0, 1, -1, 0}, {1, 1, 0, 0, 1}};
  mesh.blends = {{0, 8192}};
  mesh.uvs = {{0, 0}};
  mesh.vertices = {{{1, 0, 0}, {0, 1, 0}}, {{1, 0, 0}, {1, 0, 0}}};
  mesh.uvCount = 1;
  mesh.vertexCount = 2;
  const PosedMesh posed = PoseMesh(mesh, TwoBones());
  ASSERT_EQ(posed.positions.size(), 1u);
  // 0.75 * (0, 2, 0) + 0.25 * (0, 1, 0); normals 0.75 * (1, 0, 0) + 0.25 * (0, -1, 0), renormalised, mirrored.
  ExpectNear(posed.positions[0], {0, 1.75f, 0}, "position");
  ExpectNear(posed.normals[0], {-0.9486833f, -0.3162278f, 0}, "normal");
}

TEST(PoseMesh, RefusesAMeshItCannotPlaceWhole) {
  struct Case {
    std::function<void(Mesh&)> change;
    const char* message;
  };
  const Case cases[] = {
      {[](Mesh& m) { m.bones = {"HAND"}; }, "mesh \"m\": bone \"HAND\" is not in the skeleton \"two\""},
      {[](Mesh& m) { m.bones = {"a"}; }, "mesh \"m\": bone \"a\" is not in the skeleton \"two\""},
      {[](Mesh& m) { m.bindings[0].bone = 1; }, "mesh \"m\": binding 0 names bone 1, but the mesh lists 1 bone"},
      {[](Mesh& m) { m.faces.push_back({0, 3, 1}); },
       "mesh \"m\": face 1 names vertex 3, but the mesh has 3 real vertices"},
      {[](Mesh& m) { m.bindings[0].realCount = 4; },
       "mesh \"m\": binding 0 names real vertices 0 to 3, but the mesh has 3 real vertices"},
      {[](Mesh& m) { m.bindings[0].firstReal = 0xFFFFFFFFu; },
       "mesh \"m\": binding 0 names real vertices 4294967295 to 4294967297, but the mesh has 3 real vertices"},
      {[](Mesh& m) { m.bindings[0].realCount = 2; }, "mesh \"m\": real vertex 2 is bound to no bone"},
      {[](Mesh& m) { m.bindings.push_back({0, 2, 1, -1, 0}); }, "mesh \"m\": real vertex 2 is bound twice"},
      {[](Mesh& m) { m.vertices.clear(); }, "mesh \"m\": holds 0 of its 3 vertices"},
      {[](Mesh& m) { m.uvs.clear(); }, "mesh \"m\": has 0 UVs for 3 real vertices"},
      {[](Mesh& m) { AddBlend(m).uvs.push_back({}); }, "mesh \"m\": has 4 UVs for 3 real vertices"},
      {[](Mesh& m) { AddBlend(m).bindings[0].blendCount = 0; }, "mesh \"m\": blend vertex 0 is bound to no bone"},
      {[](Mesh& m) { AddBlend(m).bindings[0].blendCount = 2; },
       "mesh \"m\": binding 0 names blend vertices 0 to 1, but the mesh has 1 blend vertex"},
      {[](Mesh& m) { AddBlend(m).bindings[0].firstBlend = -1; },
       "mesh \"m\": binding 0 has blend vertices but no first one"},
      {[](Mesh& m) { AddBlend(m).blends[0].vertex = 3; },
       "mesh \"m\": blend 0 pulls vertex 3, but the mesh has 3 real vertices"},
      {[](Mesh& m) { AddBlend(m).blends[0].weight = 32769; }, "mesh \"m\": blend 0 weighs 32769, more than 32768"},
  };
  for (const Case& c : cases) {
    Mesh mesh = OnBone("A", {}, {});
    c.change(mesh);
    try {
      PoseMesh(mesh, TwoBones());
      ADD_FAILURE() << "placed: " << c.message;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(BoneWorldTransforms, RefusesASkeletonThatDoesNotHangTogether) {
  struct Case {
    std::function<void(game::Skeleton&)> change;
    const char* message;
  };
  const Case cases[] = {
      {[](game::Skeleton& s) { s.bones[1].parent = "C"; },
       "bone \"B\" hangs on \"C\", which is not in the skeleton \"two\""},
      {[](game::Skeleton& s) { s.bones[0].parent = "B"; }, "bone \"A\" is its own ancestor"},
      {[](game::Skeleton& s) { s.bones[1].name = "A"; }, "skeleton \"two\" has two bones called \"A\""},
      {[](game::Skeleton& s) { s.bones[1].rotation = {0, 0, 0, 0}; }, "bone \"B\" has no usable rotation"},
  };
  for (const Case& c : cases) {
    game::Skeleton skeleton = TwoBones();
    c.change(skeleton);
    try {
      BoneWorldTransforms(skeleton);
      ADD_FAILURE() << "placed: " << c.message;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

// Children listed before their parents are placed all the same.
TEST(BoneWorldTransforms, DoesNotNeedParentsFirst) {
  game::Skeleton skeleton = TwoBones();
  std::swap(skeleton.bones[0], skeleton.bones[1]);
  const std::vector<BoneTransform> world = BoneWorldTransforms(skeleton);
  // B: A's rotation (x -> -y) and A's translation plus A's rotation of (1, 0, 0).
  EXPECT_NEAR(world[0].translation[0], 0, 1e-6);
  EXPECT_NEAR(world[0].translation[1], 2, 1e-6);
  EXPECT_NEAR(world[0].rotation[3], -1, 1e-6);
}

}  // namespace
}  // namespace tailorloft::render
