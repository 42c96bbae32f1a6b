#include "anchoring.h"

#include <algorithm>

#include "buffer.h"
#include "common_controls.h"
#include "dpi.h"
#include "placement.h"
#include "subclass.h"

namespace anchoring {
namespace {

struct Anchored {
    HWND child;
    Code code;
    RECT at;       // the child in the parent's client coordinates, when anchored
    SIZE extent;   // the parent's client size at that time
    int dpi;       // the parent's DPI at that time
};

// What one library anchors in one parent.
struct Parent {
    Policy policy;
    memory::Buffer<Anchored> children;
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                            DWORD_PTR data);

Parent* Find(HWND parent, UINT_PTR id) { return win32::SubclassData<Parent>(parent, ParentProc, id); }

bool OnOwnThread(HWND window) { return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId(); }

bool RectInParent(HWND child, HWND parent, RECT* out) {
    if (!GetWindowRect(child, out)) return false;
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(out), 2);
    return true;
}

// Moves every anchored child of parent to its place for the client size,
// in one deferred batch.
void Reposition(HWND parent, Parent& state) {
    RECT client{};
    if (IsIconic(parent) || !GetClientRect(parent, &client)) return;
    if (state.policy.holdOnEmptyClient && (client.right <= 0 || client.bottom <= 0)) return;
    // Children destroyed or moved to another parent since they were anchored.
    state.children.RemoveIf([parent](const Anchored& a) {
        return !IsWindow(a.child) || GetAncestor(a.child, GA_PARENT) != parent;
    });

    struct Move {
        HWND child;
        RECT to;
    };
    memory::Buffer<Move> moves;
    if (!moves.Reserve(state.children.size())) return;   // out of memory: nothing moves this time
    // At another display scale every recorded margin and size is that much
    // larger, always scaled from the recorded figures so that a return to
    // their DPI gives them back exactly.
    const int dpi = win32::dpi::OfWindow(parent);
    for (const Anchored& a : state.children) {
        const auto at = [&](LONG v) { return win32::dpi::Rescale(v, dpi, a.dpi); };
        const Span h = Place(a.code.horizontal, {at(a.at.left), at(a.at.right - a.at.left)},
                                             at(a.extent.cx), client.right);
        const Span v = Place(a.code.vertical, {at(a.at.top), at(a.at.bottom - a.at.top)},
                                             at(a.extent.cy), client.bottom);
        const RECT to{h.start, v.start, h.start + h.size, v.start + v.size};
        RECT now{};
        if (RectInParent(a.child, parent, &now) && EqualRect(&now, &to)) continue;
        (void)moves.Append(Move{a.child, to});   // room reserved: cannot fail
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

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* state = reinterpret_cast<Parent*>(data);
    switch (message) {
    case WM_SIZE:
        if (wParam == SIZE_MINIMIZED) break;
        if (state->policy.moment == Moment::AfterParent) {
            const LRESULT result = win32::cc::DefSubclassProc(window, message, wParam, lParam);
            // The parent's handler may have destroyed the parent.
            if (Parent* still = Find(window, id)) Reposition(window, *still);
            return result;
        }
        Reposition(window, *state);
        break;
    case win32::dpi::kChangedMessage: {   // the parent's resize places the children at the new DPI
        win32::dpi::KeepAnnounced(window, wParam);
        const LRESULT result = win32::cc::DefSubclassProc(window, message, wParam, lParam);
        if (Parent* still = Find(window, id)) Reposition(window, *still);   // also when its size stayed
        return result;
    }
    case WM_NCDESTROY:
        win32::dpi::ForgetAnnounced(window);
        win32::RemoveSubclass(window, ParentProc, id, state);
        break;
    default:
        break;
    }
    return win32::cc::DefSubclassProc(window, message, wParam, lParam);
}

Parent* Attach(HWND parent, const Policy& policy) {
    if (Parent* state = Find(parent, policy.subclassId)) return state;
    Parent* state = win32::Subclass<Parent>(parent, ParentProc, policy.subclassId);
    if (state) state->policy = policy;
    return state;
}

}  // namespace

bool Set(const Policy& policy, HWND child, int code) {
    if (!child || !IsWindow(child) || !Valid(code)) return false;
    if (!(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD)) return false;
    HWND parent = GetAncestor(child, GA_PARENT);
    RECT client{}, at{};
    if (!parent || !OnOwnThread(parent) || !GetClientRect(parent, &client) || !RectInParent(child, parent, &at))
        return false;
    Parent* state = Attach(parent, policy);
    if (!state) return false;
    const Anchored entry{child, kTable[code - 1], at, {client.right, client.bottom}, win32::dpi::OfWindow(parent)};
    auto it = std::ranges::find(state->children, child, &Anchored::child);
    if (it != state->children.end()) {
        *it = entry;
        return true;
    }
    return state->children.Append(entry);   // false when memory ran out
}

bool Remove(const Policy& policy, HWND child) {
    if (!child || !IsWindow(child) || !(GetWindowLongPtrA(child, GWL_STYLE) & WS_CHILD)) return false;
    HWND parent = GetAncestor(child, GA_PARENT);
    if (!parent || !OnOwnThread(parent)) return false;
    Parent* state = Find(parent, policy.subclassId);
    if (!state) return true;
    state->children.RemoveIf([child](const Anchored& a) { return a.child == child; });
    return true;
}

}  // namespace anchoring
