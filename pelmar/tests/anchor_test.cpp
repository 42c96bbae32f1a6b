// The engine's anchoring keeps its own moment: children move once the
// parent's own WM_SIZE handler has run, and stay put while the parent's
// client area is empty. Where each code puts a child is the shared engine's,
// tested with the GL control library.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <thread>

#include "pelmar.h"
#include "window_place.h"

namespace {

HWND gWatched = nullptr;
RECT gSeenAtSize{};

// Installed before the engine's, so it stands for the parent's own handler.
LRESULT CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SIZE && gWatched) gSeenAtSize = InParent(gWatched);
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST(PelmarAnchor, ChildrenMoveAfterTheParentsOwnHandlerAndNotWhileTheClientIsEmpty) {
    ASSERT_NE(skInitEngine(nullptr, nullptr), 0);
    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(parent, nullptr);
    ASSERT_TRUE(SetWindowSubclass(parent, Recorder, 1, 0));
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 250, 150, 40, 40, parent, nullptr, nullptr, nullptr);
    ASSERT_EQ(skSetAnchorCtrl(child, 9), 1);
    gWatched = child;

    SetWindowPos(parent, nullptr, 0, 0, 400, 260, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(gSeenAtSize.left, 250);   // not yet moved when the parent saw WM_SIZE
    EXPECT_EQ(InParent(child).left, 350);
    EXPECT_EQ(InParent(child).top, 210);

    SetWindowPos(parent, nullptr, 0, 0, 400, 0, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child).top, 210);   // held while there is no client area
    SetWindowPos(parent, nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child).left, 250);
    EXPECT_EQ(InParent(child).top, 150);

    ASSERT_EQ(skSetAnchorCtrl(child, 0), 1);
    SetWindowPos(parent, nullptr, 0, 0, 330, 220, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child).left, 250);   // released
    EXPECT_EQ(skSetAnchorCtrl(child, 17), 0);
    EXPECT_EQ(skSetAnchorCtrl(parent, 5), 0);   // not a child
    gWatched = nullptr;
    DestroyWindow(parent);
}

TEST(PelmarAnchor, RefusesAChildOfAnotherThreadsWindow) {
    ASSERT_NE(skInitEngine(nullptr, nullptr), 0);
    HANDLE made = CreateEventA(nullptr, TRUE, FALSE, nullptr), done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND child = nullptr;
    std::thread other([&] {
        HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
        child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 10, 10, 40, 40, parent, nullptr, nullptr, nullptr);
        SetEvent(made);
        WaitForSingleObject(done, INFINITE);
        DestroyWindow(parent);
    });
    WaitForSingleObject(made, INFINITE);
    const int32_t set = child ? skSetAnchorCtrl(child, 5) : -1;
    const int32_t removed = child ? skSetAnchorCtrl(child, 0) : -1;
    SetEvent(done);
    other.join();
    CloseHandle(made);
    CloseHandle(done);
    EXPECT_EQ(set, 0);
    EXPECT_EQ(removed, 0);
}

}  // namespace
