// Where a window's DPI comes from: the system's answer where it has one,
// the DPI WM_DPICHANGED announced only where it has not.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "dpi.h"
#include "older_system.h"

namespace {

TEST(WindowDpi, TheSystemsAnswerWinsAndTheAnnouncedOneServesOnlyWithoutIt) {
    HWND top = CreateWindowExA(0, "STATIC", "dpi", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(top, nullptr);
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    const int system = win32::dpi::OfWindow(top);   // GetDpiForWindow under Wine: LogPixels
    const int other = 2 * system;
    struct Case {
        const char* what;
        bool older;           // the system's per-window calls hidden
        int announced;        // 0: nothing announced
        HWND asked;
        int want;
    } cases[] = {
        {"the system's answer over an announced DPI", false, other, top, system},
        {"the system's answer for a child too", false, other, child, system},
        {"older system, nothing announced: the screen's", true, 0, top, system},
        {"older system: the announced DPI", true, other, top, other},
        {"older system: a child takes its top-level window's", true, other, child, other},
        {"older system: below 24 is not kept", true, 23, top, system},
        {"older system: above 2304 is not kept", true, 2305, top, system},
    };
    for (const Case& c : cases) {
        win32::dpi::ForgetAnnounced(top);
        if (c.announced) win32::dpi::KeepAnnounced(child, MAKEWPARAM(c.announced, c.announced));
        std::optional<OlderSystem> older;
        if (c.older) older.emplace();
        EXPECT_EQ(win32::dpi::OfWindow(c.asked), c.want) << c.what;
    }
    // Forgotten, the screen's again.
    const OlderSystem older;
    win32::dpi::KeepAnnounced(top, MAKEWPARAM(other, other));
    win32::dpi::ForgetAnnounced(top);
    EXPECT_EQ(win32::dpi::OfWindow(top), system);
    DestroyWindow(top);
}

}  // namespace
