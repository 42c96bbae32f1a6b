#include "program.h"

#include <algorithm>

#include "controls.h"
#include "dpi.h"
#include "main_window.h"
#include "md2ex.h"
#include "orvane.h"
#include "report.h"
#include "scene_state.h"
#include "setup.h"
#include "shell_math.h"
#include "trace.h"

namespace {

HINSTANCE g_instance = nullptr;

// The program's name on the debug output.
constexpr char kProgram[] = "orvane_demo";

// Every kind of message a thread's queue can hold, as every Windows version
// knows them (newer headers add kinds that older systems refuse).
constexpr DWORD kAnyMessage =
    QS_KEY | QS_MOUSE | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY | QS_SENDMESSAGE;

// A second copy: bring the first copy's main window forward and end. While
// the first copy has no main window yet, keep looking every few
// milliseconds; give up when its mutex is gone (it ended) or after
// kHandOverWaitMs.
int HandOver(const char* name, HANDLE ownMutex) {
    DWORD start = 0;
    for (;;) {
        HWND running = FindWindowA(name, nullptr);
        if (running) {
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            SetForegroundWindow(running);
            return 0;
        }
        // Empty this thread's message queue without dispatching anything.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        if (ownMutex) {
            // Our own handle keeps the mutex alive; drop it so the test below
            // sees whether the first copy still holds one.
            start = GetTickCount();
            CloseHandle(ownMutex);
            ownMutex = nullptr;
        }
        HANDLE probe = OpenMutexA(SYNCHRONIZE, FALSE, name);
        if (!probe) return 0;
        CloseHandle(probe);
        if (GetTickCount() - start > kHandOverWaitMs) return 0;
        // Give the processor back to the first copy, which needs it to make
        // its window; a message arriving meanwhile ends the pause early and
        // is dropped on the next round.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kHandOverPauseMs, kAnyMessage);
    }
}

bool RegisterMainClass(HINSTANCE instance, const char* className) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(WNDCLASSEXA);
    // The look-up asks under the GL control library's instance (qInstance
    // is offered for this test), not the program's: a class found there
    // counts as registered and is not registered again. The program registers
    // under its own instance, so with the library in its own DLL the look-up
    // finds nothing at a fresh start and the class is registered below; only
    // where the library is linked into the program are the two instances one.
    if (GetClassInfoExA(qInstance(), className, &existing)) return true;
    // No class or window extra bytes, no background brush, no menu.
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, "PROGRAM");
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    windowClass.hIconSm = windowClass.hIcon;
    return (RegisterClassExA(&windowClass) & 0xFFFF) != 0;
}

// The view library's version as ANSI text in a fixed buffer (its first 259
// characters, as many as a title can show), so that the main window's title
// needs no memory; the BSTR is freed here.
struct VersionText {
    VersionText() {
        BSTR version = QI_Version();
        if (!version) return;
        const int wide = static_cast<int>(std::min<UINT>(SysStringLen(version), 259));
        const int bytes = WideCharToMultiByte(CP_ACP, 0, version, wide, text, sizeof text - 1, nullptr, nullptr);
        text[bytes > 0 ? bytes : 0] = '\0';
        SysFreeString(version);
    }
    char text[4 * 260] = {};   // four bytes a character at most, in any code page
};

HWND CreateMainWindow(HINSTANCE instance, const char* className, char* textBuffer, std::size_t textSize) {
    constexpr DWORD kExStyle = WS_EX_WINDOWEDGE | WS_EX_APPWINDOW;
    // The client area of the design at the system's DPI.
    const int dpi = win32::dpi::OfWindow(nullptr);
    RECT rect;
    SetRect(&rect, 0, 0, win32::dpi::Scale(668, dpi), win32::dpi::Scale(532, dpi));
    if (dpi == win32::dpi::kDesign)
        AdjustWindowRectEx(&rect, WS_OVERLAPPEDWINDOW, FALSE, kExStyle);
    else
        win32::dpi::AdjustWindowRectAt(&rect, WS_OVERLAPPEDWINDOW, kExStyle, dpi);
    const int x = CentredOrigin(GetSystemMetrics(SM_CXSCREEN), rect.left, rect.right);
    const int y = CentredOrigin(GetSystemMetrics(SM_CYSCREEN), rect.top, rect.bottom);
    MainWindowTitle(textBuffer, textSize, VersionText().text);
    HWND window = CreateWindowExA(kExStyle, className, textBuffer,
                                  WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y,
                                  rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr, instance, nullptr);
    // Placed on a display of another scale than the system's, the window
    // takes that display's DPI before any child is made.
    const int own = window ? win32::dpi::OfWindow(window) : dpi;
    if (own != dpi) {
        SetRect(&rect, 0, 0, win32::dpi::Scale(668, own), win32::dpi::Scale(532, own));
        win32::dpi::AdjustWindowRectAt(&rect, WS_OVERLAPPEDWINDOW, kExStyle, own);
        SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return window;
}

}  // namespace

HINSTANCE ProgramInstance() { return g_instance; }

int ProgramMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    g_instance = instance;
    char className[16];
    CopyText(className, sizeof className, kInstanceName);
    char textBuffer[260];
    MSG message{};

    // Single instance: the mutex marks a running copy.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, className);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) return HandOver(className, mutex);

    if (!RegisterMainClass(instance, className)) {
        if (mutex) CloseHandle(mutex);
        return 0;
    }
    if (!RegisterOrvaneClass()) return kNoViewClassExit;
    QI_LoadDLL(nullptr);

    {
        orvane_trace::Step step("app", "main window");
        Scene.MainWindow = CreateMainWindow(instance, className, textBuffer, sizeof textBuffer);
    }
    if (!Scene.MainWindow) {
        // The program ends as it always has here, with exit code 0; the
        // debug output says why it showed nothing.
        win32::Report(kProgram, "main window", nullptr, "not made, so the program ends");
        if (mutex) CloseHandle(mutex);
        return 0;
    }

    // A step that runs out of memory leaves out what it could not do, as
    // one whose file is missing; the program goes on with the others.
    BuildView();
    BuildZoomTrackbar();
    PrepareScene();
    BuildOverlayFont();
    const bool running = StartSkinEngine();
    if (running) {
        ApplySkinAndColumn(textBuffer, sizeof textBuffer);
        {
            orvane_trace::Step step("app", "show");
            ShowWindow(Scene.MainWindow, showCommand);
            SetForegroundWindow(Scene.MainWindow);
            SetFocus(Scene.MainWindow);
        }
        SetTimer(Scene.MainWindow, static_cast<UINT_PTR>(kAnimationTimerId), 0, nullptr);
        // GetMessageA gives -1 only on an error; ending the loop then beats spinning on it.
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        KillTimer(Scene.MainWindow, static_cast<UINT_PTR>(kAnimationTimerId));
    }

    // Shut-down: the model slots, then every texture of the table at once.
    for (int slot = 1; slot <= Scene.TextureTable.HighIndex(); ++slot) MD2_Delete(slot);
    QI_DestroyTexture(Scene.TextureTable.First(), Scene.TextureTable.Count());
    const int result = static_cast<int>(message.wParam);
    if (mutex) CloseHandle(mutex);
    return result;
}
