#include "wic.h"

#include <objbase.h>
#include <wrl/client.h>

#include <stdio.h>
#include <string.h>

#include <atomic>
#include <string>
#include <vector>

#include "exif.h"

#include "helpers.h"

namespace win32 {
namespace {

using Microsoft::WRL::ComPtr;

HRESULT CreateFactory(ComPtr<IWICImagingFactory>& factory) {
    return CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                            reinterpret_cast<void**>(factory.GetAddressOf()));
}

// The size declared by a PNG's header or a JPEG's frame header. read(offset,
// bytes, count) fills exactly count bytes or returns false. False when the
// data is neither, or ends before the size.
template <class Read>
bool DeclaredSize(Read read, std::uint32_t* width, std::uint32_t* height) {
    unsigned char b[24];
    if (!read(0, b, 2)) return false;
    if (b[0] == 0x89 && b[1] == 'P') {
        static const unsigned char kPng[16] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                               0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        if (!read(0, b, 24)) return false;
        if (memcmp(b, kPng, sizeof kPng) != 0) return false;
        *width = std::uint32_t(b[16]) << 24 | std::uint32_t(b[17]) << 16 | std::uint32_t(b[18]) << 8 | b[19];
        *height = std::uint32_t(b[20]) << 24 | std::uint32_t(b[21]) << 16 | std::uint32_t(b[22]) << 8 | b[23];
        return true;
    }
    if (b[0] != 0xFF || b[1] != 0xD8) return false;
    // JPEG: walk the segments to the first frame header; bounded, since a
    // count from the file is never trusted.
    std::uint64_t at = 2;
    for (int segment = 0; segment < 4096; ++segment) {
        if (!read(at, b, 4) || b[0] != 0xFF) return false;
        const unsigned marker = b[1];
        if (marker == 0xFF) {   // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {   // no length
            at += 2;
            continue;
        }
        const unsigned length = unsigned(b[2]) << 8 | b[3];
        if (length < 2) return false;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7 || !read(at + 5, b, 4)) return false;
            *height = unsigned(b[0]) << 8 | b[1];
            *width = unsigned(b[2]) << 8 | b[3];
            return true;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;   // end, or scan data before any frame
        at += 2 + std::uint64_t(length);
    }
    return false;
}

// The declared size of a picture file; false when it cannot be told.
bool FileDeclaredSize(const wchar_t* path, std::uint32_t* width, std::uint32_t* height) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    auto read = [file](std::uint64_t offset, unsigned char* bytes, DWORD count) {
        LARGE_INTEGER to;
        to.QuadPart = LONGLONG(offset);
        DWORD got = 0;
        return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) && ReadFile(file, bytes, count, &got, nullptr) &&
               got == count;
    };
    const bool known = DeclaredSize(read, width, height);
    CloseHandle(file);
    return known;
}

// The EXIF orientation of a JPEG file, read from its first bytes (an EXIF
// segment is at most 64 KiB and comes before the picture data).
exif::Orientation FileOrientation(const wchar_t* path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    static constexpr DWORD kHead = 128 * 1024;
    std::vector<std::uint8_t> head;
    DWORD got = 0;
    try {
        head.resize(kHead);
    } catch (...) {   // out of memory: shown as stored
        CloseHandle(file);
        return {};
    }
    const bool read = ReadFile(file, head.data(), kHead, &got, nullptr);
    CloseHandle(file);
    return read ? exif::JpegOrientation(head.data(), got) : exif::Orientation{};
}

// A turn or mirror through WIC, where the system's imaging component does it.
HRESULT FlipRotate(IWICImagingFactory* factory, IWICBitmapSource* source, WICBitmapTransformOptions options,
                   ComPtr<IWICBitmapFlipRotator>& out) {
    HRESULT hr = factory->CreateBitmapFlipRotator(out.ReleaseAndGetAddressOf());
    return SUCCEEDED(hr) ? out->Initialize(source, options) : hr;
}

