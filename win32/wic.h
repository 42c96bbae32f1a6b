// Picture files decoded with the Windows Imaging Component into each
// library's own pixel layout, and the one size rule every picture obeys.
#pragma once

#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <functional>

namespace win32 {

// Longest side when the caller knows no better limit (without a GL context).
inline constexpr std::uint32_t kDefaultMaxPictureSide = 8192;
// Most pixels of one picture: 64 MiB as 32-bit pixels.
inline constexpr std::uint64_t kMaxPicturePixels = 16u * 1024u * 1024u;

constexpr bool PictureSizeAllowed(std::uint32_t width, std::uint32_t height, std::uint32_t maxSide) {
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
           std::uint64_t(width) * height <= kMaxPicturePixels;
}

// The size wanted: a side of 0 keeps the picture's own. The picture and the
// size made from it are both held to the size rule.
struct PictureRequest {
    const char* path;                  // ANSI text in the process's code page
    const WICPixelFormatGUID& format;  // a 32-bit format, such as GUID_WICPixelFormat32bppRGBA
    std::uint32_t maxSide = kDefaultMaxPictureSide;
    std::uint32_t width = 0, height = 0;
};

enum class PictureStatus { Decoded, BadPath, OverCaps, NotDecoded, NoBuffer };

struct PictureResult {
    PictureStatus status = PictureStatus::BadPath;
    HRESULT hr = S_OK;                      // what WIC answered where it refused
    std::uint32_t width = 0, height = 0;    // the size decoded, or refused
    explicit operator bool() const { return status == PictureStatus::Decoded; }
    // Why the picture was refused, for the diagnostics line.
    const char* Reason(char* text, std::size_t size) const;
};

// Gives the memory for width x height pixels of 4 bytes, rows top first and
// width * 4 bytes apart, or null to refuse them.
using PictureBuffer = std::function<void*(std::uint32_t width, std::uint32_t height)>;

// Decodes the first frame of a picture file; one over the size rule is
// refused from its header, before a decoder may allocate the whole picture.
// Without COM on the calling thread, COM is started for the call alone. On
// any result but Decoded the caller frees whatever buffer it gave.
PictureResult DecodePicture(const PictureRequest& request, const PictureBuffer& buffer);

// Starts the imaging component's first use (its factory and the JPEG and PNG
// decoders, whose first creation loads their codecs) on a thread of its own,
// beside the caller's start-up instead of before the first picture. Harmless
// to call again; the thread keeps the calling module loaded until it ends.
void WarmUpPictureDecoding();

}  // namespace win32
