// The anchoring codes' agreed meanings and the placement arithmetic.
#include <gtest/gtest.h>

#include "placement.h"

namespace {

using namespace anchoring;

TEST(AnchorTable, CodesKeepTheirAgreedMeanings) {
    EXPECT_EQ(kCount, 16);
    EXPECT_FALSE(Valid(ANCHOR_NONE));
    EXPECT_FALSE(Valid(17));
    EXPECT_EQ(kTable[ANCHOR_FAR_KEEP - 1].horizontal, Rule::Far);
    EXPECT_EQ(kTable[ANCHOR_FAR_KEEP - 1].vertical, Rule::Keep);
    EXPECT_EQ(kTable[ANCHOR_STRETCH_STRETCH - 1].horizontal, Rule::Stretch);
    EXPECT_EQ(kTable[ANCHOR_STRETCH_STRETCH - 1].vertical, Rule::Stretch);
    EXPECT_EQ(kTable[ANCHOR_FAR_FAR - 1].horizontal, Rule::Far);
    EXPECT_EQ(kTable[ANCHOR_FAR_FAR - 1].vertical, Rule::Far);
    // A centred child in a parent that had no extent yet is centred outright.
    EXPECT_EQ(Place(Rule::Centre, {5, 10}, 0, 100).start, 45);
}

TEST(AnchorCentre, AHalfPixelLeftOverGoesToTheFarSide) {
    // Each case leaves an odd number of pixels around the child (and the
    // first a scaled centre with a fraction above one half): the start is
    // rounded down, never up, and the size stays.
    struct Case {
        Span at;
        int oldExtent, newExtent, start;
    };
    const Case cases[] = {
        {{200, 100}, 668, 769, 237},   // growing: centre 575.6 of 2 x 769, 475 pixels left over
        {{200, 101}, 668, 400, 99},    // shrinking: 199 left over
        {{5, 10}, 0, 101, 45},         // a parent with no extent yet: 91 left over
    };
    for (const Case& c : cases) {
        const Span placed = Place(Rule::Centre, c.at, c.oldExtent, c.newExtent);
        EXPECT_EQ(placed.start, c.start) << c.oldExtent << " -> " << c.newExtent;
        EXPECT_EQ(placed.size, c.at.size) << c.oldExtent << " -> " << c.newExtent;
    }
}

}  // namespace
