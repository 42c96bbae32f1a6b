#include "dpi.h"

#include "optional_calls.h"

namespace win32::dpi {
namespace {

constexpr char kProperty[] = "win32.dpi";

bool ReadHidden() {
    char value[4] = {};
    return GetEnvironmentVariableA(kHideSystemCalls, value, sizeof value) == 1 && value[0] == '1';
}

// Read once, as the module starts.
bool hidden = ReadHidden();

// The call, unless the per-window calls of DPI are hidden.
template <typename F>
F Available(F call) {
    return hidden ? nullptr : call;
}

// What stands in for GetDpiForWindow (tests); null: the system's.
UINT(WINAPI* windowCallForTest)(HWND) = nullptr;

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesign;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesign;
}

}  // namespace

void HideSystemCallsForTest(bool hide) { hidden = hide; }
void ReplaceWindowCallForTest(UINT(WINAPI* call)(HWND)) { windowCallForTest = call; }

int OfWindow(HWND window) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    if (root) {
        // A system call that answers 0 has not answered: the next source is asked.
        const auto call = windowCallForTest ? windowCallForTest : Available(Optional().getDpiForWindow);
        if (const UINT dpi = call ? call(window) : 0) return static_cast<int>(dpi);
        if (const auto announced = reinterpret_cast<UINT_PTR>(GetPropA(root, kProperty)))
            return static_cast<int>(announced);
    } else {
        if (const auto call = Available(Optional().getDpiForSystem))
            if (const UINT dpi = call()) return static_cast<int>(dpi);
    }
    return ScreenDpi();
}

void KeepAnnounced(HWND window, WPARAM dpiChanged) {
    HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
    const UINT dpi = HIWORD(dpiChanged);
    if (root && dpi >= 24 && dpi <= 24 * kDesign)
        SetPropA(root, kProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
}

void ForgetAnnounced(HWND window) {
    if (window) RemovePropA(window, kProperty);
}

int SystemMetric(int index, int dpi) {
    if (const auto call = Available(Optional().getSystemMetricsForDpi)) return call(index, static_cast<UINT>(dpi));
    return Rescale(GetSystemMetrics(index), dpi, ScreenDpi());
}

bool AdjustWindowRectAt(RECT* rect, DWORD style, DWORD exStyle, int dpi) {
    if (const auto call = Available(Optional().adjustWindowRectExForDpi)) return call(rect, style, FALSE, exStyle, static_cast<UINT>(dpi)) != FALSE;
    return AdjustWindowRectEx(rect, style, FALSE, exStyle) != FALSE;
}

}  // namespace win32::dpi
