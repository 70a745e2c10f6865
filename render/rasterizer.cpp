// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/rasterizer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace tailorloft::render {
namespace {

constexpr int kMaxSide = 16384;

// Screen positions are fixed point with 8 bits below the pixel, so that
// triangles sharing an edge agree exactly on which samples it splits.
constexpr int kSubBits = 8;
constexpr std::int64_t kOne = std::int64_t{1} << kSubBits;
constexpr std::int64_t kHalf = kOne / 2;

// The rotated grid of four samples, in 1/16 of a pixel from its centre (y down).
constexpr std::array<std::array<std::int64_t, 2>, 4> kSampleOffsets{{{-2, -6}, {6, -2}, {-6, 2}, {2, 6}}};
constexpr std::int64_t kOffsetScale = kOne / 16;

struct Vector {
  double x = 0, y = 0, z = 0;
};

Vector operator-(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector operator+(const Vector& a, const Vector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector operator*(double s, const Vector& a) { return {s * a.x, s * a.y, s * a.z}; }
double Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vector Cross(const Vector& a, const Vector& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vector Of(const game::Vec3& v) { return {v.x, v.y, v.z}; }
bool Finite(const Vector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
// The unit vector along v, or 0 for a vector without a direction.
Vector Unit(const Vector& v) {
  const double length = std::sqrt(Dot(v, v));
  return length > 1e-12 && std::isfinite(length) ? (1 / length) * v : Vector{};
}

// From the world to the view (x right, y up, looking down -z) and on to the
// clip space: x and y within +-w, z within +-w between the near and far planes.
struct Projector {
  Vector right, up, back, eye;
  bool perspective = false;
  double scaleX = 1, scaleY = 1, depthScale = 1, depthOffset = 0;

  Projector(const Camera& camera, int width, int height) {
    eye = Of(camera.eye);
    back = Unit(eye - Of(camera.target));
    right = Unit(Cross(Of(camera.up), back));
    up = Cross(back, right);
    const double nearPlane = camera.nearPlane, farPlane = camera.farPlane;
    perspective = camera.projection == Projection::kPerspective;
    if (!Finite(eye) || Dot(back, back) == 0 || Dot(right, right) == 0) {
      throw std::invalid_argument("the camera looks nowhere: eye, target and up do not make a view");
    }
    if (!(nearPlane < farPlane) || !std::isfinite(farPlane) || (perspective && !(nearPlane > 0))) {
      throw std::invalid_argument("the camera's near and far planes do not enclose anything");
    }
    const double aspect = static_cast<double>(width) / height;
    double halfY = camera.halfHeight;
    if (perspective) {
      if (!(camera.fovY > 0 && camera.fovY < 3.1)) {
        throw std::invalid_argument("the camera's field of view is not between 0 and pi");
      }
      halfY = std::tan(camera.fovY / 2.0);
      depthScale = (farPlane + nearPlane) / (nearPlane - farPlane);
      depthOffset = 2 * farPlane * nearPlane / (nearPlane - farPlane);
    } else {
      if (!(halfY > 0) || !std::isfinite(halfY)) {
        throw std::invalid_argument("the camera's visible height is not above 0");
      }
      depthScale = -2 / (farPlane - nearPlane);
      depthOffset = -(farPlane + nearPlane) / (farPlane - nearPlane);
    }
    scaleY = 1 / halfY;
    scaleX = scaleY / aspect;
  }

  Vector View(const Vector& world) const {
    const Vector d = world - eye;
    return {Dot(d, right), Dot(d, up), Dot(d, back)};
  }
  Vector Turn(const Vector& normal) const { return {Dot(normal, right), Dot(normal, up), Dot(normal, back)}; }
};

// A corner in the clip space with what is drawn with it: texture
// coordinates and the brightness its triangle gives it.
struct ClipVertex {
  double x = 0, y = 0, z = 0, w = 1;
  double u = 0, v = 0;
  double light = 0;
};

// A corner on the screen. Its attributes are divided by w, so that they and
// inverseW are affine in the screen and a division restores them; nearness
// is 2 - z/w, above 0 for everything drawn, so that an empty sample is 0.
struct ScreenVertex {
  std::int64_t x = 0, y = 0;
  double nearness = 0, inverseW = 1;
  double u = 0, v = 0;
  double light = 0;
};

struct Sample {
  float nearness;        // 0 where nothing was drawn
  std::uint32_t colour;  // red in the low byte; alpha 0 where nothing was drawn
};
static_assert(sizeof(Sample) == sizeof(std::uint64_t), "a sample is written as one 64-bit word");

// The rectangle of the picture anything can be drawn in, its corners
// included, and four samples for each of its pixels, in rows from its top:
// no more memory is touched than a picture needs.
struct SampleRect {
  int left = 0, top = 0, right = -1, bottom = -1;
  std::size_t stride = 0;  // pixels a row
  std::vector<Sample> samples;

  void Cover(int fromX, int fromY, int toX, int toY) {
    left = fromX, top = fromY, right = toX, bottom = toY;
    stride = static_cast<std::size_t>(right - left + 1);
    samples.resize(stride * static_cast<std::size_t>(bottom - top + 1) * 4);
    std::memset(samples.data(), 0, samples.size() * sizeof(Sample));
  }
  Sample* At(int x, int y) {
    return &samples[(static_cast<std::size_t>(y - top) * stride + static_cast<std::size_t>(x - left)) * 4];
  }
};

// Outcode bit of a corner that is not a number; how a face is seen.
constexpr unsigned kNotANumber = 0x40;
constexpr std::uint8_t kFromFront = 0, kFromBehind = 1, kHidden = 2;

// A colour as 16-bit lanes, red lowest, alpha left 0: room enough to weigh
// every channel at once by a factor of up to 256.
using Lanes = std::uint64_t;
constexpr Lanes kLaneMask = 0x000000FF00FF00FFull;
constexpr Lanes kGrey = Lanes{kUntexturedGrey} | Lanes{kUntexturedGrey} << 16 | Lanes{kUntexturedGrey} << 32;

Lanes Fetch(const TextureView& texture, int x, int y) {
  const std::uint8_t* p =
      texture.pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(texture.width) +
                               static_cast<std::size_t>(x)) * 4;
  return Lanes{p[0]} | Lanes{p[1]} << 16 | Lanes{p[2]} << 32;
}

// a + (b - a) * f / 256 in every lane, f within 0 .. 256.
Lanes Mix(Lanes a, Lanes b, Lanes f) { return ((a * (256 - f) + b * f) >> 8) & kLaneMask; }

// Coordinates wrap around, as the game's Direct3D addresses textures.
Lanes SampleTexture(const TextureView& texture, TextureFilter filter, double u, double v) {
  if (!(u >= 0 && u < 1)) u = std::isfinite(u) ? u - std::floor(u) : 0;
  if (!(v >= 0 && v < 1)) v = std::isfinite(v) ? v - std::floor(v) : 0;
  const int width = texture.width, height = texture.height;
  if (filter == TextureFilter::kNearest) {
    return Fetch(texture, std::min(static_cast<int>(u * width), width - 1),
                 std::min(static_cast<int>(v * height), height - 1));
  }
  // Texel centres at half-integers; x + 1 > 0, so truncation floors it.
  const double x = u * width - 0.5, y = v * height - 0.5;
  const int x0 = static_cast<int>(x + 1) - 1, y0 = static_cast<int>(y + 1) - 1;
  // (x + 1 may round up to the next integer, leaving a fraction a hair below 0.)
  const auto weight = [](double fraction) { return static_cast<Lanes>(fraction > 0 ? std::min(fraction, 1.0) * 256 : 0); };
  const Lanes fx = weight(x - x0), fy = weight(y - y0);
  const int left = x0 < 0 ? width - 1 : x0, top = y0 < 0 ? height - 1 : y0;
  const int right = x0 + 1 < width ? x0 + 1 : 0, bottom = y0 + 1 < height ? y0 + 1 : 0;
  return Mix(Mix(Fetch(texture, left, top), Fetch(texture, right, top), fx),
             Mix(Fetch(texture, left, bottom), Fetch(texture, right, bottom), fx), fy);
}

// The texel lit by a brightness within 0 .. 1, as a sample's colour.
std::uint32_t Lit(Lanes texel, double light) {
  constexpr Lanes kHalves = Lanes{128} | Lanes{128} << 16 | Lanes{128} << 32;
  const Lanes lit = ((texel * static_cast<Lanes>((light > 0 ? std::min(light, 1.0) : 0) * 256 + 0.5) + kHalves) >> 8) & kLaneMask;
  return static_cast<std::uint32_t>(lit & 0xFF) | static_cast<std::uint32_t>((lit >> 16) & 0xFF) << 8 |
         static_cast<std::uint32_t>((lit >> 32) & 0xFF) << 16 | std::uint32_t{0xFF} << 24;
}

// One triangle's samples: coverage by edge functions on the fixed-point
// grid, a depth test per sample, one shade per pixel at its centre.
void RasterTriangle(std::array<ScreenVertex, 3> v, const TextureView* texture, TextureFilter filter,
                    SampleRect& rect) {
  std::int64_t area = (v[1].x - v[0].x) * (v[2].y - v[0].y) - (v[1].y - v[0].y) * (v[2].x - v[0].x);
  if (area == 0) return;
  if (area < 0) {
    std::swap(v[1], v[2]);
    area = -area;
  }
  const std::int64_t minX = std::min({v[0].x, v[1].x, v[2].x}), maxX = std::max({v[0].x, v[1].x, v[2].x});
  const std::int64_t minY = std::min({v[0].y, v[1].y, v[2].y}), maxY = std::max({v[0].y, v[1].y, v[2].y});
  if ((maxX >> kSubBits) < rect.left || (maxY >> kSubBits) < rect.top || (minX >> kSubBits) > rect.right ||
      (minY >> kSubBits) > rect.bottom) {
    return;
  }
  const int left = static_cast<int>(std::max<std::int64_t>(minX >> kSubBits, rect.left));
  const int right = static_cast<int>(std::min<std::int64_t>(maxX >> kSubBits, rect.right));
  const int top = static_cast<int>(std::max<std::int64_t>(minY >> kSubBits, rect.top));
  const int bottom = static_cast<int>(std::min<std::int64_t>(maxY >> kSubBits, rect.bottom));

  // Edge i runs from corner i + 1 to corner i + 2: 0 on it, `area` at corner i.
  const std::int64_t firstX = left * kOne + kHalf, firstY = top * kOne + kHalf;
  std::array<std::int64_t, 3> stepX{}, stepY{}, rowStart{}, offsetMin{}, offsetMax{};
  std::array<std::array<std::int64_t, 4>, 3> offset{};
  for (std::size_t i = 0; i < 3; ++i) {
    const ScreenVertex& from = v[(i + 1) % 3];
    const ScreenVertex& to = v[(i + 2) % 3];
    const std::int64_t a = from.y - to.y, b = to.x - from.x;
    stepX[i] = a * kOne;
    stepY[i] = b * kOne;
    rowStart[i] = a * (firstX - from.x) + b * (firstY - from.y);
    // A sample on an edge shared by two triangles belongs to exactly one:
    // the one its inward normal (a, b) points into, taking x first.
    const std::int64_t include = (a > 0 || (a == 0 && b > 0)) ? 1 : 0;
    const auto at = [&](std::size_t s) {
      return (a * kSampleOffsets[s][0] + b * kSampleOffsets[s][1]) * kOffsetScale + include;
    };
    offset[i] = {at(0), at(1), at(2), at(3)};
    offsetMin[i] = std::min({offset[i][0], offset[i][1], offset[i][2], offset[i][3]});
    offsetMax[i] = std::max({offset[i][0], offset[i][1], offset[i][2], offset[i][3]});
  }

  const double inverseArea = 1.0 / static_cast<double>(area);
  // Nearness is affine in the screen: its change per fixed-point unit.
  const double n1 = v[1].nearness - v[0].nearness, n2 = v[2].nearness - v[0].nearness;
  const double nearDx =
      (n1 * static_cast<double>(v[2].y - v[0].y) - n2 * static_cast<double>(v[1].y - v[0].y)) * inverseArea;
  const double nearDy =
      (n2 * static_cast<double>(v[1].x - v[0].x) - n1 * static_cast<double>(v[2].x - v[0].x)) * inverseArea;
  std::array<float, 4> nearOffset{};
  for (std::size_t s = 0; s < 4; ++s) {
    nearOffset[s] = static_cast<float>((nearDx * static_cast<double>(kSampleOffsets[s][0]) +
                                        nearDy * static_cast<double>(kSampleOffsets[s][1])) *
                                       kOffsetScale);
  }

  for (int y = top; y <= bottom; ++y, rowStart[0] += stepY[0], rowStart[1] += stepY[1], rowStart[2] += stepY[2]) {
    std::array<std::int64_t, 3> e = rowStart;
    for (int x = left; x <= right; ++x, e[0] += stepX[0], e[1] += stepX[1], e[2] += stepX[2]) {
      if (e[0] + offsetMax[0] <= 0 || e[1] + offsetMax[1] <= 0 || e[2] + offsetMax[2] <= 0) continue;
      // Sample by sample without branches: which way a test goes changes
      // from pixel to pixel, too often for a branch to be guessed.
      unsigned covered = 0xF;
      if (e[0] + offsetMin[0] <= 0 || e[1] + offsetMin[1] <= 0 || e[2] + offsetMin[2] <= 0) {
        const auto inside = [&](std::size_t s) {
          return static_cast<unsigned>((e[0] + offset[0][s] > 0) & (e[1] + offset[1][s] > 0) &
                                       (e[2] + offset[2][s] > 0));
        };
        covered = inside(0) | inside(1) << 1 | inside(2) << 2 | inside(3) << 3;
        if (covered == 0) continue;
      }
      // Weights of the corners at the pixel's centre.
      double l0 = static_cast<double>(e[0]) * inverseArea, l1 = static_cast<double>(e[1]) * inverseArea,
             l2 = static_cast<double>(e[2]) * inverseArea;
      const auto centreNearness = static_cast<float>(v[0].nearness * l0 + v[1].nearness * l1 + v[2].nearness * l2);
      Sample* pixel = rect.At(x, y);
      const std::array<float, 4> nearness{centreNearness + nearOffset[0], centreNearness + nearOffset[1],
                                          centreNearness + nearOffset[2], centreNearness + nearOffset[3]};
      const auto nearer = [&](std::size_t s) { return static_cast<unsigned>(nearness[s] > pixel[s].nearness); };
      const unsigned passed = covered & (nearer(0) | nearer(1) << 1 | nearer(2) << 2 | nearer(3) << 3);
      if (passed == 0) continue;

      // An edge pixel whose centre lies outside is shaded at a point inside,
      // so that it takes no colour from beyond the corners. (The weights
      // need not add up to 1: the division below makes up for it.)
      l0 = std::max(l0, 0.0), l1 = std::max(l1, 0.0), l2 = std::max(l2, 0.0);
      const double toAttribute = 1 / (l0 * v[0].inverseW + l1 * v[1].inverseW + l2 * v[2].inverseW);
      const auto attribute = [&](double a0, double a1, double a2) {
        return (l0 * a0 + l1 * a1 + l2 * a2) * toAttribute;
      };
      const Lanes texel = texture ? SampleTexture(*texture, filter, attribute(v[0].u, v[1].u, v[2].u),
                                                  attribute(v[0].v, v[1].v, v[2].v))
                                  : kGrey;
      const std::uint32_t colour = Lit(texel, attribute(v[0].light, v[1].light, v[2].light));
      const auto keep = [&](std::size_t s) {
        const std::uint64_t drawn = std::uint64_t{0} - ((passed >> s) & 1);  // all ones or all zeros
        const auto now = std::bit_cast<std::uint64_t>(Sample{nearness[s], colour});
        pixel[s] = std::bit_cast<Sample>((now & drawn) | (std::bit_cast<std::uint64_t>(pixel[s]) & ~drawn));
      };
      keep(0), keep(1), keep(2), keep(3);
    }
  }
}

// The six planes of the clip space, x and y widened to a guard band so that
// only triangles reaching far outside the picture are cut.
double PlaneDistance(const ClipVertex& v, std::size_t plane, double guard) {
  switch (plane) {
    case 0: return v.x + guard * v.w;
    case 1: return guard * v.w - v.x;
    case 2: return v.y + guard * v.w;
    case 3: return guard * v.w - v.y;
    case 4: return v.z + v.w;
    default: return v.w - v.z;
  }
}

// Bit i set for a corner outside plane i (or not a number).
unsigned Outside(const ClipVertex& v, double guard) {
  const double band = guard * v.w;
  return static_cast<unsigned>(!(v.x + band >= 0)) | static_cast<unsigned>(!(band - v.x >= 0)) << 1 |
         static_cast<unsigned>(!(v.y + band >= 0)) << 2 | static_cast<unsigned>(!(band - v.y >= 0)) << 3 |
         static_cast<unsigned>(!(v.z + v.w >= 0)) << 4 | static_cast<unsigned>(!(v.w - v.z >= 0)) << 5;
}

ClipVertex Between(const ClipVertex& a, const ClipVertex& b, double t) {
  const auto mix = [t](double p, double q) { return p + (q - p) * t; };
  return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z), mix(a.w, b.w),
          mix(a.u, b.u), mix(a.v, b.v), mix(a.light, b.light)};
}

// Cuts a polygon by the planes it crosses (Sutherland-Hodgman); a triangle
// gains at most one corner a plane.
using Polygon = std::array<ClipVertex, 9>;
std::size_t Clip(Polygon& polygon, std::size_t count, unsigned planes, double guard) {
  Polygon cut;
  for (std::size_t plane = 0; plane < 6 && count > 0; ++plane) {
    if (!(planes & (1u << plane))) continue;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
      const ClipVertex& a = polygon[i];
      const ClipVertex& b = polygon[(i + 1) % count];
      const double da = PlaneDistance(a, plane, guard), db = PlaneDistance(b, plane, guard);
      if (da >= 0) cut[kept++] = a;
      if ((da >= 0) != (db >= 0)) cut[kept++] = Between(a, b, da / (da - db));
    }
    polygon = cut;
    count = kept;
  }
  return count;
}

}  // namespace

