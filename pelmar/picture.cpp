#include "picture.h"

#include "diagnostics.h"
#include "dib.h"
#include "wic.h"

namespace pelmar {

void Picture::Reset() {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = height_ = 0;
}

bool Picture::Load(const std::string& path, int width, int height) {
    Reset();
    if (path.empty() || width < 0 || height < 0) return false;
    HBITMAP bitmap = nullptr;
    const win32::PictureRequest request{path.c_str(), GUID_WICPixelFormat32bppPBGRA, win32::kDefaultMaxPictureSide,
                                        static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    const win32::PictureResult result = win32::DecodePicture(request, [&bitmap](uint32_t w, uint32_t h) {
        void* bits = nullptr;
        bitmap = win32::CreateDib(static_cast<int>(w), static_cast<int>(h), false, &bits);
        return bits;
    });
    if (result.note) diagnostics::Report(diagnostics::kPictureNote, path.c_str(), result.note);
    if (!result) {
        if (bitmap) DeleteObject(bitmap);
        char why[96];
        diagnostics::Report(diagnostics::kPicture, path.c_str(), result.Reason(why, sizeof why));
        return false;
    }
    bitmap_ = bitmap;
    width_ = static_cast<int>(result.width);
    height_ = static_cast<int>(result.height);
    return true;
}

}  // namespace pelmar
