// Cost of painting a skinned frame (WM_NCPAINT) at three window sizes,
// beside its floor: one BitBlt of a prepared bitmap of the window's size
// onto the window. Bytes allocated per paint are the pixel buffers (DIB
// sections) made during it, counted through this program's import of
// CreateDIBSection.
// Usage: frame_bench [paints per size]   (default 100)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "pelmar.h"
#include "redirect_import.h"

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Bytes of every DIB section made since the count was last reset.
long long gDibBytes = 0;
using CreateDibFn = HBITMAP(WINAPI*)(HDC, const BITMAPINFO*, UINT, void**, HANDLE, DWORD);
CreateDibFn gRealCreateDib = nullptr;

HBITMAP WINAPI CountingCreateDib(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                                 DWORD offset) {
    if (info) {
        const long long w = info->bmiHeader.biWidth, h = info->bmiHeader.biHeight;
        gDibBytes += (w < 0 ? -w : w) * (h < 0 ? -h : h) * info->bmiHeader.biBitCount / 8;
    }
    return gRealCreateDib(dc, info, usage, bits, section, offset);
}

// Points this program's import of gdi32's CreateDIBSection at the counter.
bool CountDibSections() {
    return RedirectImport(GetModuleHandleA(nullptr), "gdi32.dll", "CreateDIBSection", &CountingCreateDib,
                          &gRealCreateDib);
}

struct Figure {
    double ms;
    double bytes;
};

template <typename Paint>
Figure Measure(int paints, Paint paint) {
    paint();   // a first paint makes whatever is kept
    gDibBytes = 0;
    const double start = Now();
    for (int i = 0; i < paints; ++i) paint();
    const double seconds = Now() - start;
    return {seconds * 1000.0 / paints, static_cast<double>(gDibBytes) / paints};
}

// A window may be larger than the screen here.
LRESULT CALLBACK BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMaxTrackSize = {8192, 8192};
        info->ptMaxSize = {8192, 8192};
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    const int paints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    if (!CountDibSections()) std::printf("(DIB sections not counted)\n");
    if (!skInitEngine("Scarlet.sks", nullptr)) return 1;
    WNDCLASSA wc{};
    wc.lpfnWndProc = BenchProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "FrameBench";
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "FrameBench", "Frame benchmark - a caption of ordinary length",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 676, 564, nullptr, nullptr, wc.hInstance,
                                  nullptr);
    if (!window || !skSkinWindow(window, nullptr)) return 1;
    std::printf("%-11s %12s %12s %14s %14s\n", "window", "paint ms", "floor ms", "paint bytes", "floor bytes");
    const SIZE sizes[] = {{668, 532}, {1336, 1064}, {3840, 2160}};
    for (const SIZE& size : sizes) {
        MoveWindow(window, 0, 0, size.cx, size.cy, TRUE);
        Pump();
        RECT r{};
        GetWindowRect(window, &r);
        const int w = r.right - r.left, h = r.bottom - r.top;
        const Figure frame = Measure(paints, [window] { SendMessageA(window, WM_NCPAINT, 1, 0); });
        // The floor: a prepared picture of the whole window copied onto it.
        HDC dc = GetWindowDC(window);
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP picture = CreateCompatibleBitmap(dc, w, h);
        HGDIOBJ old = SelectObject(memory, picture);
        PatBlt(memory, 0, 0, w, h, WHITENESS);
        const Figure floor = Measure(paints, [&] {
            BitBlt(dc, 0, 0, w, h, memory, 0, 0, SRCCOPY);
            GdiFlush();
        });
        SelectObject(memory, old);
        DeleteObject(picture);
        DeleteDC(memory);
        ReleaseDC(window, dc);
        char name[32];
        std::snprintf(name, sizeof name, "%dx%d", w, h);
        std::printf("%-11s %12.3f %12.3f %14.0f %14.0f\n", name, frame.ms, floor.ms, frame.bytes, floor.bytes);
    }
    DestroyWindow(window);
    return 0;
}
