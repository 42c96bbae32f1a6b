#include "wic.h"

#include <objbase.h>
#include <wrl/client.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <atomic>

#include "buffer.h"
#include "exif.h"
#include "helpers.h"

namespace pictures {
namespace {

// The hard caps of a picture that is fitted to a texture's limits: longest
// side, and most pixels of any picture (64 MiB as 32-bit pixels).
constexpr std::uint32_t kMaxPictureSide = 16384;
constexpr std::uint64_t kMaxPicturePixels = 16u * 1024u * 1024u;

constexpr bool PictureSizeAllowed(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide) {
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
           std::uint64_t(width) * height <= kMaxPicturePixels;
}

// The nearest power of two to a side (the larger one when both are as near).
constexpr std::uint32_t NearestPowerOfTwo(std::uint32_t side) {
    std::uint32_t lower = 1;
    while (lower <= side / 2) lower *= 2;
    return side - lower < lower * 2 - side ? lower : lower * 2;
}

// The size a texture takes of a picture: its own where the limits allow it,
// else the nearest power of two on each side, no side above maxSide and no
// more than kMaxPicturePixels in all.
constexpr PictureSize TextureSize(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide,
                                  bool powerOfTwoOnly) {
    const auto isPower = [](std::uint32_t v) { return v > 0 && (v & (v - 1)) == 0; };
    if (width <= maxSide && height <= maxSide && (!powerOfTwoOnly || (isPower(width) && isPower(height))))
        return {width, height};
    const std::uint32_t most = NearestPowerOfTwo(maxSide) > maxSide ? NearestPowerOfTwo(maxSide) / 2
                                                                     : NearestPowerOfTwo(maxSide);
    PictureSize size{NearestPowerOfTwo(width), NearestPowerOfTwo(height)};
    if (size.width > most) size.width = most;
    if (size.height > most) size.height = most;
    while (std::uint64_t(size.width) * size.height > kMaxPicturePixels)
        (size.width >= size.height ? size.width : size.height) /= 2;
    return size;
}

using Microsoft::WRL::ComPtr;

HRESULT CreateFactory(ComPtr<IWICImagingFactory>& factory) {
    return CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                            reinterpret_cast<void**>(factory.GetAddressOf()));
}

// The size declared by a PNG's header or a JPEG's frame header. read(offset,
// bytes, count) fills exactly count bytes or returns false. False when the
// data is neither, or ends before the size.
constexpr unsigned char kPngStart[16] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};

