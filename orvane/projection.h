// The perspective projection a view uses for its zoom.
#pragma once

namespace orvane {

// Near and far planes in view units: the scene's backdrop stands 80 units
// away, so the far plane lies well beyond it.
inline constexpr double kNearPlane = 0.1;
inline constexpr double kFarPlane = 1000.0;

// Any zoom is accepted; the field of view is held to what a perspective can
// take (1..179 degrees).
inline constexpr int kMinFieldOfView = 1;
inline constexpr int kMaxFieldOfView = 179;

// Column-major 4x4 matrix for glLoadMatrixd: a perspective projection with
// a vertical field of view of `zoom` degrees, for a client area of
// width x height pixels. An empty client area gives aspect 1.
void Perspective(int zoom, int width, int height, double out[16]);

}  // namespace orvane
