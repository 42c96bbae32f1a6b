// Which way a run's view controls show their frames. Under Wine a child
// view draws on a hidden surface whose frames are copied onto it; Windows,
// and Wine with ORVANE_NATIVE_CHILD_GL=1, draw in the view's own context.
// Tests registered for both ways check with these that the run really takes
// the way it was registered for.
#pragma once

#include <windows.h>

namespace presentation_path {

inline bool UnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

inline bool NativeExpected() {
    char value[4] = {};
    if (GetEnvironmentVariableA("ORVANE_NATIVE_CHILD_GL", value, sizeof value) == 1 && value[0] == '1')
        return true;
    return !UnderWine();
}

// Whether a view draws in its own window: its OpenGL device context (as
// QI_GetGLDC gives it) belongs to the view itself.
inline bool DrawsInItself(HWND view, HDC glDC) { return glDC && WindowFromDC(glDC) == view; }

}  // namespace presentation_path
