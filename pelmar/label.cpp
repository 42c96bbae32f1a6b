// A standard static label drawn in the skin's style: a shaded panel with a
// one-pixel edge, its text in a chosen face, size and ARGB colour.
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <string>

#include "engine.h"
#include "parts.h"

namespace pelmar {
namespace {

struct LabelState {
    std::string face;
    int size = 13;
    uint32_t colour = 0;
    bool antialias = true;
    HFONT font = nullptr;   // made on first paint after a change
};

std::map<HWND, LabelState>& Labels() {
    static std::map<HWND, LabelState> labels;
    return labels;
}

LabelState* Find(HWND label) {
    auto it = Labels().find(label);
    return it == Labels().end() ? nullptr : &it->second;
}

void DropFont(LabelState& st) {
    if (st.font) DeleteObject(st.font);
    st.font = nullptr;
}

std::string Text(HWND label) {
    const int n = GetWindowTextLengthA(label);
    if (n <= 0) return std::string();
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    const int got = GetWindowTextA(label, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

void Paint(HWND label, LabelState& st) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(label, &ps);
    if (!dc) return;
    RECT client{};
    GetClientRect(label, &client);
    const Skin& skin = CurrentSkin();
    BackBuffer buffer(dc, client.right, client.bottom);
    if (buffer.Ok()) {
        Canvas c = buffer.Pixels();
        FillGradient(c, 0, 0, client.right, client.bottom, skin.labelTop, skin.labelBottom);
        if (!st.font) st.font = CreateSkinFont(st.face, skin.labelFont, st.size, false, st.antialias, true);

        const LONG_PTR style = GetWindowLongPtrA(label, GWL_STYLE);
        const LONG_PTR align = style & SS_TYPEMASK;
        UINT format = DT_WORDBREAK | DT_EXPANDTABS;
        format |= align == SS_CENTER ? DT_CENTER : align == SS_RIGHT ? DT_RIGHT : DT_LEFT;
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        const int pad = skin.labelPadding;
        RECT box{pad, pad, std::max<LONG>(pad, client.right - pad), std::max<LONG>(pad, client.bottom - pad)};
        const std::string text = Text(label);
        if (style & SS_CENTERIMAGE) {
            // Vertically centred block.
            RECT measure = box;
            HGDIOBJ old = SelectObject(buffer.Dc(), st.font);
            DrawTextA(buffer.Dc(), text.c_str(), static_cast<int>(text.size()), &measure, format | DT_CALCRECT);
            SelectObject(buffer.Dc(), old);
            const LONG spare = (box.bottom - box.top) - (measure.bottom - measure.top);
            if (spare > 0) box.top += spare / 2;
        }
        DrawTextArgb(buffer, box, text, st.font, IsWindowEnabled(label) ? st.colour : skin.captionTextInactive,
                     format);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Dc(), 0, 0, SRCCOPY);
    }
    EndPaint(label, &ps);
}

// The one-pixel edge of WS_BORDER in the skin's colour.
void PaintEdge(HWND label) {
    if (!(GetWindowLongPtrA(label, GWL_STYLE) & WS_BORDER)) return;
    HDC dc = GetWindowDC(label);
    if (!dc) return;
    RECT r{};
    GetWindowRect(label, &r);
    OffsetRect(&r, -r.left, -r.top);
    const uint32_t edge = CurrentSkin().labelBorder;
    HBRUSH brush = CreateSolidBrush(RGB((edge >> 16) & 0xFF, (edge >> 8) & 0xFF, edge & 0xFF));
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(label, dc);
}

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    LabelState* st = Find(label);
    if (!st) return DefSubclassProc(label, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        Paint(label, *st);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCPAINT: {
        const LONG_PTR exStyle = GetWindowLongPtrA(label, GWL_EXSTYLE);
        if (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) break;
        PaintEdge(label);
        return 0;
    }
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_SETFONT: {
        const LRESULT result = DefaultWithoutDrawing(label, message, wParam, lParam);
        InvalidateRect(label, nullptr, FALSE);
        return result;
    }
    case WM_NCDESTROY:
        DropFont(*st);
        Labels().erase(label);
        RemoveWindowSubclass(label, LabelProc, id);
        break;
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

bool SkinLabel(HWND label) {
    if (!label || !IsWindow(label)) return false;
    if (Find(label)) return true;
    LabelState st;
    st.face = CurrentSkin().labelFont;
    st.colour = CurrentSkin().captionText;
    Labels()[label] = st;
    if (!SetWindowSubclass(label, LabelProc, kLabelSubclass, 0)) {
        Labels().erase(label);
        return false;
    }
    SetWindowPos(label, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    InvalidateRect(label, nullptr, FALSE);
    return true;
}

bool SetLabelFont(HWND label, const char* face, int size, uint32_t argb, bool antialias) {
    if (!SkinLabel(label)) return false;
    LabelState& st = *Find(label);
    DropFont(st);
    st.face = face ? std::string(face).substr(0, LF_FACESIZE - 1) : std::string();
    st.size = size >= 4 && size <= 200 ? size : 13;
    st.colour = argb;
    st.antialias = antialias;
    InvalidateRect(label, nullptr, FALSE);
    return true;
}

}  // namespace pelmar
