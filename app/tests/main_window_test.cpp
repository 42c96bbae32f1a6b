// The main window procedure against the recording fakes.
#include <windows.h>
#include <commctrl.h>

#include "app_fixture.h"
#include "main_window.h"
#include "program.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

const HWND kMain = reinterpret_cast<HWND>(0x100);
const HWND kView = reinterpret_cast<HWND>(0x200);
const HWND kTrackbar = reinterpret_cast<HWND>(0x300);

class MainWindow : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Scene.MainWindow = kMain;
        Scene.GLView = kView;
        fake::Win32().controlIds[kTrackbar] = kZoomTrackbarId;
        fake::Win32().controlIds[reinterpret_cast<HWND>(0x301)] = kClockId;
    }
    static LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return MainWndProc(kMain, message, wParam, lParam);
    }
    static int Frames() { return Count("QI_UpdateGLWindow"); }
};

TEST_F(MainWindow, PaintAndDestroyReturnZeroWithoutTheDefaultProcedure) {
    EXPECT_EQ(Send(WM_PAINT), 0);
    EXPECT_THAT(Only({"BeginPaint", "EndPaint", "QI_UpdateGLWindow", "DefWindowProcA"}),
                ElementsAre("BeginPaint(0x100)", "EndPaint(0x100)", "QI_UpdateGLWindow(0x200)"));
    fake::Reset();
    EXPECT_EQ(Send(WM_DESTROY), 0);
    EXPECT_THAT(fake::Texts(), ElementsAre("QI_DeleteGLFont(" + fake::Hex(&Scene.OverlayFont) + ")",
                                           "PostQuitMessage(0)"));
}

TEST_F(MainWindow, OtherMessagesReturnTheDefaultProceduresResult) {
    for (UINT message : {WM_SIZE, WM_HSCROLL, WM_TIMER, WM_COMMAND, WM_CLOSE, WM_MOUSEMOVE}) {
        fake::Reset();
        fake::Win32().defWindowProcResult = 0x1000 + message;
        EXPECT_EQ(Send(message, 3, 4), static_cast<LRESULT>(0x1000 + message)) << message;
        const auto defaults = Only({"DefWindowProcA"});
        ASSERT_EQ(defaults.size(), 1u);
        EXPECT_EQ(defaults[0], "DefWindowProcA(0x100," + fake::Hex(static_cast<std::uint32_t>(message)) + ",3,4)");
    }
}

TEST_F(MainWindow, SizeRefitsTheViewAndDrawsEvenWhenMinimised) {
    Send(WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_THAT(Only({"QI_ResizeGLWindow", "QI_GetGLzoom", "QI_UpdateGLWindow", "DefWindowProcA"}),
                ElementsAre("QI_ResizeGLWindow(0x200)", "QI_GetGLzoom(0x200)", "QI_ResizeGLWindow(0x200)",
                            "QI_ResizeGLWindow(0x200)", "QI_UpdateGLWindow(0x200)", "DefWindowProcA(0x100,0x5,1,0)"));
}

TEST_F(MainWindow, SizeBeforeTheViewExistsOnlyReachesTheDefaultProcedure) {
    Scene.GLView = nullptr;
    Send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(676, 559));
    EXPECT_THAT(fake::Names(), ElementsAre("DefWindowProcA"));
}

TEST_F(MainWindow, TrackbarPositionSetsZoom) {
    for (const auto& [position, zoom] : {std::pair{1, 100}, {50, 51}, {100, 1}}) {
        fake::Reset();
        fake::Win32().controlIds[kTrackbar] = kZoomTrackbarId;
        fake::Win32().sendMessageResult = position;
        Send(WM_HSCROLL, TB_THUMBTRACK, reinterpret_cast<LPARAM>(kTrackbar));
        EXPECT_THAT(Only({"SendMessageA", "QI_SetGLzoom"}),
                    ElementsAre("SendMessageA(0x300,0x400,0,0x0)", "QI_SetGLzoom(0x200," + std::to_string(zoom) + ")",
                                "QI_SetGLzoom(0x200,50)", "QI_SetGLzoom(0x200," + std::to_string(zoom) + ")"));
        EXPECT_EQ(Frames(), 1);
        EXPECT_EQ(fake::Set().zoom[kView], zoom);
    }
}

