// Pictures: decoding through the Windows Imaging Component, and the GL
// texture records' release.
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>
#include <GL/gl.h>

#include <string.h>

#include "orvane.h"
#include "picture.h"
#include "picture_limits.h"

namespace orvane {
namespace {

// Holds one COM interface and releases it at scope end.
template <class T>
class Com {
public:
    Com() = default;
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    ~Com() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }
    void** put_void() { return reinterpret_cast<void**>(&p_); }

private:
    T* p_ = nullptr;
};

// COM for this call only, when the caller's thread has none.
class ComScope {
public:
    ComScope() = default;
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    bool Start() {
        owned_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        return owned_;
    }
    ~ComScope() {
        if (owned_) CoUninitialize();
    }

private:
    bool owned_ = false;
};

// The path as UTF-16 in the ANSI code page's reading; empty on failure.
bool WidePath(const char* path, wchar_t** out) {
    *out = nullptr;
    const int n = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (n <= 1) return false;
    auto* wide = static_cast<wchar_t*>(CoTaskMemAlloc(sizeof(wchar_t) * size_t(n)));
    if (!wide) return false;
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, n) != n) {
        CoTaskMemFree(wide);
        return false;
    }
    *out = wide;
    return true;
}

// The longest side a texture may have: the GL implementation's limit where
// a context is current, else the shared default.
uint32_t MaxSide() {
    if (!wglGetCurrentContext()) return picture_limits::kDefaultMaxSide;
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? uint32_t(side) : picture_limits::kDefaultMaxSide;
}

bool Decode(IWICImagingFactory* factory, const wchar_t* path, uint32_t* width, uint32_t* height,
            unsigned char** pixels) {
    // A picture over the limits is refused from its header: a decoder may
    // allocate and decode the whole picture as soon as the file is opened.
    const uint32_t maxSide = MaxSide();
    uint32_t declaredW = 0, declaredH = 0;
    if (picture_limits::FileDeclaredSize(path, &declaredW, &declaredH) &&
        !picture_limits::SizeAllowed(declaredW, declaredH, maxSide))
        return false;
    Com<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put())))
        return false;
    Com<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(0, frame.put()))) return false;
    UINT w = 0, h = 0;
    if (FAILED(frame->GetSize(&w, &h)) || !picture_limits::SizeAllowed(w, h, maxSide)) return false;
    const size_t bytes = PictureBytes(w, h);
    if (bytes == 0) return false;

    Com<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppRGBA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    auto* buffer = static_cast<unsigned char*>(CoTaskMemAlloc(bytes));
    if (!buffer) return false;
    const UINT stride = w * 4u;
    if (FAILED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(bytes), buffer))) {
        CoTaskMemFree(buffer);
        return false;
    }
    FlipRows(buffer, stride, h);
    *width = w;
    *height = h;
    *pixels = buffer;
    return true;
}

}  // namespace

size_t PictureBytes(uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return 0;
    const uint64_t bytes = uint64_t(width) * uint64_t(height) * 4u;
    if (bytes > kMaxPictureBytes || bytes > uint64_t(SIZE_MAX)) return 0;
    return static_cast<size_t>(bytes);
}

void FlipRows(unsigned char* pixels, size_t stride, uint32_t rows) {
    unsigned char chunk[4096];
    for (uint32_t top = 0, bottom = rows ? rows - 1 : 0; top < bottom; ++top, --bottom) {
        unsigned char* a = pixels + size_t(top) * stride;
        unsigned char* b = pixels + size_t(bottom) * stride;
        for (size_t done = 0; done < stride; done += sizeof(chunk)) {
            const size_t n = stride - done < sizeof(chunk) ? stride - done : sizeof(chunk);
            memcpy(chunk, a + done, n);
            memcpy(a + done, b + done, n);
            memcpy(b + done, chunk, n);
        }
    }
}

bool DecodePicture(const char* path, uint32_t* width, uint32_t* height, unsigned char** pixels) {
    *pixels = nullptr;
    *width = *height = 0;
    if (!path || !*path) return false;
    wchar_t* wide = nullptr;
    if (!WidePath(path, &wide)) return false;

    ComScope com;
    bool ok = false;
    {
        Com<IWICImagingFactory> factory;
        HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IWICImagingFactory, factory.put_void());
        if (hr == CO_E_NOTINITIALIZED && com.Start())
            hr = CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, factory.put_void());
        if (SUCCEEDED(hr)) ok = Decode(factory.get(), wide, width, height, pixels);
    }   // every interface is released before COM may be closed
    CoTaskMemFree(wide);
    return ok;
}

}  // namespace orvane

using namespace orvane;

extern "C" {

int32_t WINAPI QI_CreateGLTextureFromFileEX(const char* path, int32_t* width, int32_t* height,
                                            unsigned char** pixels, int32_t) {
    if (pixels && *pixels) {
        CoTaskMemFree(*pixels);
        *pixels = nullptr;
    }
    if (width) *width = 0;
    if (height) *height = 0;
    if (!path || !width || !height || !pixels) return 0;
    uint32_t w = 0, h = 0;
    if (!DecodePicture(path, &w, &h, pixels)) return 0;
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return 1;
}

int32_t WINAPI QI_DestroyTexture(TextureEntry* first, int32_t count) {
    if (!first || count < 1) return 0;
    for (int32_t i = 0; i < count; ++i) {
        GLuint name = first[i].GLTexture;
        if (name != 0) {
            glDeleteTextures(1, &name);
            first[i].GLTexture = 0;
        }
    }
    return 1;
}

}  // extern "C"
