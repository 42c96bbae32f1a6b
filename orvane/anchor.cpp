// Anchoring: children keep their place against their parent's client edges
// as the parent resizes. The parent is watched through a comctl32 subclass,
// which stays correct however many other subclasses are chained around it.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "anchor_codes.h"
#include "orvane.h"

namespace orvane {
namespace {

constexpr UINT_PTR kSubclassId = 0x4F52564E;   // any value unique to this library

struct Anchored {
    HWND parent;
    HWND child;
    anchor::Code code;
    RECT at;       // the child in the parent's client coordinates, when anchored
    SIZE extent;   // the parent's client size at that time
};

std::mutex gLock;
std::vector<Anchored> gAnchored;

bool RectInParent(HWND child, HWND parent, RECT* out) {
    if (!GetWindowRect(child, out)) return false;
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(out), 2);
    return true;
}

void Forget(HWND parent) {
    std::lock_guard<std::mutex> hold(gLock);
    std::erase_if(gAnchored, [parent](const Anchored& a) { return a.parent == parent; });
}

// Moves every anchored child of parent to its place for the client size,
// in one deferred batch.
void Reposition(HWND parent) {
    RECT client{};
    if (IsIconic(parent) || !GetClientRect(parent, &client)) return;
    std::vector<Anchored> mine;
    try {
        std::lock_guard<std::mutex> hold(gLock);
        // Children destroyed or moved to another parent since they were anchored.
        std::erase_if(gAnchored, [](const Anchored& a) {
            return !IsWindow(a.child) || GetAncestor(a.child, GA_PARENT) != a.parent;
        });
        for (const Anchored& a : gAnchored)
            if (a.parent == parent) mine.push_back(a);
    } catch (...) {
        return;
    }

    struct Move {
        HWND child;
        RECT to;
    };
    std::vector<Move> moves;
    for (const Anchored& a : mine) {
        const anchor::Span h = anchor::Place(a.code.horizontal, {a.at.left, a.at.right - a.at.left},
                                             a.extent.cx, client.right);
        const anchor::Span v = anchor::Place(a.code.vertical, {a.at.top, a.at.bottom - a.at.top},
                                             a.extent.cy, client.bottom);
        const RECT to{h.start, v.start, h.start + h.size, v.start + v.size};
        RECT now{};
        if (RectInParent(a.child, parent, &now) && EqualRect(&now, &to)) continue;
        try {
            moves.push_back({a.child, to});
        } catch (...) {
            return;
        }
    }
    if (moves.empty()) return;

    constexpr UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(moves.size()));
    for (const Move& m : moves) {
        const int w = m.to.right - m.to.left, h = m.to.bottom - m.to.top;
        if (batch) batch = DeferWindowPos(batch, m.child, nullptr, m.to.left, m.to.top, w, h, flags);
        if (!batch) SetWindowPos(m.child, nullptr, m.to.left, m.to.top, w, h, flags);   // batch lost: one by one
    }
    if (batch) EndDeferWindowPos(batch);
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR) {
    switch (message) {
    case WM_SIZE:
        // Children first, so the parent's own handler finds them in place.
        if (wParam != SIZE_MINIMIZED) Reposition(window);
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(window, ParentProc, id);
        Forget(window);
        break;
    default:
        break;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace
}  // namespace orvane

using namespace orvane;

extern "C" int32_t WINAPI QI_SetAnchorMode(HWND child, int32_t mode) {
    if (!child || !IsWindow(child)) return 0;
    if (mode == 0) {
        std::lock_guard<std::mutex> hold(gLock);
        std::erase_if(gAnchored, [child](const Anchored& a) { return a.child == child; });
        return 1;
    }
    if (!anchor::Valid(mode)) return 0;
    if (!(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD)) return 0;
    HWND parent = GetAncestor(child, GA_PARENT);
    RECT client{}, at{};
    if (!parent || !GetClientRect(parent, &client) || !RectInParent(child, parent, &at)) return 0;

    const Anchored entry{parent, child, anchor::kTable[mode - 1], at, {client.right, client.bottom}};
    try {
        std::lock_guard<std::mutex> hold(gLock);
        auto it = std::find_if(gAnchored.begin(), gAnchored.end(),
                               [child](const Anchored& a) { return a.child == child; });
        if (it != gAnchored.end())
            *it = entry;
        else
            gAnchored.push_back(entry);
    } catch (...) {
        return 0;
    }
    // Installing the same subclass again only refreshes it.
    if (!SetWindowSubclass(parent, ParentProc, kSubclassId, 0)) {
        QI_SetAnchorMode(child, 0);
        return 0;
    }
    return 1;
}
