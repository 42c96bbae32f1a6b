// 32-bit device-independent bitmaps, as the libraries draw and copy pixels.
#pragma once

#include <windows.h>

namespace win32 {

// A 32-bit BI_RGB DIB section, top row first or bottom row first (as OpenGL
// reads rows). Null when it cannot be made.
HBITMAP CreateDib(int width, int height, bool bottomUp, void** bits);

// A DIB section selected into a memory DC of its own, compatible with
// reference (null: the screen), for drawing into and copying with BitBlt.
class Dib {
public:
    Dib(HDC reference, int width, int height, bool bottomUp);
    ~Dib();
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    bool Ok() const { return dc_ && bits_; }
    HDC Dc() const { return dc_; }
    void* Bits() const { return bits_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0;
};

}  // namespace win32
