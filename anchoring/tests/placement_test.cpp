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

}  // namespace
