// The skinned test window on screen, built with the program's calls in the
// program's order, checked by the pixels that reach the screen.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <cmath>
#include <string>

#include "engine.h"
#include "frame.h"
#include "helpers.h"
#include "parts.h"
#include "pelmar.h"
#include "support.h"

namespace pelmar {
namespace {

using test::Distance;
using test::Scene;
using test::Screen;

SYSTEMTIME gNow{2024, 5, 0, 17, 10, 10, 30, 0};
void FixedTime(SYSTEMTIME* now) { *now = gNow; }

class PelmarWindow : public ::testing::Test {
protected:
    void SetUp() override {
        gNow.wHour = 10;
        gNow.wMinute = 10;
        gNow.wSecond = 30;
        SetTimeSource(FixedTime);
        ASSERT_TRUE(scene.Build("Scarlet.sks"));
        ASSERT_EQ(CurrentSkin().name, "Scarlet");
    }
    void TearDown() override { SetTimeSource(nullptr); }

    const Skin& skin() const { return CurrentSkin(); }
    static uint32_t Rgb(uint32_t argb) { return argb & 0xFFFFFF; }

    FrameLayout Layout() {
        FrameLayout L{};
        int hot = 0, pressed = 0;
        EXPECT_TRUE(CurrentFrame(scene.main, L, hot, pressed));
        return L;
    }

    // Screen point of a window-relative point.
    POINT OnScreen(int x, int y) {
        RECT r{};
        GetWindowRect(scene.main, &r);
        return {r.left + x, r.top + y};
    }

