// Pictures: decoding through the Windows Imaging Component, and the GL
// texture records' release.
#include <windows.h>
#include <objbase.h>
#include "opengl.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include "boundary.h"
#include "diagnostics.h"
#include "orvane.h"
#include "picture.h"
#include "wic.h"

namespace orvane {
namespace {

// What the current context's textures can take: the GL implementation's
// longest side (ORVANE_MAX_TEXTURE_SIZE, when set, lowers it: a test seam),
// and whether it takes only powers of two (OpenGL before 2.0 without
// GL_ARB_texture_non_power_of_two, such as the system's software renderer).
// Without a context: the shared default, any size.
struct TextureLimits {
    uint32_t maxSide = win32::kDefaultMaxPictureSide;
    bool powerOfTwoOnly = false;
};

bool HasExtension(const char* name) {
    const char* list = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = strlen(name);
    for (const char* at = list; at && (at = strstr(at, name)) != nullptr; at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

TextureLimits CurrentLimits() {
    TextureLimits limits;
    if (wglGetCurrentContext()) {
        GLint side = 0;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
        if (side > 0) limits.maxSide = uint32_t(side);
        const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
        const bool two = version && strtol(version, nullptr, 10) >= 2;   // "major.minor ..."
        limits.powerOfTwoOnly = !two && !HasExtension("GL_ARB_texture_non_power_of_two");
    }
    char seam[16];
    if (const DWORD n = GetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", seam, sizeof seam); n && n < sizeof seam)
        if (const unsigned long side = strtoul(seam, nullptr, 10); side > 0 && side < limits.maxSide)
            limits.maxSide = uint32_t(side);
    return limits;
}

}  // namespace

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

int32_t WINAPI QI_CreateGLTextureFromFileEX(const char* path, int32_t* width, int32_t* height, unsigned char** pixels,
                                            int32_t) {
    return win32::Guard("orvane", __func__, 0, [&] {
        if (pixels && *pixels) {
            CoTaskMemFree(*pixels);
            *pixels = nullptr;
        }
        if (width) *width = 0;
        if (height) *height = 0;
        if (!path || !width || !height || !pixels) return 0;
        unsigned char* buffer = nullptr;
        const TextureLimits limits = CurrentLimits();
        win32::PictureRequest request{path, GUID_WICPixelFormat32bppRGBA, limits.maxSide};
        request.fitTexture = true;
        request.powerOfTwoOnly = limits.powerOfTwoOnly;
        const win32::PictureResult result = win32::DecodePicture(request, [&buffer](uint32_t w, uint32_t h) {
            const size_t bytes = PictureBytes(w, h);
            buffer = bytes ? static_cast<unsigned char*>(CoTaskMemAlloc(bytes)) : nullptr;
            return static_cast<void*>(buffer);
        });
        if (result.note) Report(kPictureNote, path, result.note);
        if (!result) {
            CoTaskMemFree(buffer);
            char why[96];
            Report(kPictureRefused, path, result.Reason(why, sizeof why));
            return 0;
        }
        FlipRows(buffer, size_t(result.width) * 4u, result.height);   // GL takes the bottom row first
        *width = static_cast<int32_t>(result.width);
        *height = static_cast<int32_t>(result.height);
        *pixels = buffer;
        return 1;
    });
}

int32_t WINAPI QI_DestroyTexture(TextureEntry* first, int32_t count) {
    return win32::Guard("orvane", __func__, 0, [&] {
        if (!first || count < 1) return 0;
        for (int32_t i = 0; i < count; ++i) {
            GLuint name = first[i].GLTexture;
            if (name != 0) {
                glDeleteTextures(1, &name);
                first[i].GLTexture = 0;
            }
        }
        return 1;
    });
}

}  // extern "C"
