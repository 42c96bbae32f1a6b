// The library's exported calls.
#include "pelmar.h"

#include <algorithm>

#include "boundary.h"
#include "engine.h"
#include "parts.h"
#include "trace.h"

using namespace pelmar;

extern "C" {

static int32_t skInitEngineBody(const char* skinFile, const char* key);

int32_t WINAPI skInitEngine(const char* skinFile, const char* key) {
    return win32::Guard("pelmar", "skInitEngine", 0, [&] { return skInitEngineBody(skinFile, key); });
}

static int32_t skInitEngineBody(const char* skinFile, const char* key) {
    (void)key;   // reserved
    orvane_trace::Step step("pelmar", "skInitEngine");
    return StartEngine(skinFile) ? 1 : 0;
}

static int32_t skSkinWindowBody(HWND window, const char* buttonTexts);

int32_t WINAPI skSkinWindow(HWND window, const char* buttonTexts) {
    return win32::Guard("pelmar", "skSkinWindow", 0, [&] { return skSkinWindowBody(window, buttonTexts); });
}

static int32_t skSkinWindowBody(HWND window, const char* buttonTexts) {
    orvane_trace::Step step("pelmar", "skSkinWindow");
    return EnsureStarted() && SkinWindow(window, buttonTexts) ? 1 : 0;
}

static int32_t skBorderBody(HWND child, int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                            int32_t thickness);

int32_t WINAPI skBorder(HWND child, int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                        int32_t thickness) {
    return win32::Guard("pelmar", "skBorder", 0,
                        [&] { return skBorderBody(child, x, y, width, height, style, thickness); });
}

static int32_t skBorderBody(HWND child, int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                            int32_t thickness) {
    if (!EnsureStarted() || width <= 0 || height <= 0) return 0;
    const RECT frame{x, y, x + width, y + height};
    return AddBorder(child, frame, style, thickness) ? 1 : 0;
}

static HWND skClockCtrlBody(HWND parent, const char* facePicture, int32_t x, int32_t y, int32_t width,
                            int32_t height, int32_t id, uint32_t handColor, uint32_t secondColor, int32_t flags);

HWND WINAPI skClockCtrl(HWND parent, const char* facePicture, int32_t x, int32_t y, int32_t width, int32_t height,
                        int32_t id, uint32_t handColor, uint32_t secondColor, int32_t flags) {
    return win32::Guard("pelmar", "skClockCtrl", static_cast<HWND>(nullptr),
                        [&] {
                            return skClockCtrlBody(parent, facePicture, x, y, width, height, id, handColor,
                                                   secondColor, flags);
                        });
}

static HWND skClockCtrlBody(HWND parent, const char* facePicture, int32_t x, int32_t y, int32_t width,
                            int32_t height, int32_t id, uint32_t handColor, uint32_t secondColor, int32_t flags) {
    (void)flags;   // reserved
    orvane_trace::Step step("pelmar", "skClockCtrl");
    if (!EnsureStarted()) return nullptr;
    return CreateClock(parent, facePicture ? facePicture : "", x, y, width, height, id, handColor, secondColor);
}

static int32_t skSetAnchorCtrlBody(HWND child, int32_t mode);

int32_t WINAPI skSetAnchorCtrl(HWND child, int32_t mode) {
    return win32::Guard("pelmar", "skSetAnchorCtrl", 0, [&] { return skSetAnchorCtrlBody(child, mode); });
}

static int32_t skSetAnchorCtrlBody(HWND child, int32_t mode) {
    return EnsureStarted() && SetAnchor(child, mode) ? 1 : 0;
}

static int32_t skCreateToolTipBody(HWND window, const char* text);

int32_t WINAPI skCreateToolTip(HWND window, const char* text) {
    return win32::Guard("pelmar", "skCreateToolTip", 0, [&] { return skCreateToolTipBody(window, text); });
}

static int32_t skCreateToolTipBody(HWND window, const char* text) {
    orvane_trace::Step step("pelmar", "skCreateToolTip");
    return EnsureStarted() && AddToolTip(window, text) ? 1 : 0;
}

static int32_t skSkinChildCtrlBody(HWND control, int32_t style);

int32_t WINAPI skSkinChildCtrl(HWND control, int32_t style) {
    return win32::Guard("pelmar", "skSkinChildCtrl", 0, [&] { return skSkinChildCtrlBody(control, style); });
}

static int32_t skSkinChildCtrlBody(HWND control, int32_t style) {
    (void)style;   // reserved
    orvane_trace::Step step("pelmar", "skSkinChildCtrl");
    return EnsureStarted() && SkinLabel(control) ? 1 : 0;
}

uint32_t WINAPI skARGB(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
    auto part = [](int32_t v) { return static_cast<uint32_t>(std::clamp(v, 0, 255)); };
    return (part(alpha) << 24) | (part(red) << 16) | (part(green) << 8) | part(blue);
}

static int32_t skSetLabelFontBody(HWND label, const char* face, int32_t size, uint32_t argb, int32_t antialias);

int32_t WINAPI skSetLabelFont(HWND label, const char* face, int32_t size, uint32_t argb, int32_t antialias) {
    return win32::Guard("pelmar", "skSetLabelFont", 0,
                        [&] { return skSetLabelFontBody(label, face, size, argb, antialias); });
}

static int32_t skSetLabelFontBody(HWND label, const char* face, int32_t size, uint32_t argb, int32_t antialias) {
    orvane_trace::Step step("pelmar", "skSetLabelFont");
    return EnsureStarted() && SetLabelFont(label, face, size, argb, antialias != 0) ? 1 : 0;
}

static HWND skStaticImageBody(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width, int32_t height,
                              int32_t id);

HWND WINAPI skStaticImage(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width, int32_t height,
                          int32_t id) {
    return win32::Guard("pelmar", "skStaticImage", static_cast<HWND>(nullptr),
                        [&] { return skStaticImageBody(parent, picture, x, y, width, height, id); });
}

static HWND skStaticImageBody(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width, int32_t height,
                              int32_t id) {
    orvane_trace::Step step("pelmar", "skStaticImage");
    if (!EnsureStarted()) return nullptr;
    return CreatePicture(parent, picture ? picture : "", x, y, width, height, id);
}

}  // extern "C"
