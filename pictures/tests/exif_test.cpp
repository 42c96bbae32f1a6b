// The EXIF orientation reader: well-formed blocks in both byte orders, and
// blocks that lie about their own structure, which are refused cleanly.
#include "exif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v, bool little) {
    b.push_back(std::uint8_t(little ? v : v >> 8));
    b.push_back(std::uint8_t(little ? v >> 8 : v));
}

void Put32(Bytes& b, std::uint32_t v, bool little) {
    Put16(b, little ? v & 0xFFFF : v >> 16, little);
    Put16(b, little ? v >> 16 : v & 0xFFFF, little);
}

// A TIFF structure whose IFD0 holds a width tag and then the orientation.
Bytes Tiff(unsigned orientation, bool little, unsigned type = 3, std::uint32_t count = 1) {
    Bytes t{std::uint8_t(little ? 'I' : 'M'), std::uint8_t(little ? 'I' : 'M')};
    Put16(t, 42, little);
    Put32(t, 8, little);
    Put16(t, 2, little);                      // two entries
    Put16(t, 0x0100, little);                 // ImageWidth, LONG 1
    Put16(t, 4, little);
    Put32(t, 1, little);
    Put32(t, 640, little);
    Put16(t, 0x0112, little);                 // Orientation
    Put16(t, type, little);
    Put32(t, count, little);
    Put16(t, orientation, little);
    Put16(t, 0, little);
    Put32(t, 0, little);                      // no next IFD
    return t;
}

// SOI, an APP0, the APP1 EXIF segment around `tiff`, and the start of a scan.
Bytes Jpeg(const Bytes& tiff) {
    const std::size_t length = 2 + 6 + tiff.size();
    Bytes j{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 'J', 'F',
            0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
    for (std::uint8_t b : tiff) j.push_back(b);   // (insert draws a false -Warray-bounds from GCC 12)
    for (std::uint8_t b : {0xFF, 0xDA, 0x00, 0x02}) j.push_back(b);
    return j;
}

exif::Orientation Read(const Bytes& b) { return exif::JpegOrientation(b.data(), b.size()); }

TEST(ExifOrientation, FoundInEitherByteOrder) {
    for (bool little : {true, false})
        for (unsigned value = 1; value <= 8; ++value) {
            const exif::Orientation o = Read(Jpeg(Tiff(value, little)));
            EXPECT_EQ(o.status, exif::Status::Found) << value << (little ? " II" : " MM");
            EXPECT_EQ(o.value, int(value));
        }
}

TEST(ExifOrientation, HostileOrAbsentBlocksGiveTheStoredWayUp) {
    const Bytes good = Jpeg(Tiff(6, true));
    const std::size_t tiffAt = 8 + 10, ifdAt = tiffAt + 8;
    auto with = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        Bytes b = good;
        for (const std::uint8_t byte : bytes) b.at(at++) = byte;
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        exif::Status status;
    };
    const Case cases[] = {
        {"no bytes", {}, exif::Status::Absent},
        {"not a JPEG", {0x89, 'P', 'N', 'G', 0, 0, 0, 0}, exif::Status::Absent},
        {"cut inside the EXIF segment", Bytes(good.begin(), good.begin() + 30), exif::Status::Absent},
        {"no orientation tag", with(ifdAt + 2 + 12, {0x13, 0x01}), exif::Status::Absent},
        {"bad byte order", with(tiffAt, {'I', 'M'}), exif::Status::Malformed},
        {"not 42", with(tiffAt + 2, {43, 0}), exif::Status::Malformed},
        {"IFD past the segment", with(tiffAt + 4, {0xF0, 0xFF, 0xFF, 0xFF}), exif::Status::Malformed},
        {"IFD inside the header", with(tiffAt + 4, {4, 0, 0, 0}), exif::Status::Malformed},
        {"entry count past the segment", with(ifdAt, {0xFF, 0xFF}), exif::Status::Malformed},
        {"segment length below 2", with(4, {0, 1}), exif::Status::Malformed},
        {"orientation 0", Jpeg(Tiff(0, true)), exif::Status::Malformed},
        {"orientation 9", Jpeg(Tiff(9, false)), exif::Status::Malformed},
        {"orientation as a LONG", Jpeg(Tiff(6, true, 4)), exif::Status::Malformed},
        {"orientation with a count of 2", Jpeg(Tiff(6, true, 3, 2)), exif::Status::Malformed},
        {"scan before any EXIF", {0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0xFF, 0xE1}, exif::Status::Absent},
    };
    for (const Case& c : cases) {
        const exif::Orientation o = Read(c.bytes);
        EXPECT_EQ(o.status, c.status) << c.what;
        EXPECT_EQ(o.value, 1) << c.what;
    }
}

}  // namespace
