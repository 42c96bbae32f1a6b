// Internal: the library's one context object, and its record of each view
// control, kept with the view's window.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <atomic>

#include "dib.h"
#include "glyphs.h"
#include "orvane.h"
#include "owned.h"

namespace orvane {

inline constexpr const char* kViewClass = "QOPENGLCTRL";
inline constexpr int kStartZoom = 51;

// What the library keeps for the whole process, made as it loads. The rest
// lives with the window it belongs to: no list of windows, no lock. Views
// of several threads read the class atoms and the flag, hence atomics.
struct Library {
    HINSTANCE instance;                  // the module that holds this code
    bool childGLHidden;                  // read once (see present.cpp)
    std::atomic<ATOM> viewClass{0};      // once RegisterOrvaneClass succeeded
    std::atomic<ATOM> surfaceClass{0};   // once the first surface was made
    std::atomic<bool> rendererNamed{false};   // once the first context was made (see present.cpp)
    Library();
};
Library& TheLibrary();

// At the library's unloading: unregisters its window classes, so that a
// later load, at whatever address, registers them afresh (a class whose
// window still exists stays registered).
void ReleaseLibrary() noexcept;

// What an OpenGL context offers, read once when a view's context is made
// (see present.cpp). The strings are the implementation's own, which stay
// as they are while the context lives; each is null where it gave none.
struct GLCaps {
    const char* vendor = nullptr;
    const char* renderer = nullptr;
    const char* version = nullptr;
    const char* extensions = nullptr;      // OpenGL's, names separated by spaces
    const char* wglExtensions = nullptr;   // WGL's, the same way
    // The longest texture side (lowered by the test seam ORVANE_MAX_TEXTURE_SIZE),
    // and whether sides must be powers of two (OpenGL before 2.0 without
    // GL_ARB_texture_non_power_of_two, such as the system's software renderer).
    uint32_t maxTextureSide = 0;
    bool powerOfTwoOnly = false;
};

// A multisampled surface's frames are resolved into this single-sample
// framebuffer before they are read (see frame_read.cpp); its objects are the
// context's and go with it.
struct ViewResolve {
    unsigned framebuffer = 0, colour = 0;
    SIZE size{};
    bool unavailable = false;   // the driver has none: frames are read as they are
};

struct View {
    HWND window = nullptr;
    // Where OpenGL draws: the view itself, or a hidden top-level surface
    // window whose frames are copied onto the view (see present.h).
    HWND surface = nullptr;
    HDC dc = nullptr;        // the device context OpenGL draws through
    // The fonts built in it are its display lists and atlas textures, and
    // each font's record names this view's window (see text.cpp): they go
    // with the context.
    HGLRC context = nullptr;
    GLCaps gl;   // the context's
    // What the framebuffer and context have (see format.cpp); Size 0 until
    // the context is made.
    OrvaneViewFormat got{};
    memory::Owned<ViewFont> fonts;   // those drawn from an atlas
    int zoom = kStartZoom;
    bool cueShown = false;   // the focus cue, as last asked for (see focus.h)
    // The last frame copied from a surface: a DIB section that OpenGL reads
    // into and GDI copies from, kept for repainting.
    memory::Owned<win32::Dib> frame;
    ViewResolve resolve;
};

// The record of a view of the calling thread, or null for any other window
// (null, destroyed, of another class or thread). Valid until the view's
// WM_NCDESTROY.
View* FindView(HWND window);

// The view whose OpenGL device context is dc, or null (see present.cpp).
View* FindViewByDC(HDC dc);

// The view of this thread whose context is current through its own device
// context, or null.
View* CurrentView();

// What the current context offers: a view's record, or for a context that is
// no view's (a host program's own) read now. Without a context: the shared
// default size cap of pictures, any side.
GLCaps CurrentCaps();

// Makes the view's context current on this thread (if not already); false
// when that fails.
bool MakeCurrent(const View& view);

}  // namespace orvane
