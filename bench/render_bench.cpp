// SPDX-License-Identifier: GPL-3.0-or-later
// One picture of a suit of real size: a head-like mesh of 6 000 vertices with
// a 128 texture and a body of 500 with a 256 one, about 12 600 triangles,
// drawn by the software rasterizer. BM_DrawSuit/side:S/headVertices:V shows
// how the time grows with the pixels and with the triangles (the preview's
// view: perspective, three-quarter); BM_DrawSuitFront a catalogue picture
// (orthographic, front); BM_PoseSuit what placing the meshes on the skeleton
// costs, which a preview pays only when the suit changes, not when the view
// turns.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "game/mesh.h"
#include "game/skeleton.h"
#include "render/camera.h"
#include "render/pose.h"
#include "render/rasterizer.h"

namespace {

using tailorloft::game::Mesh;
using namespace tailorloft::render;

tailorloft::game::Skeleton Skeleton() {
  tailorloft::game::Skeleton skeleton;
  skeleton.name = "adult";
  skeleton.bones.push_back({"ROOT", "", {0, 3, 0}, {0, 0, 0, 1}, 0});
  skeleton.bones.push_back({"PELVIS", "ROOT", {0, 0, 0}, {0, 0, 0, 1}, 0});
  skeleton.bones.push_back({"HEAD", "PELVIS", {0, 2, 0}, {0, 0, 0, 1}, 0});
  return skeleton;
}

// A closed surface of `rows` rings of `columns` vertices around the bone's
// y axis, bound to `bone`: radius(t) gives the ring at height t in 0 .. 1
// as (radius, y); two triangles between neighbouring vertices of two rings.
template <typename Ring>
Mesh Surface(const char* bone, std::uint32_t rows, std::uint32_t columns, Ring ring) {
  Mesh mesh;
  mesh.name = bone;
  mesh.texture = "x";
  mesh.bones = {bone};
  for (std::uint32_t r = 0; r < rows; ++r) {
    const double t = (r + 0.5) / rows;
    const auto [radius, y, slope] = ring(t);
    for (std::uint32_t c = 0; c < columns; ++c) {
      const double angle = 2 * std::numbers::pi * c / columns;
      const double nx = std::sin(angle), nz = std::cos(angle);
      const double length = std::sqrt(1 + slope * slope);
      mesh.vertices.push_back({{static_cast<float>(radius * nx), static_cast<float>(y), static_cast<float>(radius * nz)},
                               {static_cast<float>(nx / length), static_cast<float>(slope / length),
                                static_cast<float>(nz / length)}});
      mesh.uvs.push_back({static_cast<float>(c) / static_cast<float>(columns), static_cast<float>(t)});
    }
  }
  for (std::uint32_t r = 0; r + 1 < rows; ++r) {
    for (std::uint32_t c = 0; c < columns; ++c) {
      const std::uint32_t a = r * columns + c, b = r * columns + (c + 1) % columns;
      mesh.faces.push_back({a, a + columns, b});
      mesh.faces.push_back({b, a + columns, b + columns});
    }
  }
  const auto count = static_cast<std::uint32_t>(mesh.vertices.size());
  mesh.bindings = {{0, 0, count, -1, 0}};
  mesh.uvCount = count;
  mesh.vertexCount = count;
  return mesh;
}

// An egg-shaped head of about `vertices` vertices on HEAD, rows at half the columns.
Mesh Head(std::int64_t vertices) {
  const auto columns = static_cast<std::uint32_t>(std::lround(std::sqrt(static_cast<double>(vertices) * 2)));
  const auto rows = static_cast<std::uint32_t>(vertices / std::int64_t{columns});
  return Surface("HEAD", rows, columns, [](double t) {
    const double angle = std::numbers::pi * t;  // from the crown down
    return std::array<double, 3>{0.38 * std::sin(angle), 0.3 + 0.5 * std::cos(angle), std::cos(angle) / std::sin(angle)};
  });
}

// A body of 500 vertices on PELVIS, from the neck to the feet.
Mesh Body() {
  return Surface("PELVIS", 20, 25, [](double t) {
    return std::array<double, 3>{0.45 + 0.2 * std::sin(std::numbers::pi * t), 1.7 - 4.7 * t, 0.1};
  });
}

std::vector<std::uint8_t> Texture(int side) {
  std::vector<std::uint8_t> pixels;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      pixels.insert(pixels.end(), {static_cast<std::uint8_t>(x * 255 / side), static_cast<std::uint8_t>(y * 255 / side),
                                   static_cast<std::uint8_t>(((x / 8 + y / 8) % 2) * 120 + 60), 255});
    }
  }
  return pixels;
}

struct Suit {
  std::vector<PosedMesh> meshes;
  std::vector<std::uint8_t> bodyPixels = Texture(256), headPixels = Texture(128);
  TextureView body{256, 256, bodyPixels}, head{128, 128, headPixels};

  explicit Suit(std::int64_t headVertices) {
    meshes = {PoseMesh(Body(), Skeleton()), PoseMesh(Head(headVertices), Skeleton())};
  }
  std::vector<DrawItem> Items() const { return {{&meshes[0], &body}, {&meshes[1], &head}}; }
  std::int64_t Triangles() const {
    return static_cast<std::int64_t>(meshes[0].faces.size() + meshes[1].faces.size());
  }
};

void Draw(benchmark::State& state, View view, Projection projection) {
  const int side = static_cast<int>(state.range(0));
  const Suit suit(state.range(1));
  const std::vector<DrawItem> items = suit.Items();
  const Camera camera = FrameBox(Bounds(suit.meshes), ViewOrbit(view), projection, 1);
  Rasterizer rasterizer;
  for (auto _ : state) benchmark::DoNotOptimize(rasterizer.Draw(items, camera, side, side).pixels.data());
  state.counters["triangles"] = static_cast<double>(suit.Triangles());
}

// The live preview: perspective, three-quarter view.
void BM_DrawSuit(benchmark::State& state) { Draw(state, View::kThreeQuarter, Projection::kPerspective); }
// A catalogue picture: orthographic, from the front.
void BM_DrawSuitFront(benchmark::State& state) { Draw(state, View::kFront, Projection::kOrthographic); }

void BM_PoseSuit(benchmark::State& state) {
  const tailorloft::game::Skeleton skeleton = Skeleton();
  const Mesh body = Body(), head = Head(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(PoseMesh(body, skeleton).positions.data());
    benchmark::DoNotOptimize(PoseMesh(head, skeleton).positions.data());
  }
}

}  // namespace

BENCHMARK(BM_DrawSuit)
    ->ArgNames({"side", "headVertices"})
    ->Args({512, 6'000})
    ->Args({256, 6'000})
    ->Args({1024, 6'000})
    ->Args({512, 1'500})
    ->Args({512, 24'000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawSuitFront)->ArgNames({"side", "headVertices"})->Args({512, 6'000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PoseSuit)->ArgName("headVertices")->Arg(6'000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
