// Pictures read with the Windows Imaging Component into premultiplied
// 32 bpp DIB sections, ready for GdiAlphaBlend.
#pragma once

#include <windows.h>

#include "helpers.h"

namespace pelmar {

class Picture {
public:
    Picture() = default;
    ~Picture() { Reset(); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Reads path (UTF-16; a path too long for the file calls is refused).
    // width and height 0 keep the picture's own size; otherwise it is scaled
    // to them. false leaves it empty.
    bool Load(const wchar_t* path, int width, int height);
    void Reset();
    // The size read is meant for the DPI of the first call; at another DPI
    // the picture is decoded again at its size scaled to that DPI (by the
    // imaging component's filter, once for each change, never stretched
    // when drawn). A picture that cannot be decoded so stays as it was.
    void FollowDpi(int dpi);

    HBITMAP Bitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0, height_ = 0;
    win32::WidePath path_;   // of the picture read
    SIZE base_{0, 0};    // its size as read, at baseDpi_
    int baseDpi_ = 0, shownDpi_ = 0;
};

}  // namespace pelmar
