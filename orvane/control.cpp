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
    if (gone->context) ForgetFonts(gone->context);
    ReleaseDrawable(*gone);
    delete gone;
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        // A window with a pixel format must clip its children and siblings:
        // its frames must not land on a window that overlaps it, and some
        // drivers refuse or misdraw formats on unclipped windows. The owner
        // creates the view with whatever style it likes; the view adds these.
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        SetWindowLongPtrA(window, GWL_STYLE, style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
        break;
    }
    case WM_CREATE: {
        if (!AddView(window)) return -1;
        View* view = FindView(window);
        return view && CreateDrawable(*view) ? 0 : -1;   // -1: CreateWindowEx fails
    }
    case WM_ERASEBKGND:
        return 1;   // the frame covers everything: erasing would only flicker
    case WM_PAINT:
        // The owner draws frames itself; a kept frame is put back.
        if (View* view = FindView(window)) {
            PaintView(*view);
            return 0;
        }
        break;
    case WM_SIZE:
        if (View* view = FindView(window)) FollowSize(*view);
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
    return SysAllocString(L"1.0.0");
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
