// ViewProc on a real window (for focus and client size) with the libraries
// and OpenGL recorded by the fakes.
#include "navigation.h"

#include <gmock/gmock.h>

#include <string>

#include "fresh_scene.h"

using ::testing::ElementsAre;

namespace {

constexpr int Down = -1;

LRESULT CALLBACK OldProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    fake::Record("OldViewProc", {fake::Hex(msg), std::to_string(wParam), std::to_string(lParam)});
    return 1000 + msg;
}

// The window's own procedure notes focus changes in the same log.
LRESULT CALLBACK WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETFOCUS) fake::Record("WM_SETFOCUS", {});
    if (msg == WM_KILLFOCUS) fake::Record("WM_KILLFOCUS", {});
    return DefWindowProcA(hWnd, msg, wParam, lParam);
}

HWND MakeWindow(int width, int height) {
    static const ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ViewProcTest";
        return RegisterClassA(&wc);
    }();
    (void)atom;
    return CreateWindowExA(0, "ViewProcTest", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ViewProcTest : public ::testing::Test {
protected:
    void SetUp() override { Open(400, 300); }
    void TearDown() override { DestroyWindow(view_); }
    void Open(int width, int height) {
        if (view_) DestroyWindow(view_);
        FreshScene();
        view_ = MakeWindow(width, height);
        ASSERT_NE(view_, nullptr);
        ResetScene();
        Scene.GLView = view_;
        Scene.OldViewProc = OldProc;
        fake::Reset();
    }
    LRESULT Send(UINT msg, LPARAM lParam, WPARAM wParam = 0) { return ViewProc(view_, msg, wParam, lParam); }
    void Move(int x, int y, int left, int right) {
        fake::Set().leftButton = left;
        fake::Set().rightButton = right;
        Send(WM_MOUSEMOVE, At(x, y));
    }
    static std::size_t Frames() { return CountCalls("QI_UpdateGLWindow"); }

    HWND view_ = nullptr;
};

TEST_F(ViewProcTest, LeftDragTurnsHalfADegreePerPixelAndReturnsExactly) {
    Send(WM_LBUTTONDOWN, At(100, 100));
    Move(200, 100, Down, 0);
    EXPECT_EQ(Scene.SpinAngle, 20.0f);
    EXPECT_EQ(Scene.TiltAngle, 5.0f);
    Move(137, 151, Down, 0);
    EXPECT_EQ(Scene.SpinAngle, -11.5f);
    EXPECT_EQ(Scene.TiltAngle, 30.5f);
    Move(100, 100, Down, 0);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_EQ(Scene.TiltAngle, 5.0f);
    Move(100, 300, Down, 0);
    EXPECT_EQ(Scene.TiltAngle, 105.0f);  // not clamped
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.PosY, -0.25f);
}

TEST_F(ViewProcTest, RightDragMovesByTheClientSizeAndFollowsThePointer) {
    Send(WM_RBUTTONDOWN, At(100, 50));
    Move(300, 50, 0, Down);  // half the width to the right
    EXPECT_EQ(Scene.PosX, 1.875f);
    EXPECT_EQ(Scene.PosY, -0.25f);
    Move(100, 125, 0, Down);  // a quarter of the height down
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.PosY, -1.1875f);
    Move(101, 50, 0, Down);
    EXPECT_EQ(Scene.PosX, static_cast<float>(45.0 / (12.0 * 400)));  // double arithmetic, one rounding
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_EQ(Scene.TiltAngle, 5.0f);
}

TEST_F(ViewProcTest, ZeroClientSizeLeavesThatAxisWhereItIs) {
    struct Case {
        int width, height;
        float posX, posY;
    };
    for (const Case c : {Case{0, 300, 0.0f, -1.1875f}, Case{400, 0, 1.875f, -0.25f}, Case{0, 0, 0.0f, -0.25f}}) {
        Open(c.width, c.height);
        RECT client{};
        GetClientRect(view_, &client);
        ASSERT_EQ(client.right, c.width);
        ASSERT_EQ(client.bottom, c.height);
        Send(WM_RBUTTONDOWN, At(100, 50));
        Move(300, 125, 0, Down);
        EXPECT_EQ(Scene.PosX, c.posX) << c.width << "x" << c.height;
        EXPECT_EQ(Scene.PosY, c.posY) << c.width << "x" << c.height;
        EXPECT_EQ(Scene.RightLastX, 300);
    }
}

TEST_F(ViewProcTest, CoordinatesAreSigned16BitHalves) {
    Send(WM_LBUTTONDOWN, At(0, 0));
    Move(-1, -1, Down, 0);  // lParam 0xFFFFFFFF
    EXPECT_EQ(Scene.LeftLastX, -1);
    EXPECT_EQ(Scene.SpinAngle, -30.5f);
    EXPECT_EQ(Scene.TiltAngle, 4.5f);
    Send(WM_MOUSEMOVE, 0x0000FFFF);
    EXPECT_EQ(Scene.LeftLastX, -1);
    EXPECT_EQ(Scene.LeftLastY, 0);
}

TEST_F(ViewProcTest, AMoveWithTheButtonHeldButNoDragChangesNothingButTheLastPosition) {
    Move(150, 160, Down, Down);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_EQ(Scene.TiltAngle, 5.0f);
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.LeftLastX, 150);
    EXPECT_EQ(Scene.LeftLastY, 160);
    EXPECT_EQ(Scene.RightLastX, 150);
    EXPECT_EQ(Scene.RightLastY, 160);
    EXPECT_EQ(Frames(), 1u);
}

