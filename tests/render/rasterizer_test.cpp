// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/rasterizer.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/camera.h"
#include "render/pose.h"
#include "tests/game/game_test_files.h"

namespace tailorloft::render {
namespace {

using game::Vec3;
using Rgba = std::array<std::uint8_t, 4>;

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kGrey{kUntexturedGrey, kUntexturedGrey, kUntexturedGrey, 255};

// Pixels as the texture's colour or plain grey: no light falls off.
RenderOptions Flat() {
  RenderOptions options;
  options.lighting = {{0, 0, 1}, 1, 0};
  options.filter = TextureFilter::kNearest;
  return options;
}

// Orthographic, one world unit a pixel: world (x, y) is the point x
// pixels from the left and `size - y` from the top of a square picture.
Camera PixelCamera(int size) {
  const float half = static_cast<float>(size) / 2;
  Camera camera;
  camera.eye = {half, half, 10};
  camera.target = {half, half, 0};
  camera.halfHeight = half;
  camera.nearPlane = 1;
  camera.farPlane = 20;
  return camera;
}

// A rectangle facing +Z between picture pixels (left, top) and (right,
// bottom) of a PixelCamera picture, its UVs spanning the texture with v from
// the top row.
PosedMesh Rectangle(int size, float left, float top, float right, float bottom, float z = 0,
                    Vec3 normal = {0, 0, 1}) {
  const auto y = [size](float row) { return static_cast<float>(size) - row; };
  PosedMesh mesh;
  mesh.positions = {{left, y(top), z}, {right, y(top), z}, {right, y(bottom), z}, {left, y(bottom), z}};
  mesh.normals.assign(4, normal);
  mesh.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  mesh.faces = {{0, 2, 1}, {0, 3, 2}};
  return mesh;
}

struct Texture {
  int width = 0, height = 0;
  std::vector<std::uint8_t> bytes;
  TextureView View() const { return {width, height, bytes}; }
};

Texture Solid(Rgba colour) { return {1, 1, {colour.begin(), colour.end()}}; }

// Texel (i, j), counted from the top left, has a colour of its own.
Rgba TexelColour(int i, int j) {
  return {static_cast<std::uint8_t>(10 + 30 * i), static_cast<std::uint8_t>(10 + 30 * j),
          static_cast<std::uint8_t>(100 + i + 4 * j), 255};
}

Texture Checks(int side) {
  Texture texture{side, side, {}};
  for (int j = 0; j < side; ++j) {
    for (int i = 0; i < side; ++i) {
      const Rgba c = TexelColour(i, j);
      texture.bytes.insert(texture.bytes.end(), c.begin(), c.end());
    }
  }
  return texture;
}

Rgba PixelAt(const Image& image, int x, int y) {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) +
                          static_cast<std::size_t>(x)) * 4;
  return {image.pixels[at], image.pixels[at + 1], image.pixels[at + 2], image.pixels[at + 3]};
}

std::string Show(const Rgba& c) {
  return std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) + "," +
         std::to_string(c[3]);
}

// Every pixel for which `expected` has a value must match it exactly.
void ExpectPixels(const Image& image, const std::function<std::optional<Rgba>(int, int)>& expected,
                  const std::string& what) {
  int wrong = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const std::optional<Rgba> want = expected(x, y);
      if (!want || PixelAt(image, x, y) == *want) continue;
      if (++wrong <= 5) {
        ADD_FAILURE() << what << ": pixel " << x << "," << y << " is " << Show(PixelAt(image, x, y))
                      << ", expected " << Show(*want);
      }
    }
  }
  EXPECT_EQ(wrong, 0) << what;
}

