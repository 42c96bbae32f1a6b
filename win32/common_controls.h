// The common controls' calls our libraries make, from comctl32.dll as the
// host's manifest binds it (version 6 from the side-by-side store, else the
// system folder's), loaded at the first call, never at a module's start and
// never from beside the program. Where the library or a call is missing,
// the call fails as documented for a failure (FALSE, 0) instead of ending
// the process. Calls are plain lookups, so every toolchain builds them.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace win32::cc {

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) noexcept;
BOOL SetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) noexcept;
BOOL GetWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR* data) noexcept;
BOOL RemoveWindowSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) noexcept;
// Without the library (so without a subclass to pass on from) it answers as
// the window's class would: DefWindowProcA.
LRESULT DefSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace win32::cc
