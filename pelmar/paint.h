// The GDI helpers every painter of the engine uses: a back buffer, painting
// a client area through one, solid fills and text in ARGB colours, and the
// default handling kept from drawing the standard look.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "dib.h"
#include "raster.h"

namespace pelmar {

// A memory device context with a top-down 32 bpp DIB section selected;
// everything is released by the destructor.
class BackBuffer : public win32::Dib {
public:
    BackBuffer(HDC reference, int width, int height) : Dib(reference, width, height, false) {}
    Canvas Pixels();   // flushes pending GDI work first
};

// Paints window's client area (WM_PAINT) through a back buffer of its size:
// draw(buffer, client) fills it, and it reaches the screen in one BitBlt.
// Should draw fail, the paint still ends.
template <typename Draw>
void PaintBuffered(HWND window, Draw draw) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (!dc) return;
    struct PaintEnd {
        HWND window;
        PAINTSTRUCT* ps;
        ~PaintEnd() { EndPaint(window, ps); }
    } end{window, &ps};
    RECT client{};
    GetClientRect(window, &client);
    BackBuffer buffer(dc, client.right, client.bottom);
    if (buffer.Ok()) {
        draw(buffer, client);
        BitBlt(dc, 0, 0, client.right, client.bottom, buffer.Dc(), 0, 0, SRCCOPY);
    }
}

// Text in an ARGB colour (alpha honoured) over what the buffer holds.
// format takes DrawText flags. mask, when given, is a buffer of target's
// size kept by the caller for the text's coverage (its content is lost).
void DrawTextArgb(BackBuffer& target, const RECT& box, std::string_view text, HFONT font, uint32_t argb,
                  UINT format, BackBuffer* mask = nullptr);

// Fills r with a solid ARGB colour (alpha ignored).
void FillSolid(HDC dc, const RECT& r, uint32_t argb);

// Calls the window's default handling with WS_VISIBLE taken off for the
// duration, so that handlers which would draw the standard look (caption
// text, static text) only store their state; the engine repaints after.
LRESULT DefaultWithoutDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// For a window the engine subclassed, on WM_SETTINGCHANGE and
// WM_SYSCOLORCHANGE: the default handling, then, when high contrast or the
// system's colours it draws in changed, the window is painted again whole,
// with its frame and every child.
LRESULT FollowSystemLookAndRepaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace pelmar
