// Painting never leaks: 10,000 clock repaints and 200 resizes leave the
// process's GDI and USER object counts where they started, and captions
// drawn at more scales than the engine keeps fonts for leave none behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "dpi.h"
#include "engine.h"
#include "older_system.h"
#include "pelmar.h"
#include "support.h"

namespace pelmar {
namespace {

SYSTEMTIME gNow{2024, 5, 0, 17, 8, 0, 0, 0};
void Ticking(SYSTEMTIME* now) { *now = gNow; }

void Advance() {
    if (++gNow.wSecond == 60) {
        gNow.wSecond = 0;
        if (++gNow.wMinute == 60) {
            gNow.wMinute = 0;
            gNow.wHour = static_cast<WORD>((gNow.wHour + 1) % 24);
        }
    }
}

TEST(PelmarSoak, RepaintsAndResizesLeakNoObjects) {
    SetTimeSource(Ticking);
    // The pointer away from the window, so no tooltip comes and goes.
    test::MoveMouse(1020, 760);
    test::Scene scene;
    ASSERT_TRUE(scene.Build("Scarlet.sks"));
    RECT wr{};
    GetWindowRect(scene.main, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;

    auto resize = [&](int i) {
        SetWindowPos(scene.main, nullptr, 0, 0, w + (i % 7) * 15 - 40, h + (i % 5) * 12 - 30, SWP_NOMOVE | SWP_NOZORDER);
        UpdateWindow(scene.main);
        RedrawWindow(scene.main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        test::Pump(0);
    };
    // One round of everything first, so lazily made objects exist.
    for (int i = 0; i < 3; ++i) resize(i);
    InvalidateRect(scene.clock, nullptr, FALSE);
    UpdateWindow(scene.clock);
    test::Pump(100);

    const DWORD gdiBefore = test::GdiObjects(), userBefore = test::UserObjects();
    ASSERT_GT(gdiBefore, 0u);
    ASSERT_GT(userBefore, 0u);
    for (int i = 0; i < 10000; ++i) {
        Advance();
        InvalidateRect(scene.clock, nullptr, FALSE);
        UpdateWindow(scene.clock);
        if (i % 100 == 0) test::Pump(0);
    }
    for (int i = 0; i < 200; ++i) resize(i);
    resize(0);
    test::Pump(100);
    EXPECT_EQ(test::GdiObjects(), gdiBefore);
    EXPECT_EQ(test::UserObjects(), userBefore);
    SetTimeSource(nullptr);
}

TEST(PelmarSoak, CaptionsAtManyScalesLeaveNoFontBehind) {
    const OlderSystem older;   // the scale comes from WM_DPICHANGED alone
    test::Scene scene;
    ASSERT_TRUE(scene.Build("Scarlet.sks"));
    RECT place{};
    GetWindowRect(scene.main, &place);
    auto drawAt = [&](int dpi) {
        SendMessageA(scene.main, win32::dpi::kChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
        RedrawWindow(scene.main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        test::Pump(0);
    };
    drawAt(96);
    const DWORD before = test::GdiObjects();
    // Ten scales, twice: the engine keeps the caption fonts of eight at most,
    // and those it lets go must be deleted.
    for (int round = 0; round < 2; ++round)
        for (int dpi = 100; dpi < 200; dpi += 10) drawAt(dpi);
    drawAt(96);
    EXPECT_LT(test::GdiObjects(), before + 8);
}

}  // namespace
}  // namespace pelmar
