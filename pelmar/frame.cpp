// The skinned frame of a top-level window: its non-client area is measured
// and hit-tested here, painted in frame_paint.cpp, and its caption buttons
// followed in caption_buttons.cpp, while moving, sizing, the system menu and
// keyboard commands stay with the system's default handling.
#include "frame.h"

#include <algorithm>

#include "common_controls.h"
#include "dpi.h"
#include "engine.h"
#include "frame_window.h"
#include "helpers.h"
#include "parts.h"
#include "subclass.h"
#include "system_library.h"

namespace pelmar {
namespace frame {
namespace {

// Messages some Windows versions send to draw the standard caption.
constexpr UINT kDrawCaptionMessage = 0x00AE, kDrawFrameMessage = 0x00AF;
constexpr LRESULT kButtonCodes[kButtonCount] = {HTMINBUTTON, HTMAXBUTTON, HTCLOSE};   // in Button's order

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

RECT ZoomedOverhang(HWND window, const RECT& windowRect) {
    RECT none{0, 0, 0, 0};
    if (!IsZoomed(window)) return none;
    MONITORINFO mi{};
    mi.cbSize = sizeof(mi);
    if (!GetMonitorInfoA(MonitorFromRect(&windowRect, MONITOR_DEFAULTTONEAREST), &mi)) return none;
    const RECT& w = mi.rcWork;
    return {std::max(0L, w.left - windowRect.left), std::max(0L, w.top - windowRect.top),
            std::max(0L, windowRect.right - w.right), std::max(0L, windowRect.bottom - w.bottom)};
}

}  // namespace

FrameState* Find(HWND window) { return win32::SubclassData<FrameState>(window, FrameProc, kFrameSubclass); }

LRESULT Pass(const Message& m) { return win32::cc::DefSubclassProc(m.window, m.message, m.wParam, m.lParam); }

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

POINT PointOf(LPARAM lParam) { return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

HICON SmallIcon(HWND window) {
    auto icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICONSM));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(window, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(window, GCLP_HICON));
    return icon;
}

FrameLayout CurrentLayout(HWND window, HICON icon) {
    const RECT wr = WindowRect(window);
    return LayoutFrame(CurrentSkin(), GetWindowLongPtrA(window, GWL_STYLE), wr.right - wr.left, icon != nullptr,
                       ZoomedOverhang(window, wr), win32::dpi::OfWindow(window));
}

FrameLayout CurrentLayout(HWND window) { return CurrentLayout(window, SmallIcon(window)); }

namespace {

// Rounded top corners while the window is not maximised.
void UpdateRegion(HWND window, FrameState& st) {
    const RECT wr = WindowRect(window);
    const SIZE size{wr.right - wr.left, wr.bottom - wr.top};
    const bool zoomed = IsZoomed(window) != FALSE;
    const int dpi = win32::dpi::OfWindow(window);
    if (size.cx == st.regionSize.cx && size.cy == st.regionSize.cy && zoomed == st.regionZoomed &&
        dpi == st.regionDpi)
        return;
    st.regionSize = size;
    st.regionZoomed = zoomed;
    st.regionDpi = dpi;
    const int r = win32::dpi::Scale(CurrentSkin().cornerRadius, dpi);
    if (zoomed || IsIconic(window) || r <= 0) {
        SetWindowRgn(window, nullptr, TRUE);
        return;
    }
    HRGN region = CreateRoundRectRgn(0, 0, size.cx + 1, size.cy + 1, 2 * r, 2 * r);
    HRGN lower = CreateRectRgn(0, r, size.cx, size.cy);
    if (region && lower) CombineRgn(region, region, lower, RGN_OR);
    if (lower) DeleteObject(lower);
    if (region && !SetWindowRgn(window, region, TRUE)) DeleteObject(region);   // the system owns it on success
}

LRESULT OnNcCalcSize(const Message& m) {
    RECT* r = reinterpret_cast<RECT*>(m.lParam);   // the first of NCCALCSIZE_PARAMS, or one rectangle
    const RECT outer = *r;
    const FrameLayout L = LayoutFrame(CurrentSkin(), GetWindowLongPtrA(m.window, GWL_STYLE), outer.right - outer.left,
                                      false, ZoomedOverhang(m.window, outer), win32::dpi::OfWindow(m.window));
    r->left = outer.left + L.insets.left;
    r->top = std::min(outer.bottom, outer.top + L.insets.top);
    r->right = std::max(r->left, outer.right - L.insets.right);
    r->bottom = std::max(r->top, outer.bottom - L.insets.bottom);
    return 0;
}

LRESULT OnNcHitTest(const Message& m) {
    const RECT wr = WindowRect(m.window);
    const POINT screen = PointOf(m.lParam);
    const POINT p{screen.x - wr.left, screen.y - wr.top};
    return HitTestFrame(CurrentLayout(m.window), wr.right - wr.left, wr.bottom - wr.top, p);
}

// The frame's thickness at a DPI, for a window that is neither maximised
// nor minimised.
SIZE FrameThickness(HWND window, int dpi) {
    const FrameLayout L = LayoutFrame(CurrentSkin(), GetWindowLongPtrA(window, GWL_STYLE), 0, false, {}, dpi);
    return {L.insets.left + L.insets.right, L.insets.top + L.insets.bottom};
}

// The size for a new DPI that keeps the client area exactly that much
// larger: the system would scale the whole window, frame included.
LRESULT OnGetDpiScaledSize(const Message& m) {
    auto* size = reinterpret_cast<SIZE*>(m.lParam);
    if (!size || IsZoomed(m.window) || IsIconic(m.window)) return Pass(m);
    const int from = win32::dpi::OfWindow(m.window), to = static_cast<int>(LOWORD(m.wParam));
    RECT client{};
    GetClientRect(m.window, &client);
    const SIZE next = FrameThickness(m.window, to);
    size->cx = win32::dpi::Rescale(client.right, to, from) + next.cx;
    size->cy = win32::dpi::Rescale(client.bottom, to, from) + next.cy;
    return TRUE;
}

// The window moved to a display of another scale: from now on the frame is
// measured at the new DPI; the window's own handler takes the new place.
LRESULT OnDpiChanged(const Message& m, FrameState& st) {
    win32::dpi::KeepAnnounced(m.window, m.wParam);
    st.band.reset();
    st.mask.reset();
    const LRESULT result = Pass(m);
    if (FrameState* still = Find(m.window)) {
        SetWindowPos(m.window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        UpdateRegion(m.window, *still);
    }
    return result;
}

// The layout the engine draws and hit-tests, in the system's terms; a
// request the engine cannot read goes to the default handling.
LRESULT OnGetTitleBarInfo(const Message& m, FrameState& st) {
    auto* info = reinterpret_cast<TITLEBARINFOEX*>(m.lParam);
    if (!info || info->cbSize != sizeof(TITLEBARINFOEX)) return Pass(m);
    const RECT wr = WindowRect(m.window);
    DescribeTitleBar(CurrentLayout(m.window), {wr.left, wr.top}, st.hot, st.pressed, *info);
    return 0;
}

LRESULT OnWindowPosChanged(const Message& m) {
    const LRESULT result = Pass(m);
    if (FrameState* st = Find(m.window)) UpdateRegion(m.window, *st);
    return result;
}

LRESULT OnNcDestroy(const Message& m, FrameState* st, UINT_PTR id) {
    KillTimer(m.window, kHoverTimer);
    win32::dpi::ForgetAnnounced(m.window);
    win32::RemoveSubclass(m.window, FrameProc, id, st);
    return Pass(m);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    const Message m{window, message, wParam, lParam};
    FrameState& st = *reinterpret_cast<FrameState*>(data);
    // A minimised window keeps the default frame handling.
    const bool iconic = IsIconic(window) != FALSE;
    switch (message) {
    case WM_NCCALCSIZE: return iconic ? Pass(m) : OnNcCalcSize(m);
    case WM_NCPAINT: return iconic ? Pass(m) : OnNcPaint(m, st);
    case WM_NCACTIVATE: return iconic ? Pass(m) : OnNcActivate(m, st);
    case kDrawCaptionMessage:
    case kDrawFrameMessage: return 0;
    case WM_SETTEXT:
    case WM_SETICON: return PassThenRepaint(m);
    case WM_NCHITTEST: return iconic ? Pass(m) : OnNcHitTest(m);
    case WM_GETTITLEBARINFOEX: return iconic ? Pass(m) : OnGetTitleBarInfo(m, st);
    case WM_NCMOUSEMOVE: return OnNcMouseMove(m, st);
    case WM_NCMOUSELEAVE: return OnNcMouseLeave(m, st);
    case WM_TIMER: return OnTimer(m, st);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: return OnNcButtonDown(m, st);
    case WM_NCLBUTTONUP: return OnNcButtonUp(m);
    case WM_MOUSEMOVE: return OnMouseMove(m, st);
    case WM_LBUTTONUP: return OnButtonUp(m, st);
    case WM_CAPTURECHANGED: return OnCaptureChanged(m, st);
    case WM_EXITMENULOOP:
    case WM_EXITSIZEMOVE: return PassThenRepaint(m);
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE: return OnSystemLook(m);
    case WM_WINDOWPOSCHANGED: return OnWindowPosChanged(m);
    case win32::dpi::kChangedMessage: return OnDpiChanged(m, st);
    case win32::dpi::kScaledSizeMessage: return OnGetDpiScaledSize(m);
    case WM_NCDESTROY: return OnNcDestroy(m, &st, id);
    default: return Pass(m);
    }
}

// Without this, desktop composition on newer Windows draws its own frame
// over the engine's.
void DisableComposedFrame(HWND window) {
    using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
    auto set = reinterpret_cast<SetAttribute>(
        reinterpret_cast<void*>(win32::SystemFunction("dwmapi.dll", "DwmSetWindowAttribute")));
    const DWORD kNcRenderingPolicy = 2, kDisabled = 1;
    if (set) set(window, kNcRenderingPolicy, &kDisabled, sizeof(kDisabled));
}

}  // namespace
}  // namespace frame

using namespace frame;

FrameLayout LayoutFrame(const Skin& skin, LONG_PTR style, int width, bool hasIcon, const RECT& zoomedOverhang,
                        int dpi) {
    const auto px = [dpi](int v) { return win32::dpi::Scale(v, dpi); };
    FrameLayout L{};
    L.dpi = dpi > 0 ? dpi : win32::dpi::kDesign;
    const bool zoomed = zoomedOverhang.left || zoomedOverhang.top || zoomedOverhang.right || zoomedOverhang.bottom;
    const int capH = px(skin.captionHeight);
    const int frameWidth = px(skin.frameWidth);
    const int edge = zoomed ? 0 : frameWidth;
    L.accentHeight = px(skin.accentHeight);
    L.insets = {zoomedOverhang.left + edge, zoomedOverhang.top + capH, zoomedOverhang.right + edge,
                zoomedOverhang.bottom + edge};
    L.caption = {zoomedOverhang.left, zoomedOverhang.top, width - zoomedOverhang.right, zoomedOverhang.top + capH};
    L.resizable = !zoomed && (style & WS_THICKFRAME);
    // At least the system's own resize border at this DPI.
    const int system = win32::dpi::SystemMetric(SM_CXSIZEFRAME, L.dpi) + win32::dpi::SystemMetric(92, L.dpi);
    L.grab = std::max({frameWidth, px(4), system});   // 92: SM_CXPADDEDBORDER
    L.cornerReach = std::max(L.grab, px(16));

    const int bh = std::min(px(skin.buttonHeight), capH - px(2));
    const int bw = px(skin.buttonWidth);
    const int top = L.caption.top + std::max(px(1), (capH - L.accentHeight - bh) / 2);
    int right = L.caption.right - edge - px(2);
    const bool present[kButtonCount] = {(style & WS_SYSMENU) && (style & WS_MINIMIZEBOX),
                                        (style & WS_SYSMENU) && (style & WS_MAXIMIZEBOX),
                                        (style & WS_SYSMENU) != 0};
    bool rightmost = true;
    for (int b = kClose; b >= kMinimize; --b) {
        if (!present[b]) continue;
        L.glyphs[b] = L.buttons[b] = {right - bw, top, right, top + bh};
        if (zoomed) {
            // Thrown against the screen's top edge, the rightmost into its corner.
            L.buttons[b].top = zoomedOverhang.top;
            if (rightmost) L.buttons[b].right = width;
        }
        rightmost = false;
        right -= bw + px(2);
    }
    int left = L.caption.left + edge + px(6);
    if (hasIcon && (style & WS_SYSMENU)) {
        const int side = px(16);
        const int iconTop = L.caption.top + (capH - L.accentHeight - side) / 2;
        L.icon = {left, iconTop, left + side, iconTop + side};
        left += side + px(6);
    }
    L.title = {left, L.caption.top, std::max(left, right - px(4)), L.caption.bottom - L.accentHeight};
    return L;
}

LRESULT HitTestFrame(const FrameLayout& L, int width, int height, POINT p) {
    if (p.x < 0 || p.y < 0 || p.x >= width || p.y >= height) return HTNOWHERE;
    for (int b = 0; b < kButtonCount; ++b)
        if (PtInRect(&L.buttons[b], p)) return kButtonCodes[b];
    if (L.resizable) {
        const int e = L.grab, corner = L.cornerReach;
        const bool left = p.x < e, right = p.x >= width - e, top = p.y < e, bottom = p.y >= height - e;
        const bool nearLeft = p.x < corner, nearRight = p.x >= width - corner;
        const bool nearTop = p.y < corner, nearBottom = p.y >= height - corner;
        if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
        if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
        if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
        if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
    }
    if (PtInRect(&L.icon, p)) return HTSYSMENU;
    if (PtInRect(&L.caption, p)) return HTCAPTION;
    const RECT client{L.insets.left, L.insets.top, width - L.insets.right, height - L.insets.bottom};
    if (PtInRect(&client, p)) return HTCLIENT;
    return HTBORDER;
}

bool CurrentFrame(HWND window, FrameLayout& layout, int& hot, int& pressed) {
    FrameState* st = Find(window);
    if (!st) return false;
    layout = CurrentLayout(window);
    hot = st->hot;
    pressed = st->pressed;
    return true;
}

bool IsSkinned(HWND window) { return Find(window) != nullptr; }

bool SkinWindow(HWND window, const char* buttonTexts) {
    if (!window || !IsWindow(window) || !OnEngineThread(window) || (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))
        return false;
    if (FrameState* st = Find(window)) {
        if (buttonTexts) SetTips(*st, buttonTexts);
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return true;
    }
    RECT client{};
    GetClientRect(window, &client);
    auto* st = win32::Subclass<FrameState>(window, FrameProc, kFrameSubclass);
    if (!st) return false;
    if (buttonTexts) SetTips(*st, buttonTexts);
    st->tip = CreateTrackingTip(window);
    st->active = GetActiveWindow() == window;
    DisableComposedFrame(window);
    PaintClientBackground(window);

    // Keep the client area's size: the window grows or shrinks by the
    // difference between the engine's frame and the standard one.
    UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    int width = 0, height = 0;
    if (!IsZoomed(window) && !IsIconic(window)) {
        const SIZE frame = FrameThickness(window, win32::dpi::OfWindow(window));
        width = client.right + frame.cx;
        height = client.bottom + frame.cy;
    } else {
        flags |= SWP_NOSIZE;
    }
    SetWindowPos(window, nullptr, 0, 0, width, height, flags);
    if (FrameState* now = Find(window)) UpdateRegion(window, *now);
    return true;
}

}  // namespace pelmar
