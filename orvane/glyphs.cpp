// Packing glyph bitmaps into an alpha atlas.
#include "glyphs.h"

#include <string.h>

#include <algorithm>

#include "report.h"

namespace orvane {

bool PackGlyphs(GlyphSet* set, int maxSide) {
    // Rows of glyphs across a fixed width; the smallest width that keeps
    // the atlas no taller than it is wide.
    for (int width = 64; width <= maxSide; width *= 2) {
        int x = 1, y = 1, rowHeight = 0;
        bool fits = true;
        for (Glyph& g : set->glyphs) {
            if (g.width <= 0 || g.height <= 0) continue;
            if (g.width + 2 > width) {
                fits = false;
                break;
            }
            if (x + g.width + 1 > width) {
                x = 1;
                y += rowHeight + 1;
                rowHeight = 0;
            }
            g.atlasX = x;
            g.atlasY = y;
            x += g.width + 1;
            if (g.height > rowHeight) rowHeight = g.height;
        }
        const int used = y + rowHeight + 1;
        if (!fits || used > width) continue;
        int height = 1;
        while (height < used) height *= 2;
        set->atlasWidth = width;
        set->atlasHeight = height;
        return true;
    }
    set->atlasWidth = set->atlasHeight = 0;
    return false;
}

bool AtlasImage(const GlyphSet& set, memory::Buffer<unsigned char>* image) {
    if (!image->Assign(size_t(set.atlasWidth) * size_t(set.atlasHeight), 0)) {
        win32::ReportOutOfMemory("orvane", __func__);
        return false;
    }
    for (const Glyph& g : set.glyphs) {
        const size_t stride = (size_t(g.width) + 7) / 8;
        if (g.width <= 0 || g.height <= 0 || g.offset + stride * size_t(g.height) > set.bits.size() ||
            g.atlasX + g.width > set.atlasWidth || g.atlasY + g.height > set.atlasHeight)
            continue;
        for (int r = 0; r < g.height; ++r)
            for (int c = 0; c < g.width; ++c)
                if (set.bits[g.offset + size_t(r) * stride + size_t(c) / 8] & (0x80 >> (c % 8)))
                    (*image)[size_t(g.atlasY + r) * size_t(set.atlasWidth) + size_t(g.atlasX + c)] = 255;
    }
    return true;
}

bool AddGlyphBits(GlyphSet* set, Glyph* glyph, const unsigned char* rows, size_t size, unsigned boxWidth,
                  unsigned boxHeight) {
    // Some fonts report bits for a glyph whose box is empty: nothing to take.
    if (boxWidth == 0 || boxHeight == 0) return true;
    // The platform's rows are padded to four bytes; keep whole bytes only.
    const size_t from = ((size_t(boxWidth) + 31) / 32) * 4;
    const size_t to = (size_t(boxWidth) + 7) / 8;
    if (!rows || from * boxHeight > size) return false;
    const size_t offset = set->bits.size(), needed = offset + to * boxHeight;
    // Room grows by doubling, so taking every glyph copies the bits a few
    // times only.
    if ((needed > set->bits.capacity() && !set->bits.Reserve(std::max(needed, 2 * set->bits.capacity()))) ||
        !set->bits.Resize(needed)) {
        win32::ReportOutOfMemory("orvane", __func__);
        return false;
    }
    glyph->width = int(boxWidth);
    glyph->height = int(boxHeight);
    glyph->offset = offset;
    const unsigned tail = boxWidth % 8;
    const unsigned char lastMask = tail ? static_cast<unsigned char>(0xFF << (8 - tail)) : 0xFF;
    for (unsigned r = 0; r < boxHeight; ++r) {
        unsigned char* row = &set->bits[offset + r * to];
        memcpy(row, rows + r * from, to);
        row[to - 1] &= lastMask;   // no stray bits beyond the glyph's width
    }
    return true;
}

}  // namespace orvane