// WIC's turns for an orientation; a mirror that goes with a turn is applied
// after it, by a second flip-rotator, so the order never depends on WIC.
struct Turn {
    WICBitmapTransformOptions rotation, flip;
};
Turn TurnFor(int orientation) {
    switch (orientation) {
        case 2: return {WICBitmapTransformRotate0, WICBitmapTransformFlipHorizontal};
        case 3: return {WICBitmapTransformRotate180, WICBitmapTransformRotate0};
        case 4: return {WICBitmapTransformRotate0, WICBitmapTransformFlipVertical};
        case 5: return {WICBitmapTransformRotate90, WICBitmapTransformFlipHorizontal};
        case 6: return {WICBitmapTransformRotate90, WICBitmapTransformRotate0};
        case 7: return {WICBitmapTransformRotate270, WICBitmapTransformFlipHorizontal};
        case 8: return {WICBitmapTransformRotate270, WICBitmapTransformRotate0};
        default: return {WICBitmapTransformRotate0, WICBitmapTransformRotate0};
    }
}

// Resampling with the best filter the system's imaging component has:
// high-quality cubic (Windows 10 and later), else Fant.
HRESULT Scale(IWICImagingFactory* factory, IWICBitmapSource* source, std::uint32_t width, std::uint32_t height,
              ComPtr<IWICBitmapScaler>& out) {
    HRESULT hr = factory->CreateBitmapScaler(out.ReleaseAndGetAddressOf());
    if (FAILED(hr)) return hr;
    constexpr auto kHighQualityCubic = static_cast<WICBitmapInterpolationMode>(4);
    hr = out->Initialize(source, width, height, kHighQualityCubic);
    return SUCCEEDED(hr) ? hr : out->Initialize(source, width, height, WICBitmapInterpolationModeFant);
}

PictureResult Decode(IWICImagingFactory* factory, const wchar_t* path, const PictureRequest& request,
                     const PictureBuffer& buffer) {
    const std::uint32_t most = request.maxSide;
    const std::uint32_t ownMost = request.fitTexture ? kMaxPictureSide : most;   // the picture's own size
    PictureResult result{PictureStatus::OverCaps};
    if (FileDeclaredSize(path, &result.width, &result.height) &&
        !PictureSizeAllowed(result.width, result.height, ownMost))
        return result;
    result = {PictureStatus::NotDecoded};
    HRESULT& hr = result.hr;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    GUID container{};
    UINT w = 0, h = 0;
    if (FAILED(hr = factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                       decoder.GetAddressOf())) ||
        FAILED(hr = decoder->GetContainerFormat(&container)) ||
        FAILED(hr = decoder->GetFrame(0, frame.GetAddressOf())) || FAILED(hr = frame->GetSize(&w, &h)))
        return result;
    if (!PictureSizeAllowed(w, h, ownMost)) return {PictureStatus::OverCaps, S_OK, w, h};

    // The upright picture's size; its JPEG EXIF block is read by our own
    // reader, since not every imaging component gives the orientation.
    int orientation = 1;
    if (container == GUID_ContainerFormatJpeg) {
        const exif::Orientation found = FileOrientation(path);
        if (found.status == exif::Status::Malformed) result.note = "EXIF block malformed, shown as stored";
        orientation = found.value;
    }
    const bool swap = exif::SwapsSides(orientation);
    const std::uint32_t uprightW = swap ? h : w, uprightH = swap ? w : h;
    PictureSize out{request.width ? request.width : uprightW, request.height ? request.height : uprightH};
    if (request.fitTexture) out = TextureSize(out.width, out.height, most, request.powerOfTwoOnly);
    if (!PictureSizeAllowed(out.width, out.height, most))
        return {PictureStatus::OverCaps, S_OK, out.width, out.height};

    ComPtr<IWICFormatConverter> converter;
    if (FAILED(hr = factory->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(hr = converter->Initialize(frame.Get(), request.format, WICBitmapDitherTypeNone, nullptr, 0.0,
                                          WICBitmapPaletteTypeCustom)))
        return result;
    result.width = out.width;
    result.height = out.height;
    void* pixels = buffer(out.width, out.height);
    if (!pixels) return {PictureStatus::NoBuffer, S_OK, out.width, out.height};
    const UINT stride = out.width * 4u, bytes = stride * out.height;

    // Converted, turned upright, then resampled.
    ComPtr<IWICBitmapFlipRotator> turned[2];   // the turn, then the mirror
    ComPtr<IWICBitmapScaler> scaler;
    IWICBitmapSource* source = converter.Get();
    const Turn turn = TurnFor(orientation);
    const WICBitmapTransformOptions steps[2] = {turn.rotation, turn.flip};
    for (int i = 0; i < 2; ++i) {
        if (steps[i] == WICBitmapTransformRotate0) continue;
        if (FAILED(hr = FlipRotate(factory, source, steps[i], turned[i]))) return result;
        source = turned[i].Get();
    }
    if (out.width != uprightW || out.height != uprightH) {
        if (FAILED(hr = Scale(factory, source, out.width, out.height, scaler))) return result;
        source = scaler.Get();
    }
    hr = source->CopyPixels(nullptr, stride, bytes, static_cast<BYTE*>(pixels));
    if (FAILED(hr) && (turned[0] || turned[1])) {
        // An imaging component that cannot turn or mirror (one that answers
        // E_NOTIMPL; Wine's turns only upside down): resample as stored, then
        // turn here.
        IWICBitmapSource* stored = converter.Get();
        const UINT storedW = swap ? out.height : out.width, storedH = swap ? out.width : out.height;
        if (storedW != w || storedH != h) {
            if (FAILED(hr = Scale(factory, converter.Get(), storedW, storedH, scaler))) return result;
            stored = scaler.Get();
        }
        std::vector<std::uint32_t> copy;
        try {
            copy.resize(std::size_t(storedW) * storedH);
        } catch (...) {
            return {PictureStatus::NoBuffer, S_OK, out.width, out.height};
        }
        if (FAILED(hr = stored->CopyPixels(nullptr, storedW * 4u, bytes, reinterpret_cast<BYTE*>(copy.data()))))
            return result;
        exif::Orient(copy.data(), storedW, storedH, orientation, static_cast<std::uint32_t*>(pixels));
    }
    if (FAILED(hr)) return result;
    result.status = PictureStatus::Decoded;
    return result;
}

