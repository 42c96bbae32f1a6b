// The view control: its window class, its window procedure, the OpenGL
// context each view owns, and the calls that present a view's frame.
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

#include "orvane.h"
#include "text.h"
#include "present.h"
#include "views.h"

namespace orvane {
namespace {

std::mutex gViewsLock;
std::vector<View*> gViews;

bool CreateContext(View& view) {
    if (UsesOffscreenSurface()) {
        view.surface = CreateSurface(view.window, false);
        if (!view.surface) return false;
    }
    // The class's own DC (CS_OWNDC), kept for life.
    view.dc = GetDC(view.surface ? view.surface : view.window);
    if (!view.dc) return false;
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    pfd.iLayerType = PFD_MAIN_PLANE;
    const int format = ChoosePixelFormat(view.dc, &pfd);
    if (format == 0 || !SetPixelFormat(view.dc, format, &pfd)) return false;
    PIXELFORMATDESCRIPTOR got{};
    if (!DescribePixelFormat(view.dc, format, sizeof(got), &got) ||
        !(got.dwFlags & PFD_DOUBLEBUFFER) || got.cDepthBits == 0) {
        return false;
    }
    view.context = wglCreateContext(view.dc);
    if (!view.context) return false;
    return wglMakeCurrent(view.dc, view.context) != FALSE;
}

void ReleaseContext(View& view) {
    if (view.context) {
        if (wglGetCurrentContext() == view.context) wglMakeCurrent(nullptr, nullptr);
        ForgetFonts(view.context);
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
}

bool AddView(HWND window) {
    View* view = new (std::nothrow) View;
    if (!view) return false;
    view->window = window;
    try {
        std::lock_guard<std::mutex> hold(gViewsLock);
        gViews.push_back(view);
    } catch (...) {
        delete view;
        return false;
    }
    return true;
}

void RemoveView(HWND window) {
    View* gone = nullptr;
    {
        std::lock_guard<std::mutex> hold(gViewsLock);
        auto it = std::find_if(gViews.begin(), gViews.end(),
                               [window](const View* v) { return v->window == window; });
        if (it == gViews.end()) return;
        gone = *it;
        gViews.erase(it);
    }
    ReleaseContext(*gone);
    delete gone;
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        if (!AddView(window)) return -1;
        View* view = FindView(window);
        return view && CreateContext(*view) ? 0 : -1;   // -1: CreateWindowEx fails
    }
    case WM_ERASEBKGND:
        return 1;   // the frame covers everything: erasing would only flicker
    case WM_PAINT: {
        // The owner draws frames itself; a copied frame is simply put back.
        View* view = FindView(window);
        if (view && view->surface) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (dc) PaintLastFrame(*view, dc);
            EndPaint(window, &paint);
        } else {
            ValidateRect(window, nullptr);
        }
        return 0;
    }
    case WM_SIZE:
        if (View* view = FindView(window)) ResizeSurface(*view);
        break;
    case WM_NCDESTROY:
        RemoveView(window);
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

View* FindView(HWND window) {
    if (!window) return nullptr;
    std::lock_guard<std::mutex> hold(gViewsLock);
    for (View* v : gViews)
        if (v->window == window) return v;
    return nullptr;
}

View* FindViewByDC(HDC dc) {
    if (!dc) return nullptr;
    std::lock_guard<std::mutex> hold(gViewsLock);
    for (View* v : gViews)
        if (v->dc == dc) return v;
    return nullptr;
}

bool MakeCurrent(const View& view) {
    if (!view.context) return false;
    if (wglGetCurrentContext() == view.context) return true;
    return wglMakeCurrent(view.dc, view.context) != FALSE;
}

}  // namespace orvane

using namespace orvane;

extern "C" {

HINSTANCE WINAPI qInstance(void) {
    // The module that holds this code: the DLL, or the program that links
    // the library statically.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&qInstance), &module);
    return module;
}

int32_t WINAPI RegisterOrvaneClass(void) {
    HINSTANCE instance = qInstance();
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (ATOM atom = static_cast<ATOM>(GetClassInfoExA(instance, kViewClass, &existing)))
        return existing.lpfnWndProc == ViewProc ? atom : 0;

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    // Global: the program creates views with its own instance handle.
    wc.style = CS_OWNDC | CS_GLOBALCLASS;
    wc.lpfnWndProc = ViewProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
    wc.lpszClassName = kViewClass;
    if (ATOM atom = RegisterClassExA(&wc)) return atom;
    // Lost a race with another registration, or the name is taken by
    // another module's global class, which would not make our views.
    if (ATOM atom = static_cast<ATOM>(GetClassInfoExA(instance, kViewClass, &existing)))
        return existing.lpfnWndProc == ViewProc ? atom : 0;
    return 0;
}

int32_t WINAPI QI_LoadDLL(const char*) {
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;   // trackbar, tooltips, status and the rest
    const BOOL bars = InitCommonControlsEx(&icc);
    // Version 6 also registers the themed standard classes; older versions
    // refuse the flag, which is harmless.
    icc.dwICC = ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&icc);
    return bars ? 1 : 0;
}

BSTR WINAPI QI_Version(void) {
    // The build passes the project's version, the one in the version resources.
    return SysAllocString(L"" ORVANE_VERSION_TEXT);
}

HDC WINAPI QI_GetGLDC(HWND window) {
    View* view = FindView(window);
    return view ? view->dc : nullptr;
}

int32_t WINAPI QI_UpdateGLWindow(HWND window) {
    View* view = FindView(window);
    if (!view) return 0;
    return Present(*view) ? 1 : 0;
}

}  // extern "C"
