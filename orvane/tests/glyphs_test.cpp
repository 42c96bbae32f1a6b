// Composition of a text line from glyph bitmaps.
#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "glyphs.h"

namespace {

using orvane::ComposeLine;
using orvane::GlyphSet;
using orvane::LineBitmap;

// Adds a glyph for character c from rows of '#' and '.', top row first.
void Add(GlyphSet& set, char c, int left, int top, int advance, std::vector<std::string> rows) {
    orvane::Glyph& g = set.glyphs[static_cast<unsigned char>(c) - orvane::kFirstChar];
    g.advance = advance;
    g.left = left;
    g.top = top;
    g.height = int(rows.size());
    g.width = rows.empty() ? 0 : int(rows[0].size());
    g.offset = set.bits.size();
    for (const std::string& row : rows) {
        std::vector<unsigned char> bytes((row.size() + 7) / 8, 0);
        for (size_t x = 0; x < row.size(); ++x)
            if (row[x] == '#') bytes[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
        set.bits.insert(set.bits.end(), bytes.begin(), bytes.end());
    }
}

// The line's pixels as rows of '#' and '.', top row first.
std::vector<std::string> Picture(const LineBitmap& line) {
    std::vector<std::string> rows;
    const size_t stride = (size_t(line.width) + 7) / 8;
    for (int r = line.height - 1; r >= 0; --r) {
        std::string row;
        for (int x = 0; x < line.width; ++x)
            row += (line.bits[size_t(r) * stride + size_t(x) / 8] & (0x80 >> (x % 8))) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

GlyphSet Font() {
    GlyphSet set;
    Add(set, ' ', 0, 0, 3, {});
    Add(set, 'i', 0, 3, 2, {"#", ".", "#"});
    Add(set, 'T', 0, 3, 4, {"###", ".#.", ".#."});
    Add(set, 'j', -1, 2, 2, {".#", ".#", "#."});   // hangs left of the pen and below the baseline
    Add(set, 'W', 0, 2, 9, {"#.......#", ".#.#.#.#."});   // wider than a byte
    return set;
}

TEST(ComposeLine, PlacesEachGlyphByItsOriginAndAdvance) {
    const GlyphSet set = Font();
    LineBitmap line;
    ASSERT_TRUE(ComposeLine(set, "Ti j", 4, &line));
    EXPECT_EQ(line.advance, 4 + 2 + 3 + 2);
    EXPECT_EQ(line.xorig, 0);
    EXPECT_EQ(line.yorig, 1);   // one row below the baseline
    const std::vector<std::string> expected = {
        "###.#.....",
        ".#.......#",
        ".#..#....#",
        "........#.",
    };
    EXPECT_EQ(Picture(line), expected);
}

TEST(ComposeLine, StraddlesByteBoundariesAndOrsOverlaps) {
    const GlyphSet set = Font();
    LineBitmap line;
    ASSERT_TRUE(ComposeLine(set, "iWW", 3, &line));
    const std::vector<std::string> expected = {
        "#...................",   // the i's top stands above the W's
        "..#.......##.......#",
        "#..#.#.#.#..#.#.#.#.",
    };
    EXPECT_EQ(line.advance, 2 + 9 + 9);
    EXPECT_EQ(Picture(line), expected);
    // A glyph overhanging its neighbour: 'j' reaches one pixel into the 'i' cell.
    ASSERT_TRUE(ComposeLine(set, "ij", 2, &line));
    EXPECT_EQ(line.xorig, 0);
    EXPECT_EQ(Picture(line)[0], "#..");
    EXPECT_EQ(Picture(line)[3], ".#.");
}

TEST(ComposeLine, BlanksOnlyAdvanceAndUnknownCharactersAreSkipped) {
    const GlyphSet set = Font();
    LineBitmap line;
    ASSERT_TRUE(ComposeLine(set, "   ", 3, &line));
    EXPECT_EQ(line.width, 0);
    EXPECT_EQ(line.advance, 9);
    const char text[] = "\x01i\ti\x1f";
    ASSERT_TRUE(ComposeLine(set, text, strlen(text), &line));
    EXPECT_EQ(line.advance, 4);
    EXPECT_EQ(line.width, 3);
}

TEST(ComposeLine, RefusesLinesTooLongToDraw) {
    GlyphSet set = Font();
    set.glyphs['W' - orvane::kFirstChar].advance = 3000;
    LineBitmap line;
    EXPECT_TRUE(ComposeLine(set, "WW", 2, &line));
    EXPECT_FALSE(ComposeLine(set, "WWWW", 4, &line));
}

}  // namespace
