// SPDX-License-Identifier: GPL-3.0-or-later
// The picture of posed meshes: a software rasterizer with a depth buffer,
// perspective-correct textures, light from the normals, both sides of every
// triangle and smoothed edges on a transparent background. Same inputs, same
// pixels: no threads, no uninitialised reads, plain IEEE arithmetic.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "game/mesh.h"
#include "render/camera.h"
#include "render/pose.h"

namespace tailorloft::render {

// RGBA8 pixels, rows from the top, four bytes a pixel; alpha is not used
// (the game's textures have none).
struct TextureView {
  int width = 0;
  int height = 0;
  std::span<const std::uint8_t> pixels;
};

// One mesh to draw; without a texture it is drawn grey.
struct DrawItem {
  const PosedMesh* mesh = nullptr;
  const TextureView* texture = nullptr;
};

enum class TextureFilter { kBilinear, kNearest };

// A light that turns with the camera. Brightness is ambient + diffuse *
// max(0, n . towardLight), within 0 .. 1, worked out at each corner and
// blended across the triangle. n is the normal seen from the viewer's side:
// a triangle seen from behind its normals is lit as if they pointed the
// other way, and a corner without a normal takes its triangle's.
struct Lighting {
  game::Vec3 towardLight{-0.3f, 0.4f, 1.0f};  // in the view: x right, y up, z towards the viewer
  float ambient = 0.35f;
  float diffuse = 0.7f;
};

struct RenderOptions {
  Lighting lighting;
  TextureFilter filter = TextureFilter::kBilinear;
};

// Untextured meshes are this grey (before lighting).
inline constexpr std::uint8_t kUntexturedGrey = 200;

// RGBA8, rows from the top, alpha not premultiplied: 0 where nothing is drawn,
// 255 where a pixel is wholly covered, in between along edges.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;
};

// Draws with four samples a pixel (the usual rotated grid), shaded once a
// pixel and triangle at the pixel's centre. Keeps its buffers between
// pictures, so drawing many pictures with one Rasterizer allocates once;
// the image Draw returns stays valid until the next Draw.
class Rasterizer {
 public:
  Rasterizer();
  ~Rasterizer();
  Rasterizer(Rasterizer&&) noexcept;
  Rasterizer& operator=(Rasterizer&&) noexcept;

  // Throws std::invalid_argument, before anything is drawn, for a side
  // outside 0 .. 16384, an item without a mesh, a face naming a vertex the
  // mesh lacks, mesh arrays of different lengths, a texture whose bytes are
  // not width * height * 4, or a camera that makes no view (eye on the
  // target, up along the view, near not before far, no field of view).
  // Corners that are not numbers hide their triangles.
  const Image& Draw(std::span<const DrawItem> items, const Camera& camera, int width, int height,
                    const RenderOptions& options = {});

  struct Buffers;  // the buffers' layout, known to rasterizer.cpp only

 private:
  friend Image Render(std::span<const DrawItem>, const Camera&, int, int, const RenderOptions&);
  std::unique_ptr<Buffers> buffers_;
};

// The same, with buffers of its own.
Image Render(std::span<const DrawItem> items, const Camera& camera, int width, int height,
             const RenderOptions& options = {});

}  // namespace tailorloft::render
