// A standard static label drawn in the skin's style: a shaded panel with a
// one-pixel edge, its text in a chosen face, size and ARGB colour.
#include <windows.h>

#include <algorithm>

#include "common_controls.h"
#include "dpi.h"
#include "engine.h"
#include "helpers.h"
#include "paint.h"
#include "parts.h"
#include "subclass.h"

namespace pelmar {
namespace {

// Kept with the label as its subclass's reference data, until WM_NCDESTROY.
struct LabelState {
    FaceName face;
    int size = 13;          // line height, 96-DPI units
    uint32_t colour = 0;
    bool antialias = true;
    HFONT font = nullptr;   // made on first paint after a change, at fontDpi
    int fontDpi = 0;
};

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

LabelState* Find(HWND label) { return win32::SubclassData<LabelState>(label, LabelProc, kLabelSubclass); }

void DropFont(LabelState& st) {
    if (st.font) DeleteObject(st.font);
    st.font = nullptr;
}

void Paint(HWND label, LabelState& st) {
    PaintBuffered(label, [label, &st](BackBuffer& buffer, const RECT& client) {
        const Skin& skin = CurrentSkin();
        Canvas c = buffer.Pixels();
        FillGradient(c, 0, 0, client.right, client.bottom, skin.labelTop, skin.labelBottom);
        const int dpi = win32::dpi::OfWindow(label);
        if (st.font && st.fontDpi != dpi) DropFont(st);
        if (!st.font) {
            st.font = CreateSkinFont(st.face, skin.labelFont, win32::dpi::Scale(st.size, dpi), false, st.antialias,
                                     true);
            st.fontDpi = dpi;
        }

        const LONG_PTR style = GetWindowLongPtrA(label, GWL_STYLE);
        const LONG_PTR align = style & SS_TYPEMASK;
        UINT format = DT_WORDBREAK | DT_EXPANDTABS;
        format |= align == SS_CENTER ? DT_CENTER : align == SS_RIGHT ? DT_RIGHT : DT_LEFT;
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        const int pad = win32::dpi::Scale(skin.labelPadding, dpi);
        RECT box{pad, pad, std::max<LONG>(pad, client.right - pad), std::max<LONG>(pad, client.bottom - pad)};
        // Longer text is cut: a label shows a few lines at most.
        memory::Text<1024> text;
        win32::WindowText(label, text);
        if (style & SS_CENTERIMAGE) {
            // Vertically centred block.
            RECT measure = box;
            HGDIOBJ old = SelectObject(buffer.Dc(), st.font);
            DrawTextA(buffer.Dc(), text.c_str(), static_cast<int>(text.size()), &measure, format | DT_CALCRECT);
            SelectObject(buffer.Dc(), old);
            const LONG spare = (box.bottom - box.top) - (measure.bottom - measure.top);
            if (spare > 0) box.top += spare / 2;
        }
        const bool enabled = IsWindowEnabled(label) != FALSE;
        uint32_t ink = enabled ? st.colour : skin.captionTextInactive;
        if (HighContrast()) ink = enabled ? CurrentSystemInk().text : CurrentSystemInk().grayText;
        DrawTextArgb(buffer, box, text, st.font, ink, format);
    });
}

// The one-pixel edge of WS_BORDER in the skin's colour, unless a standard
// edge style draws one.
LRESULT OnNcPaint(HWND label, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR exStyle = GetWindowLongPtrA(label, GWL_EXSTYLE);
    if (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME))
        return win32::cc::DefSubclassProc(label, WM_NCPAINT, wParam, lParam);
    if (!(GetWindowLongPtrA(label, GWL_STYLE) & WS_BORDER)) return 0;
    HDC dc = GetWindowDC(label);
    if (!dc) return 0;
    RECT r{};
    GetWindowRect(label, &r);
    OffsetRect(&r, -r.left, -r.top);
    HBRUSH brush = CreateSolidBrush(win32::ArgbToColorref(CurrentSkin().labelBorder));
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(label, dc);
    return 0;
}

// Text, enabled state or font: stored by the default handling without its
// drawing, then painted by the engine.
LRESULT OnChange(HWND label, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = DefaultWithoutDrawing(label, message, wParam, lParam);
    InvalidateRect(label, nullptr, FALSE);
    return result;
}

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    auto* st = reinterpret_cast<LabelState*>(data);
    switch (message) {
    case WM_PAINT: Paint(label, *st); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_NCPAINT: return OnNcPaint(label, wParam, lParam);
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFONT: return OnChange(label, message, wParam, lParam);
    case WM_NCDESTROY:
        DropFont(*st);
        win32::RemoveSubclass(label, LabelProc, id, st);
        return win32::cc::DefSubclassProc(label, message, wParam, lParam);
    default: return win32::cc::DefSubclassProc(label, message, wParam, lParam);
    }
}

}  // namespace

bool SkinLabel(HWND label) {
    if (!label || !IsWindow(label) || !OnEngineThread(label)) return false;
    if (Find(label)) return true;
    auto* st = win32::Subclass<LabelState>(label, LabelProc, kLabelSubclass);
    if (!st) return false;
    st->face = CurrentSkin().labelFont;
    st->colour = CurrentSkin().captionText;
    SetWindowPos(label, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(label, nullptr, FALSE);
    return true;
}

bool SetLabelFont(HWND label, const char* face, int size, uint32_t argb, bool antialias) {
    if (!SkinLabel(label)) return false;
    LabelState& st = *Find(label);
    DropFont(st);
    st.face.Assign(face ? face : "");   // cut to a face name's bound
    st.size = size >= 4 && size <= 200 ? size : 13;
    st.colour = argb;
    st.antialias = antialias;
    InvalidateRect(label, nullptr, FALSE);
    return true;
}

}  // namespace pelmar
