#include "paint.h"

#include <cstring>

#include "common_controls.h"
#include "engine.h"
#include "helpers.h"
#include "owned.h"
#include "report.h"

namespace pelmar {

Canvas BackBuffer::Pixels() {
    GdiFlush();
    auto* bits = static_cast<uint32_t*>(Bits());
    return {bits, bits ? Width() : 0, bits ? Height() : 0};
}

void DrawTextArgb(BackBuffer& target, const RECT& box, std::string_view text, HFONT font, uint32_t argb,
                  UINT format, BackBuffer* kept) {
    if (!target.Ok() || text.empty()) return;
    memory::Owned<BackBuffer> own;
    if (!kept || kept->Width() != target.Width() || kept->Height() != target.Height() || !kept->Ok()) {
        own = memory::MakeOwned<BackBuffer>(target.Dc(), target.Width(), target.Height());
        if (!own) return win32::ReportOutOfMemory("pelmar", __func__);
        if (!own->Ok()) return;
        kept = own.get();
    } else {
        GdiFlush();
        std::memset(kept->Bits(), 0, static_cast<std::size_t>(kept->Width()) * kept->Height() * 4);
    }
    BackBuffer& mask = *kept;
    // White text on black: the green byte of each pixel is its coverage.
    HGDIOBJ oldFont = SelectObject(mask.Dc(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mask.Dc(), TRANSPARENT);
    SetTextColor(mask.Dc(), RGB(255, 255, 255));
    RECT r = box;
    DrawTextA(mask.Dc(), text.data(), static_cast<int>(text.size()), &r, format);
    SelectObject(mask.Dc(), oldFont);
    const Canvas m = mask.Pixels();
    ApplyTextMask(target.Pixels(), m.pixels, argb);
}

void FillSolid(HDC dc, const RECT& r, uint32_t argb) {
    HBRUSH brush = CreateSolidBrush(win32::ArgbToColorref(argb));
    if (!brush) return;
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

LRESULT DefaultWithoutDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const bool visible = (style & WS_VISIBLE) != 0;
    if (visible) SetWindowLongPtrA(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const LRESULT result = win32::cc::DefSubclassProc(window, message, wParam, lParam);
    if (visible) SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_VISIBLE);
    return result;
}

LRESULT FollowSystemLookAndRepaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = win32::cc::DefSubclassProc(window, message, wParam, lParam);
    if (FollowSystemLook())
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return result;
}

}  // namespace pelmar
