// Stand-in for pelmar.dll: records every call.
#include "pelmar.h"
#include "recorder.h"

#include <string>

using fake::Hex;
using fake::Quote;
using fake::Record;
using fake::Set;
using std::to_string;

extern "C" {

int32_t WINAPI skInitEngine(const char* skinFile, const char* key) {
    Record("skInitEngine", {Quote(skinFile), Quote(key)});
    return Set().initResult;
}

int32_t WINAPI skSkinWindow(HWND window, const char* buttonTexts) {
    Record("skSkinWindow", {Hex(window), Quote(buttonTexts)});
    return 1;
}

int32_t WINAPI skBorder(HWND child, int32_t x, int32_t y, int32_t width, int32_t height, int32_t style,
                        int32_t thickness) {
    Record("skBorder", {Hex(child), to_string(x), to_string(y), to_string(width), to_string(height),
                        to_string(style), to_string(thickness)});
    return 1;
}

HWND WINAPI skClockCtrl(HWND parent, const char* facePicture, int32_t x, int32_t y, int32_t width,
                        int32_t height, int32_t id, uint32_t handColor, uint32_t secondColor, int32_t flags) {
    Record("skClockCtrl", {Hex(parent), Quote(facePicture), to_string(x), to_string(y), to_string(width),
                           to_string(height), to_string(id), Hex(handColor), Hex(secondColor), to_string(flags)});
    return Set().clockWindow;
}

int32_t WINAPI skSetAnchorCtrl(HWND child, int32_t mode) {
    Record("skSetAnchorCtrl", {Hex(child), to_string(mode)});
    return 1;
}

int32_t WINAPI skCreateToolTip(HWND window, const char* text) {
    Record("skCreateToolTip", {Hex(window), Quote(text)});
    return 1;
}

int32_t WINAPI skSkinChildCtrl(HWND control, int32_t style) {
    Record("skSkinChildCtrl", {Hex(control), to_string(style)});
    return 1;
}

uint32_t WINAPI skARGB(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
    Record("skARGB", {to_string(alpha), to_string(red), to_string(green), to_string(blue)});
    return (static_cast<uint32_t>(alpha & 0xFF) << 24) | ((red & 0xFF) << 16) | ((green & 0xFF) << 8) |
           (blue & 0xFF);
}

int32_t WINAPI skSetLabelFont(HWND label, const char* face, int32_t size, uint32_t argb, int32_t antialias) {
    Record("skSetLabelFont", {Hex(label), Quote(face), to_string(size), Hex(argb), to_string(antialias)});
    return 1;
}

HWND WINAPI skStaticImage(HWND parent, const char* picture, int32_t x, int32_t y, int32_t width,
                          int32_t height, int32_t id) {
    Record("skStaticImage", {Hex(parent), Quote(picture), to_string(x), to_string(y), to_string(width),
                             to_string(height), to_string(id)});
    return Set().imageWindow;
}

}  // extern "C"
