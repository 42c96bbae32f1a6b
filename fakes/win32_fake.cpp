// Recording stand-ins for the shell's Win32 calls. Each is reached through a
// pointer named fakewin_<call>, the name the shell's test library imports.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <string>

#include "recorder.h"
#include "win32.h"

using fake::Hex;
using fake::Quote;
using fake::Record;
using fake::Win32;
using std::to_string;

namespace {

std::string Text(LPCSTR text) {
    // Resource and class names may be small integers (MAKEINTRESOURCE).
    if (text && reinterpret_cast<ULONG_PTR>(text) < 0x10000) {
        std::string id(1, '#');   // appended, not concatenated: GCC 12 warns wrongly about overlap
        return id.append(to_string(reinterpret_cast<ULONG_PTR>(text)));
    }
    return Quote(text);
}

std::string Int(LONG_PTR value) { return to_string(value); }

DWORD g_lastError = 0;

HANDLE WINAPI CreateMutexA_(LPSECURITY_ATTRIBUTES security, BOOL owned, LPCSTR name) {
    Record("CreateMutexA", {Hex(security), Int(owned), Text(name)});
    g_lastError = Win32().lastErrorAfterMutex;
    return Win32().mutex;
}
DWORD WINAPI GetLastError_() {
    Record("GetLastError", {});
    return g_lastError;
}
BOOL WINAPI CloseHandle_(HANDLE handle) {
    Record("CloseHandle", {Hex(handle)});
    return TRUE;
}
HANDLE WINAPI OpenMutexA_(DWORD access, BOOL inherit, LPCSTR name) {
    Record("OpenMutexA", {Hex(access), Int(inherit), Text(name)});
    if (Win32().mutexProbes == 0) return nullptr;
    if (Win32().mutexProbes > 0) --Win32().mutexProbes;
    return reinterpret_cast<HANDLE>(0x4E);
}
DWORD WINAPI GetTickCount_() {
    const DWORD tick = Win32().tick;
    Win32().tick += Win32().tickStep;
    Record("GetTickCount", {to_string(tick)});
    return tick;
}
HMODULE WINAPI GetModuleHandleA_(LPCSTR name) {
    Record("GetModuleHandleA", {Text(name)});
    return Win32().moduleHandle;
}
void WINAPI GetStartupInfoA_(LPSTARTUPINFOA info) {
    Record("GetStartupInfoA", {to_string(info ? info->cb : 0)});
    if (!info) return;
    info->dwFlags = Win32().startupFlags;
    info->wShowWindow = Win32().startupShow;
}
void WINAPI ExitProcess_(UINT code) {
    Record("ExitProcess", {to_string(code)});
    throw fake::ProcessExit{code};
}
LPSTR WINAPI GetCommandLineA_() {
    static char commandLine[] = "orvane_demo.exe";
    return commandLine;
}
HWND WINAPI FindWindowA_(LPCSTR className, LPCSTR title) {
    Record("FindWindowA", {Text(className), Text(title)});
    if (Win32().findWindow.empty()) return nullptr;
    HWND found = Win32().findWindow.front();
    Win32().findWindow.pop_front();
    return found;
}
BOOL WINAPI IsIconic_(HWND window) {
    Record("IsIconic", {Hex(window)});
    return Win32().iconic;
}
BOOL WINAPI ShowWindow_(HWND window, int command) {
    Record("ShowWindow", {Hex(window), to_string(command)});
    return TRUE;
}
BOOL WINAPI SetForegroundWindow_(HWND window) {
    Record("SetForegroundWindow", {Hex(window)});
    return TRUE;
}
BOOL WINAPI PeekMessageA_(LPMSG, HWND window, UINT first, UINT last, UINT remove) {
    Record("PeekMessageA", {Hex(window), to_string(first), to_string(last), to_string(remove)});
    return FALSE;
}
DWORD WINAPI MsgWaitForMultipleObjects_(DWORD count, const HANDLE* handles, BOOL all, DWORD ms, DWORD mask) {
    Record("MsgWaitForMultipleObjects", {to_string(count), Hex(handles), Int(all), to_string(ms), Hex(mask)});
    return WAIT_TIMEOUT;
}
BOOL WINAPI GetClassInfoExA_(HINSTANCE instance, LPCSTR className, LPWNDCLASSEXA record) {
    Record("GetClassInfoExA", {Hex(instance), Text(className), to_string(record ? record->cbSize : 0)});
    return Win32().classExists;
}
ATOM WINAPI RegisterClassExA_(const WNDCLASSEXA* c) {
    Record("RegisterClassExA",
           {to_string(c->cbSize), to_string(c->style), Hex(reinterpret_cast<void*>(c->lpfnWndProc)),
            to_string(c->cbClsExtra), to_string(c->cbWndExtra), Hex(c->hInstance), Hex(c->hIcon), Hex(c->hCursor),
            Hex(c->hbrBackground), Text(c->lpszMenuName), Text(c->lpszClassName), Hex(c->hIconSm)});
    return Win32().atom;
}
HICON WINAPI LoadIconA_(HINSTANCE instance, LPCSTR name) {
    Record("LoadIconA", {Hex(instance), Text(name)});
    return reinterpret_cast<HICON>(0x1C0);
}
HCURSOR WINAPI LoadCursorA_(HINSTANCE instance, LPCSTR name) {
    Record("LoadCursorA", {Hex(instance), Text(name)});
    return reinterpret_cast<HCURSOR>(0xC0);
}
BOOL WINAPI SetRect_(LPRECT rect, int left, int top, int right, int bottom) {
    Record("SetRect", {to_string(left), to_string(top), to_string(right), to_string(bottom)});
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}
BOOL WINAPI AdjustWindowRectEx_(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    Record("AdjustWindowRectEx", {Hex(static_cast<std::uint32_t>(style)), to_string(menu),
                                  Hex(static_cast<std::uint32_t>(exStyle))});
    const int f = Win32().frame;
    rect->left -= f;
    rect->top -= f + Win32().caption;
    rect->right += f;
    rect->bottom += f;
    return TRUE;
}
int WINAPI GetSystemMetrics_(int index) {
    Record("GetSystemMetrics", {to_string(index)});
    if (index == SM_CXSCREEN) return Win32().screenWidth;
    if (index == SM_CYSCREEN) return Win32().screenHeight;
    return 0;
}
HWND WINAPI CreateWindowExA_(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                             int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    Record("CreateWindowExA",
           {Hex(static_cast<std::uint32_t>(exStyle)), Text(className), Text(title),
            Hex(static_cast<std::uint32_t>(style)), to_string(x), to_string(y), to_string(width),
            to_string(height), Hex(parent), Int(reinterpret_cast<LONG_PTR>(menu)), Hex(instance), Hex(param)});
    const auto found = Win32().windows.find(className ? className : "");
    return found == Win32().windows.end() ? nullptr : found->second;
}
LONG WINAPI SetWindowLongA_(HWND window, int index, LONG value) {
    Record("SetWindowLongA", {Hex(window), to_string(index), Hex(static_cast<std::uint32_t>(value))});
    return Win32().oldWindowProc;
}
LRESULT WINAPI SendMessageA_(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record("SendMessageA", {Hex(window), Hex(static_cast<std::uint32_t>(message)), Int(static_cast<LONG_PTR>(wParam)),
                            Hex(static_cast<std::uint32_t>(lParam))});
    return Win32().sendMessageResult;
}
BOOL WINAPI GetWindowRect_(HWND window, LPRECT rect) {
    Record("GetWindowRect", {Hex(window)});
    *rect = Win32().viewScreenRect;
    return TRUE;
}
BOOL WINAPI ScreenToClient_(HWND window, LPPOINT point) {
    Record("ScreenToClient", {Hex(window), to_string(point->x), to_string(point->y)});
    point->x -= Win32().clientOrigin.x;
    point->y -= Win32().clientOrigin.y;
    return TRUE;
}
BOOL WINAPI GetClientRect_(HWND window, LPRECT rect) {
    Record("GetClientRect", {Hex(window)});
    *rect = Win32().clientRect;
    return TRUE;
}
HWND WINAPI SetFocus_(HWND window) {
    Record("SetFocus", {Hex(window)});
    return nullptr;
}
UINT_PTR WINAPI SetTimer_(HWND window, UINT_PTR id, UINT interval, TIMERPROC proc) {
    Record("SetTimer", {Hex(window), Int(static_cast<LONG_PTR>(id)), to_string(interval), Hex(reinterpret_cast<void*>(proc))});
    return id;
}
BOOL WINAPI GetMessageA_(LPMSG message, HWND window, UINT first, UINT last) {
    Record("GetMessageA", {Hex(window), to_string(first), to_string(last)});
    if (Win32().messages.empty()) {
        *message = MSG{};
        message->message = WM_QUIT;
        message->wParam = Win32().quitCode;
        return FALSE;
    }
    *message = Win32().messages.front();
    Win32().messages.pop_front();
    return TRUE;
}
BOOL WINAPI TranslateMessage_(const MSG* message) {
    Record("TranslateMessage", {Hex(static_cast<std::uint32_t>(message->message))});
    return FALSE;
}
LRESULT WINAPI DispatchMessageA_(const MSG* message) {
    Record("DispatchMessageA", {Hex(static_cast<std::uint32_t>(message->message))});
    return 0;
}
BOOL WINAPI KillTimer_(HWND window, UINT_PTR id) {
    Record("KillTimer", {Hex(window), Int(static_cast<LONG_PTR>(id))});
    return TRUE;
}
int WINAPI GetDlgCtrlID_(HWND window) {
    Record("GetDlgCtrlID", {Hex(window)});
    const auto found = Win32().controlIds.find(window);
    return found == Win32().controlIds.end() ? 0 : found->second;
}
HDC WINAPI BeginPaint_(HWND window, LPPAINTSTRUCT paint) {
    Record("BeginPaint", {Hex(window)});
    *paint = PAINTSTRUCT{};
    return reinterpret_cast<HDC>(0xDC1);
}
BOOL WINAPI EndPaint_(HWND window, const PAINTSTRUCT*) {
    Record("EndPaint", {Hex(window)});
    return TRUE;
}
void WINAPI PostQuitMessage_(int code) { Record("PostQuitMessage", {to_string(code)}); }
LRESULT WINAPI DefWindowProcA_(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Record("DefWindowProcA", {Hex(window), Hex(static_cast<std::uint32_t>(message)), Int(static_cast<LONG_PTR>(wParam)),
                              Int(static_cast<LONG_PTR>(lParam))});
    return Win32().defWindowProcResult;
}
HRESULT WINAPI CoInitialize_(LPVOID reserved) {
    Record("CoInitialize", {Hex(reserved)});
    return S_OK;
}
void WINAPI CoUninitialize_() { Record("CoUninitialize", {}); }
void WINAPI SysFreeString_(BSTR text) {
    Record("SysFreeString", {});
    SysFreeString(text);
}

}  // namespace

