// The skinned frame still behaves as a window: hit-testing, moving and
// sizing with the pointer, caption buttons, double-click, keyboard commands.
#include <windows.h>

#include <gtest/gtest.h>

#include "dpi.h"
#include "engine.h"
#include "frame.h"
#include "helpers.h"
#include "older_system.h"
#include "parts.h"
#include "pelmar.h"
#include "support.h"

namespace pelmar {
namespace {

using test::Scene;

class PelmarFrame : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(scene.Build("Scarlet.sks")); }

    FrameLayout Layout() {
        FrameLayout L{};
        int hot = 0, pressed = 0;
        EXPECT_TRUE(CurrentFrame(scene.main, L, hot, pressed));
        return L;
    }
    RECT Window() {
        RECT r{};
        GetWindowRect(scene.main, &r);
        return r;
    }
    POINT OnScreen(int x, int y) {
        const RECT r = Window();
        return {r.left + x, r.top + y};
    }
    POINT Centre(const RECT& r) { return OnScreen((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    LRESULT Hit(POINT p) { return SendMessageA(scene.main, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); }

    Scene scene;
};

TEST_F(PelmarFrame, HitTestsNameEveryPart) {
    const FrameLayout L = Layout();
    const RECT r = Window();
    const int w = r.right - r.left, h = r.bottom - r.top;
    struct Case {
        POINT p;
        LRESULT code;
    } cases[] = {
        {Centre(L.buttons[kMinimize]), HTMINBUTTON},
        {Centre(L.buttons[kMaximize]), HTMAXBUTTON},
        {Centre(L.buttons[kClose]), HTCLOSE},
        {OnScreen(w / 3, 12), HTCAPTION},
        {Centre(L.icon), HTSYSMENU},
        {OnScreen(w / 2, h / 2), HTCLIENT},
        {OnScreen(1, h / 2), HTLEFT},
        {OnScreen(w - 2, h / 2), HTRIGHT},
        {OnScreen(w / 2, 1), HTTOP},
        {OnScreen(w / 2, h - 2), HTBOTTOM},
        {OnScreen(2, 2), HTTOPLEFT},
        {OnScreen(w - 2, h - 2), HTBOTTOMRIGHT},
        {OnScreen(w - 2, 8), HTTOPRIGHT},
        {OnScreen(3, h - 10), HTBOTTOMLEFT},
    };
    for (const Case& c : cases) EXPECT_EQ(Hit(c.p), c.code) << c.p.x - r.left << "," << c.p.y - r.top;
}

TEST_F(PelmarFrame, DraggingTheCaptionMovesAndTheEdgeResizes) {
    const RECT before = Window();
    const POINT grab = OnScreen(200, 12);
    test::Drag(grab.x, grab.y, grab.x + 40, grab.y + 30);
    test::Pump(200);
    const RECT moved = Window();
    EXPECT_EQ(moved.left - before.left, 40);
    EXPECT_EQ(moved.top - before.top, 30);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left);

    const POINT corner{moved.right - 2, moved.bottom - 2};
    test::Drag(corner.x, corner.y, corner.x - 50, corner.y - 30);
    test::Pump(200);
    const RECT sized = Window();
    EXPECT_EQ(sized.right - sized.left, moved.right - moved.left - 50);
    EXPECT_EQ(sized.bottom - sized.top, moved.bottom - moved.top - 30);
}

TEST_F(PelmarFrame, DoubleClickOnTheCaptionMaximisesAndRestores) {
    const RECT before = Window();
    const POINT p = OnScreen(250, 12);
    test::Perform({{test::Step::Move, p.x, p.y}, {test::Step::Wait, 100}, {test::Step::Move, p.x, p.y},
                   {test::Step::Down}, {test::Step::Up}, {test::Step::Down}, {test::Step::Up}});
    test::Pump(300);
    ASSERT_TRUE(IsZoomed(scene.main));
    // Maximised: the caption sits at the top of the work area, the client
    // area below it, and the restore glyph replaces the maximise glyph.
    RECT client{};
    GetClientRect(scene.main, &client);
    POINT origin{0, 0};
    ClientToScreen(scene.main, &origin);
    EXPECT_EQ(origin.y, CurrentSkin().captionHeight);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXSCREEN));
    const test::Screen s;
    s.SaveIfAsked("maximised.png");
    EXPECT_LE(test::Distance(s.At(300, 1), CurrentSkin().captionTop & 0xFFFFFF), 8);
    // Anchored children followed: the clock keeps its distance to the right edge.
    RECT clock{};
    GetWindowRect(scene.clock, &clock);
    EXPECT_EQ(client.right - (clock.left - origin.x), 668 - 550);

