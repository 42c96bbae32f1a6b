// Inside a parent's client area: the skin's background (for skinned
// windows), frames around children that follow them, and anchored children.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <vector>

#include "anchor_codes.h"
#include "engine.h"
#include "parts.h"

namespace pelmar {
namespace {

struct Border {
    HWND child;
    RECT offsets;     // frame edges minus child edges, in pixels
    int thickness;
    RECT last;        // where it was last drawn, parent client coordinates
};

struct Anchored {
    HWND child;
    anchor::Code code;
    RECT at;          // the child's rectangle when the code was set
    SIZE extent;      // the parent's client size then
};

struct ParentState {
    bool paintBackground = false;
    std::vector<Border> borders;
    std::vector<Anchored> anchors;
};

std::map<HWND, ParentState>& Parents() {
    static std::map<HWND, ParentState> parents;
    return parents;
}

ParentState* Find(HWND parent) {
    auto it = Parents().find(parent);
    return it == Parents().end() ? nullptr : &it->second;
}

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT FrameFor(const Border& b) {
    const RECT c = ChildRect(b.child);
    return {c.left + b.offsets.left, c.top + b.offsets.top, c.right + b.offsets.right,
            c.bottom + b.offsets.bottom};
}

// The four strips of a frame, in the order top, bottom, left, right.
void Strips(const RECT& f, int t, RECT out[4]) {
    out[0] = {f.left, f.top, f.right, std::min(f.bottom, f.top + t)};
    out[1] = {f.left, std::max(f.top, f.bottom - t), f.right, f.bottom};
    out[2] = {f.left, f.top, std::min(f.right, f.left + t), f.bottom};
    out[3] = {std::max(f.left, f.right - t), f.top, f.right, f.bottom};
}

void InvalidateFrame(HWND parent, const RECT& f, int t) {
    RECT strips[4];
    Strips(f, t, strips);
    for (const RECT& s : strips) InvalidateRect(parent, &s, TRUE);
}

void DrawBorders(HDC dc, ParentState& state) {
    HBRUSH brush = CreateSolidBrush(RGB((CurrentSkin().border >> 16) & 0xFF, (CurrentSkin().border >> 8) & 0xFF,
                                        CurrentSkin().border & 0xFF));
    for (Border& b : state.borders) {
        b.last = FrameFor(b);
        RECT strips[4];
        Strips(b.last, b.thickness, strips);
        for (const RECT& s : strips) FillRect(dc, &s, brush);
    }
    DeleteObject(brush);
}

void ApplyAnchors(HWND parent, ParentState& state) {
    RECT client{};
    GetClientRect(parent, &client);
    if (state.anchors.empty() || client.right <= 0 || client.bottom <= 0) return;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(state.anchors.size()));
    for (const Anchored& a : state.anchors) {
        const anchor::Span h = anchor::Place(a.code.horizontal, {a.at.left, a.at.right - a.at.left},
                                             a.extent.cx, client.right);
        const anchor::Span v = anchor::Place(a.code.vertical, {a.at.top, a.at.bottom - a.at.top},
                                             a.extent.cy, client.bottom);
        const RECT now = ChildRect(a.child);
        if (now.left == h.start && now.top == v.start && now.right - now.left == h.size &&
            now.bottom - now.top == v.size)
            continue;
        if (batch)
            batch = DeferWindowPos(batch, a.child, nullptr, h.start, v.start, h.size, v.size,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
        else
            SetWindowPos(a.child, nullptr, h.start, v.start, h.size, v.size, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (batch) EndDeferWindowPos(batch);
}

void PaintBackground(HWND parent, ParentState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(parent, &ps);
    if (!dc) return;
    const uint32_t bg = CurrentSkin().background;
    HBRUSH brush = CreateSolidBrush(RGB((bg >> 16) & 0xFF, (bg >> 8) & 0xFF, bg & 0xFF));
    FillRect(dc, &ps.rcPaint, brush);
    DeleteObject(brush);
    DrawBorders(dc, state);
    EndPaint(parent, &ps);
}

// One brush in the background colour for standard children that ask
// their parent how to fill their background (trackbars, static texts).
HBRUSH BackgroundBrush() {
    static HBRUSH brush = nullptr;
    static uint32_t colour = 0;
    const uint32_t bg = CurrentSkin().background;
    if (!brush || colour != bg) {
        if (brush) DeleteObject(brush);
        brush = CreateSolidBrush(RGB((bg >> 16) & 0xFF, (bg >> 8) & 0xFF, bg & 0xFF));
        colour = bg;
    }
    return brush;
}

LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    ParentState* state = Find(parent);
    if (!state) return DefSubclassProc(parent, message, wParam, lParam);
    switch (message) {
    case WM_ERASEBKGND:
        if (state->paintBackground) return 1;   // painted whole in WM_PAINT
        break;
    case WM_PAINT:
        if (state->paintBackground) {
            // Paint first, then let the window's own handler run on an
            // already valid area (its drawing goes into its children).
            PaintBackground(parent, *state);
            return DefSubclassProc(parent, message, wParam, lParam);
        } else {
            const LRESULT result = DefSubclassProc(parent, message, wParam, lParam);
            if ((state = Find(parent)) != nullptr && !state->borders.empty()) {
                HDC dc = GetDC(parent);
                DrawBorders(dc, *state);
                ReleaseDC(parent, dc);
            }
            return result;
        }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (state->paintBackground) {
            const uint32_t bg = CurrentSkin().background, text = CurrentSkin().captionText;
            SetBkColor(reinterpret_cast<HDC>(wParam), RGB((bg >> 16) & 0xFF, (bg >> 8) & 0xFF, bg & 0xFF));
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB((text >> 16) & 0xFF, (text >> 8) & 0xFF, text & 0xFF));
            return reinterpret_cast<LRESULT>(BackgroundBrush());
        }
        break;
    case WM_SIZE: {
        const LRESULT result = DefSubclassProc(parent, message, wParam, lParam);
        if (wParam != SIZE_MINIMIZED && (state = Find(parent)) != nullptr) ApplyAnchors(parent, *state);
        return result;
    }
    case WM_NCDESTROY:
        Parents().erase(parent);
        RemoveWindowSubclass(parent, ParentProc, id);
        break;
    }
    return DefSubclassProc(parent, message, wParam, lParam);
}

ParentState* Attach(HWND parent) {
    if (!parent || !IsWindow(parent)) return nullptr;
    if (ParentState* state = Find(parent)) return state;
    if (!SetWindowSubclass(parent, ParentProc, kParentSubclass, 0)) return nullptr;
    return &Parents()[parent];
}

LRESULT CALLBACK ChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    switch (message) {
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        const LRESULT result = DefSubclassProc(child, message, wParam, lParam);
        HWND parent = GetParent(child);
        ParentState* state = Find(parent);
        if (state && pos && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            for (Border& b : state->borders) {
                if (b.child != child) continue;
                const RECT now = FrameFor(b);
                if (EqualRect(&now, &b.last)) continue;
                InvalidateFrame(parent, b.last, b.thickness);
                InvalidateFrame(parent, now, b.thickness);
                b.last = now;
            }
        }
        return result;
    }
    case WM_NCDESTROY: {
        if (ParentState* state = Find(GetParent(child))) {
            std::erase_if(state->borders, [child](const Border& b) { return b.child == child; });
            std::erase_if(state->anchors, [child](const Anchored& a) { return a.child == child; });
        }
        RemoveWindowSubclass(child, ChildProc, id);
        break;
    }
    }
    return DefSubclassProc(child, message, wParam, lParam);
}