struct Rasterizer::Buffers {
  SampleRect rect;
  // Per corner of every item, one item after another.
  std::vector<Vector> view, normal;  // in the view; normal 0 where the mesh has none
  std::vector<std::array<double, 2>> light;  // seen from the normal's side, from the other; -1 without a normal
  std::vector<ClipVertex> clip;
  std::vector<unsigned> outside;
  std::vector<ScreenVertex> screen;
  std::vector<std::uint8_t> facing;  // per face
  std::vector<float> tiles;          // 8 x 8 pixels each, from the rectangle drawn in
  std::size_t tilesAcross = 0;
  Image image;
};

namespace {

// What a tile of pixels shows after the first pass: the least nearness of
// its samples, so that a triangle entirely behind it is not drawn at all.
constexpr int kTileBits = 3;

void NoteTiles(Rasterizer::Buffers& b) {
  SampleRect& rect = b.rect;
  b.tilesAcross = static_cast<std::size_t>(((rect.right - rect.left) >> kTileBits) + 1);
  b.tiles.assign(b.tilesAcross * static_cast<std::size_t>(((rect.bottom - rect.top) >> kTileBits) + 1),
                 std::numeric_limits<float>::infinity());
  for (int y = rect.top; y <= rect.bottom; ++y) {
    float* row = &b.tiles[static_cast<std::size_t>((y - rect.top) >> kTileBits) * b.tilesAcross];
    const Sample* sample = rect.At(rect.left, y);
    for (std::size_t x = 0; x < rect.stride; ++x, sample += 4) {
      float& tile = row[x >> kTileBits];
      tile = std::min({tile, sample[0].nearness, sample[1].nearness, sample[2].nearness, sample[3].nearness});
    }
  }
}

// Whether every tile the triangle's box touches is nearer than its nearest
// corner, with room for the rounding of the nearness at the samples.
bool Hidden(const Rasterizer::Buffers& b, const std::array<std::size_t, 3>& corner) {
  const std::int64_t left = b.rect.left, top = b.rect.top;
  const ScreenVertex& p = b.screen[corner[0]];
  const ScreenVertex& q = b.screen[corner[1]];
  const ScreenVertex& r = b.screen[corner[2]];
  const double nearest = std::max({p.nearness, q.nearness, r.nearness}) + 1e-5;
  const std::int64_t tileLeft = (std::max((std::min({p.x, q.x, r.x}) >> kSubBits) - left, std::int64_t{0})) >> kTileBits;
  const std::int64_t tileTop = (std::max((std::min({p.y, q.y, r.y}) >> kSubBits) - top, std::int64_t{0})) >> kTileBits;
  const std::int64_t tileRight = std::min(((std::max({p.x, q.x, r.x}) >> kSubBits) - left) >> kTileBits,
                                          static_cast<std::int64_t>(b.tilesAcross) - 1);
  const std::int64_t tileBottom = std::min(((std::max({p.y, q.y, r.y}) >> kSubBits) - top) >> kTileBits,
                                           static_cast<std::int64_t>(b.tiles.size() / b.tilesAcross) - 1);
  for (std::int64_t y = tileTop; y <= tileBottom; ++y) {
    for (std::int64_t x = tileLeft; x <= tileRight; ++x) {
      if (!(b.tiles[static_cast<std::size_t>(y) * b.tilesAcross + static_cast<std::size_t>(x)] > nearest)) return false;
    }
  }
  return true;
}

}  // namespace

