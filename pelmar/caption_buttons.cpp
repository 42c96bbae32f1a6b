// The caption buttons of a skinned frame: the one under the pointer is hot
// and shows its tooltip after a delay; a press captures the pointer, and a
// release over the same button sends its command.
#include "dpi.h"
#include "frame_window.h"
#include "parts.h"

namespace pelmar::frame {
namespace {

constexpr UINT kHoverDelay = 500;

int ButtonAt(HWND window, POINT screen) {
    const RECT wr = WindowRect(window);
    const FrameLayout L = CurrentLayout(window);
    const POINT p{screen.x - wr.left, screen.y - wr.top};
    for (int b = 0; b < kButtonCount; ++b)
        if (PtInRect(&L.buttons[b], p)) return b;
    return kNoButton;
}

const TipText& TipFor(const FrameState& st, HWND window, int button) {
    switch (button) {
    case kMinimize: return st.tips[kTipMinimize];
    case kMaximize: return st.tips[IsZoomed(window) ? kTipRestore : kTipMaximize];
    default: return st.tips[kTipClose];
    }
}

void SetHot(HWND window, FrameState& st, int hot) {
    if (st.hot == hot) return;
    st.hot = hot;
    KillTimer(window, kHoverTimer);
    HideTrackingTip(st.tip, window);
    if (hot != kNoButton && st.pressed == kNoButton) SetTimer(window, kHoverTimer, kHoverDelay, nullptr);
    PaintFrame(window, st);
}

UINT CommandFor(HWND window, int button) {
    switch (button) {
    case kMinimize: return SC_MINIMIZE;
    case kMaximize: return IsZoomed(window) ? SC_RESTORE : SC_MAXIMIZE;
    default: return SC_CLOSE;
    }
}

bool OnCaptionButton(WPARAM hit) { return hit == HTMINBUTTON || hit == HTMAXBUTTON || hit == HTCLOSE; }

}  // namespace

// Six words separated by '|'; missing words keep what they were.
void SetTips(FrameState& st, const char* texts) {
    std::string_view rest(texts);
    for (int i = 0; i < kTipCount; ++i) {
        const std::size_t bar = rest.find('|');
        const std::string_view word = rest.substr(0, bar);
        if (!word.empty()) st.tips[i].Assign(word);   // cut at the bound
        if (bar == std::string_view::npos) break;
        rest.remove_prefix(bar + 1);
    }
}

// Over the maximise button the default handling sees the pointer too: newer
// systems offer their window arrangements there. The engine's button is
// drawn again over anything the default handling drew.
LRESULT OnNcMouseMove(const Message& m, FrameState& st) {
    if (st.pressed != kNoButton) return 0;
    const int hot = ButtonAt(m.window, PointOf(m.lParam));
    if (!st.trackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE | TME_NONCLIENT, m.window, 0};
        st.trackingLeave = TrackMouseEvent(&tme) != FALSE;
    }
    SetHot(m.window, st, hot);
    if (hot == kNoButton) return Pass(m);
    if (hot != kMaximize) return 0;
    const LRESULT result = Pass(m);
    Repaint(m.window);
    return result;
}

LRESULT OnNcMouseLeave(const Message& m, FrameState& st) {
    st.trackingLeave = false;
    if (st.pressed == kNoButton) SetHot(m.window, st, kNoButton);
    return Pass(m);
}

// The hover delay over a caption button ran out: its tooltip shows.
LRESULT OnTimer(const Message& m, FrameState& st) {
    if (m.wParam != kHoverTimer) return Pass(m);
    KillTimer(m.window, kHoverTimer);
    if (st.hot != kNoButton && st.pressed == kNoButton) {
        const RECT wr = WindowRect(m.window);
        const FrameLayout L = CurrentLayout(m.window);
        const RECT& b = L.buttons[st.hot];
        ShowTrackingTip(st.tip, m.window, TipFor(st, m.window, st.hot).c_str(),
                        {wr.left + b.left, wr.top + b.bottom + win32::dpi::Scale(4, L.dpi)});
    }
    return 0;
}

// A press on a caption button captures the pointer until release; a double
// click on the caption maximises or restores.
LRESULT OnNcButtonDown(const Message& m, FrameState& st) {
    if (OnCaptionButton(m.wParam)) {
        const int b = ButtonAt(m.window, PointOf(m.lParam));
        if (b == kNoButton) return 0;
        KillTimer(m.window, kHoverTimer);
        HideTrackingTip(st.tip, m.window);
        st.pressed = b;
        st.hot = b;
        SetCapture(m.window);
        PaintFrame(m.window, st);
        return 0;
    }
    if (m.message == WM_NCLBUTTONDBLCLK && m.wParam == HTCAPTION) {
        if (GetWindowLongPtrA(m.window, GWL_STYLE) & WS_MAXIMIZEBOX)
            SendMessageA(m.window, WM_SYSCOMMAND, IsZoomed(m.window) ? SC_RESTORE : SC_MAXIMIZE, m.lParam);
        return 0;
    }
    return Pass(m);
}

// A release over a caption button is the engine's alone (a press there is
// followed through OnButtonUp); the default handling does not see it.
LRESULT OnNcButtonUp(const Message& m) { return OnCaptionButton(m.wParam) ? 0 : Pass(m); }

// While a caption button is pressed: hot only while the pointer is over it.
LRESULT OnMouseMove(const Message& m, FrameState& st) {
    if (st.pressed == kNoButton) return Pass(m);
    POINT p = PointOf(m.lParam);
    ClientToScreen(m.window, &p);
    const int hot = ButtonAt(m.window, p) == st.pressed ? st.pressed : kNoButton;
    if (hot != st.hot) {
        st.hot = hot;
        PaintFrame(m.window, st);
    }
    return 0;
}

// A pressed caption button released over itself sends its command.
LRESULT OnButtonUp(const Message& m, FrameState& st) {
    if (st.pressed == kNoButton) return Pass(m);
    POINT p = PointOf(m.lParam);
    ClientToScreen(m.window, &p);
    const int pressed = st.pressed;
    const bool release = ButtonAt(m.window, p) == pressed;
    st.pressed = kNoButton;
    st.hot = release ? pressed : kNoButton;
    ReleaseCapture();
    Repaint(m.window);
    // The command may destroy the window: nothing of st is used after it.
    if (release) SendMessageA(m.window, WM_SYSCOMMAND, CommandFor(m.window, pressed), MAKELPARAM(p.x, p.y));
    return 0;
}

LRESULT OnCaptureChanged(const Message& m, FrameState& st) {
    if (st.pressed != kNoButton) {
        st.pressed = kNoButton;
        st.hot = kNoButton;
        PaintFrame(m.window, st);
    }
    return Pass(m);
}

}  // namespace pelmar::frame
