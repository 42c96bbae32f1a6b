#include "picture.h"

#include <wincodec.h>

#include "picture_limits.h"

namespace pelmar {
namespace {

template <typename T>
void Release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// COM for this thread, when the caller has not set it up already.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT hr_;
};

std::wstring Widen(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    wide.resize(static_cast<std::size_t>(n - 1));
    return wide;
}

}  // namespace

void Picture::Reset() {
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = height_ = 0;
}

bool Picture::Load(const std::string& path, int width, int height) {
    Reset();
    constexpr uint32_t kMaxSide = picture_limits::kDefaultMaxSide;
    // A size asked for is held to the same rule as the picture's own.
    if (path.empty() || width < 0 || height < 0 ||
        ((width || height) && !picture_limits::SizeAllowed(width ? uint32_t(width) : 1u,
                                                           height ? uint32_t(height) : 1u, kMaxSide)))
        return false;
    const std::wstring wide = Widen(path);
    if (wide.empty()) return false;
    // Refused from its header, before a decoder allocates the whole picture.
    uint32_t declaredW = 0, declaredH = 0;
    if (picture_limits::FileDeclaredSize(wide.c_str(), &declaredW, &declaredH) &&
        !picture_limits::SizeAllowed(declaredW, declaredH, kMaxSide))
        return false;

    ComScope com;
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    IWICBitmapScaler* scaler = nullptr;
    bool ok = false;
    do {
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))))
            break;
        if (FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                      WICDecodeMetadataCacheOnDemand, &decoder)))
            break;
        if (FAILED(decoder->GetFrame(0, &frame))) break;
        UINT w = 0, h = 0;
        if (FAILED(frame->GetSize(&w, &h)) || !picture_limits::SizeAllowed(w, h, kMaxSide)) break;
        if (FAILED(factory->CreateFormatConverter(&converter))) break;
        if (FAILED(converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone,
                                         nullptr, 0.0, WICBitmapPaletteTypeCustom)))
            break;
        IWICBitmapSource* source = converter;
        const UINT outW = width ? static_cast<UINT>(width) : w;
        const UINT outH = height ? static_cast<UINT>(height) : h;
        if (outW != w || outH != h) {
            if (FAILED(factory->CreateBitmapScaler(&scaler))) break;
            if (FAILED(scaler->Initialize(converter, outW, outH, WICBitmapInterpolationModeFant))) break;
            source = scaler;
        }
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = static_cast<LONG>(outW);
        info.bmiHeader.biHeight = -static_cast<LONG>(outH);
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap) break;
        const UINT stride = outW * 4;
        if (FAILED(source->CopyPixels(nullptr, stride, stride * outH, static_cast<BYTE*>(bits)))) {
            DeleteObject(bitmap);
            break;
        }
        bitmap_ = bitmap;
        width_ = static_cast<int>(outW);
        height_ = static_cast<int>(outH);
        ok = true;
    } while (false);
    Release(scaler);
    Release(converter);
    Release(frame);
    Release(decoder);
    Release(factory);
    return ok;
}

}  // namespace pelmar
