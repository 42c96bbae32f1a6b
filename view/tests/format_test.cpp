// Runs unchanged in the host build and under Wine: both must agree exactly.
#include "format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace {

// The texts as std::string, to compose overlay lines from.
std::string S(std::string_view text) { return std::string(text); }

struct Case {
    double value;
    const char* text;
};

class TwoDecimals : public ::testing::TestWithParam<Case> {};

TEST_P(TwoDecimals, Formats) {
    EXPECT_EQ(FormatMasked(GetParam().value, "##.##"), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Overlay, TwoDecimals, ::testing::Values(
    Case{0.0, " 0.00"}, Case{-0.0, " 0.00"}, Case{0.5, " 0.50"}, Case{0.1, " 0.10"},
    Case{1.234, " 1.23"}, Case{3.14159, " 3.14"}, Case{5, " 5.00"}, Case{11.75, "11.75"},
    Case{12.0 + -0.25f, "11.75"}, Case{0.125, " 0.12"}, Case{0.375, " 0.38"},
    Case{0.875, " 0.88"}, Case{9.996, "10.00"}, Case{99.996, "100.00"},
    Case{123.456, "123.46"}, Case{0.001, " 0.00"}, Case{-0.001, "-0.00"},
    Case{-0.25, "-0.25"}, Case{-0.125, "-0.12"}, Case{-5, "-5.00"}, Case{-7.891, "-7.89"},
    Case{-12.5, "-12.50"}, Case{-30, "-30.00"},
    // Exact binary values decide: 2.675 is stored below the tie, 0.005 above it.
    Case{2.675, " 2.67"}, Case{0.005, " 0.01"}, Case{1.005, " 1.00"},
    Case{static_cast<double>(-0.3f), "-0.30"}, Case{1e9, "1000000000.00"}));

class NoDecimals : public ::testing::TestWithParam<Case> {};

TEST_P(NoDecimals, Formats) {
    EXPECT_EQ(FormatMasked(GetParam().value, "##"), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Overlay, NoDecimals, ::testing::Values(
    Case{1, " 1"}, Case{1.25, " 1"}, Case{1.5, " 2"}, Case{1.75, " 2"}, Case{2, " 2"},
    Case{2.25, " 2"}, Case{2.5, " 2"}, Case{2.75, " 3"}, Case{3, " 3"}, Case{3.25, " 3"},
    Case{3.5, " 4"}, Case{4.5, " 4"}, Case{9.5, "10"}, Case{29.5, "30"}, Case{99.5, "100"},
    Case{123.75, "124"}, Case{197.5, "198"}, Case{0.5, " 0"}, Case{-0.5, "-0"}));

TEST(FormatMasked, FrameNumberHoldsEvenForFiveStepsAndOddForThree) {
    std::string shown;
    for (float frame = 1.0f; frame <= 9.0f; frame += 0.25f) shown += FormatMasked(frame, "##")[1];
    EXPECT_EQ(shown, "112222233344444555666667778888899");
}

TEST(FormatMasked, MalformedValuesGetShortDefinedTexts) {
    EXPECT_EQ(FormatMasked(std::numeric_limits<double>::quiet_NaN(), "##.##"), "  NaN");
    EXPECT_EQ(FormatMasked(-std::numeric_limits<double>::quiet_NaN(), "##"), "NaN");
    EXPECT_EQ(FormatMasked(std::numeric_limits<double>::infinity(), "##.##"), "  Inf");
    EXPECT_EQ(FormatMasked(-std::numeric_limits<double>::infinity(), "##.##"), " -Inf");
}

TEST(FormatMasked, HugeAndTinyValuesStayWhole) {
    const std::string largest = S(FormatMasked(std::numeric_limits<double>::max(), "##.##"));
    EXPECT_EQ(largest.size(), 309u + 3u);
    EXPECT_EQ(largest.substr(0, 5), "17976");
    EXPECT_EQ(largest.substr(largest.size() - 3), ".00");
    EXPECT_EQ(FormatMasked(-std::numeric_limits<double>::denorm_min(), "##.##"), "-0.00");
}

TEST(FormatMasked, MaskShapes) {
    EXPECT_EQ(FormatMasked(3.14159, "#.###"), "3.142");
    EXPECT_EQ(FormatMasked(7, "#####"), "    7");
    EXPECT_EQ(FormatMasked(7, ""), "7");
    EXPECT_EQ(FormatMasked(7, "##."), " 7.");
    // A mask wider than the text's buffer pads it only as far as it holds.
    EXPECT_EQ(FormatMasked(7, std::string(400, '#')).view(), std::string(350, ' ') + "7");
}

TEST(NumberText, SignPlaceAndDigits) {
    EXPECT_EQ(NumberText(0), " 0");
    EXPECT_EQ(NumberText(1), " 1");
    EXPECT_EQ(NumberText(49), " 49");
    EXPECT_EQ(NumberText(198), " 198");
    EXPECT_EQ(NumberText(-5), "-5");
    EXPECT_EQ(NumberText(std::numeric_limits<std::int32_t>::min()), "-2147483648");
    EXPECT_EQ(NumberText(std::numeric_limits<std::int32_t>::max()), " 2147483647");
}

TEST(OverlayLines, ReadAsTheyAreComposed) {
    EXPECT_EQ("Horizontal " + S(FormatMasked(0.0f, "##.##")), "Horizontal  0.00");
    EXPECT_EQ("Horizontal " + S(FormatMasked(-0.3f, "##.##")), "Horizontal -0.30");
    EXPECT_EQ("Vertical " + S(FormatMasked(12.0 + -0.25f, "##.##")), "Vertical 11.75");
    EXPECT_EQ("Zoom" + S(NumberText(100 - 51)), "Zoom 49");
    EXPECT_EQ("Zoom" + S(NumberText(100 - 105)), "Zoom-5");
    EXPECT_EQ("Frame " + S(FormatMasked(1.0f, "##")) + " /" + S(NumberText(198)), "Frame  1 / 198");
    EXPECT_EQ("Frame " + S(FormatMasked(123.75f, "##")) + " /" + S(NumberText(198)), "Frame 124 / 198");
}

}  // namespace