DWORD WINAPI WarmUp(void*) {
    HMODULE self = ThisModule();   // the reference the starter took for this thread
    if (SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        {
            ComPtr<IWICImagingFactory> factory;
            if (SUCCEEDED(CreateFactory(factory))) {
                for (const GUID& format : {GUID_ContainerFormatJpeg, GUID_ContainerFormatPng}) {
                    ComPtr<IWICBitmapDecoder> decoder;
                    factory->CreateDecoder(format, nullptr, decoder.GetAddressOf());
                }
            }
        }
        CoUninitialize();
    }
    FreeLibraryAndExitThread(self, 0);
}

}  // namespace

void WarmUpPictureDecoding() {
    static std::atomic<bool> started{false};
    if (started.exchange(true)) return;
    HMODULE self = nullptr;   // kept loaded for the thread, which frees it as it ends
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&WarmUp), &self))
        return;
    if (HANDLE thread = CreateThread(nullptr, 0, WarmUp, nullptr, 0, nullptr))
        CloseHandle(thread);
    else
        FreeLibrary(self);
}

PictureResult DecodePicture(const PictureRequest& request, const PictureBuffer& buffer) {
    std::wstring path;
    try {
        const int n = request.path ? MultiByteToWideChar(CP_ACP, 0, request.path, -1, nullptr, 0) : 0;
        if (n <= 1) return {};
        path.resize(static_cast<std::size_t>(n));
        if (MultiByteToWideChar(CP_ACP, 0, request.path, -1, path.data(), n) != n) return {};
    } catch (...) {   // out of memory
        return {PictureStatus::NoBuffer};
    }
    // COM for this call only, when the caller's thread has none.
    bool ownCom = false;
    PictureResult result{PictureStatus::NotDecoded};
    {
        ComPtr<IWICImagingFactory> factory;
        result.hr = CreateFactory(factory);
        if (result.hr == CO_E_NOTINITIALIZED) {
            ownCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
            if (ownCom) result.hr = CreateFactory(factory);
        }
        if (SUCCEEDED(result.hr)) result = Decode(factory.Get(), path.c_str(), request, buffer);
    }   // every interface is released before COM may be closed
    if (ownCom) CoUninitialize();
    return result;
}

const char* PictureResult::Reason(char* text, std::size_t size) const {
    const unsigned w = width, h = height;
    if (status == PictureStatus::OverCaps)
        snprintf(text, size, "%u x %u is over the size caps", w, h);
    else if (status == PictureStatus::NotDecoded)
        snprintf(text, size, "cannot be decoded (HRESULT 0x%08lX)", static_cast<unsigned long>(hr));
    else if (status == PictureStatus::NoBuffer)
        snprintf(text, size, "no memory for %u x %u pixels", w, h);
    else
        snprintf(text, size, "%s", status == PictureStatus::BadPath ? "no usable path" : "decoded");
    return text;
}

}  // namespace win32