TEST_F(MainWindow, ScrollFromAnotherControlOrNoneChangesNothing) {
    for (LPARAM from : {reinterpret_cast<LPARAM>(reinterpret_cast<HWND>(0x301)), LPARAM{0}}) {
        fake::Reset();
        fake::Win32().controlIds[reinterpret_cast<HWND>(0x301)] = kClockId;
        Send(WM_HSCROLL, SB_LINERIGHT, from);
        EXPECT_EQ(Count("SendMessageA") + Count("QI_SetGLzoom") + Frames(), 0);
        EXPECT_EQ(Count("DefWindowProcA"), 1);
    }
}

// Runs timer messages with the tick count moving 31 ms per message.
std::vector<float> Animate(int frameCount, int steps) {
    Scene.FrameCount = frameCount;
    Scene.AnimFrame = 1.0f;
    fake::Win32().tickStep = 31;
    std::vector<float> frames;
    for (int i = 0; i < steps; ++i) {
        MainWndProc(kMain, WM_TIMER, static_cast<WPARAM>(kAnimationTimerId), 0);
        frames.push_back(Scene.AnimFrame);
    }
    return frames;
}

TEST_F(MainWindow, AnimationCyclesThroughEveryQuarterFrameUpToTheLast) {
    const auto frames = Animate(40, 157 * 2);
    // One cycle is 157 steps: 1.25 ... 40.0, then 1.0.
    EXPECT_EQ(frames[155], 40.0f);
    EXPECT_EQ(frames[156], 1.0f);
    EXPECT_EQ(frames[157], 1.25f);
    for (std::size_t i = 0; i < frames.size(); ++i)
        EXPECT_EQ(frames[i], 1.0f + 0.25f * static_cast<float>((i + 1) % 157)) << i;
    EXPECT_EQ(Frames(), 157 * 2);
}

TEST_F(MainWindow, AnimationStaysAtOneWithFewerThanTwoFrames) {
    for (int count : {0, 1}) {
        fake::Reset();
        const auto frames = Animate(count, 5);
        EXPECT_THAT(frames, ElementsAre(1.0f, 1.0f, 1.0f, 1.0f, 1.0f));
    }
}

TEST_F(MainWindow, NoStepAndNoFrameUntilTheTickCountPassesNextStepTick) {
    Scene.FrameCount = 198;
    Scene.AnimFrame = 1.0f;
    fake::Win32().tick = 5000;
    Send(WM_TIMER);
    EXPECT_EQ(Scene.AnimFrame, 1.25f);
    EXPECT_EQ(Scene.NextStepTick, 5030);
    for (DWORD tick : {5000u, 5029u, 5030u}) {
        fake::Reset();
        fake::Win32().tick = tick;
        Send(WM_TIMER);
        EXPECT_EQ(Scene.AnimFrame, 1.25f);
        EXPECT_THAT(fake::Names(), ElementsAre("GetTickCount", "DefWindowProcA"));
    }
    fake::Win32().tick = 5031;
    Send(WM_TIMER);
    EXPECT_EQ(Scene.AnimFrame, 1.5f);
}

TEST_F(MainWindow, AnimationKeepsItsPaceAcrossTheTickCountWrap) {
    Scene.FrameCount = 198;
    Scene.AnimFrame = 1.0f;
    fake::Win32().tick = 0xFFFFFF00u;
    fake::Win32().tickStep = 7;   // timer messages every 7 ms
    int steps = 0;
    float last = Scene.AnimFrame;
    for (int i = 0; i < 200; ++i) {   // 1400 ms across the wrap
        Send(WM_TIMER);
        if (Scene.AnimFrame != last) ++steps;
        last = Scene.AnimFrame;
    }
    // Steps need more than 30 ms: at 7 ms per message that is every 5th message.
    EXPECT_GE(steps, 39);
    EXPECT_LE(steps, 41);
}

}  // namespace