    test::Perform({{test::Step::Move, 300, 10}, {test::Step::Wait, 100}, {test::Step::Move, 300, 10},
                   {test::Step::Down}, {test::Step::Up}, {test::Step::Down}, {test::Step::Up}});
    test::Pump(300);
    EXPECT_FALSE(IsZoomed(scene.main));
    const RECT after = Window();
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(PelmarFrame, CaptionButtonsActOnRelease) {
    FrameLayout L = Layout();
    const POINT max = Centre(L.buttons[kMaximize]);
    test::Perform({{test::Step::Move, max.x, max.y}, {test::Step::Wait, 100}, {test::Step::Move, max.x, max.y},
                   {test::Step::Down}});
    int hot = 0, pressed = 0;
    CurrentFrame(scene.main, L, hot, pressed);
    EXPECT_EQ(pressed, kMaximize);
    const test::Screen down;
    EXPECT_EQ(down.At(max.x - 12, max.y), CurrentSkin().buttonPressed & 0xFFFFFF);
    // Sliding off before release cancels.
    test::Perform({{test::Step::Move, max.x, max.y + 80},
                   {test::Step::Wait, 150},
                   {test::Step::Move, max.x, max.y + 81},
                   {test::Step::Wait, 150},
                   {test::Step::Up}});
    EXPECT_FALSE(IsZoomed(scene.main));

    test::Click(max.x, max.y);
    test::Pump(200);
    EXPECT_TRUE(IsZoomed(scene.main));
    L = Layout();
    const POINT restore = Centre(L.buttons[kMaximize]);
    test::Click(restore.x, restore.y);
    test::Pump(200);
    EXPECT_FALSE(IsZoomed(scene.main));

    L = Layout();
    const POINT close = Centre(L.buttons[kClose]);
    test::Click(close.x, close.y);
    test::Pump(100);
    EXPECT_EQ(scene.closeRequests, 1);

    const POINT min = Centre(L.buttons[kMinimize]);
    test::Click(min.x, min.y);
    test::Pump(200);
    EXPECT_TRUE(IsIconic(scene.main));
    ShowWindow(scene.main, SW_RESTORE);
    test::Pump(200);
    RECT client{};
    GetClientRect(scene.main, &client);
    EXPECT_EQ(client.right, 668);
}

TEST_F(PelmarFrame, KeyboardCommandsStillWork) {
    SetForegroundWindow(scene.main);
    SetFocus(scene.main);
    test::Pump(100);
    test::KeyCombo({VK_MENU, VK_F4});
    test::Pump(100);
    EXPECT_EQ(scene.closeRequests, 1);

    // The system menu runs its own loop: look at it from the input thread.
    bool menuShown = false;
    using test::Step;
    test::Perform({{Step::KeyDown, 0, 0, VK_MENU},
                   {Step::KeyDown, 0, 0, VK_SPACE},
                   {Step::KeyUp, 0, 0, VK_SPACE},
                   {Step::KeyUp, 0, 0, VK_MENU},
                   {Step::Wait, 300},
                   {Step::Run, 0, 0, 0, [&] {
                        HWND m = FindWindowA("#32768", nullptr);
                        menuShown = m && IsWindowVisible(m);
                        test::Screen().SaveIfAsked("system-menu.png");
                    }},
                   {Step::KeyDown, 0, 0, VK_ESCAPE},
                   {Step::KeyUp, 0, 0, VK_ESCAPE},
                   {Step::KeyDown, 0, 0, VK_ESCAPE},
                   {Step::KeyUp, 0, 0, VK_ESCAPE}});
    EXPECT_TRUE(menuShown);
    test::Pump(200);
    HWND menu = FindWindowA("#32768", nullptr);
    EXPECT_TRUE(!menu || !IsWindowVisible(menu));
}

TEST_F(PelmarFrame, RetitlingRepaintsTheSkinnedCaption) {
    SetWindowTextA(scene.main, "Another title");
    test::Pump(100);
    char text[64] = {};
    GetWindowTextA(scene.main, text, sizeof(text));
    EXPECT_STREQ(text, "Another title");
    const FrameLayout L = Layout();
    const test::Screen s;
    // Still the skin's caption, with no standard caption drawn over it.
    EXPECT_LE(test::Distance(s.AtWindow(scene.main, L.title.right - 10, 2), CurrentSkin().captionTop & 0xFFFFFF), 8);
}

// The title bar the window describes to the system's tools
// (WM_GETTITLEBARINFOEX) is the one drawn and hit-tested, at 96 DPI and at
// 192 as a system that announces scales puts the window there.
class PelmarTitleBar : public ::testing::TestWithParam<int> {
protected:
    TITLEBARINFOEX Ask() {
        TITLEBARINFOEX info{};
        info.cbSize = sizeof info;
        SendMessageA(scene.main, WM_GETTITLEBARINFOEX, 0, reinterpret_cast<LPARAM>(&info));
        return info;
    }
    LRESULT Hit(POINT p) { return SendMessageA(scene.main, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)); }

    const OlderSystem older;
    Scene scene;
};