#define WIN32_IMPORT(name)                                                  \
    extern "C" {                                                            \
    extern void* fakewin_##name;                                            \
    void* fakewin_##name = reinterpret_cast<void*>(&name##_);               \
    }

WIN32_IMPORT(CreateMutexA)
WIN32_IMPORT(GetLastError)
WIN32_IMPORT(CloseHandle)
WIN32_IMPORT(OpenMutexA)
WIN32_IMPORT(GetTickCount)
WIN32_IMPORT(GetModuleHandleA)
WIN32_IMPORT(GetStartupInfoA)
WIN32_IMPORT(ExitProcess)
WIN32_IMPORT(GetCommandLineA)
WIN32_IMPORT(FindWindowA)
WIN32_IMPORT(IsIconic)
WIN32_IMPORT(ShowWindow)
WIN32_IMPORT(SetForegroundWindow)
WIN32_IMPORT(PeekMessageA)
WIN32_IMPORT(MsgWaitForMultipleObjects)
WIN32_IMPORT(GetClassInfoExA)
WIN32_IMPORT(RegisterClassExA)
WIN32_IMPORT(LoadIconA)
WIN32_IMPORT(LoadCursorA)
WIN32_IMPORT(SetRect)
WIN32_IMPORT(AdjustWindowRectEx)
WIN32_IMPORT(GetSystemMetrics)
WIN32_IMPORT(CreateWindowExA)
WIN32_IMPORT(SetWindowLongA)
WIN32_IMPORT(SendMessageA)
WIN32_IMPORT(GetWindowRect)
WIN32_IMPORT(ScreenToClient)
WIN32_IMPORT(GetClientRect)
WIN32_IMPORT(SetFocus)
WIN32_IMPORT(SetTimer)
WIN32_IMPORT(GetMessageA)
WIN32_IMPORT(TranslateMessage)
WIN32_IMPORT(DispatchMessageA)
WIN32_IMPORT(KillTimer)
WIN32_IMPORT(GetDlgCtrlID)
WIN32_IMPORT(BeginPaint)
WIN32_IMPORT(EndPaint)
WIN32_IMPORT(PostQuitMessage)
WIN32_IMPORT(DefWindowProcA)
WIN32_IMPORT(CoInitialize)
WIN32_IMPORT(CoUninitialize)
WIN32_IMPORT(SysFreeString)
