// The orientation a JPEG file's EXIF block asks its picture to be shown in.
// Platform-neutral: it reads bytes only, and every offset, length and count
// it takes from the file is checked against the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>

namespace exif {

enum class Status {
    Absent,      // no EXIF block, or one without an orientation
    Found,       // orientation holds the value 1-8
    Malformed,   // a block that breaks its own structure; shown as stored
};

struct Orientation {
    Status status = Status::Absent;
    int value = 1;   // 1: as stored; 2-8 as EXIF numbers them
};

// Reads the orientation from the first bytes of a JPEG file (SOI, then its
// segments up to the first scan). Segments not wholly inside the bytes are
// not read; a file that is not a JPEG gives Absent.
Orientation JpegOrientation(const std::uint8_t* data, std::size_t size);

// Upright size of a stored picture: sides swapped for orientations 5-8.
constexpr bool SwapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

// Turns and mirrors a stored picture of 32-bit pixels (rows top first, no
// padding) into `upright`, which holds as many pixels with the sides swapped
// where SwapsSides says so. An orientation outside 2-8 copies as stored.
void Orient(const std::uint32_t* stored, std::uint32_t width, std::uint32_t height, int orientation,
            std::uint32_t* upright);

}  // namespace exif
