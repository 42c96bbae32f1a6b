// Picture files decoded with the Windows Imaging Component into each
// library's own pixel layout, and the one size rule every picture obeys.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <type_traits>

namespace pictures {

// The size rule: no side 0 or over the longest side allowed, and no more
// than 16 Mi pixels (64 MiB as 32-bit pixels). The longest side when the
// caller knows no better limit (without a GL context):
inline constexpr std::uint32_t kDefaultMaxPictureSide = 8192;

struct PictureSize {
    std::uint32_t width, height;
};

// The size wanted: a side of 0 keeps the picture's own. The picture and the
// size made from it are both held to the size rule. With fitTexture, a
// picture a texture cannot take (a side over maxSide, or, with
// powerOfTwoOnly, any side not a power of two) is resampled to the nearest
// power of two on each side within maxSide (and 16 Mi pixels in all); the
// picture itself is then held to a side of 16384 instead of maxSide.
// JPEG pictures are turned upright as their EXIF orientation asks.
struct PictureRequest {
    const wchar_t* path;               // UTF-16
    const WICPixelFormatGUID& format;  // a 32-bit format, such as GUID_WICPixelFormat32bppRGBA
    std::uint32_t maxSide = kDefaultMaxPictureSide;
    std::uint32_t width = 0, height = 0;
    bool fitTexture = false;
    bool powerOfTwoOnly = false;
};

enum class PictureStatus { Decoded, BadPath, OverCaps, NotDecoded, NoBuffer };

struct PictureResult {
    PictureStatus status = PictureStatus::BadPath;
    HRESULT hr = S_OK;                      // what WIC answered where it refused
    std::uint32_t width = 0, height = 0;    // the size decoded, or refused
    const char* note = nullptr;             // something the decoding passed over, for the diagnostics
    explicit operator bool() const { return status == PictureStatus::Decoded; }
    // Why the picture was refused, for the diagnostics line.
    const char* Reason(char* text, std::size_t size) const;
};

// Gives the memory for width x height pixels of 4 bytes, rows top first and
// width * 4 bytes apart, or null to refuse them: make(context, width, height).
struct PictureBuffer {
    void* (*make)(void* context, std::uint32_t width, std::uint32_t height);
    void* context;
};

// Decodes the first frame of a picture file; one over the size rule is
// refused from its header, before a decoder may allocate the whole picture.
// Without COM on the calling thread, COM is started for the call alone. On
// any result but Decoded the caller frees whatever buffer it gave.
PictureResult DecodePicture(const PictureRequest& request, PictureBuffer buffer);

// The same with the buffer given by a callable such as a lambda,
// make(width, height) -> void*, called at most once during the call.
template <typename Make>
    requires std::is_invocable_r_v<void*, Make&, std::uint32_t, std::uint32_t>
PictureResult DecodePicture(const PictureRequest& request, Make&& make) {
    const auto call = [](void* context, std::uint32_t width, std::uint32_t height) -> void* {
        return (*static_cast<std::remove_reference_t<Make>*>(context))(width, height);
    };
    return DecodePicture(request, PictureBuffer{call, const_cast<void*>(static_cast<const void*>(&make))});
}

// The steps after a picture is decoded, through which DecodePicture delivers
// it: `stored` converted to `format` and resampled at its stored way up (a
// straight-alpha format premultiplied meanwhile), then turned and mirrored
// in memory as EXIF orientation 1-8 asks, into `pixels` of upright.width x
// upright.height, rows top first. `stored` is read in whole lines, each a
// bounded number of times whatever the orientation. E_INVALIDARG for a size
// over the size rule, E_OUTOFMEMORY when the memory for turning is short.
HRESULT CopyUpright(IWICImagingFactory* factory, IWICBitmapSource* stored, int orientation, PictureSize upright,
                    const WICPixelFormatGUID& format, void* pixels);

// Starts the imaging component's first use (its factory and the JPEG and PNG
// decoders, whose first creation loads their codecs) on a thread of its own,
// beside the caller's start-up instead of before the first picture. Harmless
// to call again; the thread keeps the calling module loaded until it ends.
void WarmUpPictureDecoding();

}  // namespace pictures