    Scene scene;
};

TEST_F(PelmarWindow, KeepsTheClientSizeTheProgramAskedFor) {
    RECT client{};
    GetClientRect(scene.main, &client);
    EXPECT_EQ(client.right, 668);
    EXPECT_EQ(client.bottom, 532);
    RECT window{};
    GetWindowRect(scene.main, &window);
    EXPECT_EQ(window.right - window.left, 668 + 2 * skin().frameWidth);
    EXPECT_EQ(window.bottom - window.top, 532 + skin().captionHeight + skin().frameWidth);
}

TEST_F(PelmarWindow, CaptionFrameAndButtonsAreDrawnInTheSkinsColours) {
    const Screen s;
    s.SaveIfAsked("window.png");
    const FrameLayout L = Layout();
    RECT wr{};
    GetWindowRect(scene.main, &wr);
    const int h = wr.bottom - wr.top, w = wr.right - wr.left;

    // Caption band: the gradient's ends and the accent line under it.
    const int gapX = (L.title.right + L.buttons[kMinimize].left) / 2;
    EXPECT_LE(Distance(s.AtWindow(scene.main, gapX - 200, 1), Rgb(skin().captionTop)), 8);
    EXPECT_LE(Distance(s.AtWindow(scene.main, gapX - 200, L.caption.bottom - skin().accentHeight - 1),
                       Rgb(skin().captionBottom)), 8);
    EXPECT_EQ(s.AtWindow(scene.main, gapX - 200, L.caption.bottom - 1), Rgb(skin().accent));
    // Edges and outline; rounded top corners show the desktop.
    EXPECT_EQ(s.AtWindow(scene.main, 2, h / 2), Rgb(skin().frame));
    EXPECT_EQ(s.AtWindow(scene.main, 0, h / 2), Rgb(skin().frameOutline));
    EXPECT_EQ(s.AtWindow(scene.main, w - 1, h / 2), Rgb(skin().frameOutline));
    EXPECT_EQ(s.AtWindow(scene.main, w / 2, h - 1), Rgb(skin().frameOutline));
    EXPECT_NE(s.AtWindow(scene.main, 0, 0), Rgb(skin().frameOutline));
    EXPECT_NE(s.AtWindow(scene.main, 0, 0), Rgb(skin().captionTop));

    // Title text: light pixels in the title area.
    int titleInk = 0;
    for (int y = L.title.top; y < L.title.bottom; ++y)
        for (int x = L.title.left; x < L.title.left + 160; ++x)
            if (Distance(s.AtWindow(scene.main, x, y), Rgb(skin().captionText)) < 40) ++titleInk;
    EXPECT_GT(titleInk, 60);

    // Each button shows its glyph.
    for (int b = 0; b < kButtonCount; ++b) {
        const RECT& r = L.buttons[b];
        ASSERT_FALSE(IsRectEmpty(&r));
        int ink = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (Distance(s.AtWindow(scene.main, x, y), Rgb(skin().glyph)) < 30) ++ink;
        EXPECT_GT(ink, 6) << "button " << b;
    }
    // The close glyph is a cross: its centre is inked.
    const RECT& c = L.buttons[kClose];
    EXPECT_LT(Distance(s.AtWindow(scene.main, (c.left + c.right) / 2, (c.top + c.bottom) / 2), Rgb(skin().glyph)), 60);
}

TEST_F(PelmarWindow, ClientBackgroundAndBorderAroundTheViewFollowResizes) {
    auto check = [&](const char* when) {
        const Screen s;
        RECT v{};
        GetWindowRect(scene.view, &v);
        MapWindowPoints(HWND_DESKTOP, scene.main, reinterpret_cast<POINT*>(&v), 2);
        const uint32_t border = Rgb(skin().border), bg = Rgb(skin().background);
        for (LONG y : {v.top + 5, (v.top + v.bottom) / 2, v.bottom - 5}) {
            EXPECT_EQ(s.AtClient(scene.main, v.left - 1, y), border) << when;
            EXPECT_EQ(s.AtClient(scene.main, v.right, y), border) << when;
            EXPECT_EQ(s.AtClient(scene.main, v.left - 2, y), bg) << when;
            EXPECT_EQ(s.AtClient(scene.main, v.right + 1, y), bg) << when;
            EXPECT_EQ(s.AtClient(scene.main, v.left, y), Scene::kViewColour) << when;
        }
        for (LONG x : {v.left + 5, (v.left + v.right) / 2}) {
            EXPECT_EQ(s.AtClient(scene.main, x, v.top - 1), border) << when;
            EXPECT_EQ(s.AtClient(scene.main, x, v.bottom), border) << when;
            EXPECT_EQ(s.AtClient(scene.main, x, v.bottom + 1), bg) << when;
        }
        // Corners of the frame.
        EXPECT_EQ(s.AtClient(scene.main, v.left - 1, v.top - 1), border) << when;
        EXPECT_EQ(s.AtClient(scene.main, v.right, v.bottom), border) << when;
        return v;
    };
    const RECT before = check("as built");
    EXPECT_EQ(before.left, 10);
    EXPECT_EQ(before.right, 522);
    EXPECT_EQ(Screen().AtClient(scene.main, 600, 420), Rgb(skin().background));

    RECT wr{};
    GetWindowRect(scene.main, &wr);
    SetWindowPos(scene.main, nullptr, 0, 0, wr.right - wr.left + 90, wr.bottom - wr.top + 60, SWP_NOMOVE | SWP_NOZORDER);
    test::Pump(200);
    const RECT grown = check("grown");
    EXPECT_EQ(grown.right, 612);

    // Back to the first size: nothing is left where the larger frame was.
    SetWindowPos(scene.main, nullptr, 0, 0, wr.right - wr.left, wr.bottom - wr.top, SWP_NOMOVE | SWP_NOZORDER);
    test::Pump(200);
    check("restored");
    EXPECT_EQ(Screen().AtClient(scene.main, 612, 300), Rgb(skin().background));

    SetWindowPos(scene.main, nullptr, 0, 0, wr.right - wr.left - 60, wr.bottom - wr.top - 40, SWP_NOMOVE | SWP_NOZORDER);
    test::Pump(200);
    const RECT shrunk = check("shrunk");
    EXPECT_EQ(shrunk.right, 462);
    const Screen s;
    s.SaveIfAsked("window-shrunk.png");
    EXPECT_EQ(s.AtClient(scene.main, 522, 300), Rgb(skin().background));
    EXPECT_EQ(s.AtClient(scene.main, 522, 100), Rgb(skin().background));
}

// The hand's most changed pixel near a point on its axis.
uint32_t HandPixel(const Screen& s, HWND clock, double degrees, double fraction) {
    RECT r{};
    GetClientRect(clock, &r);
    const double cx = r.right / 2.0, cy = r.bottom / 2.0, radius = std::min(r.right, r.bottom) / 2.0;
    const double rad = degrees * 3.14159265358979 / 180.0;
    const int x = static_cast<int>(std::floor(cx + std::sin(rad) * radius * fraction));
    const int y = static_cast<int>(std::floor(cy - std::cos(rad) * radius * fraction));
    uint32_t best = Scene::kFaceColour;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const uint32_t p = s.AtClient(clock, x + dx, y + dy);
            if (Distance(p, Scene::kFaceColour) > Distance(best, Scene::kFaceColour)) best = p;
        }
    return best;
}

TEST_F(PelmarWindow, ClockShowsTheFaceAndHandsAtTheTimeAndTicks) {
    ASSERT_NE(scene.clock, nullptr);
    RECT cr{};
    GetWindowRect(scene.clock, &cr);
    MapWindowPoints(HWND_DESKTOP, scene.main, reinterpret_cast<POINT*>(&cr), 2);
    EXPECT_EQ(cr.left, 550);   // view left + view width + 28
    EXPECT_EQ(cr.top, 10);
    EXPECT_EQ(cr.right - cr.left, 92);   // the face's own size
    EXPECT_EQ(GetDlgCtrlID(scene.clock), -104);

    const Screen s;
    // 10:10:30: hour at 305.25 degrees, minute at 63, second at 180.
    const uint32_t hour = HandPixel(s, scene.clock, 305.25, 0.35);
    const uint32_t minute = HandPixel(s, scene.clock, 63, 0.62);
    const uint32_t second = HandPixel(s, scene.clock, 180, 0.6);
    // Red hands at alpha 127 over the light face: reddish, not opaque red.
    for (uint32_t p : {hour, minute}) {
        EXPECT_NEAR(test::Red(p), 224, 14) << std::hex << p;
        EXPECT_NEAR(test::Green(p), 121, 16) << std::hex << p;
    }
    // Grey hand at alpha 127: a neutral darker grey.
    const auto isSecondHand = [](uint32_t p) {
        return std::abs(test::Red(p) - 194) <= 20 && std::abs(test::Red(p) - test::Green(p)) <= 8;
    };
    EXPECT_TRUE(isSecondHand(second)) << std::hex << second;
    // The face elsewhere, and its transparent corner over the background.
    for (double free : {120.0, 240.0, 20.0})
        EXPECT_EQ(HandPixel(s, scene.clock, free, 0.6), Scene::kFaceColour) << free;
    EXPECT_EQ(s.AtClient(scene.clock, 1, 1), Rgb(skin().background));

    // The clock redraws by itself once a second: a second later its second
    // hand points at 186 degrees and has left 180.
    gNow.wSecond = 31;
    EXPECT_TRUE(test::PumpUntil([&] { return isSecondHand(HandPixel(Screen(), scene.clock, 186, 0.6)); }))
        << "the second hand never reached 186 degrees";
    EXPECT_EQ(HandPixel(Screen(), scene.clock, 180, 0.72), Scene::kFaceColour);
}

TEST_F(PelmarWindow, LabelTextIsDrawnInItsColourAndAlphaOverTheSkin) {
    RECT lr{};
    GetWindowRect(scene.label, &lr);
    const Screen s;
    s.SaveIfAsked("label.png");
    // The one-pixel edge in the skin's colour.
    EXPECT_EQ(s.At(lr.left, (lr.top + lr.bottom) / 2), Rgb(skin().labelBorder));
    int ink = 0, brightest = 0, left = 10000, right = -1;
    for (int y = lr.top + 1; y < lr.bottom - 1; ++y)
        for (int x = lr.left + 1; x < lr.right - 1; ++x) {
            const uint32_t p = s.At(x, y);
            brightest = std::max(brightest, test::Green(p));
            if (test::Green(p) > 150) {
                ++ink;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    EXPECT_GT(ink, 150);
    // White at alpha 200 over a dark panel: about 200 plus a fifth of the panel.
    EXPECT_GE(brightest, 195);
    EXPECT_LE(brightest, 225);
    // Centred: equal margins either side of the ink.
    EXPECT_NEAR(left - lr.left, lr.right - 1 - right, 6);
}

TEST_F(PelmarWindow, LogoBlendsItsAlphaEdgeOverTheBackground) {
    ASSERT_NE(scene.logo, nullptr);
    EXPECT_EQ(GetDlgCtrlID(scene.logo), -105);
    const Screen s;
    const uint32_t bg = Rgb(skin().background);
    EXPECT_EQ(s.AtClient(scene.logo, 60, 1), bg);                 // transparent
    EXPECT_EQ(s.AtClient(scene.logo, 60, 20), Scene::kLogoColour);  // opaque
    const uint32_t half = s.AtClient(scene.logo, 12, 20);         // alpha about 0.5
    for (int shift : {16, 8, 0}) {
        const int fg = (Scene::kLogoColour >> shift) & 0xFF, back = (bg >> shift) & 0xFF;
        const int got = (half >> shift) & 0xFF;
        EXPECT_NEAR(got, (fg + back) / 2, 10) << shift;
    }
}

TEST_F(PelmarWindow, ToolTipsShowTheirTextOnHover) {
    RECT cr{};
    GetWindowRect(scene.clock, &cr);
    test::MoveMouse(cr.left + 20, cr.top + 70);
    test::MoveMouse(cr.left + 22, cr.top + 72);
    HWND tip = nullptr;
    ASSERT_TRUE(test::PumpUntil([&] { return (tip = ToolTipOf(scene.clock)) && IsWindowVisible(tip); }))
        << "no tooltip shows over the clock";
    UpdateWindow(tip);
    char text[80] = {};
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = scene.main;
    ti.uId = reinterpret_cast<UINT_PTR>(scene.clock);
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Pelmar clock widget");
    RECT tr{};
    GetWindowRect(tip, &tr);
    const Screen s;
    s.SaveIfAsked("tooltip.png");
    int ink = 0, paper = 0;
    for (int y = tr.top + 2; y < tr.bottom - 2; ++y)
        for (int x = tr.left + 2; x < tr.right - 2; ++x) {
            if (Distance(s.At(x, y), Rgb(skin().tooltipText)) < 60) ++ink;
            if (s.At(x, y) == Rgb(skin().tooltipBackground)) ++paper;
        }
    EXPECT_GT(ink, 40);
    EXPECT_GT(paper, 200);

    // The caption's close button names itself after a short rest.
    const FrameLayout L = Layout();
    const POINT close = OnScreen((L.buttons[kClose].left + L.buttons[kClose].right) / 2, L.buttons[kClose].top + 6);
    test::MoveMouse(close.x, close.y);
    test::MoveMouse(close.x + 1, close.y);
    HWND captionTip = nullptr;
    const auto captionTipShows = [&] {
        for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w;
             w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
            if (IsWindowVisible(w) && GetWindow(w, GW_OWNER) == scene.main) captionTip = w;
        return captionTip != nullptr;
    };
    ASSERT_TRUE(test::PumpUntil(captionTipShows)) << "no tooltip shows over the close button";
    const Screen hover;
    hover.SaveIfAsked("caption-hover.png");
    // Hover colour around the glyph.
    EXPECT_EQ(hover.At(close.x - 12, close.y - 3), Rgb(skin().closeHover));
    char captionText[80] = {};
    ti.uId = 1;
    ti.lpszText = captionText;
    SendMessageA(captionTip, TTM_GETTEXTA, sizeof(captionText), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(captionText, "Close");
    test::MoveMouse(OnScreen(300, 300).x, OnScreen(300, 300).y);
    test::Pump(100);

    // A window's tooltip goes when the window goes.
    DestroyWindow(scene.clock);
    EXPECT_FALSE(IsWindow(tip));
    EXPECT_EQ(ToolTipOf(scene.clock), nullptr);
    scene.clock = nullptr;
}

// --- high contrast ---

// High Contrast Black's colours, applied with SetSysColors and then put back.
class SystemColours {
public:
    SystemColours() {
        const std::pair<int, COLORREF> black[] = {
            {COLOR_WINDOW, RGB(0, 0, 0)},           {COLOR_WINDOWTEXT, RGB(255, 255, 255)},
            {COLOR_WINDOWFRAME, RGB(255, 255, 255)}, {COLOR_ACTIVECAPTION, RGB(128, 0, 128)},
            {COLOR_INACTIVECAPTION, RGB(0, 128, 0)}, {COLOR_CAPTIONTEXT, RGB(255, 255, 255)},
            {COLOR_INACTIVECAPTIONTEXT, RGB(255, 255, 255)}, {COLOR_ACTIVEBORDER, RGB(255, 255, 0)},
            {COLOR_INACTIVEBORDER, RGB(0, 128, 0)}, {COLOR_HIGHLIGHT, RGB(26, 235, 255)},
            {COLOR_HIGHLIGHTTEXT, RGB(0, 0, 0)},     {COLOR_GRAYTEXT, RGB(63, 242, 63)},
            {COLOR_INFOBK, RGB(0, 0, 0)},            {COLOR_INFOTEXT, RGB(255, 255, 255)},
            {COLOR_BTNFACE, RGB(0, 0, 0)},           {COLOR_BTNTEXT, RGB(255, 255, 255)}};
        for (auto [index, colour] : black) {
            indices_.push_back(index);
            kept_.push_back(GetSysColor(index));
            wanted_.push_back(colour);
        }
    }
    void Apply() { SetSysColors(static_cast<int>(indices_.size()), indices_.data(), wanted_.data()); }
    ~SystemColours() { SetSysColors(static_cast<int>(indices_.size()), indices_.data(), kept_.data()); }

private:
    std::vector<int> indices_;
    std::vector<COLORREF> kept_, wanted_;
};

class PelmarHighContrast : public PelmarWindow {
protected:
    void SetUp() override {
        PelmarWindow::SetUp();
        scarlet = CurrentSkin();
    }
    void TearDown() override {
        SetEnvironmentVariableA("PELMAR_HIGH_CONTRAST", nullptr);
        SetHighContrastSeam(false);
        FollowSystemLook();
        PelmarWindow::TearDown();
    }
    static uint32_t Sys(int index) { return win32::SystemColour(index) & 0xFFFFFF; }

    // Frame, caption, client, the view's border, the label and the clock in
    // the system's colours, the logo as it is, and nowhere a colour of the
    // skin or the clock's face picture.
    void ExpectSystemLook(const char* when) {
        const Screen s;
        s.SaveIfAsked((std::string("high-contrast, ") + when + ".png").c_str());
        const FrameLayout L = Layout();
        RECT wr{}, v{}, lr{};
        GetWindowRect(scene.main, &wr);
        const int w = wr.right - wr.left, h = wr.bottom - wr.top;
        const int gapX = (L.title.right + L.buttons[kMinimize].left) / 2;
        EXPECT_EQ(s.AtWindow(scene.main, gapX - 200, 1), Sys(COLOR_ACTIVECAPTION)) << when;
        EXPECT_EQ(s.AtWindow(scene.main, gapX - 200, L.caption.bottom - 1), Sys(COLOR_WINDOWFRAME)) << when;
        EXPECT_EQ(s.AtWindow(scene.main, 2, h / 2), Sys(COLOR_ACTIVEBORDER)) << when;
        EXPECT_EQ(s.AtWindow(scene.main, 0, h / 2), Sys(COLOR_WINDOWFRAME)) << when;
        EXPECT_EQ(s.AtClient(scene.main, 600, 420), Sys(COLOR_WINDOW)) << when;
        GetWindowRect(scene.view, &v);
        EXPECT_EQ(s.At(v.left - 1, (v.top + v.bottom) / 2), Sys(COLOR_WINDOWFRAME)) << when;
        GetWindowRect(scene.label, &lr);
        EXPECT_EQ(s.At(lr.left, (lr.top + lr.bottom) / 2), Sys(COLOR_WINDOWFRAME)) << when;
        EXPECT_EQ(s.At(lr.left + 2, lr.top + 2), Sys(COLOR_WINDOW)) << when;
        int labelInk = 0;
        for (int y = lr.top + 1; y < lr.bottom - 1; ++y)
            for (int x = lr.left + 1; x < lr.right - 1; ++x) labelInk += s.At(x, y) == Sys(COLOR_WINDOWTEXT);
        EXPECT_GT(labelInk, 40) << when;
        // 10:10:30: the minute hand at 63 degrees in the text colour.
        RECT cr{};
        GetClientRect(scene.clock, &cr);
        const int hx = cr.right / 2 + static_cast<int>(std::sin(63 * 3.14159265 / 180) * cr.right / 4);
        const int hy = cr.bottom / 2 - static_cast<int>(std::cos(63 * 3.14159265 / 180) * cr.bottom / 4);
        int nearest = 255;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                nearest = std::min(nearest, Distance(s.AtClient(scene.clock, hx + dx, hy + dy), Sys(COLOR_WINDOWTEXT)));
        EXPECT_LE(nearest, 40) << when;
        EXPECT_EQ(s.AtClient(scene.logo, 60, 20), Scene::kLogoColour) << when;

        const uint32_t skinColours[] = {scarlet.captionTop,  scarlet.captionBottom, scarlet.accent,
                                        scarlet.frame,       scarlet.frameOutline,  scarlet.background,
                                        scarlet.border,      scarlet.labelTop,      scarlet.labelBottom,
                                        scarlet.labelBorder, scarlet.glyph,         0xFF000000 | Scene::kFaceColour};
        int skinned = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                for (uint32_t c : skinColours) skinned += s.AtWindow(scene.main, x, y) == Rgb(c);
        EXPECT_EQ(skinned, 0) << when << ": pixels in the skin's colours";
    }

    // The clock's tooltip shows in the info colours.
    void ExpectSystemTip() {
        RECT cr{};
        GetWindowRect(scene.clock, &cr);
        test::MoveMouse(cr.left + 20, cr.top + 70);
        test::MoveMouse(cr.left + 22, cr.top + 72);
        HWND tip = nullptr;
        ASSERT_TRUE(test::PumpUntil([&] { return (tip = ToolTipOf(scene.clock)) && IsWindowVisible(tip); }));
        UpdateWindow(tip);
        RECT tr{};
        GetWindowRect(tip, &tr);
        const Screen s;
        int paper = 0, ink = 0;
        for (int y = tr.top + 2; y < tr.bottom - 2; ++y)
            for (int x = tr.left + 2; x < tr.right - 2; ++x) {
                paper += s.At(x, y) == Sys(COLOR_INFOBK);
                ink += s.At(x, y) == Sys(COLOR_INFOTEXT);
            }
        EXPECT_GT(paper, 200);
        EXPECT_GT(ink, 20);
    }

    Skin scarlet;
};

// PELMAR_HIGH_CONTRAST=1, read as the engine starts, stands for the
// system's setting; the High Contrast Black colours applied then reach the
// windows by themselves.
TEST_F(PelmarHighContrast, TheSeamDrawsEverythingInTheSystemsColoursAndFollowsThem) {
    SetEnvironmentVariableA("PELMAR_HIGH_CONTRAST", "1");
    ASSERT_NE(skInitEngine("Scarlet.sks", nullptr), 0);
    ASSERT_TRUE(HighContrast());
    RedrawWindow(scene.main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    test::Pump(200);
    ExpectSystemLook("system's own colours");
    ExpectSystemTip();
    test::MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 4, GetSystemMetrics(SM_CYSCREEN) - 4);

    SystemColours black;
    black.Apply();
    test::Pump(300);
    ASSERT_EQ(Sys(COLOR_ACTIVECAPTION), 0x800080u) << "SetSysColors took no effect";
    ExpectSystemLook("High Contrast Black");
    ExpectSystemTip();
}

// The setting turned on and off while the windows show: each time
// WM_SETTINGCHANGE comes, the windows are drawn again in the look it asks for.
TEST_F(PelmarHighContrast, FollowsTheSettingLiveOnSettingChange) {
    SetHighContrastSeam(true);
    SendMessageA(scene.main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    test::Pump(200);
    ExpectSystemLook("turned on");

    SetHighContrastSeam(false);
    SendMessageA(scene.main, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    test::Pump(200);
    const Screen s;
    EXPECT_EQ(s.AtClient(scene.main, 600, 420), Rgb(scarlet.background));
    RECT v{};
    GetWindowRect(scene.view, &v);
    EXPECT_EQ(s.At(v.left - 1, (v.top + v.bottom) / 2), Rgb(scarlet.border));
    EXPECT_EQ(s.AtClient(scene.clock, 46, 20), Scene::kFaceColour);
}

// --- screen readers ---

struct Accessible {
    IAccessible* object = nullptr;
    explicit Accessible(HWND window) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object));
    }
    ~Accessible() {
        if (object) object->Release();
    }
    std::string Name() const {
        BSTR name = nullptr;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        if (!object || object->get_accName(self, &name) != S_OK || !name) return {};
        char text[128] = {};
        WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, nullptr);
        SysFreeString(name);
        return text;
    }
    long Long(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) const {
        VARIANT self{}, out{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return object && (object->*get)(self, &out) == S_OK && out.vt == VT_I4 ? out.lVal : -1;
    }
};

// Whether this system's oleacc makes an object for a plain window at all
// (Wine's 64-bit one refuses every window with E_NOINTERFACE).
bool OleaccAnswers(HWND plain) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccessible* object = nullptr;
    if (FAILED(CreateStdAccessibleObject(plain, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return false;
    object->Release();
    return true;
}

int gNameChanges = 0;
HWND gNamed = nullptr;
void CALLBACK CountNameChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
    if (window == gNamed && object == OBJID_CLIENT) ++gNameChanges;
}

// The clock's name is the time it shows, and follows it as it ticks.
TEST_F(PelmarWindow, ClockIsNamedByTheTimeItShows) {
    if (!OleaccAnswers(scene.view)) GTEST_SKIP() << "this system's oleacc makes no object for any window";
    Accessible clock(scene.clock);
    ASSERT_NE(clock.object, nullptr);
    EXPECT_NE(clock.Name().find("10:10"), std::string::npos) << clock.Name();
    EXPECT_EQ(clock.Long(&IAccessible::get_accRole), ROLE_SYSTEM_CLOCK);

    gNamed = scene.clock;
    gNameChanges = 0;
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, CountNameChange,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    gNow.wMinute = 42;
    gNow.wSecond = 31;
    EXPECT_TRUE(test::PumpUntil([&] { return clock.Name().find("10:42") != std::string::npos; })) << clock.Name();
    test::Pump(100);
    UnhookWinEvent(hook);
    EXPECT_EQ(gNameChanges, 1);
}

// A picture is named by the text its caller gives it, and is hidden from
// screen readers while it has none.
TEST_F(PelmarWindow, PictureIsNamedByItsTextOrHidden) {
    if (!OleaccAnswers(scene.view)) GTEST_SKIP() << "this system's oleacc makes no object for any window";
    for (const char* text : {"", "Orvane logo"}) {
        SetWindowTextA(scene.logo, text);
        Accessible logo(scene.logo);
        ASSERT_NE(logo.object, nullptr);
        EXPECT_EQ(logo.Name(), text);
        EXPECT_EQ(logo.Long(&IAccessible::get_accRole), ROLE_SYSTEM_GRAPHIC);
        const long state = logo.Long(&IAccessible::get_accState);
        EXPECT_EQ((state & STATE_SYSTEM_INVISIBLE) != 0, *text == 0) << text << " state " << std::hex << state;
    }
}

}  // namespace
}  // namespace pelmar
