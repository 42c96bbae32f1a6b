// Tooltips: one per window that asks for it, and tracking tips that the
// frame shows itself over its caption buttons.
#include <windows.h>

#include "common_controls.h"
#include "engine.h"
#include "helpers.h"
#include "parts.h"
#include "subclass.h"
#include "system_library.h"

namespace pelmar {
namespace {

// The size every comctl32 version accepts, for the tool id of owner.
TTTOOLINFOA ToolInfo(HWND owner, UINT_PTR id) {
    TTTOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = owner;
    ti.uId = id;
    return ti;
}

// The look's colours, set when they differ from the tooltip's.
void ApplyColours(HWND tip) {
    const COLORREF back = win32::ArgbToColorref(CurrentSkin().tooltipBackground);
    const COLORREF text = win32::ArgbToColorref(CurrentSkin().tooltipText);
    if (static_cast<COLORREF>(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0)) != back)
        SendMessageA(tip, TTM_SETTIPBKCOLOR, back, 0);
    if (static_cast<COLORREF>(SendMessageA(tip, TTM_GETTIPTEXTCOLOR, 0, 0)) != text)
        SendMessageA(tip, TTM_SETTIPTEXTCOLOR, text, 0);
}

// A tooltip takes the look's colours each time it paints, so that it
// follows high contrast and the system's colours as they change.
LRESULT CALLBACK TipProc(HWND tip, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
    if (message == WM_PAINT || message == WM_PRINTCLIENT || message == WM_ERASEBKGND) ApplyColours(tip);
    else if (message == WM_NCDESTROY) win32::cc::RemoveWindowSubclass(tip, TipProc, id);
    return win32::cc::DefSubclassProc(tip, message, wParam, lParam);
}

HWND NewTip(HWND owner) {
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               win32::ThisModule(), nullptr);
    if (!tip) return nullptr;
    // Plain drawing, so the skin's colours apply under visual styles too.
    using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    auto set = reinterpret_cast<SetTheme>(
        reinterpret_cast<void*>(win32::SystemFunction("uxtheme.dll", "SetWindowTheme")));
    if (set) set(tip, L"", L"");
    ApplyColours(tip);
    win32::cc::SetWindowSubclass(tip, TipProc, kTipSubclass, 0);
    SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, 400);
    return tip;
}

// A window's tooltip is the reference data of the window's subclass, and
// goes with the window.
LRESULT CALLBACK ToolProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        HWND tip = reinterpret_cast<HWND>(data);
        if (IsWindow(tip)) DestroyWindow(tip);
        win32::cc::RemoveWindowSubclass(window, ToolProc, id);
    }
    return win32::cc::DefSubclassProc(window, message, wParam, lParam);
}

// The text as a tool takes it: the control copies it and never writes
// through the pointer.
char* ToolText(const char* text) { return const_cast<char*>(text ? text : ""); }

}  // namespace

bool AddToolTip(HWND window, const char* text) {
    if (!window || !IsWindow(window) || !OnEngineThread(window)) return false;
    TTTOOLINFOA ti = ToolInfo(GetParent(window) ? GetParent(window) : window, reinterpret_cast<UINT_PTR>(window));
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.lpszText = ToolText(text);
    if (HWND tip = ToolTipOf(window)) {
        SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
        return true;
    }
    HWND tip = NewTip(GetAncestor(window, GA_ROOT));
    if (!tip) return false;
    // Installing the subclass again only gives it the new tooltip.
    if (!SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)) ||
        !win32::cc::SetWindowSubclass(window, ToolProc, kToolSubclass, reinterpret_cast<DWORD_PTR>(tip))) {
        DestroyWindow(tip);
        return false;
    }
    return true;
}

HWND ToolTipOf(HWND window) {
    HWND tip = win32::SubclassData<HWND__>(window, ToolProc, kToolSubclass);
    return tip && IsWindow(tip) ? tip : nullptr;
}

HWND CreateTrackingTip(HWND owner) {
    HWND tip = NewTip(owner);
    if (!tip) return nullptr;
    TTTOOLINFOA ti = ToolInfo(owner, 1);
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.lpszText = ToolText("");
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    return tip;
}

void ShowTrackingTip(HWND tip, HWND owner, const char* text, POINT screen) {
    if (!tip) return;
    TTTOOLINFOA ti = ToolInfo(owner, 1);
    ti.lpszText = ToolText(text);
    SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(screen.x, screen.y));
    SendMessageA(tip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void HideTrackingTip(HWND tip, HWND owner) {
    if (!tip) return;
    TTTOOLINFOA ti = ToolInfo(owner, 1);
    SendMessageA(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace pelmar
