// Where a view's OpenGL frames are drawn and how they are shown.
#include "present.h"

#include "opengl.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "diagnostics.h"
#include "format.h"
#include "gl_entry.h"
#include "helpers.h"
#include "owned.h"
#include "wic.h"

namespace orvane {
namespace {

constexpr char kSurfaceClass[] = "OrvaneSurface";

ATOM RegisterSurfaceClass() {
    Library& library = TheLibrary();
    if (!library.surfaceClass) {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_OWNDC;
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = library.instance;
        wc.lpszClassName = kSurfaceClass;
        library.surfaceClass = win32::RegisterClassOnce(wc);
    }
    return library.surfaceClass;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right > 0 ? client.right : 0, client.bottom > 0 ? client.bottom : 0};
}

HWND CreateSurfaceWindowOfSize(SIZE size) {
    if (!RegisterSurfaceClass()) return nullptr;
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSurfaceClass, nullptr, WS_POPUP, 0, 0,
                           size.cx > 0 ? size.cx : 1, size.cy > 0 ? size.cy : 1, nullptr, nullptr,
                           TheLibrary().instance, nullptr);
}

// A hidden top-level window the size of the view's client area.
HWND CreateSurface(HWND view) {
    HWND surface = CreateSurfaceWindowOfSize(ClientSize(view));
    // The surface knows its view, so a view is found from the surface's DC.
    if (surface) SetWindowLongPtrA(surface, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    return surface;
}

template <typename Proc>
Proc GLProc(const char* name) {
    void* const address = reinterpret_cast<void*>(wglGetProcAddress(name));
    return win32::IsGlEntryPoint(address) ? reinterpret_cast<Proc>(address) : nullptr;
}

// The WGL extension list of the current context's device context, or null.
const char* WglExtensions(HDC dc) {
    using ArbList = const char*(WINAPI*)(HDC);
    using ExtList = const char*(WINAPI*)();
    const char* list = nullptr;
    if (auto arb = GLProc<ArbList>("wglGetExtensionsStringARB")) list = arb(dc);
    if (!list)
        if (auto ext = GLProc<ExtList>("wglGetExtensionsStringEXT")) list = ext();
    return list;
}

// What the current context offers (current: there is one); without one,
// the defaults. The test seam ORVANE_MAX_TEXTURE_SIZE, when set, lowers the
// longest texture side.
GLCaps ReadCaps(bool current) {
    GLCaps caps;
    caps.maxTextureSide = pictures::kDefaultMaxPictureSide;
    if (current) {
        const auto text = [](GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); };
        caps.vendor = text(GL_VENDOR);
        caps.renderer = text(GL_RENDERER);
        caps.version = text(GL_VERSION);
        caps.extensions = text(GL_EXTENSIONS);
        caps.wglExtensions = WglExtensions(wglGetCurrentDC());
        GLint side = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
        if (side > 0) caps.maxTextureSide = uint32_t(side);
        const bool two = caps.version && strtol(caps.version, nullptr, 10) >= 2;   // "major.minor ..."
        caps.powerOfTwoOnly = !two && !win32::HasExtension(caps.extensions, "GL_ARB_texture_non_power_of_two");
    }
    char seam[16];
    if (const DWORD n = GetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", seam, sizeof seam); n && n < sizeof seam)
        if (const unsigned long side = strtoul(seam, nullptr, 10); side > 0 && side < caps.maxTextureSide)
            caps.maxTextureSide = uint32_t(side);
    return caps;
}

// A bottom-up DIB section of the view's size in a memory DC: its rows are
// laid out exactly as glReadPixels delivers BGRA rows.
bool FrameOfSize(View& view, SIZE size) {
    if (view.frame && view.frame->Width() == size.cx && view.frame->Height() == size.cy) return true;
    view.frame.reset();
    memory::Owned<win32::Dib> frame = memory::MakeOwned<win32::Dib>(nullptr, size.cx, size.cy, true);
    if (!frame) win32::ReportOutOfMemory("orvane", __func__);
    if (!frame || !frame->Ok()) return false;
    view.frame = std::move(frame);
    return true;
}

bool Blit(const View& view, HDC dc) {
    const win32::Dib& frame = *view.frame;
    return BitBlt(dc, 0, 0, frame.Width(), frame.Height(), frame.Dc(), 0, 0, SRCCOPY) != FALSE;
}

// Reads the finished back buffer straight into the frame's DIB section and
// copies that onto the view.
bool CopyFrame(View& view) {
    const SIZE size = ClientSize(view.window);
    if (size.cx == 0 || size.cy == 0) return true;
    if (!FrameOfSize(view, size)) return false;
    GdiFlush();   // GDI is done with the bits before OpenGL writes them

    ReadFrame(view, size, view.frame->Bits());

    HDC dc = GetDC(view.window);
    if (!dc) return false;
    const bool shown = Blit(view, dc);
    ReleaseDC(view.window, dc);
    return shown;
}

// A hidden window's GL buffers keep the size they were made with (resizing
// the window does not reach them under Wine 8, whatever is made current), so
// a view whose size changed moves its context to a new surface of its new
// size with the same pixel format. Keeping the surface exactly the view's
// size keeps each frame's clear and read-back no larger than the view.
// When the move fails the old surface stays: frames are cut, not lost.
void MoveToNewSurface(View& view) {
    const SIZE want = ClientSize(view.window);
    const SIZE have = ClientSize(view.surface);
    if (want.cx == 0 || want.cy == 0 || (want.cx == have.cx && want.cy == have.cy)) return;

    HWND next = CreateSurface(view.window);
    HDC dc = next ? GetDC(next) : nullptr;
    PIXELFORMATDESCRIPTOR pfd{};
    const int format = GetPixelFormat(view.dc);
    HGLRC previous = wglGetCurrentContext();
    HDC previousDC = wglGetCurrentDC();
    const bool moved = dc && format != 0 && DescribePixelFormat(view.dc, format, sizeof(pfd), &pfd) &&
                       SetPixelFormat(dc, format, &pfd) && wglMakeCurrent(dc, view.context);
    if (!moved) {
        if (dc) ReleaseDC(next, dc);
        if (next) DestroyWindow(next);
        if (previous == view.context) wglMakeCurrent(view.dc, view.context);
        return;
    }
    // Whatever was current before stays current.
    if (previous != view.context) wglMakeCurrent(previousDC, previous);
    ReleaseDC(view.surface, view.dc);
    DestroyWindow(view.surface);
    view.surface = next;
    view.dc = dc;
}

// Names the renderer the first context runs on, once per process, so that a
// developer who finds the program slow sees whether it is the system's
// software renderer ("GDI Generic": OpenGL 1.1, no graphics hardware).
void SayRenderer(const View& view) {
    if (TheLibrary().rendererNamed.exchange(true)) return;
    const auto text = [](const char* value) { return value ? value : "?"; };
    const bool software = view.gl.renderer && strcmp(view.gl.renderer, "GDI Generic") == 0;
    char why[384];
    snprintf(why, sizeof why, "%s; %s; OpenGL %s%s", text(view.gl.vendor), text(view.gl.renderer),
             text(view.gl.version), software ? "; the system's software renderer: no graphics driver, slow" : "");
    Say(kRenderer, view, why);
}

}  // namespace

