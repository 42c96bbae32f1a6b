#include "exif.h"

#include <cstring>

namespace exif {
namespace {

constexpr std::uint8_t kExif[6] = {'E', 'x', 'i', 'f', 0, 0};   // an APP1 segment's EXIF mark

constexpr unsigned kApp1 = 0xE1, kStartOfScan = 0xDA, kEnd = 0xD9;
constexpr unsigned kOrientationTag = 0x0112, kShort = 3;
constexpr int kMostSegments = 256;   // walked before the first scan

// A TIFF structure inside the EXIF segment, read with its byte order;
// every read is checked against the structure's own bounds.
class Tiff {
public:
    Tiff(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Fits(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }
    bool SetOrder() {
        if (!Fits(0, 8)) return false;
        if (data_[0] == 'I' && data_[1] == 'I') little_ = true;
        else if (data_[0] == 'M' && data_[1] == 'M') little_ = false;
        else return false;
        return U16(2) == 42;
    }
    unsigned U16(std::size_t at) const {   // caller checked Fits(at, 2)
        return little_ ? unsigned(data_[at]) | unsigned(data_[at + 1]) << 8
                       : unsigned(data_[at]) << 8 | unsigned(data_[at + 1]);
    }
    std::uint32_t U32(std::size_t at) const {   // caller checked Fits(at, 4)
        return little_ ? std::uint32_t(U16(at)) | std::uint32_t(U16(at + 2)) << 16
                       : std::uint32_t(U16(at)) << 16 | std::uint32_t(U16(at + 2));
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    bool little_ = true;
};

// The orientation in IFD0 of the TIFF structure of an EXIF segment.
Orientation FromTiff(const std::uint8_t* data, std::size_t size) {
    const Orientation malformed{Status::Malformed, 1};
    Tiff tiff(data, size);
    if (!tiff.SetOrder()) return malformed;
    const std::uint32_t ifd = tiff.U32(4);
    if (ifd < 8 || !tiff.Fits(ifd, 2)) return malformed;
    const unsigned entries = tiff.U16(ifd);
    if (!tiff.Fits(std::uint64_t(ifd) + 2, std::uint64_t(entries) * 12)) return malformed;
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t at = ifd + 2 + std::size_t(i) * 12;
        if (tiff.U16(at) != kOrientationTag) continue;
        // A SHORT with a count of 1 holds its value in the entry's first two value bytes.
        const unsigned value = tiff.U16(at + 8);
        if (tiff.U16(at + 2) != kShort || tiff.U32(at + 4) != 1 || value < 1 || value > 8) return malformed;
        return {Status::Found, int(value)};
    }
    return {};
}

}  // namespace

Orientation JpegOrientation(const std::uint8_t* data, std::size_t size) {
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return {};
    std::size_t at = 2;
    for (int segment = 0; segment < kMostSegments; ++segment) {
        while (at < size && data[at] == 0xFF && at + 1 < size && data[at + 1] == 0xFF) ++at;   // fill bytes
        if (size - at < 4 || data[at] != 0xFF) return {};
        const unsigned marker = data[at + 1];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {   // markers without a length
            at += 2;
            continue;
        }
        if (marker == kStartOfScan || marker == kEnd) return {};
        const std::size_t length = std::size_t(data[at + 2]) << 8 | data[at + 3];
        if (length < 2) return {Status::Malformed, 1};
        if (length > size - at - 2) return {};   // not wholly within the bytes read
        const std::uint8_t* body = data + at + 4;
        const std::size_t bodySize = length - 2;
        if (marker == kApp1 && bodySize >= sizeof kExif && std::memcmp(body, kExif, sizeof kExif) == 0)
            return FromTiff(body + sizeof kExif, bodySize - sizeof kExif);
        at += 2 + length;
    }
    return {};
}

void Orient(const std::uint32_t* stored, std::uint32_t width, std::uint32_t height, int orientation,
            std::uint32_t* upright) {
    const std::uint32_t outW = SwapsSides(orientation) ? height : width;
    const std::uint32_t outH = SwapsSides(orientation) ? width : height;
    const std::uint32_t right = width - 1, bottom = height - 1;
    for (std::uint32_t y = 0; y < outH; ++y) {
        for (std::uint32_t x = 0; x < outW; ++x) {
            std::uint32_t sx = x, sy = y;   // where the upright pixel (x, y) is stored
            switch (orientation) {
                case 2: sx = right - x; break;                      // mirrored
                case 3: sx = right - x, sy = bottom - y; break;     // half a turn
                case 4: sy = bottom - y; break;                     // upside down
                case 5: sx = y, sy = x; break;                      // transposed
                case 6: sx = y, sy = bottom - x; break;             // shown turned clockwise
                case 7: sx = right - y, sy = bottom - x; break;     // transverse
                case 8: sx = right - y, sy = x; break;              // shown turned anticlockwise
                default: break;
            }
            upright[std::size_t(y) * outW + x] = stored[std::size_t(sy) * width + sx];
        }
    }
}

}  // namespace exif
