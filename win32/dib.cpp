#include "dib.h"

namespace win32 {

HBITMAP CreateDib(int width, int height, bool bottomUp, void** bits) {
    *bits = nullptr;
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
    if (!bitmap) *bits = nullptr;
    return bitmap;
}

Dib::Dib(HDC reference, int width, int height, bool bottomUp) : width_(width), height_(height) {
    bitmap_ = CreateDib(width, height, bottomUp, &bits_);
    dc_ = bitmap_ ? CreateCompatibleDC(reference) : nullptr;
    if (dc_)
        old_ = SelectObject(dc_, bitmap_);
    else
        bits_ = nullptr;
}

Dib::~Dib() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (dc_) DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
}

}  // namespace win32
