#include "picture.h"

#include "diagnostics.h"
#include "dib.h"
#include "dpi.h"
#include "wic.h"

namespace pelmar {
namespace {

// Decodes path at width x height (0: the picture's own) into a new DIB
// section; null (and the refusal named) when it cannot.
HBITMAP Decode(const wchar_t* path, int width, int height, int& gotWidth, int& gotHeight) {
    HBITMAP bitmap = nullptr;
    const pictures::PictureRequest request{path, GUID_WICPixelFormat32bppPBGRA, pictures::kDefaultMaxPictureSide,
                                        static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    const pictures::PictureResult result = pictures::DecodePicture(request, [&bitmap](uint32_t w, uint32_t h) {
        void* bits = nullptr;
        bitmap = win32::CreateDib(static_cast<int>(w), static_cast<int>(h), false, &bits);
        return bits;
    });
    if (result.note) diagnostics::Report(diagnostics::kPictureNote, win32::PathForReport(path).c_str(), result.note);
    if (!result) {
        if (bitmap) DeleteObject(bitmap);
        char why[96];
        diagnostics::Report(diagnostics::kPicture, win32::PathForReport(path).c_str(), result.Reason(why, sizeof why));
        return nullptr;
    }
    gotWidth = static_cast<int>(result.width);
    gotHeight = static_cast<int>(result.height);
    return bitmap;
}

}  // namespace

void Picture::Reset() {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = height_ = 0;
    path_.Clear();
    baseDpi_ = shownDpi_ = 0;
}

bool Picture::Load(const wchar_t* path, int width, int height) {
    Reset();
    if (!path || !*path || width < 0 || height < 0) return false;
    if (!path_.Assign(path)) {
        diagnostics::Report(diagnostics::kPicture, win32::PathForReport(path).c_str(), "path too long");
        path_.Clear();
        return false;
    }
    bitmap_ = Decode(path_.c_str(), width, height, width_, height_);
    if (!bitmap_) {
        path_.Clear();
        return false;
    }
    base_ = {width_, height_};
    return true;
}

void Picture::FollowDpi(int dpi) {
    if (!baseDpi_) {
        baseDpi_ = shownDpi_ = dpi;
        return;
    }
    if (dpi == shownDpi_ || path_.empty()) return;
    shownDpi_ = dpi;
    int width = 0, height = 0;
    HBITMAP bitmap = Decode(path_.c_str(), win32::dpi::Rescale(base_.cx, dpi, baseDpi_),
                            win32::dpi::Rescale(base_.cy, dpi, baseDpi_), width, height);
    if (!bitmap) return;   // the picture as it was
    DeleteObject(bitmap_);
    bitmap_ = bitmap;
    width_ = width;
    height_ = height;
}

}  // namespace pelmar
