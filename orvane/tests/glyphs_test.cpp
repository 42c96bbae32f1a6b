// Packing glyph bitmaps into the font atlas.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "glyphs.h"

namespace {

using orvane::GlyphSet;

// Sets the glyph of character c from rows of '#' and '.', top row first.
void Set(GlyphSet& set, int c, std::vector<std::string> rows) {
    orvane::Glyph& g = set.glyphs[c - orvane::kFirstChar];
    g.height = int(rows.size());
    g.width = rows.empty() ? 0 : int(rows[0].size());
    g.offset = set.bits.size();
    for (const std::string& row : rows) {
        std::vector<unsigned char> bytes((row.size() + 7) / 8, 0);
        for (size_t x = 0; x < row.size(); ++x)
            if (row[x] == '#') bytes[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        for (unsigned char byte : bytes) ASSERT_TRUE(set.bits.Append(byte));
    }
}

std::vector<unsigned char> Bytes(const memory::Buffer<unsigned char>& buffer) {
    return std::vector<unsigned char>(buffer.begin(), buffer.end());
}

std::vector<unsigned char> Atlas(const GlyphSet& set) {
    memory::Buffer<unsigned char> image;
    EXPECT_TRUE(orvane::AtlasImage(set, &image));
    return Bytes(image);
}

TEST(GlyphBits, TakesWholeBytesOfPaddedRowsAndSkipsEmptyBoxes) {
    // Rows padded to four bytes as the platform delivers them.
    const unsigned char rows[8] = {0xFF, 0xC1, 0xAA, 0xAA, 0x12, 0x34, 0xAA, 0xAA};
    struct Case { unsigned width, height; size_t size; bool ok; std::vector<unsigned char> bits; };
    const Case cases[] = {
        {10, 2, 8, true, {0xFF, 0xC0, 0x12, 0x00}},
        {8, 1, 4, true, {0xFF}},
        {0, 3, 8, true, {}},    // a size reported for a zero-width box
        {5, 0, 8, true, {}},
        {10, 3, 8, false, {}},  // rows beyond the bytes delivered
    };
    for (const Case& c : cases) {
        GlyphSet set;
        orvane::Glyph g;
        EXPECT_EQ(orvane::AddGlyphBits(&set, &g, rows, c.size, c.width, c.height), c.ok) << c.width;
        EXPECT_EQ(Bytes(set.bits), c.bits) << c.width;
        if (c.bits.empty()) {
            EXPECT_EQ(g.width * g.height, 0);
        }
    }
}

TEST(GlyphAtlas, HoldsEveryGlyphApartAtItsPlace) {
    GlyphSet set;
    Set(set, 'A', {"#.#", ".#.", "#.#"});
    Set(set, 'B', {"#########.#", "##........#"});   // wider than a byte
    for (int c = 'a'; c <= 'z'; ++c) Set(set, c, {"#.##", "####", "#..#", "####", "##.."});
    ASSERT_TRUE(orvane::PackGlyphs(&set, 2048));
    EXPECT_EQ(set.atlasWidth, 64);
    EXPECT_EQ(set.atlasHeight & (set.atlasHeight - 1), 0);   // a power of two
    const std::vector<unsigned char> image = Atlas(set);
    ASSERT_EQ(image.size(), size_t(set.atlasWidth) * set.atlasHeight);

    // Each glyph reads back from its place, with a clear texel all round.
    std::vector<int> owner(image.size(), -1);
    for (int c = orvane::kFirstChar; c < orvane::kFirstChar + orvane::kCharCount; ++c) {
        const orvane::Glyph& g = set.glyphs[c - orvane::kFirstChar];
        if (g.width == 0) continue;
        const size_t stride = (size_t(g.width) + 7) / 8;
        for (int r = -1; r <= g.height; ++r)
            for (int x = -1; x <= g.width; ++x) {
                const int ax = g.atlasX + x, ay = g.atlasY + r;
                ASSERT_GE(ax, 0);
                ASSERT_GE(ay, 0);
                ASSERT_LT(ax, set.atlasWidth);
                ASSERT_LT(ay, set.atlasHeight);
                const size_t i = size_t(ay) * set.atlasWidth + ax;
                const bool inside = r >= 0 && r < g.height && x >= 0 && x < g.width;
                const bool on = inside && (set.bits[g.offset + r * stride + x / 8] & (0x80 >> (x % 8)));
                EXPECT_EQ(image[i], on ? 255 : 0) << char(c) << " " << x << "," << r;
                if (inside) {
                    EXPECT_EQ(owner[i], -1) << "glyphs overlap at " << ax << "," << ay;
                    owner[i] = c;
                }
            }
    }
}

TEST(GlyphAtlas, GrowsForLargeGlyphsAndRefusesWhatCannotFit) {
    GlyphSet set;
    const std::vector<std::string> big(100, std::string(90, '#'));
    for (int c = 'A'; c <= 'Z'; ++c) Set(set, c, big);
    ASSERT_TRUE(orvane::PackGlyphs(&set, 2048));
    EXPECT_EQ(set.atlasWidth, 1024);   // 26 boxes of 91 x 101 texels: too tall at 512 wide
    EXPECT_LE(set.atlasHeight, set.atlasWidth);
    EXPECT_FALSE(orvane::PackGlyphs(&set, 256));
    EXPECT_EQ(set.atlasWidth, 0);

    GlyphSet blanks;   // nothing to hold still makes a usable atlas
    EXPECT_TRUE(orvane::PackGlyphs(&blanks, 64));
    EXPECT_EQ(Atlas(blanks).size(), size_t(blanks.atlasWidth) * blanks.atlasHeight);
}

}  // namespace
