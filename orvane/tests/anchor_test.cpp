// Anchoring: where each code puts a child as its parent grows and shrinks,
// and that children are in place before the parent's own WM_SIZE handler.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "orvane.h"
#include "window_place.h"

namespace {

// The parent's own procedure records where a watched child stood when
// WM_SIZE reached it.
HWND gWatched = nullptr;
RECT gSeenAtSize{};
int gSizeMessages = 0;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE && gWatched) {
        gSeenAtSize = InParent(gWatched);
        ++gSizeMessages;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Anchoring : public testing::Test {
protected:
    void SetUp() override {
        static ATOM atom = [] {
            WNDCLASSA wc{};
            wc.lpfnWndProc = ParentProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "OrvaneAnchorParent";
            return RegisterClassA(&wc);
        }();
        ASSERT_NE(atom, 0);
        parent_ = CreateWindowExA(0, "OrvaneAnchorParent", "parent",
                                  WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 300,
                                  200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(parent_, nullptr);
        SetClientSize(668, 532);
        gWatched = nullptr;
        gSizeMessages = 0;
    }
    void TearDown() override {
        gWatched = nullptr;
        if (parent_) DestroyWindow(parent_);
    }

    void SetClientSize(int width, int height) {
        RECT r{0, 0, width, height};
        AdjustWindowRectEx(&r, GetWindowLongA(parent_, GWL_STYLE), FALSE, GetWindowLongA(parent_, GWL_EXSTYLE));
        SetWindowPos(parent_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOMOVE);
        RECT client;
        GetClientRect(parent_, &client);
        ASSERT_EQ(client.right, width);
        ASSERT_EQ(client.bottom, height);
    }

    HWND Child(int x, int y, int width, int height) {
        return CreateWindowExA(0, "STATIC", nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height,
                               parent_, nullptr, GetModuleHandleA(nullptr), nullptr);
    }

    HWND parent_ = nullptr;
};

void ExpectAt(HWND child, RECT expected, const char* what) {
    const RECT r = InParent(child);
    EXPECT_EQ(r.left, expected.left) << what;
    EXPECT_EQ(r.top, expected.top) << what;
    EXPECT_EQ(r.right, expected.right) << what;
    EXPECT_EQ(r.bottom, expected.bottom) << what;
}

TEST_F(Anchoring, TheDemosChildrenFollowTheirCodesAsTheParentGrowsAndShrinks) {
    // The demo's layout in a 668 x 532 client area.
    HWND view = Child(10, 10, 512, 512);
    HWND trackbar = Child(537, 457, 120, 16);
    HWND label = Child(531, 150, 129, 135);
    HWND logo = Child(533, 350, 124, 45);
    ASSERT_EQ(QI_SetAnchorMode(view, 5), 1);
    ASSERT_EQ(QI_SetAnchorMode(trackbar, 9), 1);
    ASSERT_EQ(QI_SetAnchorMode(label, 2), 1);
    ASSERT_EQ(QI_SetAnchorMode(logo, 9), 1);

    struct Step {
        int width, height;
        RECT view, trackbar, label, logo;
    };
    const Step steps[] = {
        {768, 632, {10, 10, 622, 622}, {637, 557, 757, 573}, {631, 150, 760, 285}, {633, 450, 757, 495}},
        {600, 500, {10, 10, 454, 490}, {469, 425, 589, 441}, {463, 150, 592, 285}, {465, 318, 589, 363}},
        // Smaller than the view's margins: it collapses instead of turning inside out.
        {100, 15, {10, 10, 10, 10}, {-31, -60, 89, -44}, {-37, 150, 92, 285}, {-35, -167, 89, -122}},
        {668, 532, {10, 10, 522, 522}, {537, 457, 657, 473}, {531, 150, 660, 285}, {533, 350, 657, 395}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(testing::Message() << s.width << " x " << s.height);
        SetClientSize(s.width, s.height);
        ExpectAt(view, s.view, "view, 5");
        ExpectAt(trackbar, s.trackbar, "trackbar, 9");
        ExpectAt(label, s.label, "label, 2");
        ExpectAt(logo, s.logo, "logo, 9");
    }
}

TEST_F(Anchoring, EveryCodePlacesItsChildByItsRules) {
    // A 100 x 50 child at (200, 100) in 668 x 532, then the parent grows by
    // (+100, +60).
    struct Case {
        int code;
        RECT after;
    };
    const Case cases[] = {
        {1, {200, 100, 300, 150}},  {2, {300, 100, 400, 150}},  {3, {200, 160, 300, 210}},
        {4, {200, 100, 400, 150}},  {5, {200, 100, 400, 210}},  {6, {200, 100, 300, 210}},
        {7, {200, 160, 400, 210}},  {8, {300, 100, 400, 210}},  {9, {300, 160, 400, 210}},
        {10, {237, 100, 337, 150}}, {11, {237, 114, 337, 164}}, {12, {200, 114, 300, 164}},
        {13, {237, 160, 337, 210}}, {14, {300, 114, 400, 164}}, {15, {200, 114, 400, 164}},
        {16, {237, 100, 337, 210}},
    };
    std::vector<HWND> children;
    for (const Case& c : cases) {
        HWND child = Child(200, 100, 100, 50);
        ASSERT_EQ(QI_SetAnchorMode(child, c.code), 1) << c.code;
        children.push_back(child);
    }
    SetClientSize(768, 592);
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "code " << cases[i].code);
        ExpectAt(children[i], cases[i].after, "");
    }
    SetClientSize(668, 532);   // and back without drift
    for (HWND child : children) ExpectAt(child, {200, 100, 300, 150}, "back");
}

WNDPROC gPrevious = nullptr;

LRESULT CALLBACK PlainSubclass(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(gPrevious, h, m, wp, lp);
}

TEST_F(Anchoring, ChildrenAreInPlaceWhenTheParentsProcedureSeesWmSize) {
    HWND view = Child(10, 10, 512, 512);
    ASSERT_EQ(QI_SetAnchorMode(view, 5), 1);
    // Another subclass installed later around the parent, the way a skin
    // engine does, with the plain window-procedure replacement.
    gPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(parent_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PlainSubclass)));
    gWatched = view;
    SetClientSize(800, 600);
    ASSERT_GT(gSizeMessages, 0);
    EXPECT_EQ(gSeenAtSize.right, 800 - 146);
    EXPECT_EQ(gSeenAtSize.bottom, 600 - 10);
}

