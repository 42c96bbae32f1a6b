// Back-face culling on the CPU, for renderers whose cost grows with every
// triangle submitted even when they cull it themselves.
//
// OpenGL decides a triangle's facing by the sign of its area on screen,
// which is the sign of det[x y w] of its three corners in clip space (also
// for triangles that clipping cuts). Let A be rows x, y and w of
// projection * modelview. E, the null vector of A, is the eye in model
// space: the homogeneous point that projects onto no screen position (for a
// perspective projection the eye point, w = 1; for a parallel one a
// direction, w = 0). det(A [a b c]) is an alternating form in the corners
// that vanishes when E lies in their span, so it equals k * det[a b c E]
// for a constant k, and for corners with w = 1
//     det[a b c E] = -n . (E.xyz - E.w * a),  n = (b - a) x (c - a).
// One plane test per triangle against the eye thus gives the screen facing.
#include "model.h"

#include <cmath>
#include <cstring>

namespace md2 {

namespace {

// Cosine between a triangle's normal and its direction to the eye below which
// (beyond edge-on, away from the eye) a triangle is culled. Nearer edge-on,
// rounding of the renderer's snapped screen positions may see it either way,
// so it is left to the renderer.
constexpr double kEdgeOn = 0.02;

// The rows of a clip-space position that decide a triangle's facing: x, y and w.
constexpr int kRows[3] = {0, 1, 3};

double Det3(const double m[3][4], int c0, int c1, int c2) {
    return m[0][c0] * (m[1][c1] * m[2][c2] - m[1][c2] * m[2][c1]) -
           m[0][c1] * (m[1][c0] * m[2][c2] - m[1][c2] * m[2][c0]) +
           m[0][c2] * (m[1][c0] * m[2][c1] - m[1][c1] * m[2][c0]);
}

// The eye in model space, scaled so that a positive plane test below means a
// counter-clockwise (positive) area on screen. False when there is none.
bool Eye(const float modelview[16], const float projection[16], double eye[4]) {
    // Rows 0, 1 and 3 of projection * modelview (column-major: [col * 4 + row]).
    double a[3][4];
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += double(projection[k * 4 + kRows[r]]) * modelview[c * 4 + k];
            a[r][c] = sum;
        }
    }
    // E_j = (-1)^j det(A without column j): A E = 0.
    const double e[4] = {Det3(a, 1, 2, 3), -Det3(a, 0, 2, 3), Det3(a, 0, 1, 3), -Det3(a, 0, 1, 2)};
    int m = 0;
    for (int j = 1; j < 4; ++j)
        if (std::fabs(e[j]) > std::fabs(e[m])) m = j;
    if (!(std::fabs(e[m]) > 0.0) || !std::isfinite(e[m])) return false;
    // k from the corners e_c (c != m, ascending): det(A [e_c...]) is the 3x3
    // minor of A; det[e_c... E] = (-1)^(m + 3) E_m.
    int c[3], n = 0;
    for (int j = 0; j < 4; ++j)
        if (j != m) c[n++] = j;
    const double k = Det3(a, c[0], c[1], c[2]) / (((m + 3) % 2 ? -1.0 : 1.0) * e[m]);
    if (!(k != 0.0) || !std::isfinite(k)) return false;
    // sign(det(A V)) = sign(k) * sign(-n . d): fold -sign(k) into the eye.
    const double s = k > 0.0 ? -1.0 : 1.0;
    for (int j = 0; j < 4; ++j) eye[j] = s * e[j];
    for (int j = 0; j < 4; ++j)
        if (!std::isfinite(eye[j])) return false;
    return true;
}

}  // namespace

std::size_t FacingTriangles(const Model& model, const float* pose, const float modelview[16],
                            const float projection[16], std::uint16_t* out) {
    const std::size_t count = model.indices.size();
    double eye[4];
    if (!Eye(modelview, projection, eye)) {
        if (count) std::memcpy(out, model.indices.data(), count * sizeof(std::uint16_t));
        return count;
    }
    const double front = model.counterClockwise ? 1.0 : -1.0;
    const double limit = kEdgeOn * kEdgeOn;
    const std::uint16_t* index = model.indices.data();
    std::size_t kept = 0;
    for (std::size_t i = 0; i + 2 < count; i += 3) {
        const float* a = pose + std::size_t(index[i]) * kPoseStride;
        const float* b = pose + std::size_t(index[i + 1]) * kPoseStride;
        const float* c = pose + std::size_t(index[i + 2]) * kPoseStride;
        const double ux = double(b[0]) - a[0], uy = double(b[1]) - a[1], uz = double(b[2]) - a[2];
        const double vx = double(c[0]) - a[0], vy = double(c[1]) - a[1], vz = double(c[2]) - a[2];
        const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
        const double dx = eye[0] - eye[3] * a[0], dy = eye[1] - eye[3] * a[1], dz = eye[2] - eye[3] * a[2];
        const double facing = front * (nx * dx + ny * dy + nz * dz);
        // Culled only when clearly turned away: facing < -kEdgeOn * |n| * |d|.
        if (facing < 0.0 &&
            facing * facing > limit * (nx * nx + ny * ny + nz * nz) * (dx * dx + dy * dy + dz * dz))
            continue;
        out[kept] = index[i];
        out[kept + 1] = index[i + 1];
        out[kept + 2] = index[i + 2];
        kept += 3;
    }
    return kept;
}

}  // namespace md2
