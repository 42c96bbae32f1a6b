#include "common_controls.h"

#include "system_library.h"

namespace win32::cc {
namespace {

struct Calls {
    BOOL(WINAPI* initCommonControlsEx)(const INITCOMMONCONTROLSEX*);
    BOOL(WINAPI* setWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR);
    BOOL(WINAPI* getWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
    BOOL(WINAPI* removeWindowSubclass)(HWND, SUBCLASSPROC, UINT_PTR);
    LRESULT(WINAPI* defSubclassProc)(HWND, UINT, WPARAM, LPARAM);
};

Calls calls{};
INIT_ONCE once = INIT_ONCE_STATIC_INIT;

template <typename F>
void Look(HMODULE module, const char* name, F& to) {
    to = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

BOOL CALLBACK Fill(INIT_ONCE*, void*, void**) {
    if (HMODULE module = LoadSystemLibrary("comctl32.dll")) {
        Look(module, "InitCommonControlsEx", calls.initCommonControlsEx);
        Look(module, "SetWindowSubclass", calls.setWindowSubclass);
        Look(module, "GetWindowSubclass", calls.getWindowSubclass);
        Look(module, "RemoveWindowSubclass", calls.removeWindowSubclass);
        Look(module, "DefSubclassProc", calls.defSubclassProc);
    }
    return TRUE;
}

const Calls& Table() {
    InitOnceExecuteOnce(&once, Fill, nullptr, nullptr);
    return calls;
}

}  // namespace

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) noexcept {
    const auto call = Table().initCommonControlsEx;
    return call ? call(classes) : FALSE;
}

BOOL SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) noexcept {
    const auto call = Table().setWindowSubclass;
    return call ? call(window, proc, id, data) : FALSE;
}

BOOL GetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* data) noexcept {
    const auto call = Table().getWindowSubclass;
    return call ? call(window, proc, id, data) : FALSE;
}

BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) noexcept {
    const auto call = Table().removeWindowSubclass;
    return call ? call(window, proc, id) : FALSE;
}

LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    const auto call = Table().defSubclassProc;
    return call ? call(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace win32::cc
