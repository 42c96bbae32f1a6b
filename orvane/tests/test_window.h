// Test helpers: a top-level host window with one view control in it.
#pragma once

#include <windows.h>

#include "orvane.h"

namespace orvane_test {

inline const char* HostClass() {
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = "OrvaneTestHost";
        return RegisterClassA(&wc);
    }();
    return atom ? "OrvaneTestHost" : nullptr;
}

// A visible borderless host whose client area is width x height, with a view
// covering it. Both are destroyed with the object.
class ViewWindow {
public:
    // format: the view's creation parameter (none: the default view).
    ViewWindow(int width, int height, const OrvaneViewFormat* format = nullptr) {
        RegisterOrvaneClass();
        host_ = CreateWindowExA(0, HostClass(), "host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                0, 0, width, height, nullptr, nullptr, GetModuleHandleA(nullptr),
                                nullptr);
        // The program creates views with its own instance handle.
        view_ = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width,
                                height, host_, reinterpret_cast<HMENU>(-1),
                                GetModuleHandleA(nullptr), const_cast<OrvaneViewFormat*>(format));
    }
    ~ViewWindow() {
        if (host_) DestroyWindow(host_);
    }
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    HWND host() const { return host_; }
    HWND view() const { return view_; }

private:
    HWND host_ = nullptr;
    HWND view_ = nullptr;
};

inline void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace orvane_test
