// SPDX-License-Identifier: GPL-3.0-or-later
// Where the picture of a suit is taken from: a camera, and the helper that
// frames a bounding box from a named view or an interactive orbit.
#pragma once

#include "game/mesh.h"
#include "render/pose.h"

namespace tailorloft::render {

enum class Projection { kOrthographic, kPerspective };

// In the drawing frame (after the mirror). The picture's width over its
// height widens or narrows the view; its height is fixed by fovY or halfHeight.
struct Camera {
  Projection projection = Projection::kOrthographic;
  game::Vec3 eye{0, 0, 10};
  game::Vec3 target{0, 0, 0};
  game::Vec3 up{0, 1, 0};
  float fovY = 0.5f;        // perspective: the full vertical field of view, in radians
  float halfHeight = 1;     // orthographic: half the visible height, in world units
  float nearPlane = 0.1f;   // distances along the view; nothing nearer or farther is drawn
  float farPlane = 100;
};

// The camera turns around the box's centre: yaw 0 looks from +Z at the Sim's
// front, yaw 90 from +X at its left side; pitch above 0 looks down from above
// (kept within +-89). Zoom 2 shows everything twice as large, by halving the
// visible height (orthographic) or narrowing the field of view (perspective),
// so the camera never moves into the figure.
struct Orbit {
  float yawDegrees = 0;
  float pitchDegrees = 0;
  float zoom = 1;
};

enum class View {
  kFront,         // the Sim faces the viewer: its left hand on the viewer's right
  kBack,
  kLeft,          // the Sim's left side
  kRight,
  kThreeQuarter,  // between front and left, a little from above
};
Orbit ViewOrbit(View view);

// A camera on `orbit` that shows the whole box with a margin of 5% of the
// picture on each side (at zoom 1) in a picture of `aspect` = width / height.
// A perspective camera looks at the box's centre from 0.5 radians of vertical
// field of view. An empty box is framed as a unit cube at the origin.
Camera FrameBox(const Box& box, const Orbit& orbit, Projection projection, float aspect);

}  // namespace tailorloft::render
