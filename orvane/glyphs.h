// A font's glyph bitmaps, kept by the library so that a line of text can be
// drawn as one bitmap instead of one bitmap per character.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

namespace orvane {

inline constexpr int kFirstChar = 32;    // space
inline constexpr int kCharCount = 224;   // 32..255

// One character: its pixels (rows top first, (width + 7) / 8 bytes each,
// leftmost pixel in the high bit) and where they stand against the pen.
struct Glyph {
    int width = 0, height = 0;   // 0 x 0 for a blank character
    int left = 0;                // pen to the box's left edge
    int top = 0;                 // baseline to the box's top edge, upwards
    int advance = 0;             // pen movement
    size_t offset = 0;           // first byte in GlyphSet::bits
};

struct GlyphSet {
    Glyph glyphs[kCharCount];
    std::vector<unsigned char> bits;
};

// A line of text as one bitmap: rows bottom first, (width + 7) / 8 bytes
// each, no padding; its lower-left corner stands at (pen - xorig, baseline -
// yorig), and the pen moves by advance.
struct LineBitmap {
    int width = 0, height = 0;
    int xorig = 0, yorig = 0;
    int advance = 0;
    std::vector<unsigned char> bits;
};

// Largest line bitmap made, per side, in pixels.
inline constexpr int kMaxLineSide = 8192;

// Composes the characters of text[0..length) that the set holds (32..255;
// others are skipped). False when the line would be too large.
bool ComposeLine(const GlyphSet& set, const char* text, size_t length, LineBitmap* line);

}  // namespace orvane