TEST(Rasterizer, DrawsOneTriangleWithItsDiagonalEdgeHalfCovered) {
  // Corners on pixel corners: the legs run along pixel edges, the diagonal
  // x + y = 16 through the centres of the pixels with x + y = 15, whose two
  // samples on the inner side are covered.
  PosedMesh triangle;
  triangle.positions = {{2, 14, 0}, {14, 14, 0}, {2, 2, 0}};
  triangle.normals.assign(3, {0, 0, 1});
  triangle.uvs.assign(3, {0, 0});
  triangle.faces = {{0, 1, 2}};
  const DrawItem items[] = {{&triangle, nullptr}};
  const Image image = Render(items, PixelCamera(16), 16, 16, Flat());
  ASSERT_EQ(image.pixels.size(), 16u * 16u * 4u);
  ExpectPixels(
      image,
      [](int x, int y) -> std::optional<Rgba> {
        if (x < 2 || y < 2 || x + y >= 16) return kClear;
        if (x + y == 15) return Rgba{kGrey[0], kGrey[1], kGrey[2], 128};
        return kGrey;
      },
      "triangle");
}

TEST(Rasterizer, MapsTheTextureWithVFromTheTopRow) {
  const Texture texture = Checks(4);
  const TextureView view = texture.View();
  const PosedMesh quad = Rectangle(16, 4, 4, 12, 12);
  const DrawItem items[] = {{&quad, &view}};
  ExpectPixels(
      Render(items, PixelCamera(16), 16, 16, Flat()),
      [](int x, int y) -> std::optional<Rgba> {
        if (x < 4 || x >= 12 || y < 4 || y >= 12) return kClear;
        return TexelColour((x - 4) / 2, (y - 4) / 2);
      },
      "texture");
}

// A rectangle leaning back, seen in perspective: each pixel must show the
// texel its centre's ray meets, which an affine mapping misses by a texel.
TEST(Rasterizer, MapsTexturesPerspectiveCorrect) {
  constexpr int kSize = 48;
  constexpr int kSide = 8;
  const Vec3 topLeft{-1, 1, -3}, topRight{1, 1, -3}, bottomLeft{-1, -1, 1};
  PosedMesh quad;
  quad.positions = {topLeft, topRight, {1, -1, 1}, bottomLeft};
  quad.normals.assign(4, {0, 0, 1});
  quad.uvs = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  quad.faces = {{0, 2, 1}, {0, 3, 2}};
  Camera camera;
  camera.projection = Projection::kPerspective;
  camera.eye = {0, 0, 4};
  camera.target = {0, 0, 0};
  camera.fovY = 1.0f;
  camera.nearPlane = 0.5f;
  camera.farPlane = 20;
  const Texture texture = Checks(kSide);
  const TextureView view = texture.View();
  const DrawItem items[] = {{&quad, &view}};
  const Image image = Render(items, camera, kSize, kSize, Flat());

  // (u, v) where the ray through picture point (px, py) meets the rectangle's plane.
  const auto hit = [&](double px, double py) {
    const double t = std::tan(0.5);
    const std::array<double, 3> d{(px / kSize * 2 - 1) * t, (1 - py / kSize * 2) * t, -1};
    const std::array<double, 3> a{topRight.x - topLeft.x, topRight.y - topLeft.y, topRight.z - topLeft.z};
    const std::array<double, 3> b{bottomLeft.x - topLeft.x, bottomLeft.y - topLeft.y, bottomLeft.z - topLeft.z};
    const std::array<double, 3> r{0 - topLeft.x, 0 - topLeft.y, 4 - topLeft.z};
    // eye + s d = topLeft + u a + v b, by Cramer's rule on [a b -d].
    const auto det = [](const std::array<double, 3>& c0, const std::array<double, 3>& c1,
                        const std::array<double, 3>& c2) {
      return c0[0] * (c1[1] * c2[2] - c1[2] * c2[1]) - c1[0] * (c0[1] * c2[2] - c0[2] * c2[1]) +
             c2[0] * (c0[1] * c1[2] - c0[2] * c1[1]);
    };
    const std::array<double, 3> minusD{-d[0], -d[1], -d[2]};
    const double whole = det(a, b, minusD);
    return std::array<double, 2>{det(r, b, minusD) / whole, det(a, r, minusD) / whole};
  };
  int compared = 0;
  ExpectPixels(
      image,
      [&](int x, int y) -> std::optional<Rgba> {
        bool inside = true, outside = false;
        for (const auto& corner : {hit(x, y), hit(x + 1, y), hit(x, y + 1), hit(x + 1, y + 1)}) {
          inside = inside && corner[0] > 0 && corner[0] < 1 && corner[1] > 0 && corner[1] < 1;
        }
        const auto allCorners = [&](auto test) {
          return test(hit(x, y)) && test(hit(x + 1, y)) && test(hit(x, y + 1)) && test(hit(x + 1, y + 1));
        };
        outside = allCorners([](auto c) { return c[0] < 0; }) || allCorners([](auto c) { return c[0] > 1; }) ||
                  allCorners([](auto c) { return c[1] < 0; }) || allCorners([](auto c) { return c[1] > 1; });
        if (outside) return kClear;
        if (!inside) return std::nullopt;
        const auto centre = hit(x + 0.5, y + 0.5);
        const double i = centre[0] * kSide, j = centre[1] * kSide;
        if (std::abs(i - std::round(i)) < 0.02 || std::abs(j - std::round(j)) < 0.02) return std::nullopt;
        ++compared;
        return TexelColour(static_cast<int>(i), static_cast<int>(j));
      },
      "perspective");
  EXPECT_GT(compared, 300);
}

