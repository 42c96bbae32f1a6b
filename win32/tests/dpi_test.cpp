// Where a window's DPI comes from: the system's answer where it has one,
// the DPI WM_DPICHANGED announced only where it has not (no call, or a call
// that answers 0).
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>

#include "dpi.h"
#include "older_system.h"

namespace {

UINT WINAPI AnswersZero(HWND) { return 0; }

enum class Calls { System, Older, Silent };   // Silent: GetDpiForWindow answers 0

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
        Calls calls;
        int announced;        // 0: nothing announced
        HWND asked;
        int want;
    } cases[] = {
        {"the system's answer over an announced DPI", Calls::System, other, top, system},
        {"the system's answer for a child too", Calls::System, other, child, system},
        {"older system, nothing announced: the screen's", Calls::Older, 0, top, system},
        {"older system: the announced DPI", Calls::Older, other, top, other},
        {"older system: a child takes its top-level window's", Calls::Older, other, child, other},
        {"older system: below 24 is not kept", Calls::Older, 23, top, system},
        {"older system: above 2304 is not kept", Calls::Older, 2305, top, system},
        {"a call that answers 0: the announced DPI", Calls::Silent, other, child, other},
        {"a call that answers 0, nothing announced: the screen's", Calls::Silent, 0, top, system},
    };
    for (const Case& c : cases) {
        win32::dpi::ForgetAnnounced(top);
        if (c.announced) win32::dpi::KeepAnnounced(child, MAKEWPARAM(c.announced, c.announced));
        std::optional<OlderSystem> older;
        if (c.calls == Calls::Older) older.emplace();
        win32::dpi::ReplaceWindowCallForTest(c.calls == Calls::Silent ? AnswersZero : nullptr);
        EXPECT_EQ(win32::dpi::OfWindow(c.asked), c.want) << c.what;
        win32::dpi::ReplaceWindowCallForTest(nullptr);
    }
    // Forgotten, the screen's again.
    const OlderSystem older;
    win32::dpi::KeepAnnounced(top, MAKEWPARAM(other, other));
    win32::dpi::ForgetAnnounced(top);
    EXPECT_EQ(win32::dpi::OfWindow(top), system);
    DestroyWindow(top);
}

}  // namespace