TEST_F(ViewProcTest, AMoveToTheLastPositionRecomputesNothingButDrawsAFrame) {
    Send(WM_LBUTTONDOWN, At(10, 10));
    Move(30, 10, Down, 0);
    Scene.SpinAngle = 99.0f;
    Move(30, 10, Down, 0);
    EXPECT_EQ(Scene.SpinAngle, 99.0f);
    EXPECT_EQ(Frames(), 2u);
}

// Also a drag whose up message was lost: the first move with the button up ends it.
TEST_F(ViewProcTest, AMoveWithNoButtonDownEndsBothDragsUnchanged) {
    Send(WM_LBUTTONDOWN, At(10, 10));
    Scene.RightDragging = 1;
    Move(90, 90, 0, 1);  // 1 is not "down": only -1 is
    EXPECT_EQ(Scene.LeftDragging, 0);
    EXPECT_EQ(Scene.RightDragging, 0);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.LeftLastX, 0);  // last positions follow only moves with the button down
    EXPECT_EQ(Frames(), 1u);
    Move(50, 50, Down, 0);  // the button back down does not revive the drag
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
}

TEST_F(ViewProcTest, ButtonUpOnlyClearsItsFlag) {
    Scene.LeftDragging = 1;
    Scene.RightDragging = 1;
    Send(WM_LBUTTONUP, At(200, 200));
    Send(WM_RBUTTONUP, At(200, 200));
    EXPECT_EQ(Scene.LeftDragging, 0);
    EXPECT_EQ(Scene.RightDragging, 0);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_THAT(fake::Names(), ElementsAre("OldViewProc", "OldViewProc"));
}

TEST_F(ViewProcTest, APressDuringADragKeepsTheOrigin) {
    Send(WM_LBUTTONDOWN, At(10, 10));
    Move(50, 10, Down, 0);
    Send(WM_LBUTTONDOWN, At(50, 10));  // the button went up and down outside the view
    Move(60, 10, Down, 0);
    EXPECT_EQ(Scene.SpinAngle, -5.0f);  // from the first press: (60 - 10) / 2 - 30
}

TEST_F(ViewProcTest, APressGivesTheFocusOnlyWhenTheViewLacksIt) {
    HWND other = MakeWindow(10, 10);
    SetFocus(other);
    ASSERT_EQ(GetFocus(), other);
    fake::Reset();
    Send(WM_LBUTTONDOWN, At(1, 1));
    EXPECT_EQ(GetFocus(), view_);
    EXPECT_EQ(CountCalls("WM_SETFOCUS"), 1u);
    fake::Reset();
    Send(WM_RBUTTONDOWN, At(1, 1));
    Send(WM_LBUTTONDOWN, At(1, 1));
    EXPECT_EQ(CountCalls("WM_SETFOCUS") + CountCalls("WM_KILLFOCUS"), 0u);
    DestroyWindow(other);
}

// Every message goes on last, its result comes back; only paint and moves draw.
TEST_F(ViewProcTest, EveryMessageReachesTheOldProcedureAndItsResultComesBack) {
    const std::pair<UINT, std::size_t> messages[] = {
        {WM_PAINT, 1},         {WM_MOUSEMOVE, 1},     {WM_LBUTTONDOWN, 0},   {WM_LBUTTONUP, 0},
        {WM_RBUTTONDOWN, 0},   {WM_RBUTTONUP, 0},     {WM_LBUTTONDBLCLK, 0}, {WM_RBUTTONDBLCLK, 0},
        {WM_MOUSEWHEEL, 0},    {WM_KEYDOWN, 0},       {WM_SIZE, 0}};
    for (const auto& [msg, frames] : messages) {
        fake::Reset();
        EXPECT_EQ(Send(msg, At(3, 4), 77), static_cast<LRESULT>(1000 + msg)) << msg;
        EXPECT_EQ(Frames(), frames) << msg;
        EXPECT_EQ(fake::Texts().back(), "OldViewProc(" + fake::Hex(msg) + ",77," + std::to_string(At(3, 4)) + ")");
        EXPECT_EQ(CountCalls("OldViewProc"), 1u);
    }
    Scene.OldViewProc = nullptr;  // not yet subclassed: the default procedure answers
    EXPECT_EQ(Send(WM_USER + 5, 0), 0);
}

TEST_F(ViewProcTest, TheSecondButtonDoesNotTakeOverARunningDrag) {
    Send(WM_LBUTTONDOWN, At(100, 100));
    fake::Set().leftButton = Down;
    Send(WM_RBUTTONDOWN, At(120, 100));
    EXPECT_EQ(Scene.RightDragging, 0);
    EXPECT_EQ(Scene.DragBaseB, -30.0f);  // still the left drag's origin
    Move(140, 100, Down, Down);
    EXPECT_EQ(Scene.SpinAngle, -10.0f);
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.PosY, -0.25f);
}

TEST_F(ViewProcTest, AStaleDragOfTheOtherButtonDoesNotBlockAPress) {
    Send(WM_LBUTTONDOWN, At(100, 100));  // its up message never came
    fake::Set().leftButton = 0;
    Send(WM_RBUTTONDOWN, At(100, 100));
    EXPECT_EQ(Scene.LeftDragging, 0);
    EXPECT_EQ(Scene.RightDragging, 1);
    Move(300, 100, 0, Down);
    EXPECT_EQ(Scene.PosX, 1.875f);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
}

}  // namespace
