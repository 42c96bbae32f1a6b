// System calls that older Windows lacks, looked up once, as the module loads,
// into one table (null where the system lacks a call). Their libraries,
// kernel32 and user32, are imported by every module of ours, so they are
// loaded before it starts. Calls of
// libraries that are loaded only when needed (dwmapi, uxtheme) are looked up
// where they are made, through SystemFunction: no library may be loaded
// while a module starts (under the loader lock).
#pragma once

#include <windows.h>

namespace win32 {

struct OptionalCalls {
    // kernel32, Windows 8 (and 7 with its update)
    BOOL(WINAPI* setDefaultDllDirectories)(DWORD);
    // user32, Windows 10 version 1607: per-monitor DPI awareness (v2)
    UINT(WINAPI* getDpiForWindow)(HWND);
    UINT(WINAPI* getDpiForSystem)();
    int(WINAPI* getSystemMetricsForDpi)(int, UINT);
    BOOL(WINAPI* adjustWindowRectExForDpi)(RECT*, DWORD, BOOL, DWORD, UINT);
};

// This module's table, filled by a static initialiser as the module starts
// (no code of ours asks for it before).
const OptionalCalls& Optional();

}  // namespace win32
