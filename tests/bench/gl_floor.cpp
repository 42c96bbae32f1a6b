// The floor for the program's start-up: a plain window that opens an OpenGL
// context and shows one cleared frame, then waits to be closed. With
// ORVANE_TRACE=1 it traces its two steps as the program traces its own.
#include <windows.h>
#include <GL/gl.h>

#include "trace.h"

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateFloorWindow(HINSTANCE instance) {
    orvane_trace::Step step("floor", "window");
    return CreateWindowExA(0, "GLFloor", "floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 178, 127, 678, 567, nullptr,
                           nullptr, instance, nullptr);
}

HGLRC FirstFrame(HDC dc) {
    orvane_trace::Step step("floor", "first frame");
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = 24;
    SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
    HGLRC context = wglCreateContext(dc);
    wglMakeCurrent(dc, context);
    glClearColor(1.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    SwapBuffers(dc);
    return context;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "GLFloor";
    RegisterClassA(&windowClass);
    HWND window = CreateFloorWindow(instance);
    HGLRC context = FirstFrame(GetDC(window));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    return 0;
}