TEST(Rasterizer, NearerSurfaceWinsWhicheverIsDrawnFirst) {
  const Texture red = Solid({255, 0, 0, 255}), blue = Solid({0, 0, 255, 255});
  const TextureView redView = red.View(), blueView = blue.View();
  const PosedMesh far = Rectangle(16, 2, 2, 10, 10, 0), near = Rectangle(16, 6, 6, 14, 14, 1);
  const auto expected = [](int x, int y) -> std::optional<Rgba> {
    if (x >= 6 && x < 14 && y >= 6 && y < 14) return Rgba{0, 0, 255, 255};
    if (x >= 2 && x < 10 && y >= 2 && y < 10) return Rgba{255, 0, 0, 255};
    return kClear;
  };
  // Triangles seen from behind their normals are drawn after the others; a near one must still win.
  const PosedMesh nearFromBehind = Rectangle(16, 6, 6, 14, 14, 1, {0, 0, -1});
  const DrawItem farFirst[] = {{&far, &redView}, {&near, &blueView}};
  const DrawItem nearFirst[] = {{&near, &blueView}, {&far, &redView}};
  const DrawItem nearSeenFromBehind[] = {{&nearFromBehind, &blueView}, {&far, &redView}};
  ExpectPixels(Render(farFirst, PixelCamera(16), 16, 16, Flat()), expected, "far first");
  ExpectPixels(Render(nearFirst, PixelCamera(16), 16, 16, Flat()), expected, "near first");
  ExpectPixels(Render(nearSeenFromBehind, PixelCamera(16), 16, 16, Flat()), expected, "near seen from behind");
}

// Light from the viewer: ambient 0.25 + diffuse 0.75 * cos.
TEST(Rasterizer, LightsBothSidesFromTheNormals) {
  struct Case {
    const char* what;
    Vec3 normal;
    bool turned;  // wound the other way round
    Vec3 towardLight;
    std::uint8_t grey;
  };
  const Case cases[] = {
      {"facing", {0, 0, 1}, false, {0, 0, 1}, 200},
      {"facing, wound the other way", {0, 0, 1}, true, {0, 0, 1}, 200},
      {"seen from behind", {0, 0, -1}, false, {0, 0, 1}, 200},
      {"seen from behind, wound the other way", {0, 0, -1}, true, {0, 0, 1}, 200},
      {"sideways", {1, 0, 0}, false, {0, 0, 1}, 50},
      {"light from above", {0, 0, 1}, false, {0, 3, 4}, 170},  // 0.25 + 0.75 * 0.8
      {"light from behind", {0, 0, 1}, false, {0, 0, -1}, 50},
      {"no normal: the face's own", {0, 0, 0}, true, {0, 0, 1}, 200},
  };
  for (const Case& c : cases) {
    PosedMesh quad = Rectangle(8, 0, 0, 8, 8, 0, c.normal);
    if (c.turned) {
      for (game::MeshFace& f : quad.faces) std::swap(f.b, f.c);
    }
    RenderOptions options;
    options.lighting = {c.towardLight, 0.25f, 0.75f};
    const DrawItem items[] = {{&quad, nullptr}};
    EXPECT_EQ(PixelAt(Render(items, PixelCamera(8), 8, 8, options), 4, 4), (Rgba{c.grey, c.grey, c.grey, 255}))
        << c.what;
  }
}

