// Display scale. The program's and the libraries' sizes are designed at 96
// DPI; at a DPI of d they are drawn d / 96 times as large, every number
// rounded by the one rule of Scale.
//
// A window's DPI comes from the first of these sources that answers:
//  1. GetDpiForWindow (per-monitor DPI awareness v2, Windows 10 1607 on):
//     the system knows the window's monitor, so the answer is right from
//     the window's creation on and whoever asks.
//  2. The DPI the system last announced for the top-level window with
//     WM_DPICHANGED (kept by KeepAnnounced): before that call existed, the
//     message was the only word of a monitor's own scale, and only a part
//     that saw it can know it.
//  3. The screen's LOGPIXELSY: the system DPI, right until a window is moved
//     to a monitor of another scale.
// A program that declares no awareness sees 96 from each.
//
// ORVANE_NO_WINDOW_DPI=1 in the environment (kHideSystemCalls) hides the
// system's per-window calls of DPI (GetDpiForWindow, GetDpiForSystem,
// GetSystemMetricsForDpi, AdjustWindowRectExForDpi), so that a newer system
// runs the older one's path; any other value changes nothing. It is read
// once, as the module starts.
#pragma once

#include <windows.h>

namespace win32::dpi {

inline constexpr int kDesign = 96;
inline constexpr char kHideSystemCalls[] = "ORVANE_NO_WINDOW_DPI";
// The same for this module from now on, as the seam would have it (tests).
void HideSystemCallsForTest(bool hide);
// GetDpiForWindow taken as call for this module from now on (tests: a system
// whose call answers 0 for a window); null: the system's again.
void ReplaceWindowCallForTest(UINT(WINAPI* call)(HWND));

// The system's messages of a change of scale (not in every header):
// WM_DPICHANGED (wParam: the new DPI in both words; lParam: the suggested
// window rectangle) and WM_GETDPISCALEDSIZE.
inline constexpr UINT kChangedMessage = 0x02E0;
inline constexpr UINT kScaledSizeMessage = 0x02E4;

// value (96-DPI units) at dpi, rounded to the nearest pixel.
inline int Scale(int value, int dpi) { return MulDiv(value, dpi > 0 ? dpi : kDesign, kDesign); }
// value measured at dpi `from` as it stands at dpi `to`.
inline int Rescale(int value, int to, int from) {
    return from > 0 && to > 0 && from != to ? MulDiv(value, to, from) : value;
}

// The DPI of window (of its top-level window); null: the system's.
int OfWindow(HWND window);

// Keeps the DPI a WM_DPICHANGED gives (wParam) with the top-level window,
// so that, where the system cannot say a window's DPI, every part asking
// OfWindow from then on gets it. Every handler of WM_DPICHANGED calls it
// first; calling it again changes nothing. A DPI outside 24..2304 is not
// kept. ForgetAnnounced drops it (at WM_NCDESTROY).
void KeepAnnounced(HWND window, WPARAM dpiChanged);
void ForgetAnnounced(HWND window);

// A system metric at dpi (GetSystemMetricsForDpi where the system has it,
// else the system's own figure scaled from the screen's DPI).
int SystemMetric(int index, int dpi);

// AdjustWindowRectEx at dpi (AdjustWindowRectExForDpi where available, else
// the system's frame as it is).
bool AdjustWindowRectAt(RECT* rect, DWORD style, DWORD exStyle, int dpi);

}  // namespace win32::dpi
