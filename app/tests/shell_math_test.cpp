#include "shell_math.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Placement {
    int screen, frame, caption;   // caption counts on the near edge (top) only
    int wantX, wantY;
};

class Centring : public ::testing::TestWithParam<Placement> {};

// The adjusted rectangle of a 668 x 532 client with a frame of f on every side
// and a caption of g above: left -f, top -(g + f), right 668 + f, bottom 532 + f.
TEST_P(Centring, UsesBothEdgesAndClampsAtZero) {
    const Placement p = GetParam();
    EXPECT_EQ(CentredOrigin(p.screen, -p.frame, 668 + p.frame), p.wantX);
    EXPECT_EQ(CentredOrigin(p.screen, -(p.caption + p.frame), 532 + p.frame), p.wantY);
}

INSTANTIATE_TEST_SUITE_P(Screens, Centring, ::testing::Values(
    Placement{1024, 4, 19, (1024 - 668) / 2, (1024 - 532 + 19) / 2},
    Placement{1920, 8, 23, 626, (1920 - 532 + 23) / 2},
    Placement{669, 3, 20, 0, (669 - 532 + 20) / 2},     // odd difference truncates
    Placement{640, 4, 19, 0, (640 - 532 + 19) / 2},     // narrower than the window: 0
    Placement{500, 4, 19, 0, 0},                       // smaller on both axes
    Placement{0, 0, 0, 0, 0}));

TEST(StepDue, NeedsTheTickCountToPassNextStepTick) {
    EXPECT_FALSE(StepDue(1000, 1000));
    EXPECT_TRUE(StepDue(1001, 1000));
    EXPECT_FALSE(StepDue(999, 1000));
    // Before any step NextStepTick is 0: the first timer message steps at once.
    EXPECT_TRUE(StepDue(5, 0));
    EXPECT_TRUE(StepDue(123456789, 0));
}

TEST(StepDue, HoldsPastTwoToThe31AndAcrossTheWrap) {
    const auto next = [](std::uint32_t lastStep) { return static_cast<std::int32_t>(lastStep + 30u); };
    struct { std::uint32_t lastStep, now; bool due; } cases[] = {
        {0x7FFFFFF0u, 0x7FFFFFF0u + 30, false},   // NextStepTick becomes negative
        {0x7FFFFFF0u, 0x7FFFFFF0u + 31, true},
        {0x80000000u, 0x80000005u, false},         // a plain signed compare would step here
        {0xFFFFFFF0u, 0xFFFFFFFFu, false},         // NextStepTick wrapped to 14
        {0xFFFFFFF0u, 0x0000000Du, false},
        {0xFFFFFFF0u, 0x0000000Fu, true},
        {0xFFFFFFF0u, 0x00000100u, true},
    };
    for (const auto& c : cases) EXPECT_EQ(StepDue(c.now, next(c.lastStep)), c.due) << std::hex << c.lastStep << " " << c.now;
}

TEST(StepDue, NeverStepsTwiceWithin30MsAtAnyTickCount) {
    for (std::uint64_t base = 0; base < 0x100000000ull; base += 0x0FFFFFFFull) {
        const std::uint32_t last = static_cast<std::uint32_t>(base);
        const std::int32_t nextTick = static_cast<std::int32_t>(last + 30u);
        for (std::uint32_t dt = 0; dt <= 30; ++dt) EXPECT_FALSE(StepDue(last + dt, nextTick));
        EXPECT_TRUE(StepDue(last + 31, nextTick));
    }
}

TEST(MainWindowTitle, WrapsTheVersionAndCutsToTheBuffer) {
    char title[260];
    std::memset(title, 'x', sizeof title);
    MainWindowTitle(title, sizeof title, "1.0.0");
    EXPECT_STREQ(title, "Orvane control 1.0.0 - \"3D lighting\" demo");
    MainWindowTitle(title, sizeof title, "");
    EXPECT_STREQ(title, "Orvane control  - \"3D lighting\" demo");
    const std::string longVersion(300, '9');
    MainWindowTitle(title, sizeof title, longVersion);
    EXPECT_EQ(std::string(title), "Orvane control " + longVersion.substr(0, 259 - 15));
    char small[18];
    std::memset(small, 'x', sizeof small);
    MainWindowTitle(small, sizeof small, "1.0.0");
    EXPECT_STREQ(small, "Orvane control 1.");
}

TEST(CopyText, KeepsAtMostSizeMinusOneCharacters) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    CopyText(buffer, sizeof buffer, "DEVAVOVAR");
    EXPECT_STREQ(buffer, "DEVAVOV");
    CopyText(buffer, sizeof buffer, nullptr);
    EXPECT_STREQ(buffer, "");
    CopyText(buffer, 1, "abc");
    EXPECT_STREQ(buffer, "");
}

}  // namespace
