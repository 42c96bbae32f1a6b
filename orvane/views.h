// Internal: the library's record of each view control it created.
#pragma once

#include <windows.h>

namespace orvane {

inline constexpr const char* kViewClass = "QOPENGLCTRL";
inline constexpr int kStartZoom = 51;

struct View {
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
    int zoom = kStartZoom;
};

// The view record of a window this library created, or null for any other
// window (null, destroyed, or of another class). Valid until the view's
// WM_NCDESTROY; only the view's own thread may use it.
View* FindView(HWND window);

// The view whose device context is dc, or null.
View* FindViewByDC(HDC dc);

// Makes the view's rendering context current on this thread if it is not
// already. False when that fails.
bool MakeCurrent(const View& view);

}  // namespace orvane