// Triangles reaching far past the picture, or behind the camera, are cut
// to what can be seen.
TEST(Rasterizer, DrawsTrianglesPastThePictureAndBehindTheCamera) {
  Camera camera;
  camera.projection = Projection::kPerspective;
  camera.eye = {0, 0, 10};
  camera.nearPlane = 1;
  camera.farPlane = 100;
  PosedMesh wall;
  wall.positions = {{-1e4f, -1e4f, 0}, {1e4f, -1e4f, 0}, {1e4f, 1e4f, 0}, {-1e4f, 1e4f, 0}};
  wall.normals.assign(4, {0, 0, 1});
  wall.uvs.assign(4, {0, 0});
  wall.faces = {{0, 1, 2}, {0, 2, 3}};
  // A floor one unit below the eye, from far ahead to far behind it.
  PosedMesh floor = wall;
  floor.positions = {{-1e3f, -1, -1e3f}, {1e3f, -1, -1e3f}, {1e3f, -1, 1e3f}, {-1e3f, -1, 1e3f}};
  const DrawItem wallItems[] = {{&wall, nullptr}}, floorItems[] = {{&floor, nullptr}};
  ExpectPixels(Render(wallItems, camera, 32, 32, Flat()), [](int, int) { return kGrey; }, "wall");
  ExpectPixels(
      Render(floorItems, camera, 32, 32, Flat()),
      [](int, int y) -> std::optional<Rgba> {
        if (y < 16) return kClear;  // above the horizon
        if (y >= 17) return kGrey;
        return std::nullopt;
      },
      "floor");
}

// The fixed box of the adult figure, so that where a piece lands in the
// picture shows where it is on the Sim.
Camera FigureCamera(View view) {
  const Box figure{{-3, 0, -1.5f}, {3, 5.2f, 1.5f}, false};
  return FrameBox(figure, ViewOrbit(view), Projection::kOrthographic, 1);
}

PosedMesh BoxOn(const std::string& bone) {
  return PoseMesh(game::testing::BoxMesh("box", "x", bone), game::testing::AdultSkeleton());
}

// The horizontal middle of all covered pixels, as a share of the width.
double CoveredMiddle(const Image& image) {
  double sum = 0, weight = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const double alpha = PixelAt(image, x, y)[3];
      sum += alpha * (x + 0.5);
      weight += alpha;
    }
  }
  return weight > 0 ? sum / weight / image.width : -1;
}

TEST(Rasterizer, ShowsTheSimsLeftWhereItsViewPutsIt) {
  struct Case {
    const char* bone;
    View view;
    bool onTheRight;
  };
  const Case cases[] = {
      {"L_HAND", View::kFront, true},   {"R_HAND", View::kFront, false}, {"L_HAND", View::kBack, false},
      {"R_HAND", View::kBack, true},    {"L_TOE02", View::kLeft, false}, {"L_TOE02", View::kRight, true},
      {"L_HAND", View::kThreeQuarter, true},
  };
  for (const Case& c : cases) {
    const PosedMesh box = BoxOn(c.bone);
    const DrawItem items[] = {{&box, nullptr}};
    const double middle = CoveredMiddle(Render(items, FigureCamera(c.view), 64, 64));
    EXPECT_GT(middle, 0) << c.bone;
    EXPECT_EQ(middle > 0.5, c.onTheRight) << c.bone << " at " << middle;
  }

  // Seen from the left the left hand hides the right one, and the other way round.
  const Texture red = Solid({255, 0, 0, 255}), blue = Solid({0, 0, 255, 255});
  const TextureView redView = red.View(), blueView = blue.View();
  const PosedMesh left = BoxOn("L_HAND"), right = BoxOn("R_HAND");
  const DrawItem hands[] = {{&left, &redView}, {&right, &blueView}};
  for (const auto& [view, seenChannel] : {std::pair{View::kLeft, 0}, std::pair{View::kRight, 2}}) {
    const int seen = seenChannel;
    const Image image = Render(hands, FigureCamera(view), 32, 32, Flat());
    int opaque = 0;
    ExpectPixels(
        image,
        [&](int x, int y) -> std::optional<Rgba> {
          if (PixelAt(image, x, y)[3] != 255) return std::nullopt;
          ++opaque;
          Rgba colour{0, 0, 0, 255};
          colour[static_cast<std::size_t>(seen)] = 255;
          return colour;
        },
        seen == 0 ? "left view" : "right view");
    EXPECT_GT(opaque, 0);
  }
}

