// Recording stand-ins for the Win32 calls of the application shell. A test
// links a copy of the shell's library whose Win32 imports were renamed to
// these (see fakes/win32_imports.txt); calls go to the same log as the
// library fakes, so start-up and shut-down orders can be checked whole.
#pragma once

#include <windows.h>

#include <deque>
#include <map>
#include <string>

namespace fake {

// Thrown by the stand-in of ExitProcess, which must not return.
struct ProcessExit {
    unsigned code;
};

struct Win32Settings {
    HINSTANCE moduleHandle = reinterpret_cast<HINSTANCE>(0x400000);
    DWORD startupFlags = 0;
    WORD startupShow = 0;
    HANDLE mutex = reinterpret_cast<HANDLE>(0x4D);
    DWORD lastErrorAfterMutex = 0;
    std::deque<HWND> findWindow;      // results in turn; null when used up
    bool iconic = false;
    int mutexProbes = -1;             // OpenMutexA successes before it fails; -1 = always
    DWORD tick = 1000;                // GetTickCount result
    DWORD tickStep = 0;               // added after every GetTickCount
    bool classExists = false;
    ATOM atom = 0xC001;
    int screenWidth = 1024;
    int screenHeight = 768;
    int frame = 4;                    // frame thickness of AdjustWindowRectEx
    int caption = 19;                 // caption height of AdjustWindowRectEx
    std::map<std::string, HWND> windows = {
        {"DEVAVOVAR", reinterpret_cast<HWND>(0x100)},
        {"QOPENGLCTRL", reinterpret_cast<HWND>(0x200)},
        {"MSCTLS_TRACKBAR32", reinterpret_cast<HWND>(0x300)},
        {"STATIC", reinterpret_cast<HWND>(0x400)},
    };
    LONG oldWindowProc = 0x7E57;
    LRESULT sendMessageResult = 0;
    RECT viewScreenRect{110, 120, 622, 632};  // GetWindowRect
    POINT clientOrigin{100, 110};             // ScreenToClient subtracts it
    RECT clientRect{0, 0, 668, 532};          // GetClientRect
    std::deque<MSG> messages;                 // GetMessageA delivers, then WM_QUIT
    WPARAM quitCode = 0;
    std::map<HWND, int> controlIds;
    LRESULT defWindowProcResult = 0x5A5A;
};

// Restores the defaults (fake::Reset() does too).
Win32Settings& Win32();

}  // namespace fake
