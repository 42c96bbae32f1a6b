// The pixel buffers of decoded pictures: RGBA rows, bottom row first.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace orvane {

// Bytes of a width x height RGBA picture, or 0 when either side is 0 or the
// size would not fit the buffer arithmetic (int32 sizes, UINT strides).
size_t PictureBytes(uint32_t width, uint32_t height);

// Reverses the order of `rows` rows of `stride` bytes in place.
void FlipRows(unsigned char* pixels, size_t stride, uint32_t rows);

}  // namespace orvane