HWND CreateSurfaceWindow(int width, int height) { return CreateSurfaceWindowOfSize({width, height}); }

void Say(const char* item, const View& view, const char* why) {
    char subject[32];
    snprintf(subject, sizeof subject, "view %p", static_cast<void*>(view.window));
    Report(item, subject, why);
}

bool Refuse(const View& view, const char* step) {
    char why[96];
    snprintf(why, sizeof why, "%s (error %lu)", step, static_cast<unsigned long>(GetLastError()));
    Say(kNoContext, view, why);
    return false;
}

// Wine (8.x) renders OpenGL of child windows off screen and never shows it,
// while OpenGL of a top-level window and GDI drawing on child windows work.
// There a child view renders into a hidden top-level window and its frames
// are copied onto the view. ORVANE_NATIVE_CHILD_GL=1 forces the direct path
// (for tests of the path Windows runs); any other value changes nothing.
bool ChildGLIsHidden() {
    char value[4] = {};
    const DWORD length = GetEnvironmentVariableA("ORVANE_NATIVE_CHILD_GL", value, sizeof value);
    if (length == 1 && value[0] == '1') return false;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

View* FindViewByDC(HDC dc) {
    HWND window = dc ? WindowFromDC(dc) : nullptr;
    if (!window) return nullptr;
    if (GetClassLongPtrA(window, GCW_ATOM) == TheLibrary().surfaceClass)
        window = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
    View* view = FindView(window);
    return view && view->dc == dc ? view : nullptr;
}

View* CurrentView() {
    HGLRC context = wglGetCurrentContext();
    View* view = context ? FindViewByDC(wglGetCurrentDC()) : nullptr;
    return view && view->context == context ? view : nullptr;
}

GLCaps CurrentCaps() {
    const bool gl = win32::gl::Load();   // without OpenGL no context is current
    if (const View* view = gl ? CurrentView() : nullptr) return view->gl;
    return ReadCaps(gl && wglGetCurrentContext());
}

bool CreateDrawable(View& view, const OrvaneViewFormat& request) {
    // Only a child's OpenGL is hidden; a top-level view draws on itself.
    const bool child = (GetWindowLongPtrA(view.window, GWL_STYLE) & WS_CHILD) != 0;
    if (child && TheLibrary().childGLHidden) {
        view.surface = CreateSurface(view.window);
        if (!view.surface) return Refuse(view, "no surface window");
    }
    // The class's own DC (CS_OWNDC), kept for life.
    view.dc = GetDC(view.surface ? view.surface : view.window);
    if (!view.dc) return Refuse(view, "no device context");
    // OpenGL from the system folder before the pixel-format calls, which
    // otherwise load "opengl32.dll" by bare name (beside the host program
    // first, in a host that does not restrict its search).
    if (!win32::gl::Load()) return Refuse(view, "no OpenGL library");
    if (!MakeContext(view, request)) return false;
    view.gl = ReadCaps(true);
    SayRenderer(view);
    FinishContext(view, request);
    Say(kPresentation, view, view.surface ? "surface (a hidden top-level window, frames copied onto the view)"
                                          : "native (SwapBuffers in the view)");
    return true;
}

void ReleaseDrawable(View& view) {
    if (view.context) {
        if (wglGetCurrentContext() == view.context) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(view.context);
        view.context = nullptr;
    }
    if (view.dc) {
        ReleaseDC(view.surface ? view.surface : view.window, view.dc);
        view.dc = nullptr;
    }
    if (view.surface) {
        DestroyWindow(view.surface);
        view.surface = nullptr;
    }
    view.frame.reset();
    view.resolve = {};   // went with the context
}

void FollowSize(View& view) {
    if (view.surface) {
        MoveToNewSurface(view);
        return;
    }
    // Wine gives a child window's GL drawable its new size only at the next
    // wglMakeCurrent, glFlush, glFinish or SwapBuffers (a plain child-window
    // program misses the grown corner the same way), and a context that is
    // already current is not made current again. Making it current here
    // costs Windows nothing and gives Wine that point.
    if (view.context && wglGetCurrentContext() == view.context) wglMakeCurrent(view.dc, view.context);
}

bool Present(View& view) {
    if (!MakeCurrent(view)) return false;
    if (!view.surface) return SwapBuffers(view.dc) != FALSE;
    return CopyFrame(view);
}

void PaintView(View& view) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(view.window, &paint);
    if (dc && view.surface && view.frame) Blit(view, dc);
    EndPaint(view.window, &paint);
}

}  // namespace orvane
