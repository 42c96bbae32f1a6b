// The calling process's GDI objects, windows and kernel handles.
// GetGuiResources and GetProcessHandleCount report 0 under Wine, so the
// counts fall back to probing GDI and kernel handles and to counting the
// process's top-level windows and their children.
#pragma once

#include <windows.h>

namespace objects {

inline DWORD Gdi() {
    // The system makes its brush of a system colour at the first request for
    // it and keeps it for the process (Wine does): one that a window's first
    // paint asks for between two counts is not the caller's object.
    for (int colour = COLOR_SCROLLBAR; colour <= COLOR_MENUBAR; ++colour) GetSysColorBrush(colour);
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    DWORD count = 0;
    for (UINT_PTR index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
    return count;
}

inline BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

inline BOOL CALLBACK CountTop(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, CountChild, count);
    }
    return TRUE;
}

inline DWORD User() {
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
    DWORD count = 0;
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&count));
    return count;
}

inline DWORD Handles() {
    DWORD n = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &n) && n) return n;
    DWORD count = 0;
    for (UINT_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

}  // namespace objects
