// The skinned frame's painting: the caption band with its icon, title and
// buttons, drawn in a kept buffer, and the other edges filled straight onto
// the window.
#include <algorithm>

#include "dpi.h"
#include "engine.h"
#include "frame_window.h"
#include "report.h"

namespace pelmar::frame {
namespace {

// A window title is shown on one line and ends in an ellipsis where it does
// not fit; text past this bound is cut before that.
using TitleText = memory::Text<512>;

void PaintButton(BackBuffer& buffer, const Skin& skin, const FrameState& st, const FrameLayout& L, int which,
                 bool zoomed) {
    const RECT& r = L.buttons[which];
    if (IsRectEmpty(&r)) return;
    Canvas c = buffer.Pixels();
    const bool hot = st.hot == which, pressed = st.pressed == which && hot;
    if (pressed || hot) {
        const uint32_t fill = which == kClose ? (pressed ? skin.closePressed : skin.closeHover)
                                              : (pressed ? skin.buttonPressed : skin.buttonHover);
        FillPixels(c, r.left, r.top, r.right - r.left, r.bottom - r.top, fill);
    }
    const uint32_t ink = (hot || pressed) ? skin.glyphHover : (st.active ? skin.glyph : skin.glyphInactive);
    const Glyph glyph = which == kMinimize   ? Glyph::Minimize
                        : which == kClose    ? Glyph::Close
                        : zoomed             ? Glyph::Restore
                                             : Glyph::Maximize;
    // Maximised, a button reaches the screen's edges; its glyph stays where
    // it stands on the caption band.
    const RECT& g = L.glyphs[which];
    const int size = std::max<int>(6, std::min(g.right - g.left, g.bottom - g.top) / 2);
    DrawGlyph(c, glyph, g.left, g.top, g.right - g.left, g.bottom - g.top, size, ink,
              static_cast<double>(L.dpi) / win32::dpi::kDesign);
}

// A kept buffer of the size given: the one in slot, or a new one when its
// size differs. Null when it cannot be made.
BackBuffer* Kept(memory::Owned<BackBuffer>& slot, HDC reference, int width, int height) {
    if (!slot || slot->Width() != width || slot->Height() != height) {
        slot.reset();
        slot = memory::MakeOwned<BackBuffer>(reference, width, height);
        if (!slot) win32::ReportOutOfMemory("pelmar", __func__);
    }
    return slot && slot->Ok() ? slot.get() : nullptr;
}

}  // namespace

// The caption band (the window's full width, down to the client area) is
// drawn in a kept buffer; the other edges are plain fills straight onto the
// window. Nothing is drawn or allocated for the client area.
void PaintFrame(HWND window, FrameState& st) {
    if (IsIconic(window)) return;
    const Skin& skin = CurrentSkin();
    const RECT wr = WindowRect(window);
    const int width = wr.right - wr.left, height = wr.bottom - wr.top;
    if (width <= 0 || height <= 0) return;
    HICON icon = SmallIcon(window);
    const FrameLayout L = CurrentLayout(window, icon);
    const bool zoomed = IsZoomed(window) != FALSE;
    const uint32_t edgeColour = st.active ? skin.frame : skin.frameInactive;
    TitleText title;
    win32::WindowText(window, title);
    HDC dc = GetWindowDC(window);
    if (!dc) return;
    const int bandHeight = std::min<int>(height, L.insets.top);
    if (BackBuffer* band = bandHeight > 0 ? Kept(st.band, dc, width, bandHeight) : nullptr) {
        Canvas c = band->Pixels();
        FillPixels(c, 0, 0, width, bandHeight, edgeColour);
        const RECT& cap = L.caption;
        FillGradient(c, cap.left, cap.top, cap.right - cap.left, cap.bottom - cap.top,
                     st.active ? skin.captionTop : skin.captionInactiveTop,
                     st.active ? skin.captionBottom : skin.captionInactiveBottom);
        if (st.active && L.accentHeight > 0)
            FillPixels(c, cap.left, cap.bottom - L.accentHeight, cap.right - cap.left, L.accentHeight, skin.accent);
        if (!zoomed) {
            FillPixels(c, 0, 0, width, 1, skin.frameOutline);
            FillPixels(c, 0, 0, 1, bandHeight, skin.frameOutline);
            FillPixels(c, width - 1, 0, 1, bandHeight, skin.frameOutline);
            if (bandHeight == height) FillPixels(c, 0, height - 1, width, 1, skin.frameOutline);
        }
        if (icon && !IsRectEmpty(&L.icon))
            DrawIconEx(band->Dc(), L.icon.left, L.icon.top, icon, L.icon.right - L.icon.left,
                       L.icon.bottom - L.icon.top, 0, nullptr, DI_NORMAL);
        DrawTextArgb(*band, L.title, title, CaptionFont(L.dpi),
                     st.active ? skin.captionText : skin.captionTextInactive,
                     DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX,
                     Kept(st.mask, dc, width, bandHeight));
        for (int b = 0; b < kButtonCount; ++b) PaintButton(*band, skin, st, L, b, zoomed);
        BitBlt(dc, 0, 0, width, bandHeight, band->Dc(), 0, 0, SRCCOPY);
    }
    // Left, right and bottom edges under the band, with the outline.
    if (height > bandHeight) {
        const RECT edges[] = {{0, bandHeight, L.insets.left, height},
                              {width - L.insets.right, bandHeight, width, height},
                              {L.insets.left, height - L.insets.bottom, width - L.insets.right, height}};
        for (const RECT& e : edges)
            if (!IsRectEmpty(&e)) FillSolid(dc, e, edgeColour);
        if (!zoomed) {
            const RECT outline[] = {{0, bandHeight, 1, height},
                                    {width - 1, bandHeight, width, height},
                                    {0, height - 1, width, height}};
            for (const RECT& o : outline) FillSolid(dc, o, skin.frameOutline);
        }
    }
    ReleaseDC(window, dc);
}

void Repaint(HWND window) {
    if (FrameState* st = Find(window)) PaintFrame(window, *st);
}

LRESULT OnNcPaint(const Message& m, FrameState& st) {
    PaintFrame(m.window, st);
    return 0;
}

LRESULT OnNcActivate(const Message& m, FrameState& st) {
    st.active = m.wParam != FALSE;
    PaintFrame(m.window, st);
    return TRUE;
}

// The default handling, then the engine's frame: a new title or icon is
// stored without the standard drawing; menus, moving and sizing, and colour
// changes may have drawn over the frame.
LRESULT PassThenRepaint(const Message& m) {
    const bool store = m.message == WM_SETTEXT || m.message == WM_SETICON;
    const LRESULT result = store ? DefaultWithoutDrawing(m.window, m.message, m.wParam, m.lParam) : Pass(m);
    Repaint(m.window);
    return result;
}

// High contrast or the system's colours may have changed: the window is
// painted again if so; new system colours may have drawn over the frame.
LRESULT OnSystemLook(const Message& m) {
    const LRESULT result = FollowSystemLookAndRepaint(m.window, m.message, m.wParam, m.lParam);
    if (m.message == WM_SYSCOLORCHANGE) Repaint(m.window);
    return result;
}

}  // namespace pelmar::frame
