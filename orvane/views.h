// Internal: the library's one context object, and its record of each view
// control, kept with the view's window.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <atomic>
#include <memory>
#include <vector>

#include "dib.h"
#include "glyphs.h"

namespace orvane {

inline constexpr const char* kViewClass = "QOPENGLCTRL";
inline constexpr int kStartZoom = 51;

// What the library keeps for the whole process, made on first use. The rest
// lives with the window it belongs to: no list of windows, no lock.
struct Library {
    HINSTANCE instance;                  // the module that holds this code
    bool childGLHidden;                  // read once (see present.cpp)
    std::atomic<ATOM> viewClass{0};      // once RegisterOrvaneClass succeeded
    std::atomic<ATOM> surfaceClass{0};   // once the first surface was made
    std::atomic<bool> rendererNamed{false};   // once the first context was made (see present.cpp)
    // The last serial number given to a view's font. It starts from the time
    // of the load, so that a record left from an earlier load of the library
    // names no font of this one.
    std::atomic<uint32_t> fontSerial;
    Library();
};
Library& TheLibrary();

// At the library's unloading: unregisters its window classes, so that a
// later load, at whatever address, registers them afresh (a class whose
// window still exists stays registered).
void ReleaseLibrary() noexcept;

// A font built in a view's context, named by a serial number that its
// record carries in its Reserved field (display list numbers alone repeat
// from one context to the next). Its glyphs are packed into the atlas
// texture when there is one; without one it is drawn with its lists.
struct ViewFont {
    uint32_t serial;
    unsigned base;    // first display list
    unsigned atlas;   // texture name, or 0
    GlyphSet glyphs;
};

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

struct View {
    HWND window = nullptr;
    // Where OpenGL draws: the view itself, or a hidden top-level surface
    // window whose frames are copied onto the view (see present.h).
    HWND surface = nullptr;
    HDC dc = nullptr;        // the device context OpenGL draws through
    HGLRC context = nullptr;
    GLCaps gl;   // the context's
    int zoom = kStartZoom;
    // The last frame copied from a surface: a DIB section that OpenGL reads
    // into and GDI copies from, kept for repainting.
    std::unique_ptr<win32::Dib> frame;
    // The fonts built in this view's context; they go with it.
    std::vector<std::unique_ptr<ViewFont>> fonts;
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
