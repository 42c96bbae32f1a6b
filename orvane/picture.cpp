// Pictures: decoding through the Windows Imaging Component, and the GL
// texture records' release.
#include <windows.h>
#include <objbase.h>
#include "opengl.h"

#include <algorithm>

#include "diagnostics.h"
#include "helpers.h"
#include "orvane.h"
#include "picture.h"
#include "views.h"
#include "wic.h"

namespace orvane {

size_t PictureBytes(uint32_t width, uint32_t height) {
    const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4u;   // 0 for an empty side
    return bytes <= uint64_t(INT32_MAX) ? static_cast<size_t>(bytes) : 0;
}

void FlipRows(unsigned char* pixels, size_t stride, uint32_t rows) {
    for (uint32_t top = 0, bottom = rows ? rows - 1 : 0; top < bottom; ++top, --bottom) {
        unsigned char* row = pixels + size_t(top) * stride;
        std::swap_ranges(row, row + stride, pixels + size_t(bottom) * stride);
    }
}

}  // namespace orvane

using namespace orvane;

extern "C" {

int32_t WINAPI QI_CreateGLTextureFromFileEXW(const wchar_t* path, int32_t* width, int32_t* height,
                                             unsigned char** pixels, int32_t) {
    if (pixels && *pixels) {
        CoTaskMemFree(*pixels);
        *pixels = nullptr;
    }
    if (width) *width = 0;
    if (height) *height = 0;
    if (!path || !width || !height || !pixels) return 0;
    unsigned char* buffer = nullptr;
    // Sized for the current context's textures.
    const GLCaps gl = CurrentCaps();
    pictures::PictureRequest request{path, GUID_WICPixelFormat32bppRGBA, gl.maxTextureSide};
    request.fitTexture = true;
    request.powerOfTwoOnly = gl.powerOfTwoOnly;
    const pictures::PictureResult result = pictures::DecodePicture(request, [&buffer](uint32_t w, uint32_t h) {
        const size_t bytes = PictureBytes(w, h);
        buffer = bytes ? static_cast<unsigned char*>(CoTaskMemAlloc(bytes)) : nullptr;
        return static_cast<void*>(buffer);
    });
    if (result.note) Report(kPictureNote, win32::PathForReport(path).c_str(), result.note);
    if (!result) {
        CoTaskMemFree(buffer);
        char why[96];
        Report(kPictureRefused, win32::PathForReport(path).c_str(), result.Reason(why, sizeof why));
        return 0;
    }
    FlipRows(buffer, size_t(result.width) * 4u, result.height);   // GL takes the bottom row first
    *width = static_cast<int32_t>(result.width);
    *height = static_cast<int32_t>(result.height);
    *pixels = buffer;
    return 1;
}

int32_t WINAPI QI_CreateGLTextureFromFileEX(const char* path, int32_t* width, int32_t* height, unsigned char** pixels,
                                            int32_t option) {
    // Memory short for the wide path: refused as a null path, outputs reset.
    memory::Buffer<wchar_t> wide;
    return QI_CreateGLTextureFromFileEXW(win32::AnsiToWide(path, wide, "orvane", __func__), width, height, pixels,
                                         option);
}

int32_t WINAPI QI_DestroyTexture(TextureEntry* first, int32_t count) {
    if (!first || count < 1) return 0;
    // No texture can exist without OpenGL; the fields are zeroed all the same.
    const bool gl = win32::gl::Load();
    for (int32_t i = 0; i < count; ++i) {
        GLuint name = first[i].GLTexture;
        if (name != 0) {
            if (gl) glDeleteTextures(1, &name);
            first[i].GLTexture = 0;
        }
    }
    return 1;
}

}  // extern "C"