TEST_F(Anchoring, MinimisingKeepsTheLayoutAndCodeZeroReleasesAChild) {
    HWND view = Child(10, 10, 512, 512);
    HWND loose = Child(600, 20, 40, 40);
    ASSERT_EQ(QI_SetAnchorMode(view, 5), 1);
    ASSERT_EQ(QI_SetAnchorMode(loose, 9), 1);
    ASSERT_EQ(QI_SetAnchorMode(loose, 0), 1);
    ShowWindow(parent_, SW_MINIMIZE);
    ShowWindow(parent_, SW_RESTORE);
    ExpectAt(view, {10, 10, 522, 522}, "restored");
    SetClientSize(700, 550);
    ExpectAt(view, {10, 10, 554, 540}, "anchored");
    ExpectAt(loose, {600, 20, 640, 60}, "released");
}

TEST_F(Anchoring, ReAnchoringTakesTheChildsCurrentMargins) {
    HWND child = Child(500, 400, 50, 50);
    ASSERT_EQ(QI_SetAnchorMode(child, 9), 1);
    SetWindowPos(child, nullptr, 100, 100, 50, 50, SWP_NOZORDER);
    ASSERT_EQ(QI_SetAnchorMode(child, 9), 1);
    SetClientSize(700, 550);
    ExpectAt(child, {132, 118, 182, 168}, "");
}

TEST_F(Anchoring, RefusesWhatCannotBeAnchoredAndSurvivesDestroyedChildren) {
    HWND child = Child(10, 10, 20, 20);
    EXPECT_EQ(QI_SetAnchorMode(nullptr, 5), 0);
    EXPECT_EQ(QI_SetAnchorMode(child, 17), 0);
    EXPECT_EQ(QI_SetAnchorMode(child, -1), 0);
    EXPECT_EQ(QI_SetAnchorMode(parent_, 5), 0);   // a top-level window has no parent client
    EXPECT_EQ(QI_SetAnchorMode(parent_, 0), 0);
    ASSERT_EQ(QI_SetAnchorMode(child, 5), 1);
    DestroyWindow(child);
    SetClientSize(700, 550);   // the destroyed child is skipped
    HWND other = Child(10, 10, 20, 20);
    ASSERT_EQ(QI_SetAnchorMode(other, 9), 1);
    SetClientSize(710, 560);
    ExpectAt(other, {20, 20, 40, 40}, "");
}

}  // namespace
