// The library's exported calls (a parameter marked [[maybe_unused]] is reserved).
#include "pelmar.h"

#include <algorithm>

#include "engine.h"
#include "helpers.h"
#include "parts.h"
#include "trace.h"

using namespace pelmar;

extern "C" {

// The ANSI calls that take a path hand it on in UTF-16 to their wide twins;
// memory short for it counts as a path that cannot be read.

int32_t WINAPI skInitEngineW(const wchar_t* skinFile, [[maybe_unused]] const wchar_t* key) {
    orvane_trace::Step step("pelmar", "skInitEngine");
    return StartEngine(skinFile) ? 1 : 0;
}

int32_t WINAPI skInitEngine(const char* skinFile, [[maybe_unused]] const char* key) {
    memory::Buffer<wchar_t> wide;
    return skInitEngineW(win32::AnsiToWide(skinFile, wide, "pelmar", __func__), nullptr);
}

int32_t WINAPI skSkinWindow(HWND window, const char* buttonTexts) {
    orvane_trace::Step step("pelmar", "skSkinWindow");
    return EnsureStarted() && SkinWindow(window, buttonTexts) ? 1 : 0;
}

int32_t WINAPI skBorder(HWND child, int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                        int32_t thickness) {
    if (!EnsureStarted() || width <= 0 || height <= 0) return 0;
    const RECT frame{x, y, x + width, y + height};
    return AddBorder(child, frame, style, thickness) ? 1 : 0;
}

HWND WINAPI skClockCtrlW(HWND parent, const wchar_t* facePicture, int32_t x, int32_t y, int32_t width,
                         int32_t height, int32_t id, uint32_t handColor, uint32_t secondColor,
                         [[maybe_unused]] int32_t flags) {
    orvane_trace::Step step("pelmar", "skClockCtrl");
    if (!EnsureStarted()) return nullptr;
    return CreateClock(parent, facePicture ? facePicture : L"", x, y, width, height, id, handColor, secondColor);
}

HWND WINAPI skClockCtrl(HWND parent, const char* facePicture, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t id, uint32_t handColor, uint32_t secondColor, int32_t flags) {
    memory::Buffer<wchar_t> wide;
    return skClockCtrlW(parent, win32::AnsiToWide(facePicture, wide, "pelmar", __func__), x, y, width, height, id,
                        handColor, secondColor, flags);
}

int32_t WINAPI skSetAnchorCtrl(HWND child, int32_t mode) { return EnsureStarted() && SetAnchor(child, mode) ? 1 : 0; }

int32_t WINAPI skCreateToolTip(HWND window, const char* text) {
    orvane_trace::Step step("pelmar", "skCreateToolTip");
    return EnsureStarted() && AddToolTip(window, text) ? 1 : 0;
}

int32_t WINAPI skSkinChildCtrl(HWND control, [[maybe_unused]] int32_t style) {
    orvane_trace::Step step("pelmar", "skSkinChildCtrl");
    return EnsureStarted() && SkinLabel(control) ? 1 : 0;
}

uint32_t WINAPI skARGB(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
    auto part = [](int32_t v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return (part(alpha) << 24) | (part(red) << 16) | (part(green) << 8) | part(blue);
}

int32_t WINAPI skSetLabelFont(HWND label, const char* face, int32_t size, uint32_t argb, int32_t antialias) {
    orvane_trace::Step step("pelmar", "skSetLabelFont");
    return EnsureStarted() && SetLabelFont(label, face, size, argb, antialias != 0) ? 1 : 0;
}

HWND WINAPI skStaticImageW(HWND parent, const wchar_t* picture, int32_t x, int32_t y, int32_t width, int32_t height,
                           int32_t id) {
    orvane_trace::Step step("pelmar", "skStaticImage");
    if (!EnsureStarted()) return nullptr;
    return CreatePicture(parent, picture ? picture : L"", x, y, width, height, id);
}

HWND WINAPI skStaticImage(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width, int32_t height,
                          int32_t id) {
    memory::Buffer<wchar_t> wide;
    return skStaticImageW(parent, win32::AnsiToWide(picture, wide, "pelmar", __func__), x, y, width, height, id);
}

}  // extern "C"
