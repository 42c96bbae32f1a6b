// The one size rule for decoded pictures, shared by the libraries that decode
// them, and a reading of the size a PNG or JPEG file declares in its header,
// so that a picture over the rule is refused before any pixel is decoded.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace picture_limits {

// Longest side when the caller knows no better limit (without a GL context).
inline constexpr uint32_t kDefaultMaxSide = 8192;
// Most pixels of one picture: 64 MiB as 32-bit pixels.
inline constexpr uint64_t kMaxPixels = 16u * 1024u * 1024u;

inline bool SizeAllowed(uint32_t width, uint32_t height, uint32_t maxSide) {
    return width > 0 && height > 0 && width <= maxSide && height <= maxSide &&
           uint64_t(width) * uint64_t(height) <= kMaxPixels;
}

// The size declared by a PNG's header or a JPEG's frame header. read(offset,
// bytes, count) fills exactly count bytes or returns false. False when the
// data is neither, or ends before the size.
template <class Read>
bool DeclaredSize(Read read, uint32_t* width, uint32_t* height) {
    unsigned char b[24];
    if (!read(0, b, 2)) return false;
    if (b[0] == 0x89 && b[1] == 'P') {
        static const unsigned char kPng[16] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                               0, 0, 0, 13, 'I', 'H', 'D', 'R'};
        if (!read(0, b, 24)) return false;
        for (int i = 0; i < 16; ++i)
            if (b[i] != kPng[i]) return false;
        *width = uint32_t(b[16]) << 24 | uint32_t(b[17]) << 16 | uint32_t(b[18]) << 8 | b[19];
        *height = uint32_t(b[20]) << 24 | uint32_t(b[21]) << 16 | uint32_t(b[22]) << 8 | b[23];
        return true;
    }
    if (b[0] != 0xFF || b[1] != 0xD8) return false;
    // JPEG: walk the segments to the first frame header; bounded, since a
    // count from the file is never trusted.
    uint64_t at = 2;
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
        at += 2 + uint64_t(length);
    }
    return false;
}

#ifdef _WIN32
// The declared size of a picture file; false when it cannot be told.
inline bool FileDeclaredSize(const wchar_t* path, uint32_t* width, uint32_t* height) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    auto read = [file](uint64_t offset, unsigned char* bytes, DWORD count) {
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
#endif

}  // namespace picture_limits
