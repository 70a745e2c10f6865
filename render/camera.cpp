// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/camera.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace tailorloft::render {
namespace {

struct Direction {
  double x = 0, y = 0, z = 0;
};

double Dot(const Direction& a, const Direction& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

Direction Cross(const Direction& a, const Direction& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

game::Vec3 ToVec3(double x, double y, double z) {
  return {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

constexpr double kFill = 0.9;  // 5% margin on each side
constexpr double kFovY = 0.5;

}  // namespace

Orbit ViewOrbit(View view) {
  switch (view) {
    case View::kFront: return {0, 0, 1};
    case View::kBack: return {180, 0, 1};
    case View::kLeft: return {90, 0, 1};
    case View::kRight: return {-90, 0, 1};
    case View::kThreeQuarter: return {40, 10, 1};
  }
  return {};
}

Camera FrameBox(const Box& box, const Orbit& orbit, Projection projection, float aspect) {
  Direction low{-0.5, -0.5, -0.5}, high{0.5, 0.5, 0.5};
  if (!box.empty) {
    low = {box.min.x, box.min.y, box.min.z};
    high = {box.max.x, box.max.y, box.max.z};
  }
  const Direction centre{(low.x + high.x) / 2, (low.y + high.y) / 2, (low.z + high.z) / 2};
  // A box of one point still gets a picture of some size.
  const double radius = std::max(std::sqrt(Dot({high.x - centre.x, high.y - centre.y, high.z - centre.z},
                                               {high.x - centre.x, high.y - centre.y, high.z - centre.z})),
                                 1e-3);
  const double wide = std::isfinite(aspect) && aspect > 0 ? aspect : 1.0;
  const double zoom = std::isfinite(orbit.zoom) && orbit.zoom > 0 ? std::clamp<double>(orbit.zoom, 1e-3, 1e3) : 1.0;

  constexpr double kDegree = std::numbers::pi / 180;
  const double yaw = std::isfinite(orbit.yawDegrees) ? orbit.yawDegrees * kDegree : 0.0;
  const double pitch =
      std::isfinite(orbit.pitchDegrees) ? std::clamp<double>(orbit.pitchDegrees, -89, 89) * kDegree : 0.0;
  // From the centre towards the eye, and the picture's right and up.
  const Direction back{std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch)};
  Direction right = Cross({-back.x, -back.y, -back.z}, {0, 1, 0});
  const double rightLength = std::sqrt(Dot(right, right));
  right = {right.x / rightLength, right.y / rightLength, right.z / rightLength};
  const Direction up = Cross(right, {-back.x, -back.y, -back.z});

  std::array<Direction, 8> corners;  // relative to the centre: along right, up, back
  for (std::size_t i = 0; i < corners.size(); ++i) {
    const Direction p{((i & 1) ? high.x : low.x) - centre.x, ((i & 2) ? high.y : low.y) - centre.y,
                      ((i & 4) ? high.z : low.z) - centre.z};
    corners[i] = {Dot(p, right), Dot(p, up), Dot(p, back)};
  }

  Camera camera;
  camera.projection = projection;
  camera.up = ToVec3(up.x, up.y, up.z);
  Direction target = centre;
  double distance = 0;
  if (projection == Projection::kOrthographic) {
    double rightLow = 0, rightHigh = 0, upLow = 0, upHigh = 0;
    for (const Direction& c : corners) {
      rightLow = std::min(rightLow, c.x), rightHigh = std::max(rightHigh, c.x);
      upLow = std::min(upLow, c.y), upHigh = std::max(upHigh, c.y);
    }
    const double shiftRight = (rightLow + rightHigh) / 2, shiftUp = (upLow + upHigh) / 2;
    target = {centre.x + right.x * shiftRight + up.x * shiftUp, centre.y + right.y * shiftRight + up.y * shiftUp,
              centre.z + right.z * shiftRight + up.z * shiftUp};
    const double half = std::max({(upHigh - upLow) / 2, (rightHigh - rightLow) / (2 * wide), 1e-3});
    camera.halfHeight = static_cast<float>(half / kFill / zoom);
    distance = 2 * radius;
    camera.nearPlane = static_cast<float>(radius * 0.99);
    camera.farPlane = static_cast<float>(3.01 * radius);
  } else {
    const double tanY = std::tan(kFovY / 2) / zoom;
    // Near enough that the farthest-out corner just touches the margin at zoom 1.
    for (const Direction& c : corners) {
      distance = std::max({distance, c.z + std::abs(c.x) / (kFill * tanY * zoom * wide),
                           c.z + std::abs(c.y) / (kFill * tanY * zoom)});
    }
    camera.fovY = static_cast<float>(2 * std::atan(tanY));
    camera.nearPlane = static_cast<float>(std::max(distance - radius * 1.01, distance * 1e-3));
    camera.farPlane = static_cast<float>(distance + radius * 1.01);
  }
  camera.target = ToVec3(target.x, target.y, target.z);
  camera.eye = ToVec3(target.x + back.x * distance, target.y + back.y * distance, target.z + back.z * distance);
  return camera;
}

}  // namespace tailorloft::render
