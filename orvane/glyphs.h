// A font's glyph bitmaps, kept by the library and packed into one alpha
// texture, so that text is drawn as textured quads in a single batch.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "buffer.h"
#include "owned.h"

namespace orvane {

inline constexpr int kFirstChar = 32;    // space
inline constexpr int kCharCount = 224;   // 32..255

// One character: its pixels (rows top first, (width + 7) / 8 bytes each,
// leftmost pixel in the high bit), where they stand against the pen, and
// where they lie in the atlas.
struct Glyph {
    int width = 0, height = 0;   // 0 x 0 for a blank character
    int left = 0;                // pen to the box's left edge
    int top = 0;                 // baseline to the box's top edge, upwards
    int advance = 0;             // pen movement
    size_t offset = 0;           // first byte in GlyphSet::bits
    int atlasX = 0, atlasY = 0;  // the box's top-left texel in the atlas
};

struct GlyphSet {
    Glyph glyphs[kCharCount];
    memory::Buffer<unsigned char> bits;
    int atlasWidth = 0, atlasHeight = 0;   // powers of two; 0 before packing
};

// A font built in a view's context whose glyphs are in an atlas texture of
// that context: the view keeps it, a chain of them, until the font is
// deleted or the view is destroyed (the context takes the texture).
struct ViewFont {
    unsigned base = 0;      // the font's first display list
    unsigned texture = 0;   // the atlas
    GlyphSet glyphs;        // their places in the atlas (the bits are dropped)
    memory::Owned<ViewFont> next;
};

// Takes one character's bitmap as the platform delivers it (rows top first,
// each padded to four bytes; size bytes in all) into set->bits and sets the
// glyph's size and offset. A box without width or height is a blank glyph
// and adds nothing. False when the rows do not fit in size, or when memory
// ran out (reported).
bool AddGlyphBits(GlyphSet* set, Glyph* glyph, const unsigned char* rows, size_t size, unsigned boxWidth,
                  unsigned boxHeight);

// Places every glyph in an atlas whose sides are powers of two no larger
// than maxSide, one texel of space around each. False when they do not fit.
bool PackGlyphs(GlyphSet* set, int maxSide);

// The packed atlas into image as one byte per texel (255 where a glyph pixel
// is set, else 0), rows from atlas row 0 on. False when memory ran out
// (reported).
bool AtlasImage(const GlyphSet& set, memory::Buffer<unsigned char>* image);

}  // namespace orvane
