// Where a view's OpenGL frames are drawn and how they are shown.
#include "present.h"

#include <GL/gl.h>

#include <algorithm>
#include <new>

namespace orvane {
namespace {

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

constexpr char kSurfaceClass[] = "OrvaneSurface";

// Wine (8.x) renders OpenGL of child windows off screen and never shows it,
// while OpenGL of a top-level window and GDI drawing on child windows work.
// There the view renders into a hidden top-level window and its frames are
// copied onto the view. ORVANE_NATIVE_CHILD_GL=1 forces the direct path.
bool DetectOffscreen() {
    if (GetEnvironmentVariableA("ORVANE_NATIVE_CHILD_GL", nullptr, 0)) return false;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

HINSTANCE ModuleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&DetectOffscreen), &module);
    return module;
}

bool RegisterSurfaceClass() {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(ModuleInstance(), kSurfaceClass, &existing)) return true;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = ModuleInstance();
    wc.lpszClassName = kSurfaceClass;
    return RegisterClassExA(&wc) != 0 || GetClassInfoExA(ModuleInstance(), kSurfaceClass, &existing);
}

void ClientSize(HWND window, int& width, int& height) {
    RECT client{};
    GetClientRect(window, &client);
    width = client.right > 0 ? client.right : 0;
    height = client.bottom > 0 ? client.bottom : 0;
}

bool Blit(const View& view, HDC dc) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = view.frameWidth;
    info.bmiHeader.biHeight = view.frameHeight;   // bottom-up, as OpenGL reads
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(view.frameWidth), static_cast<DWORD>(view.frameHeight), 0,
                             0, 0, static_cast<UINT>(view.frameHeight), view.frame.data(), &info,
                             DIB_RGB_COLORS) != 0;
}

bool CopyFrame(View& view) {
    int width = 0, height = 0;
    ClientSize(view.window, width, height);
    if (width == 0 || height == 0) return true;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    try {
        view.frame.resize(count);
    } catch (...) {
        return false;
    }
    view.frameWidth = width;
    view.frameHeight = height;

    // Rows come bottom row first as 32-bit BGRA: the layout of a bottom-up DIB.
    GLint readBuffer = GL_BACK;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_BGRA_EXT, GL_UNSIGNED_BYTE, view.frame.data());
    glReadBuffer(static_cast<GLenum>(readBuffer));
    glPopClientAttrib();

    HDC dc = GetDC(view.window);
    if (!dc) return false;
    const bool shown = Blit(view, dc);
    ReleaseDC(view.window, dc);
    return shown;
}

}  // namespace

bool UsesOffscreenSurface() {
    static const bool offscreen = DetectOffscreen();
    return offscreen;
}

// A hidden surface the size of the view's client area, or, once a view has
// grown past its first surface, at least the screen's size so that growing
// further rarely needs another. Every frame's clear and rasterization cost
// follows the surface's size, so the first one is no larger than the view.
HWND CreateSurface(HWND view, bool roomy) {
    if (!RegisterSurfaceClass()) return nullptr;
    int width = 0, height = 0;
    ClientSize(view, width, height);
    if (roomy) {
        width = std::max(width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
        height = std::max(height, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    }
    width = std::max(width, 1);
    height = std::max(height, 1);
    return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kSurfaceClass, nullptr, WS_POPUP, 0, 0, width,
                           height, nullptr, nullptr, ModuleInstance(), nullptr);
}

// A hidden window's GL buffers keep the size they were made with (resizing
// the window does not reach them here), so a view that outgrows its surface
// moves its context to a new, larger one with the same pixel format.
void ResizeSurface(View& view) {
    if (!view.surface) return;
    int width = 0, height = 0, haveWidth = 0, haveHeight = 0;
    ClientSize(view.window, width, height);
    ClientSize(view.surface, haveWidth, haveHeight);
    if (width <= haveWidth && height <= haveHeight) return;

    HWND bigger = CreateSurface(view.window, true);
    HDC dc = bigger ? GetDC(bigger) : nullptr;
    PIXELFORMATDESCRIPTOR pfd{};
    const int format = GetPixelFormat(view.dc);
    if (!dc || format == 0 || !DescribePixelFormat(view.dc, format, sizeof(pfd), &pfd) ||
        !SetPixelFormat(dc, format, &pfd)) {
        if (bigger) DestroyWindow(bigger);
        return;   // frames stay cut to the old size rather than fail
    }
    const bool current = wglGetCurrentContext() == view.context;
    if (current) wglMakeCurrent(dc, view.context);
    ReleaseDC(view.surface, view.dc);
    DestroyWindow(view.surface);
    view.surface = bigger;
    view.dc = dc;
}

bool Present(View& view) {
    if (!view.surface) return SwapBuffers(view.dc) != FALSE;
    if (!MakeCurrent(view)) return false;
    return CopyFrame(view);
}

bool PaintLastFrame(View& view, HDC dc) {
    if (!view.surface || view.frame.empty()) return false;
    return Blit(view, dc);
}

}  // namespace orvane
