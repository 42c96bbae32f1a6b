// Zoom per view, and the viewport and projection that fit a view.
#include <windows.h>
#include "opengl.h"

#include <algorithm>
#include <cmath>

#include "orvane.h"
#include "views.h"

namespace {

// Near and far planes in view units: the scene's backdrop stands 80 units
// away, so the far plane lies well beyond it.
constexpr double kNearPlane = 0.1;
constexpr double kFarPlane = 1000.0;

// Column-major 4x4 matrix for glLoadMatrixd: a perspective projection with
// a vertical field of view of `zoom` degrees, held to what a perspective can
// take (1..179), for a client area of width x height pixels (aspect 1 when
// it is empty).
void Perspective(int zoom, int width, int height, double out[16]) {
    const int fov = std::clamp(zoom, 1, 179);
    const double aspect = width > 0 && height > 0 ? double(width) / double(height) : 1.0;
    const double f = 1.0 / std::tan(fov * 3.14159265358979323846 / 360.0);
    for (int i = 0; i < 16; ++i) out[i] = 0.0;
    out[0] = f / aspect;
    out[5] = f;
    out[10] = (kFarPlane + kNearPlane) / (kNearPlane - kFarPlane);
    out[11] = -1.0;
    out[14] = 2.0 * kFarPlane * kNearPlane / (kNearPlane - kFarPlane);
}

}  // namespace

using namespace orvane;

extern "C" {

int32_t WINAPI QI_SetGLzoom(HWND window, int32_t zoom) {
    View* view = FindView(window);
    if (!view) return 0;
    view->zoom = zoom;
    return 1;
}

int32_t WINAPI QI_GetGLzoom(HWND window) {
    View* view = FindView(window);
    return view ? view->zoom : 0;
}

int32_t WINAPI QI_ResizeGLWindow(HWND window) {
    View* view = FindView(window);
    if (!view || !MakeCurrent(*view)) return 0;
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right > 0 ? client.right : 0;
    const int height = client.bottom > 0 ? client.bottom : 0;
    double projection[16];
    Perspective(view->zoom, width, height, projection);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
    return 1;
}

}  // extern "C"
