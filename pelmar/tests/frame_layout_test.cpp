// The frame's hit-testing at 96 and 192 DPI: maximised, the screen's top
// edge hits the caption buttons and its top-right pixel Close; restored, the
// resize grab is at least the system's border at that DPI and never takes
// a caption button.
#include <windows.h>

#include <gtest/gtest.h>

#include "dpi.h"
#include "frame.h"

namespace pelmar {
namespace {

constexpr LONG_PTR kStyle = WS_OVERLAPPEDWINDOW;

POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

class FrameAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(FrameAtDpi, MaximisedTopEdgeHitsTheButtonsAndTheCornerHitsClose) {
    const int dpi = GetParam();
    // As the system places a maximised window: its frame past the work area.
    const int over = win32::dpi::SystemMetric(SM_CXSIZEFRAME, dpi) + win32::dpi::SystemMetric(92, dpi);
    const RECT overhang{over, over, over, over};
    const int width = 1024 + 2 * over, height = 768 + 2 * over;
    const FrameLayout L = LayoutFrame(Skin{}, kStyle, width, true, overhang, dpi);
    struct Case {
        POINT p;
        LRESULT code;
    } cases[] = {
        {{width - over - 1, over}, HTCLOSE},                              // the screen's top-right pixel
        {{Centre(L.buttons[kClose]).x, over}, HTCLOSE},                   // the screen's top edge
        {{Centre(L.buttons[kMaximize]).x, over}, HTMAXBUTTON},
        {{Centre(L.buttons[kMinimize]).x, over}, HTMINBUTTON},
        {{width - over - 1, Centre(L.buttons[kClose]).y}, HTCLOSE},       // the screen's right edge
        {{width / 3, over}, HTCAPTION},
    };
    for (const Case& c : cases) EXPECT_EQ(HitTestFrame(L, width, height, c.p), c.code) << c.p.x << "," << c.p.y;
}

TEST_P(FrameAtDpi, ResizeGrabIsAtLeastTheSystemBorderAndSparesTheButtons) {
    const int dpi = GetParam();
    const int width = win32::dpi::Scale(676, dpi), height = win32::dpi::Scale(564, dpi);
    const FrameLayout L = LayoutFrame(Skin{}, kStyle, width, true, {}, dpi);
    const int border = win32::dpi::SystemMetric(SM_CXSIZEFRAME, dpi) + win32::dpi::SystemMetric(92, dpi);
    ASSERT_GE(L.grab, border);
    ASSERT_GE(L.grab, win32::dpi::Scale(4, dpi));
    const int midX = width / 3, midY = height / 2;
    for (int d = 0; d < L.grab; ++d) {
        EXPECT_EQ(HitTestFrame(L, width, height, {d, midY}), HTLEFT) << d;
        EXPECT_EQ(HitTestFrame(L, width, height, {width - 1 - d, midY}), HTRIGHT) << d;
        EXPECT_EQ(HitTestFrame(L, width, height, {midX, height - 1 - d}), HTBOTTOM) << d;
        EXPECT_EQ(HitTestFrame(L, width, height, {midX, d}), HTTOP) << d;
    }
    EXPECT_EQ(HitTestFrame(L, width, height, {L.grab, midY}), HTCLIENT);
    EXPECT_NE(HitTestFrame(L, width, height, {midX, L.grab}), HTTOP);
    // Every pixel of every button is the button's, inside the grab too.
    static const LRESULT kCodes[kButtonCount] = {HTMINBUTTON, HTMAXBUTTON, HTCLOSE};
    for (int b = 0; b < kButtonCount; ++b) {
        const RECT& r = L.buttons[b];
        ASSERT_FALSE(IsRectEmpty(&r));
        for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, Centre(r), POINT{r.right - 1, r.bottom - 1}})
            EXPECT_EQ(HitTestFrame(L, width, height, p), kCodes[b]) << b << ": " << p.x << "," << p.y;
    }
}

// Every metric of the skin is its 96-DPI figure at the window's DPI.
TEST_P(FrameAtDpi, MetricsAreTheSkinsAtTheDpi) {
    const int dpi = GetParam();
    const Skin skin;
    const FrameLayout L = LayoutFrame(skin, kStyle, 1000, true, {}, dpi);
    const auto px = [dpi](int v) { return win32::dpi::Scale(v, dpi); };
    EXPECT_EQ(L.insets.top, px(skin.captionHeight));
    EXPECT_EQ(L.insets.left, px(skin.frameWidth));
    EXPECT_EQ(L.insets.bottom, px(skin.frameWidth));
    EXPECT_EQ(L.buttons[kClose].right - L.buttons[kClose].left, px(skin.buttonWidth));
    EXPECT_EQ(L.buttons[kClose].bottom - L.buttons[kClose].top, px(skin.buttonHeight));
    EXPECT_EQ(L.icon.right - L.icon.left, px(16));
    EXPECT_EQ(L.accentHeight, px(skin.accentHeight));
}

INSTANTIATE_TEST_SUITE_P(Dpi, FrameAtDpi, ::testing::Values(96, 192));

// What the title bar tells the system's tools of each button: absent ones
// (and help, never shown) invisible; the one under the pointer hot-tracked,
// or pressed while held down, as drawn.
TEST(TitleBarStates, FollowTheStyleAndThePointer) {
    constexpr DWORD kAbsent = STATE_SYSTEM_INVISIBLE, kHot = STATE_SYSTEM_HOTTRACKED, kHeld = STATE_SYSTEM_PRESSED;
    constexpr LONG_PTR kCloseOnly = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    struct Case {
        const char* what;
        LONG_PTR style;
        int hot, pressed;
        DWORD minimise, maximise, close;
    } cases[] = {
        {"all buttons", kStyle, kNoButton, kNoButton, 0, 0, 0},
        {"close only", kCloseOnly, kNoButton, kNoButton, kAbsent, kAbsent, 0},
        {"no maximise", kStyle & ~WS_MAXIMIZEBOX, kNoButton, kNoButton, 0, kAbsent, 0},
        {"no system menu", kStyle & ~WS_SYSMENU, kNoButton, kNoButton, kAbsent, kAbsent, kAbsent},
        {"maximise under the pointer", kStyle, kMaximize, kNoButton, 0, kHot, 0},
        {"close held under the pointer", kStyle, kClose, kClose, 0, 0, kHeld},
        {"close held, the pointer off it", kStyle, kNoButton, kClose, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const FrameLayout L = LayoutFrame(Skin{}, c.style, 800, true, {}, 96);
        TITLEBARINFOEX info{};
        DescribeTitleBar(L, {100, 50}, c.hot, c.pressed, info);
        const DWORD want[] = {STATE_SYSTEM_FOCUSABLE, kAbsent, c.minimise, c.maximise, kAbsent, c.close};
        for (int i = 0; i <= CCHILDREN_TITLEBAR; ++i) {
            EXPECT_EQ(info.rgstate[i], want[i]) << c.what << ": " << i;
            if (i >= 2) {
                EXPECT_EQ(IsRectEmpty(&info.rgrect[i]) != FALSE, want[i] == kAbsent) << c.what << ": " << i;
            }
        }
        // The window menu (the icon) is left out of the title bar.
        EXPECT_EQ(info.rcTitleBar.left, 100 + L.icon.right) << c.what;
    }
}

}  // namespace
}  // namespace pelmar
