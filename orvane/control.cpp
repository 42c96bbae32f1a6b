// The view control: its window class, its window procedure, the OpenGL
// context each view owns, and the calls that present a view's frame.
#include <windows.h>
#include <commctrl.h>
#include <oleauto.h>

#include "common_controls.h"
#include "diagnostics.h"
#include "focus.h"
#include "format.h"
#include "helpers.h"
#include "opengl.h"
#include "orvane.h"
#include "owned.h"
#include "present.h"
#include "report.h"
#include "views.h"
#include "wic.h"

namespace orvane {
namespace {

// A window of the view class keeps its View record in its window extra
// bytes, owned from WM_NCCREATE to WM_NCDESTROY.
View* ViewOf(HWND window) { return reinterpret_cast<View*>(GetWindowLongPtrA(window, 0)); }

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        // Whatever style the owner gives, a window with a pixel format clips
        // its children and siblings: its frames must not land on a window that
        // overlaps it, and some drivers refuse or misdraw unclipped formats.
        const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
        SetWindowLongPtrA(window, GWL_STYLE, style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
        // The window owns its record from here on; WM_NCDESTROY frees it,
        // whichever step of the creation fails.
        View* view = memory::New<View>();
        if (!view) {
            win32::ReportOutOfMemory("orvane", __func__);
            return FALSE;
        }
        view->window = window;
        SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(view));
        break;
    }
    case WM_CREATE: {
        View* view = ViewOf(window);
        // The host's format request is the creation parameter (or none).
        OrvaneViewFormat request;
        const char* why = nullptr;
        if (view && !ReadRequest(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams, request, &why)) {
            Say(kNoContext, *view, why);
            return -1;
        }
        return view && CreateDrawable(*view, request) ? 0 : -1;   // -1: CreateWindowEx fails
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
    case WM_GETDLGCODE:
        return kDialogCode;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        if (View* view = FindView(window)) FollowFocusCue(*view, message == WM_KILLFOCUS);
        break;
    case WM_UPDATEUISTATE: {
        // The system keeps the new state; the cue follows it.
        const LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        if (View* view = FindView(window)) FollowFocusCue(*view);
        return result;
    }
    case WM_NCDESTROY:
        if (View* gone = ViewOf(window)) {
            SetWindowLongPtrA(window, 0, 0);
            ReleaseDrawable(*gone);
            memory::Delete(gone);
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Library::Library() : instance(win32::ThisModule()), childGLHidden(ChildGLIsHidden()) {}

namespace {
// Made when the library is loaded, not at its first use: a first use would
// take the runtime's lock for function statics, which allocates and cannot
// fail soundly.
Library g_library;
}  // namespace

Library& TheLibrary() { return g_library; }

void ReleaseLibrary() noexcept {
    Library& library = TheLibrary();
    for (std::atomic<ATOM>* atom : {&library.viewClass, &library.surfaceClass})
        if (const ATOM registered = atom->exchange(0)) UnregisterClassA(MAKEINTATOM(registered), library.instance);
}

View* FindView(HWND window) {
    const ATOM atom = TheLibrary().viewClass;
    if (!window || !atom || GetClassLongPtrA(window, GCW_ATOM) != atom) return nullptr;
    // A view's record is its own thread's (a window of another process has
    // no record in this one at all).
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return nullptr;
    return ViewOf(window);
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
    return TheLibrary().instance;
}

int32_t WINAPI RegisterOrvaneClass(void) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    // Global: the program creates views with its own instance handle.
    wc.style = CS_OWNDC | CS_GLOBALCLASS;
    wc.lpfnWndProc = ViewProc;
    wc.cbWndExtra = sizeof(View*);
    wc.hInstance = qInstance();
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));   // IDC_ARROW
    wc.lpszClassName = kViewClass;
    // Refused when the name is taken by another module's global class, which
    // would not make our views.
    const ATOM atom = win32::RegisterClassOnce(wc);
    if (atom) TheLibrary().viewClass = atom;
    return atom;
}

int32_t WINAPI QI_LoadDLL(const char*) {
    // Programs load their pictures soon after this call: the imaging
    // component's first use runs meanwhile, beside their window's creation.
    pictures::WarmUpPictureDecoding();
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof(icc);
    icc.dwICC = ICC_WIN95_CLASSES;   // trackbar, tooltips, status and the rest
    const BOOL bars = win32::cc::InitCommonControlsEx(&icc);
    // Version 6 also registers the themed standard classes; older versions
    // refuse the flag, which is harmless.
    icc.dwICC = ICC_STANDARD_CLASSES;
    win32::cc::InitCommonControlsEx(&icc);
    return bars ? 1 : 0;
}

BSTR WINAPI QI_Version(void) {
    // The build passes the project's version, the one in the version resources.
    BSTR version = SysAllocString(L"" ORVANE_VERSION_TEXT);
    if (!version) win32::ReportOutOfMemory("orvane", __func__);
    return version;
}

int32_t WINAPI QI_GetViewFormat(HWND window, OrvaneViewFormat* got) {
    const View* view = FindView(window);
    if (!view || !got || got->Size < sizeof(OrvaneViewFormat)) return 0;
    const uint32_t size = got->Size;
    *got = view->got;   // the fields this version knows; later ones stay as they were
    got->Size = size;
    return 1;
}

HDC WINAPI QI_GetGLDC(HWND window) {
    View* view = FindView(window);
    return view ? view->dc : nullptr;
}

int32_t WINAPI QI_UpdateGLWindow(HWND window) {
    View* view = FindView(window);
    if (!view || !MakeCurrent(*view)) return 0;
    DrawFocusCue(*view);
    return Present(*view) ? 1 : 0;
}

}  // extern "C"
