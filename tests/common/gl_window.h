// A visible top-level popup whose double-buffered RGBA OpenGL context, with a
// depth buffer, is current on the calling thread: for tests that draw with
// OpenGL and read the pixels back.
#pragma once

#include <windows.h>

class TestGLWindow {
public:
    TestGLWindow(const char* className, int width, int height) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, className, className, WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
        if (!window_) return;
        dc_ = GetDC(window_);
        PIXELFORMATDESCRIPTOR pfd{};
        pfd.nSize = sizeof(pfd);
        pfd.nVersion = 1;
        pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
        pfd.iPixelType = PFD_TYPE_RGBA;
        pfd.cColorBits = 24;
        pfd.cDepthBits = 24;
        const int format = dc_ ? ChoosePixelFormat(dc_, &pfd) : 0;
        if (format == 0 || !SetPixelFormat(dc_, format, &pfd)) return;
        context_ = wglCreateContext(dc_);
        if (context_ && !wglMakeCurrent(dc_, context_)) {
            wglDeleteContext(context_);
            context_ = nullptr;
        }
    }

    ~TestGLWindow() {
        if (context_) {
            wglMakeCurrent(nullptr, nullptr);
            wglDeleteContext(context_);
        }
        if (dc_) ReleaseDC(window_, dc_);
        if (window_) DestroyWindow(window_);
    }

    TestGLWindow(const TestGLWindow&) = delete;
    TestGLWindow& operator=(const TestGLWindow&) = delete;

    // The window exists and its context is current.
    bool Ready() const { return context_ != nullptr; }
    HWND Window() const { return window_; }
    HDC DC() const { return dc_; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};
