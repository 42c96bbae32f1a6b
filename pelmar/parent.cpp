// Inside a parent's client area: the skin's background (for skinned
// windows), frames around children that follow them, and anchored children.
#include <windows.h>

#include <algorithm>
#include <array>

#include "anchoring.h"
#include "buffer.h"
#include "common_controls.h"
#include "dpi.h"
#include "engine.h"
#include "helpers.h"
#include "paint.h"
#include "parts.h"
#include "report.h"
#include "subclass.h"

namespace pelmar {
namespace {

// Anchored children move once the parent's own WM_SIZE handler has run, and
// stay put while its client area is empty.
constexpr anchoring::Policy kAnchoring{kAnchorSubclass, anchoring::Moment::AfterParent, true};

struct Border {
    HWND child;
    RECT offsets;     // frame edges minus child edges, in pixels at dpi
    int thickness;    // pixels at dpi
    int dpi;          // the parent's when the frame was given
    RECT last;        // where it was last drawn, parent client coordinates
    int lastThickness;
};

// Kept with the parent as its subclass's reference data, until WM_NCDESTROY.
struct ParentState {
    bool paintBackground = false;
    memory::Buffer<Border> borders;
};

LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

ParentState* Find(HWND parent) { return win32::SubclassData<ParentState>(parent, ParentProc, kParentSubclass); }

RECT ChildRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The frame and its thickness at the parent's DPI now.
RECT FrameFor(const Border& b, int& thickness) {
    const int dpi = win32::dpi::OfWindow(b.child);
    const auto at = [&](LONG v) { return win32::dpi::Rescale(v, dpi, b.dpi); };
    thickness = std::max(1, at(b.thickness));
    const RECT c = ChildRect(b.child);
    return {c.left + at(b.offsets.left), c.top + at(b.offsets.top), c.right + at(b.offsets.right),
            c.bottom + at(b.offsets.bottom)};
}

// The four strips of a frame, in the order top, bottom, left, right.
std::array<RECT, 4> Strips(const RECT& f, int t) {
    return {{{f.left, f.top, f.right, std::min(f.bottom, f.top + t)},
             {f.left, std::max(f.top, f.bottom - t), f.right, f.bottom},
             {f.left, f.top, std::min(f.right, f.left + t), f.bottom},
             {std::max(f.left, f.right - t), f.top, f.right, f.bottom}}};
}

void InvalidateFrame(HWND parent, const RECT& f, int t) {
    for (const RECT& s : Strips(f, t)) InvalidateRect(parent, &s, TRUE);
}

void DrawBorders(HDC dc, ParentState& state) {
    for (Border& b : state.borders) {
        b.last = FrameFor(b, b.lastThickness);
        for (const RECT& s : Strips(b.last, b.lastThickness)) FillSolid(dc, s, CurrentSkin().border);
    }
}

void PaintBackground(HWND parent, ParentState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(parent, &ps);
    if (!dc) return;
    FillSolid(dc, ps.rcPaint, CurrentSkin().background);
    DrawBorders(dc, state);
    EndPaint(parent, &ps);
}

LRESULT OnPaint(HWND parent, ParentState& state, WPARAM wParam, LPARAM lParam) {
    if (state.paintBackground) {
        // Paint first, then let the window's own handler run on an already
        // valid area (its drawing goes into its children).
        PaintBackground(parent, state);
        return win32::cc::DefSubclassProc(parent, WM_PAINT, wParam, lParam);
    }
    const LRESULT result = win32::cc::DefSubclassProc(parent, WM_PAINT, wParam, lParam);
    ParentState* still = Find(parent);
    if (still && !still->borders.empty()) {
        HDC dc = GetDC(parent);
        DrawBorders(dc, *still);
        ReleaseDC(parent, dc);
    }
    return result;
}

// Standard children (trackbars, static texts) ask their parent how to fill
// their background.
LRESULT OnControlColour(HWND parent, const ParentState& state, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!state.paintBackground) return win32::cc::DefSubclassProc(parent, message, wParam, lParam);
    const auto dc = reinterpret_cast<HDC>(wParam);
    SetBkColor(dc, win32::ArgbToColorref(CurrentSkin().background));
    SetTextColor(dc, win32::ArgbToColorref(HighContrast() ? CurrentSystemInk().text : CurrentSkin().captionText));
    return reinterpret_cast<LRESULT>(BackgroundBrush());
}

LRESULT CALLBACK ParentProc(HWND parent, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* state = reinterpret_cast<ParentState*>(data);
    switch (message) {
    case WM_ERASEBKGND:   // with the background painted whole in WM_PAINT
        return state->paintBackground ? 1 : win32::cc::DefSubclassProc(parent, message, wParam, lParam);
    case WM_PAINT: return OnPaint(parent, *state, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return OnControlColour(parent, *state, message, wParam, lParam);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: return FollowSystemLookAndRepaint(parent, message, wParam, lParam);
    case WM_NCDESTROY:
        win32::RemoveSubclass(parent, ParentProc, id, state);
        return win32::cc::DefSubclassProc(parent, message, wParam, lParam);
    default: return win32::cc::DefSubclassProc(parent, message, wParam, lParam);
    }
}

ParentState* Attach(HWND parent) {
    if (!parent || !IsWindow(parent) || !OnEngineThread(parent)) return nullptr;
    if (ParentState* state = Find(parent)) return state;
    return win32::Subclass<ParentState>(parent, ParentProc, kParentSubclass);
}

// A framed child that moved or resized: its frame is drawn again where it
// is now, and the place it left is repainted.
void FollowChild(HWND child) {
    HWND parent = GetParent(child);
    ParentState* state = Find(parent);
    if (!state) return;
    for (Border& b : state->borders) {
        if (b.child != child) continue;
        int thickness = 0;
        const RECT now = FrameFor(b, thickness);
        if (EqualRect(&now, &b.last) && thickness == b.lastThickness) continue;
        InvalidateFrame(parent, b.last, b.lastThickness);
        InvalidateFrame(parent, now, thickness);
        b.last = now;
        b.lastThickness = thickness;
    }
}

LRESULT CALLBACK ChildProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    switch (message) {
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        const LRESULT result = win32::cc::DefSubclassProc(child, message, wParam, lParam);
        if (pos && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) FollowChild(child);
        return result;
    }
    case WM_NCDESTROY:
        if (ParentState* state = Find(GetParent(child)))
            state->borders.RemoveIf([child](const Border& b) { return b.child == child; });
        win32::cc::RemoveWindowSubclass(child, ChildProc, id);
        return win32::cc::DefSubclassProc(child, message, wParam, lParam);
    default: return win32::cc::DefSubclassProc(child, message, wParam, lParam);
    }
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
    // Installing the child's subclass again changes nothing.
    if (!state || !win32::cc::SetWindowSubclass(child, ChildProc, kChildSubclass, 0)) return false;
    const RECT c = ChildRect(child);
    const int t = std::clamp(thickness, 1, 16);
    Border b{child,
             {frame.left - c.left, frame.top - c.top, frame.right - c.right, frame.bottom - c.bottom},
             t,
             win32::dpi::OfWindow(parent),
             frame,
             t};
    auto it = std::ranges::find(state->borders, child, &Border::child);
    if (it != state->borders.end()) {
        InvalidateFrame(parent, it->last, it->lastThickness);
        *it = b;
    } else if (!state->borders.Append(b)) {
        win32::ReportOutOfMemory("pelmar", __func__);
        return false;
    }
    InvalidateFrame(parent, frame, b.thickness);
    return true;
}

bool SetAnchor(HWND child, int code) {
    if (!child || !IsWindow(child) || !GetParent(child)) return false;
    return code == 0 ? anchoring::Remove(kAnchoring, child) : anchoring::Set(kAnchoring, child, code);
}

}  // namespace pelmar
