// Composition of a text line from glyph bitmaps.
#include "glyphs.h"

#include <string.h>

#include <algorithm>
#include <climits>

namespace orvane {

bool ComposeLine(const GlyphSet& set, const char* text, size_t length, LineBitmap* line) {
    // First the extent of all set pixels against the pen's start and the baseline.
    long long pen = 0;
    long long minX = LLONG_MAX, maxX = LLONG_MIN, top = LLONG_MIN, bottom = LLONG_MAX;
    for (size_t i = 0; i < length; ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c < kFirstChar) continue;
        const Glyph& g = set.glyphs[c - kFirstChar];
        if (g.width > 0 && g.height > 0) {
            minX = std::min(minX, pen + g.left);
            maxX = std::max(maxX, pen + g.left + g.width);
            top = std::max<long long>(top, g.top);
            bottom = std::min<long long>(bottom, g.top - g.height);
        }
        pen += g.advance;
        if (pen > kMaxLineSide || pen < -kMaxLineSide) return false;
    }
    line->advance = static_cast<int>(pen);
    if (minX == LLONG_MAX) {   // nothing but blanks
        line->width = line->height = line->xorig = line->yorig = 0;
        line->bits.clear();
        return true;
    }
    if (maxX - minX > kMaxLineSide || top - bottom > kMaxLineSide) return false;
    line->width = static_cast<int>(maxX - minX);
    line->height = static_cast<int>(top - bottom);
    line->xorig = static_cast<int>(-minX);
    line->yorig = static_cast<int>(-bottom);
    const size_t stride = (size_t(line->width) + 7) / 8;
    try {
        line->bits.assign(stride * size_t(line->height), 0);
    } catch (...) {
        return false;
    }

    // Then every glyph row ORed in at its place, a byte at a time.
    pen = 0;
    for (size_t i = 0; i < length; ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c < kFirstChar) continue;
        const Glyph& g = set.glyphs[c - kFirstChar];
        const size_t glyphStride = (size_t(g.width) + 7) / 8;
        if (g.width > 0 && g.height > 0 && g.offset + glyphStride * size_t(g.height) <= set.bits.size()) {
            const size_t column = size_t(pen + g.left - minX);
            const unsigned shift = unsigned(column % 8);
            for (int r = 0; r < g.height; ++r) {
                const unsigned char* from = &set.bits[g.offset + size_t(r) * glyphStride];
                const size_t row = size_t(g.top - r - 1 - bottom);   // counted from the bottom
                unsigned char* to = &line->bits[row * stride + column / 8];
                for (size_t b = 0; b < glyphStride; ++b) {
                    to[b] |= static_cast<unsigned char>(from[b] >> shift);
                    if (shift && column / 8 + b + 1 < stride)
                        to[b + 1] |= static_cast<unsigned char>(from[b] << (8 - shift));
                }
            }
        }
        pen += g.advance;
    }
    return true;
}

}  // namespace orvane
