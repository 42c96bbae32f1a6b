// A visible borderless host with one view control of the GL control library
// covering it, whose context is current on the calling thread: for tests that
// draw with OpenGL and read the back buffer, on whichever path the view
// presents its frames (see presentation_path.h). Same interface as
// TestGLWindow.
#pragma once

#include <windows.h>

#include "orvane.h"

class ViewGLWindow {
public:
    ViewGLWindow(const char* className, int width, int height) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        if (!RegisterOrvaneClass()) return;
        host_ = CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width,
                                height, nullptr, nullptr, windowClass.hInstance, nullptr);
        if (!host_) return;
        view_ = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width, height, host_,
                                nullptr, windowClass.hInstance, nullptr);
    }

    ~ViewGLWindow() {
        if (host_) DestroyWindow(host_);
    }

    ViewGLWindow(const ViewGLWindow&) = delete;
    ViewGLWindow& operator=(const ViewGLWindow&) = delete;

    // The view exists and its context is current.
    bool Ready() const { return view_ && wglGetCurrentContext() != nullptr; }
    HWND Window() const { return view_; }
    HDC DC() const { return QI_GetGLDC(view_); }

private:
    HWND host_ = nullptr;
    HWND view_ = nullptr;
};
