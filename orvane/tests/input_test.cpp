// Mouse button queries: the physical state at the time of the call.
#include <windows.h>

#include <gtest/gtest.h>

#include "input.h"
#include "orvane.h"

namespace {

using orvane::MouseButton;

TEST(Buttons, SwappedButtonsReadTheOtherPhysicalKey) {
    EXPECT_EQ(orvane::PhysicalKeyFor(MouseButton::Left, false), VK_LBUTTON);
    EXPECT_EQ(orvane::PhysicalKeyFor(MouseButton::Right, false), VK_RBUTTON);
    EXPECT_EQ(orvane::PhysicalKeyFor(MouseButton::Left, true), VK_RBUTTON);
    EXPECT_EQ(orvane::PhysicalKeyFor(MouseButton::Right, true), VK_LBUTTON);
}

void Press(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    ASSERT_EQ(SendInput(1, &input, sizeof(input)), 1u);
}

TEST(Buttons, ReportThePressWithoutAnyMessageBeingRead) {
    // No window and no message loop here: only the device state can tell.
    EXPECT_EQ(QI_IsLButtonDown(), 0);
    EXPECT_EQ(QI_IsRButtonDown(), 0);
    Press(MOUSEEVENTF_LEFTDOWN);
    EXPECT_EQ(QI_IsLButtonDown(), -1);
    EXPECT_EQ(QI_IsRButtonDown(), 0);
    Press(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_EQ(QI_IsRButtonDown(), -1);
    Press(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(QI_IsLButtonDown(), 0);
    EXPECT_EQ(QI_IsRButtonDown(), -1);
    Press(MOUSEEVENTF_RIGHTUP);
    EXPECT_EQ(QI_IsRButtonDown(), 0);
}

}  // namespace