template <class Read>
bool DeclaredSize(Read read, std::uint32_t* width, std::uint32_t* height) {
    unsigned char b[24];
    if (!read(0, b, 2)) return false;
    if (b[0] == 0x89 && b[1] == 'P') {
        if (!read(0, b, 24)) return false;
        if (memcmp(b, kPngStart, sizeof kPngStart) != 0) return false;
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
    constexpr DWORD kHead = 128 * 1024;
    memory::Buffer<std::uint8_t> head;
    DWORD got = 0;
    if (!head.Resize(kHead)) {   // out of memory: shown as stored
        CloseHandle(file);
        return {};
    }
    const bool read = ReadFile(file, head.data(), kHead, &got, nullptr);
    CloseHandle(file);
    return read ? exif::JpegOrientation(head.data(), got) : exif::Orientation{};
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

// The premultiplied form of a straight-alpha format, in which pictures are
// resampled: a filter that mixes straight colours takes the colour of fully
// transparent pixels into the visible edge beside them. Null for a format
// whose colours need no such care.
const WICPixelFormatGUID* PremultipliedFormat(const WICPixelFormatGUID& format) {
    if (format == GUID_WICPixelFormat32bppRGBA) return &GUID_WICPixelFormat32bppPRGBA;
    if (format == GUID_WICPixelFormat32bppBGRA) return &GUID_WICPixelFormat32bppPBGRA;
    return nullptr;
}

// Straight alpha again from premultiplied 4-byte pixels, alpha last. A filter
// that overshoots (cubic) may leave a colour above its alpha: held to 255.
void Unpremultiply(std::uint8_t* pixels, std::size_t count) {
    for (std::uint8_t* p = pixels; p != pixels + count * 4; p += 4) {
        const unsigned alpha = p[3];
        if (alpha == 0 || alpha == 255) continue;
        for (int c = 0; c < 3; ++c) p[c] = std::uint8_t(std::min(255u, (p[c] * 255u + alpha / 2) / alpha));
    }
}

PictureResult Decode(IWICImagingFactory* factory, const wchar_t* path, const PictureRequest& request,
                     PictureBuffer buffer) {
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

    result.width = out.width;
    result.height = out.height;
    void* pixels = buffer.make(buffer.context, out.width, out.height);
    if (!pixels) return {PictureStatus::NoBuffer, S_OK, out.width, out.height};
    hr = CopyUpright(factory, frame.Get(), orientation, out, request.format, pixels);
    if (hr == E_OUTOFMEMORY) return {PictureStatus::NoBuffer, S_OK, out.width, out.height};
    if (FAILED(hr)) return result;
    result.status = PictureStatus::Decoded;
    return result;
}

DWORD WINAPI WarmUp(void*) {
    HMODULE self = win32::ThisModule();   // the reference the starter took for this thread
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

std::atomic<bool> gWarmUpStarted{false};   // the warm-up runs once in a process

}  // namespace

HRESULT CopyUpright(IWICImagingFactory* factory, IWICBitmapSource* stored, int orientation, PictureSize upright,
                    const WICPixelFormatGUID& format, void* pixels) {
    UINT w = 0, h = 0;
    HRESULT hr = stored->GetSize(&w, &h);
    if (FAILED(hr)) return hr;
    const bool turn = orientation >= 2 && orientation <= 8;
    const bool swap = exif::SwapsSides(orientation);
    const UINT outW = swap ? upright.height : upright.width, outH = swap ? upright.width : upright.height;
    if (!PictureSizeAllowed(outW, outH, kMaxPictureSide)) return E_INVALIDARG;
    const bool resample = outW != w || outH != h;
    const WICPixelFormatGUID* premultiplied = resample ? PremultipliedFormat(format) : nullptr;

    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmapScaler> scaler;
    if (FAILED(hr = factory->CreateFormatConverter(converter.GetAddressOf())) ||
        FAILED(hr = converter->Initialize(stored, premultiplied ? *premultiplied : format, WICBitmapDitherTypeNone,
                                          nullptr, 0.0, WICBitmapPaletteTypeCustom)))
        return hr;
    IWICBitmapSource* source = converter.Get();
    if (resample) {
        if (FAILED(hr = Scale(factory, source, outW, outH, scaler))) return hr;
        source = scaler.Get();
    }
    // A turned picture goes through a copy as stored, read in whole lines.
    memory::Buffer<std::uint32_t> copy;
    if (turn && !copy.Resize(std::size_t(outW) * outH)) return E_OUTOFMEMORY;
    std::uint32_t* target = turn ? copy.data() : static_cast<std::uint32_t*>(pixels);
    if (FAILED(hr = source->CopyPixels(nullptr, outW * 4u, outW * outH * 4u, reinterpret_cast<BYTE*>(target))))
        return hr;
    if (premultiplied) Unpremultiply(reinterpret_cast<std::uint8_t*>(target), std::size_t(outW) * outH);
    if (turn) exif::Orient(copy.data(), outW, outH, orientation, static_cast<std::uint32_t*>(pixels));
    return S_OK;
}

void WarmUpPictureDecoding() {
    if (gWarmUpStarted.exchange(true)) return;
    HMODULE self = nullptr;   // kept loaded for the thread, which frees it as it ends
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&WarmUp), &self))
        return;
    if (HANDLE thread = CreateThread(nullptr, 0, WarmUp, nullptr, 0, nullptr))
        CloseHandle(thread);
    else
        FreeLibrary(self);
}

PictureResult DecodePicture(const PictureRequest& request, PictureBuffer buffer) {
    if (!request.path || !*request.path) return {};
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
        if (SUCCEEDED(result.hr)) result = Decode(factory.Get(), request.path, request, buffer);
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

}  // namespace pictures