Rasterizer::Rasterizer() : buffers_(std::make_unique<Buffers>()) {}
Rasterizer::~Rasterizer() = default;
Rasterizer::Rasterizer(Rasterizer&&) noexcept = default;
Rasterizer& Rasterizer::operator=(Rasterizer&&) noexcept = default;

const Image& Rasterizer::Draw(std::span<const DrawItem> items, const Camera& camera, int width, int height,
                              const RenderOptions& options) {
  if (width < 0 || height < 0 || width > kMaxSide || height > kMaxSide) {
    throw std::invalid_argument("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                                " pixels cannot be drawn");
  }
  // Everything is checked before anything is drawn.
  for (const DrawItem& item : items) {
    if (!item.mesh) throw std::invalid_argument("a mesh to draw is missing");
    const PosedMesh& mesh = *item.mesh;
    const std::size_t count = mesh.positions.size();
    if (mesh.normals.size() != count || mesh.uvs.size() != count) {
      throw std::invalid_argument("a posed mesh has " + std::to_string(count) + " positions, " +
                                  std::to_string(mesh.normals.size()) + " normals and " +
                                  std::to_string(mesh.uvs.size()) + " UVs");
    }
    for (const game::MeshFace& face : mesh.faces) {
      if (face.a >= count || face.b >= count || face.c >= count) {
        throw std::invalid_argument("a face names a vertex past the mesh's " + std::to_string(count));
      }
    }
    if (const TextureView* texture = item.texture) {
      if (texture->width <= 0 || texture->height <= 0 ||
          texture->pixels.size() / 4 / static_cast<std::size_t>(texture->width) !=
              static_cast<std::size_t>(texture->height) ||
          texture->pixels.size() % (4 * static_cast<std::size_t>(texture->width)) != 0) {
        throw std::invalid_argument("a texture of " + std::to_string(texture->width) + " x " +
                                    std::to_string(texture->height) + " pixels comes with " +
                                    std::to_string(texture->pixels.size()) + " bytes");
      }
    }
  }

  if (!buffers_) buffers_ = std::make_unique<Buffers>();  // moved from
  Buffers& b = *buffers_;
  Image& image = b.image;
  if (width == 0 || height == 0) {
    image = {width, height, {}};
    return image;
  }
  const Projector projector(camera, width, height);
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
  const double guard = std::max(1.0, 16384.0 / std::max(width, height));
  const Vector towardLight = Unit(Of(options.lighting.towardLight));
  const auto brightness = [&](double cosine) {
    const double light = options.lighting.ambient + options.lighting.diffuse * std::max(0.0, cosine);
    return light > 0 ? std::min(light, 1.0) : 0.0;  // and 0 for a light that is not a number
  };

  // False for a corner that cannot be placed (w at the limits of doubles).
  const auto toScreen = [&](const ClipVertex& c, ScreenVertex& on) {
    const double inverseW = 1 / c.w;
    const double x = (c.x * inverseW * 0.5 + 0.5) * width * kOne, y = (0.5 - c.y * inverseW * 0.5) * height * kOne;
    constexpr double kLimit = 1e12;  // far beyond the guard band, far within int64_t
    if (!(std::abs(x) < kLimit && std::abs(y) < kLimit && std::isfinite(c.z * inverseW))) return false;
    on.x = std::llround(x);
    on.y = std::llround(y);
    on.nearness = 2 - c.z * inverseW;
    on.inverseW = inverseW;
    on.u = c.u * inverseW;
    on.v = c.v * inverseW;
    return true;
  };

  // The corners of every item, and the rectangle they can reach: only its
  // samples are cleared and resolved.
  std::size_t total = 0, totalFaces = 0;
  for (const DrawItem& item : items) total += item.mesh->positions.size(), totalFaces += item.mesh->faces.size();
  b.view.resize(total);
  b.normal.resize(total);
  b.light.resize(total);
  b.clip.resize(total);
  b.outside.resize(total);
  b.screen.resize(total);
  std::int64_t left = std::numeric_limits<std::int64_t>::max(), top = left;
  std::int64_t right = std::numeric_limits<std::int64_t>::min(), bottom = right;
  bool reachesOut = false;
  for (std::size_t first = 0; const DrawItem& item : items) {
    const PosedMesh& mesh = *item.mesh;
    for (std::size_t k = 0; k < mesh.positions.size(); ++k) {
      const std::size_t at = first + k;
      const Vector p = b.view[at] = projector.View(Of(mesh.positions[k]));
      const Vector n = b.normal[at] = Unit(projector.Turn(Of(mesh.normals[k])));
      // Lit from the normal's side and from the other; a corner without a
      // normal is lit with its triangle's.
      b.light[at] = Dot(n, n) > 0 ? std::array<double, 2>{brightness(Dot(n, towardLight)), brightness(-Dot(n, towardLight))}
                                  : std::array<double, 2>{-1, -1};
      ClipVertex& c = b.clip[at];
      c.x = p.x * projector.scaleX;
      c.y = p.y * projector.scaleY;
      c.z = p.z * projector.depthScale + projector.depthOffset;
      c.w = projector.perspective ? -p.z : 1.0;
      c.u = mesh.uvs[k].u;
      c.v = mesh.uvs[k].v;
      // A corner that is not a number hides its triangles.
      b.outside[at] = Finite(p) ? Outside(c, guard) : kNotANumber;
      if (b.outside[at] == 0 && !toScreen(c, b.screen[at])) b.outside[at] = kNotANumber;
      if (b.outside[at] == 0) {
        const ScreenVertex& on = b.screen[at];
        left = std::min(left, on.x >> kSubBits), right = std::max(right, on.x >> kSubBits);
        top = std::min(top, on.y >> kSubBits), bottom = std::max(bottom, on.y >> kSubBits);
      } else if (b.outside[at] != kNotANumber) {
        reachesOut = true;
      }
    }
    first += mesh.positions.size();
  }
  if (reachesOut) left = 0, top = 0, right = width - 1, bottom = height - 1;
  left = std::max<std::int64_t>(left, 0), top = std::max<std::int64_t>(top, 0);
  right = std::min<std::int64_t>(right, width - 1), bottom = std::min<std::int64_t>(bottom, height - 1);
  if (left > right || top > bottom) return image;

  b.rect.Cover(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right), static_cast<int>(bottom));


  // Triangles seen from their normals' side first: on a closed surface they
  // hide those seen from behind, which then fail the depth test unshaded.
  b.facing.resize(totalFaces);
  for (const bool behindPass : {false, true}) {
    if (behindPass) NoteTiles(b);
    for (std::size_t first = 0, face = 0; const DrawItem& item : items) {
      for (const game::MeshFace& f : item.mesh->faces) {
        std::uint8_t& facing = b.facing[face++];
        const std::array<std::size_t, 3> corner{first + f.a, first + f.b, first + f.c};
        const unsigned any = b.outside[corner[0]] | b.outside[corner[1]] | b.outside[corner[2]];
        if (!behindPass) {
          if ((b.outside[corner[0]] & b.outside[corner[1]] & b.outside[corner[2]]) != 0 || (any & kNotANumber)) {
            facing = kHidden;
            continue;
          }
        } else if (facing != kFromBehind || (any == 0 && Hidden(b, corner))) {
          continue;
        }
        const Vector& p0 = b.view[corner[0]];
        const Vector side = Cross(b.view[corner[1]] - p0, b.view[corner[2]] - p0);
        const bool sideFacesViewer = Dot(side, projector.perspective ? -1.0 * p0 : Vector{0, 0, 1}) >= 0;
        if (!behindPass) {
          // Seen from the side its normals point away from, a triangle is
          // lit with them turned round.
          const Vector normals = b.normal[corner[0]] + b.normal[corner[1]] + b.normal[corner[2]];
          facing = sideFacesViewer != (Dot(side, normals) >= 0) ? kFromBehind : kFromFront;
          if (facing == kFromBehind) continue;
        }
        std::array<double, 3> light{};
        for (std::size_t i = 0; i < 3; ++i) {
          light[i] = b.light[corner[i]][behindPass ? 1 : 0];
          if (light[i] < 0) light[i] = brightness(Dot(Unit(sideFacesViewer ? side : -1.0 * side), towardLight));
        }

        if (any == 0) {
          std::array<ScreenVertex, 3> on{b.screen[corner[0]], b.screen[corner[1]], b.screen[corner[2]]};
          for (std::size_t i = 0; i < 3; ++i) on[i].light = light[i] * on[i].inverseW;
          RasterTriangle(on, item.texture, options.filter, b.rect);
          continue;
        }
        Polygon polygon;
        for (std::size_t i = 0; i < 3; ++i) {
          polygon[i] = b.clip[corner[i]];
          polygon[i].light = light[i];
        }
        const std::size_t corners = Clip(polygon, 3, any, guard);
        std::array<ScreenVertex, 9> on{};
        bool placed = true;
        for (std::size_t i = 0; i < corners && placed; ++i) {
          placed = toScreen(polygon[i], on[i]);
          on[i].light = polygon[i].light * on[i].inverseW;
        }
        if (!placed) continue;
        for (std::size_t i = 1; i + 1 < corners; ++i) {
          RasterTriangle({on[0], on[i], on[i + 1]}, item.texture, options.filter, b.rect);
        }
      }
      first += item.mesh->positions.size();
    }
  }

  // Each pixel is the mean of its covered samples, its alpha the share covered.
  const auto w = static_cast<std::size_t>(width);
  for (int y = b.rect.top; y <= b.rect.bottom; ++y) {
    for (int x = b.rect.left; x <= b.rect.right; ++x) {
      const Sample* sample = b.rect.At(x, y);
      std::uint8_t* out = &image.pixels[(static_cast<std::size_t>(y) * w + static_cast<std::size_t>(x)) * 4];
      const std::uint32_t first = sample[0].colour;
      if (first >> 24 && first == sample[1].colour && first == sample[2].colour && first == sample[3].colour) {
        out[0] = static_cast<std::uint8_t>(first), out[1] = static_cast<std::uint8_t>(first >> 8);
        out[2] = static_cast<std::uint8_t>(first >> 16), out[3] = 255;
        continue;
      }
      // An empty sample's colour is 0 and adds nothing.
      unsigned red = 0, green = 0, blue = 0, n = 0;
      for (std::size_t i = 0; i < 4; ++i) {
        const std::uint32_t colour = sample[i].colour;
        red += colour & 0xFF;
        green += (colour >> 8) & 0xFF;
        blue += (colour >> 16) & 0xFF;
        n += colour >> 31;
      }
      if (n == 0) continue;
      out[0] = static_cast<std::uint8_t>((red + n / 2) / n);
      out[1] = static_cast<std::uint8_t>((green + n / 2) / n);
      out[2] = static_cast<std::uint8_t>((blue + n / 2) / n);
      out[3] = static_cast<std::uint8_t>((255 * n + 2) / 4);
    }
  }
  return image;
}

Image Render(std::span<const DrawItem> items, const Camera& camera, int width, int height,
             const RenderOptions& options) {
  Rasterizer rasterizer;
  rasterizer.Draw(items, camera, width, height, options);
  return std::move(rasterizer.buffers_->image);
}

}  // namespace tailorloft::render
