// The floor for the program's CPU use while it animates: a window of the
// program's size with a view control of the program's size in it, which
// draws the program's background picture at the program's pace (a step
// every 30 ms on a timer of the system's minimum interval) and shows each
// frame through the view control, as the program does; no model, no text,
// no skin. Ends by itself after the seconds given (default 40).
#include <windows.h>
#include <GL/gl.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "helpers.h"
#include "orvane.h"
#include "render.h"
#include "scene_state.h"
#include "textures.h"

namespace {

DWORD g_next = 0;
DWORD g_end = 0;

void Frame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();
    QI_UpdateGLWindow(Scene.GLView);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (GetTickCount() >= g_end) {
            DestroyWindow(window);
        } else if (static_cast<int>(GetTickCount() - g_next) >= 0) {
            g_next = GetTickCount() + 30;
            Frame();
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        if (Scene.GLView) Frame();
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    const int seconds = commandLine && std::atoi(commandLine) > 0 ? std::atoi(commandLine) : 40;
    if (!RegisterOrvaneClass()) return 1;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "OrvaneCpuFloor";
    RegisterClassA(&windowClass);
    RECT rect{0, 0, 668, 532};
    AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, 0);
    HWND window = CreateWindowExA(0, "OrvaneCpuFloor", "floor", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                  CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                  instance, nullptr);
    Scene.GLView = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 512, 512, window,
                                   reinterpret_cast<HMENU>(-1), instance, nullptr);
    if (!window || !Scene.GLView) return 1;

    // The program's background, its texture state and its projection.
    win32::Path picture;
    if (!Scene.TextureTable.Dimension(1) || !win32::ProgramFolder(picture) || !picture.Append("Resource\\Background.jpg"))
        return 1;
    std::memcpy(Scene.TextureTable[0].FileName, picture.c_str(), picture.size() + 1);   // a Path fits the name
    if (!LoadTextures(Scene.TextureTable.First(), Scene.TextureTable.Count())) return 1;
    glEnable(GL_TEXTURE_2D);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    SetZoom(50);

    ShowWindow(window, show);
    g_end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    SetTimer(window, 1, 0, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    QI_DestroyTexture(Scene.TextureTable.First(), Scene.TextureTable.Count());
    return 0;
}
