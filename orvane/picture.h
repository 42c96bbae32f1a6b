// Picture decoding into bottom-up RGBA rows.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace orvane {

// Largest pixel buffer the library makes, in bytes.
inline constexpr uint64_t kMaxPictureBytes = 0x7FFFFFFFu;

// Bytes of a width x height RGBA picture, or 0 when either side is 0 or the
// size would not fit the buffer arithmetic (int32 sizes, UINT strides).
size_t PictureBytes(uint32_t width, uint32_t height);

// Reverses the order of `rows` rows of `stride` bytes in place.
void FlipRows(unsigned char* pixels, size_t stride, uint32_t rows);

// Decodes a picture file into a CoTaskMemAlloc buffer of RGBA rows, bottom
// row first. False leaves *pixels null and nothing allocated.
bool DecodePicture(const char* path, uint32_t* width, uint32_t* height, unsigned char** pixels);

}  // namespace orvane