TEST_P(PelmarTitleBar, IsTheCaptionAsDrawnAndHitTested) {
    const int dpi = GetParam();
    ASSERT_TRUE(scene.Build("Scarlet.sks"));
    RECT place{};
    GetWindowRect(scene.main, &place);
    SendMessageA(scene.main, win32::dpi::kChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    test::Pump(200);
    const Skin& skin = CurrentSkin();
    const uint32_t accent = skin.accent & 0xFFFFFF;

    // The title bar ends with the accent line, where the client area starts.
    const RECT bar = Ask().rcTitleBar;
    EXPECT_EQ(bar.bottom - bar.top, win32::dpi::Scale(skin.captionHeight, dpi));
    const test::Screen caption;
    const int across = (bar.left + bar.right) / 2;
    EXPECT_EQ(caption.At(across, bar.bottom - 1), accent);
    EXPECT_NE(caption.At(across, bar.bottom), accent);

    struct Case {
        int index;
        LRESULT code;
        uint32_t hover;
    } cases[] = {{2, HTMINBUTTON, skin.buttonHover & 0xFFFFFF},
                 {3, HTMAXBUTTON, skin.buttonHover & 0xFFFFFF},
                 {5, HTCLOSE, skin.closeHover & 0xFFFFFF}};
    for (const Case& c : cases) {
        const RECT r = Ask().rgrect[c.index];
        ASSERT_FALSE(IsRectEmpty(&r)) << c.index;
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        // Moved twice: a late pointer event from the previous place may land after the first move.
        test::Perform({{test::Step::Move, x, y}, {test::Step::Wait, 100}, {test::Step::Move, x, y}});
        ASSERT_TRUE(test::PumpUntil([&] { return (Ask().rgstate[c.index] & STATE_SYSTEM_HOTTRACKED) != 0; }))
            << c.index;
        test::Pump(150);   // the pointer's last messages at this place
        const test::Screen s;
        s.SaveIfAsked(dpi == 96 ? "title-bar-96.png" : "title-bar-192.png");
        for (POINT p : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                        POINT{r.right - 1, r.bottom - 1}}) {
            EXPECT_EQ(Hit(p), c.code) << c.index << ": " << p.x << "," << p.y;
            EXPECT_EQ(s.At(p.x, p.y), c.hover) << c.index << ": " << p.x << "," << p.y;
        }
        for (POINT p : {POINT{r.left - 1, y}, POINT{r.right, y}, POINT{x, r.top - 1}, POINT{x, r.bottom}}) {
            EXPECT_NE(Hit(p), c.code) << c.index << ": " << p.x << "," << p.y;
            EXPECT_NE(s.At(p.x, p.y), c.hover) << c.index << ": " << p.x << "," << p.y;
        }
        // Only the maximise button's hover also reaches the window's default handling.
        EXPECT_EQ(scene.nonClientMoves[c.code] > 0, c.code == HTMAXBUTTON) << c.index;
    }
}

INSTANTIATE_TEST_SUITE_P(Dpi, PelmarTitleBar, ::testing::Values(96, 192));

// A missing skin file and one full of garbage still give a skinned window
// that works.
class PelmarFallback : public ::testing::TestWithParam<const char*> {};

TEST_P(PelmarFallback, GivesASkinnedWorkingWindow) {
    const std::string name = GetParam();
    const std::string path = test::ProgramFolder() + name;
    if (name == "PelmarJunk.sks") {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        std::string junk = "caption.height = 1000\n[[[\n\x01\x02\x03 = #ZZZ\nframe.width=\n";
        for (int i = 0; i < 500; ++i) junk += static_cast<char>(i * 37);
        DWORD n = 0;
        WriteFile(f, junk.data(), static_cast<DWORD>(junk.size()), &n, nullptr);
        CloseHandle(f);
    }
    Scene scene;
    ASSERT_TRUE(scene.Build(name.c_str()));
    DeleteFileA(path.c_str());
    const Skin defaults;
    EXPECT_EQ(CurrentSkin().captionHeight, defaults.captionHeight);
    ASSERT_TRUE(IsSkinned(scene.main));
    const test::Screen s;
    s.SaveIfAsked(name == "PelmarJunk.sks" ? "fallback-garbage.png" : "fallback-missing.png");
    EXPECT_LE(test::Distance(s.AtWindow(scene.main, 200, 2), defaults.captionTop & 0xFFFFFF), 8);
    EXPECT_EQ(s.AtClient(scene.main, 600, 420), defaults.background & 0xFFFFFF);
    EXPECT_EQ(s.AtClient(scene.main, 9, 100), defaults.border & 0xFFFFFF);
    EXPECT_NE(scene.clock, nullptr);
    EXPECT_NE(scene.logo, nullptr);
    // And it still works: a caption drag moves it.
    RECT before{};
    GetWindowRect(scene.main, &before);
    test::Drag(before.left + 200, before.top + 10, before.left + 230, before.top + 30);
    test::Pump(100);
    RECT after{};
    GetWindowRect(scene.main, &after);
    EXPECT_EQ(after.left - before.left, 30);
}

INSTANTIATE_TEST_SUITE_P(MissingAndGarbage, PelmarFallback, ::testing::Values("NoSuchSkin.sks", "PelmarJunk.sks"));

}  // namespace
}  // namespace pelmar
