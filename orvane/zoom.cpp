// Zoom per view, and the viewport and projection that fit a view.
#include <windows.h>
#include <GL/gl.h>

#include <cmath>

#include "orvane.h"
#include "projection.h"
#include "views.h"

namespace orvane {

void Perspective(int zoom, int width, int height, double out[16]) {
    int fov = zoom;
    if (fov < kMinFieldOfView) fov = kMinFieldOfView;
    if (fov > kMaxFieldOfView) fov = kMaxFieldOfView;
    const double aspect = width > 0 && height > 0 ? double(width) / double(height) : 1.0;
    const double f = 1.0 / std::tan(fov * 3.14159265358979323846 / 360.0);
    for (int i = 0; i < 16; ++i) out[i] = 0.0;
    out[0] = f / aspect;
    out[5] = f;
    out[10] = (kFarPlane + kNearPlane) / (kNearPlane - kFarPlane);
    out[11] = -1.0;
    out[14] = 2.0 * kFarPlane * kNearPlane / (kNearPlane - kFarPlane);
}

}  // namespace orvane

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
