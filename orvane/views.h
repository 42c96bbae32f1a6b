// Internal: the library's record of each view control it created.
#pragma once

#include <windows.h>

namespace orvane {

inline constexpr const char* kViewClass = "QOPENGLCTRL";
inline constexpr int kStartZoom = 51;

struct View {
    HWND window = nullptr;
    // Where OpenGL draws: the view itself, or a hidden top-level surface
    // window whose frames are copied onto the view (see present.h).
    HWND surface = nullptr;
    HDC dc = nullptr;        // the device context OpenGL draws through
    HGLRC context = nullptr;
    int zoom = kStartZoom;
    // The last frame copied from a surface: a DIB section that OpenGL reads
    // into and GDI copies from, kept for repainting.
    HDC frameDC = nullptr;
    HBITMAP frameBitmap = nullptr;
    HGDIOBJ frameOldBitmap = nullptr;
    void* frameBits = nullptr;
    int frameWidth = 0;
    int frameHeight = 0;
};

// The view record of a window of the view class, kept with the window, or
// null for any other window (null, destroyed, or of another class). Valid
// until the view's WM_NCDESTROY; only the view's own thread may use it.
View* FindView(HWND window);

// The view whose OpenGL device context is dc, or null (see present.cpp).
View* FindViewByDC(HDC dc);

// Makes the view's rendering context current on this thread if it is not
// already. False when that fails.
bool MakeCurrent(const View& view);

}  // namespace orvane
