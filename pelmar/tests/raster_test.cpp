// The anti-aliased drawing under the clock hands, glyphs and text colours.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "raster.h"

namespace pelmar {
namespace {

struct Buffer {
    std::vector<uint32_t> px;
    Canvas c;
    Buffer(int w, int h, uint32_t fill) : px(static_cast<std::size_t>(w) * h, fill), c{px.data(), w, h} {}
    uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y) * c.width + x]; }
};

int Ch(uint32_t v, int shift) { return static_cast<int>((v >> shift) & 0xFF); }

TEST(PelmarRaster, HandAnglesFollowTheTime) {
    struct Case {
        int h, m, s;
        double hour, minute, second;
    } cases[] = {
        {0, 0, 0, 0, 0, 0},           {3, 0, 0, 90, 0, 0},         {15, 0, 0, 90, 0, 0},
        {6, 30, 0, 195, 180, 0},      {10, 10, 30, 305.25, 63, 180}, {23, 59, 59, 359.99166, 359.9, 354},
    };
    for (const Case& c : cases) {
        const HandAngles a = AnglesFor(c.h, c.m, c.s);
        EXPECT_NEAR(a.hour, c.hour, 1e-3) << c.h << ":" << c.m << ":" << c.s;
        EXPECT_NEAR(a.minute, c.minute, 1e-3);
        EXPECT_NEAR(a.second, c.second, 1e-3);
    }
}

TEST(PelmarRaster, BlendIsSourceOverWithAlpha) {
    uint32_t px = 0xFF000000;   // opaque black
    Blend(px, 0x80FFFFFF, 1.0);
    EXPECT_NEAR(Ch(px, 16), 128, 1);
    EXPECT_EQ(Ch(px, 24), 255);
    uint32_t clear = 0;          // transparent stays premultiplied
    Blend(clear, 0x80FF0000, 1.0);
    EXPECT_NEAR(Ch(clear, 24), 128, 1);
    EXPECT_NEAR(Ch(clear, 16), 128, 1);
    EXPECT_EQ(Ch(clear, 8), 0);
    EXPECT_EQ(Premultiply(0x80FF8000), 0x80804000u);
}

TEST(PelmarRaster, SegmentCoversItsAreaWithSoftEdges) {
    Buffer b(64, 64, 0xFF000000);
    // A horizontal bar 4 pixels thick and 40 long, with round ends.
    DrawSegment(b.c, 12, 32, 52, 32, 2.0, 0xFFFFFFFF);
    double covered = 0;
    for (uint32_t p : b.px) covered += Ch(p, 16) / 255.0;
    const double expected = 40 * 4 + 3.14159 * 4;   // rectangle plus two half discs
    EXPECT_NEAR(covered, expected, expected * 0.05);
    // A slanted line has soft edges all along, not a staircase.
    Buffer slant(64, 64, 0xFF000000);
    DrawSegment(slant.c, 10, 10, 50, 30, 1.5, 0xFFFFFFFF);
    int partial = 0;
    for (uint32_t p : slant.px)
        if (Ch(p, 16) > 10 && Ch(p, 16) < 245) ++partial;
    EXPECT_GT(partial, 40);
    EXPECT_EQ(b.At(30, 31), 0xFFFFFFFFu);
    EXPECT_EQ(b.At(30, 20), 0xFF000000u);
}

TEST(PelmarRaster, NothingIsWrittenOutsideTheBuffer) {
    // The canvas lies between two runs of guard pixels; shapes reaching past
    // every edge draw inside and leave the guards alone.
    constexpr int w = 48, h = 32, guard = 4 * w;
    constexpr uint32_t kGuard = 0x5A5A5A5A, kRed = 0xFFFF0000;
    std::vector<uint32_t> memory(static_cast<std::size_t>(w) * h + 2 * guard, kGuard);
    const Canvas c{memory.data() + guard, w, h};
    std::fill(c.pixels, c.pixels + w * h, 0xFF000000u);
    DrawSegment(c, -100, -100, 200, 200, 3.0, kRed);
    DrawSegment(c, -50, h - 0.5, w + 50, h - 0.5, 3.0, kRed);   // along the bottom edge
    FillDisc(c, w, h, 6, kRed);                                 // on the bottom right corner
    FillDisc(c, 1000, 1000, 5, kRed);
    DrawRing(c, 0, 0, 20, 2.0, kRed);
    FillPixels(c, -5, -5, w + 10, 3 + 5, kRed);
    FillGradient(c, w - 3, h - 3, 10, 10, kRed, 0xFF0000FF);
    DrawClockHands(c, w - 1, h - 1, 60, AnglesFor(4, 22, 40), {kRed, kRed, kRed});
    DrawGlyph(c, Glyph::Close, w - 8, h - 8, 30, 30, 20, kRed);
    for (int i = 0; i < guard; ++i) {
        EXPECT_EQ(memory[i], kGuard) << "before the buffer at " << i - guard;
        EXPECT_EQ(memory[guard + w * h + i], kGuard) << "after the buffer at " << i;
    }
    // The shapes did reach the edges they cross.
    for (const int at : {0, w - 1, (h - 1) * w, w * h - 1}) EXPECT_GT(Ch(c.pixels[at], 16), 100) << at;
}

TEST(PelmarRaster, HandsPointWhereTheTimeSays) {
    const int n = 92;
    Buffer b(n, n, 0xFFFFFFFF);
    DrawClockHands(b.c, 46, 46, 46, AnglesFor(3, 45, 0), {0xFFFF0000, 0xFF0000FF, 0xFF000000});
    // Hour between three and four, minute to the left, second up.
    const uint32_t hour = b.At(62, 52), minute = b.At(16, 46), second = b.At(46, 16);
    EXPECT_EQ(Ch(hour, 16), 255);
    EXPECT_LT(Ch(hour, 8), 60);
    EXPECT_EQ(minute, 0xFFFF0000u);
    EXPECT_GT(Ch(second, 0), 200);
    EXPECT_LT(Ch(second, 16), 160);               // partly covered by the thin blue hand
    EXPECT_EQ(b.At(46, 46 + 30), 0xFFFFFFFFu);    // nothing points down
    EXPECT_EQ(b.At(46 + 30, 46), 0xFFFFFFFFu);    // nor to three o'clock
}

TEST(PelmarRaster, GlyphsStayInTheirBox) {
    for (Glyph g : {Glyph::Minimize, Glyph::Maximize, Glyph::Restore, Glyph::Close}) {
        Buffer b(40, 30, 0xFF000000);
        DrawGlyph(b.c, g, 4, 4, 32, 22, 11, 0xFFFFFFFF);
        int lit = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                if (b.At(x, y) == 0xFF000000u) continue;
                ++lit;
                EXPECT_TRUE(x >= 4 && x < 36 && y >= 4 && y < 26) << static_cast<int>(g) << " at " << x << "," << y;
            }
        EXPECT_GT(lit, 8) << static_cast<int>(g);
    }
}

TEST(PelmarRaster, TextMaskColoursByCoverageAndAlpha) {
    Buffer b(2, 1, 0xFF000000);
    const uint32_t mask[2] = {0xFFFFFFFF, 0xFF008000};   // full and about half coverage
    ApplyTextMask(b.c, mask, 0xC8FFFFFF);
    EXPECT_NEAR(Ch(b.At(0, 0), 16), 200, 1);
    EXPECT_NEAR(Ch(b.At(1, 0), 16), 100, 2);
}

}  // namespace
}  // namespace pelmar