bool WatchChild(HWND child) {
    DWORD_PTR data = 0;
    if (GetWindowSubclass(child, ChildProc, kChildSubclass, &data)) return true;
    return SetWindowSubclass(child, ChildProc, kChildSubclass, 0) != FALSE;
}

}  // namespace

bool PaintClientBackground(HWND parent) {
    ParentState* state = Attach(parent);
    if (!state) return false;
    state->paintBackground = true;
    InvalidateRect(parent, nullptr, TRUE);
    return true;
}

bool AddBorder(HWND child, const RECT& frame, int style, int thickness) {
    (void)style;   // every style draws a plain frame
    if (!child || !IsWindow(child) || frame.right <= frame.left || frame.bottom <= frame.top) return false;
    HWND parent = GetParent(child);
    ParentState* state = Attach(parent);
    if (!state || !WatchChild(child)) return false;
    const RECT c = ChildRect(child);
    Border b{child,
             {frame.left - c.left, frame.top - c.top, frame.right - c.right, frame.bottom - c.bottom},
             std::clamp(thickness, 1, 16),
             frame};
    auto it = std::find_if(state->borders.begin(), state->borders.end(),
                           [child](const Border& x) { return x.child == child; });
    if (it != state->borders.end()) {
        InvalidateFrame(parent, it->last, it->thickness);
        *it = b;
    } else {
        state->borders.push_back(b);
    }
    InvalidateFrame(parent, frame, b.thickness);
    return true;
}

bool SetAnchor(HWND child, int code) {
    if (!child || !IsWindow(child) || (code != 0 && !anchor::Valid(code))) return false;
    HWND parent = GetParent(child);
    ParentState* state = Attach(parent);
    if (!state || !WatchChild(child)) return false;
    std::erase_if(state->anchors, [child](const Anchored& a) { return a.child == child; });
    if (code == 0) return true;
    RECT client{};
    GetClientRect(parent, &client);
    state->anchors.push_back({child, anchor::kTable[code - 1], ChildRect(child), {client.right, client.bottom}});
    return true;
}

}  // namespace pelmar
