// The engine's one context (the current skin, the clocks' time source, the
// skin's caption font and background brush, fonts) and the GDI helpers every
// painter uses. What belongs to one window is kept with that window (its
// subclass's reference data or its extra bytes).
//
// Threads: every part runs on the engine's thread, the one that first starts
// it (claimed in one atomic step), and works on windows of that thread.
// Nothing else is locked.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <new>
#include <string>

#include "dib.h"
#include "raster.h"
#include "skin.h"

namespace pelmar {

// Where the current skin came from.
enum class SkinSource { BuiltIn, File };

// Starts (or restarts) the engine with a skin file; null or "" takes the
// built-in look. false when the engine's window classes cannot be
// registered, or on a thread other than the engine's.
bool StartEngine(const char* skinFile);
// Starts the engine with the built-in look unless started; false off its thread.
bool EnsureStarted();
// At the library's unloading: frees the caption fonts and the background
// brush and unregisters the engine's window classes (a class whose window
// still exists stays registered).
void StopEngine() noexcept;
// A window of the engine's thread.
bool OnEngineThread(HWND window);
const Skin& CurrentSkin();
SkinSource CurrentSource();
const std::string& CurrentSkinPath();   // the file read, when SkinSource::File
const ParseReport& CurrentReport();

// Local time for the clocks; tests put in a fixed time.
using TimeSource = void (*)(SYSTEMTIME* now);
void SetTimeSource(TimeSource source);   // null restores GetLocalTime
void Now(SYSTEMTIME* now);

// A font of the given face at a pixel height; when the face is not
// installed, the first installed of fallback and a list of common faces.
// The caller deletes it.
// cellHeight: pixelHeight is the whole line's height (ascent and descent)
// rather than the characters' height.
HFONT CreateSkinFont(const std::string& face, const std::string& fallback, int pixelHeight, bool bold,
                     bool antialias, bool cellHeight = false);

// The current skin's caption font at a DPI, made once per skin and DPI; the
// engine owns it.
HFONT CaptionFont(int dpi);
// A brush in the skin's background colour; the engine owns it.
HBRUSH BackgroundBrush();
// Fills r with a solid ARGB colour (alpha ignored).
void FillSolid(HDC dc, const RECT& r, uint32_t argb);

// Calls the window's default handling with WS_VISIBLE taken off for the
// duration, so that handlers which would draw the standard look (caption
// text, static text) only store their state; the engine repaints after.
LRESULT DefaultWithoutDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The reference data a window's subclass of the engine was installed with,
// as T*; null when the window does not have that subclass.
template <typename T>
T* SubclassData(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    DWORD_PTR data = 0;
    return window && GetWindowSubclass(window, proc, id, &data) ? reinterpret_cast<T*>(data) : nullptr;
}
// Installs the subclass with a new T as its reference data, which proc
// deletes at WM_NCDESTROY; null when it cannot be installed.
template <typename T>
T* Subclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    auto* data = new (std::nothrow) T;
    if (data && !SetWindowSubclass(window, proc, id, reinterpret_cast<DWORD_PTR>(data))) {
        delete data;
        return nullptr;
    }
    return data;
}

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
void DrawTextArgb(BackBuffer& target, const RECT& box, const std::string& text, HFONT font, uint32_t argb,
                  UINT format, BackBuffer* mask = nullptr);

}  // namespace pelmar