TEST(FrameBox, LeavesAFivePercentMargin) {
  // A box twice as tall as wide and deep, so its height sets the scale.
  PosedMesh box = BoxOn("ROOT");
  for (Vec3& p : box.positions) p = {p.x * 2, p.y * 4 + 2, p.z * 2};
  const DrawItem items[] = {{&box, nullptr}};
  for (const Projection projection : {Projection::kOrthographic, Projection::kPerspective}) {
    for (const View view : {View::kFront, View::kLeft}) {
      const Camera camera = FrameBox(Bounds(std::span(&box, 1)), ViewOrbit(view), projection, 1);
      const Image image = Render(items, camera, 100, 100, Flat());
      int first = -1, last = -1;
      for (int y = 0; y < 100; ++y) {
        if (PixelAt(image, 50, y)[3] == 0) continue;
        if (first < 0) first = y;
        last = y;
      }
      EXPECT_EQ(first, 5) << static_cast<int>(projection) << " " << static_cast<int>(view);
      EXPECT_EQ(last, 94) << static_cast<int>(projection) << " " << static_cast<int>(view);
    }
  }
}

TEST(Rasterizer, ReusedGivesTheSamePixelsAsNew) {
  const PosedMesh left = BoxOn("L_HAND"), head = BoxOn("HEAD");
  const Texture texture = Checks(8);
  const TextureView view = texture.View();
  const DrawItem first[] = {{&left, &view}, {&head, nullptr}};
  const DrawItem second[] = {{&head, &view}};
  const Camera camera = FigureCamera(View::kThreeQuarter);
  Rasterizer rasterizer;
  const std::vector<std::uint8_t> before = rasterizer.Draw(first, camera, 64, 64).pixels;
  rasterizer.Draw(second, FigureCamera(View::kFront), 96, 80);
  EXPECT_EQ(rasterizer.Draw(first, camera, 64, 64).pixels, before);
  EXPECT_EQ(Render(first, camera, 64, 64).pixels, before);
}

TEST(Rasterizer, RefusesWhatItCannotDraw) {
  const PosedMesh good = Rectangle(8, 0, 0, 8, 8);
  PosedMesh badFace = good;
  badFace.faces.push_back({0, 4, 1});
  PosedMesh shortNormals = good;
  shortNormals.normals.pop_back();
  const std::vector<std::uint8_t> bytes(15);
  const TextureView shortTexture{2, 2, bytes};
  struct Case {
    DrawItem item;
    int width;
    const char* message;
  };
  const Case cases[] = {
      {{&badFace, nullptr}, 8, "a face names a vertex past the mesh's 4"},
      {{&shortNormals, nullptr}, 8, "a posed mesh has 4 positions, 3 normals and 4 UVs"},
      {{&good, &shortTexture}, 8, "a texture of 2 x 2 pixels comes with 15 bytes"},
      {{nullptr, nullptr}, 8, "a mesh to draw is missing"},
      {{&good, nullptr}, 16385, "a picture of 16385 x 8 pixels cannot be drawn"},
  };
  for (const Case& c : cases) {
    try {
      Render(std::span(&c.item, 1), PixelCamera(8), c.width, 8);
      ADD_FAILURE() << "drawn: " << c.message;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace tailorloft::render
