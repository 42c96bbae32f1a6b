#include "controls.h"

#include <windows.h>
#include <commctrl.h>

#include <string_view>

#include "dpi.h"
#include "helpers.h"
#include "keys.h"
#include "navigation.h"
#include "orvane.h"
#include "pelmar.h"
#include "program.h"
#include "scene_state.h"
#include "shell_math.h"
#include "trace.h"

namespace {

// A size of the 96-DPI design at the main window's DPI.
int Px(int value) { return win32::dpi::Scale(value, win32::dpi::OfWindow(Scene.MainWindow)); }

HWND CreateChild(const char* className, const char* text, DWORD style, int x, int y, int width, int height,
                 int id) {
    return CreateWindowExA(0, className, text, style, x, y, width, height, Scene.MainWindow,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramInstance(), nullptr);
}

// A file of the resource folder; a path too long for MAX_PATH is cut, and
// names no file then.
win32::Path Resource(std::string_view name) {
    win32::Path path(Scene.ResourceDir);
    path.Append(name);
    return path;
}

}  // namespace

void BuildView() {
    orvane_trace::Step step("app", "view");
    // Its text is its name for screen readers (the view control's window text).
    Scene.GLView = CreateChild("QOPENGLCTRL", "3D view", WS_CHILD | WS_VISIBLE, Px(10), Px(10), Px(512), Px(512),
                               kViewId);
    if (Scene.GLView) {
        Scene.OldViewProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(Scene.GLView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewProc)));
    }
    QI_SetAnchorMode(Scene.GLView, 5);
    // Focus cues stay hidden for a mouse user, as in a dialog, until a key
    // is used (or always shown where the user's settings say so).
    SendMessageA(Scene.MainWindow, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, UISF_HIDEFOCUS), 0);
}

void BuildZoomTrackbar() {
    orvane_trace::Step step("app", "trackbar");
    // The trackbar's name for screen readers: Windows' accessibility layer
    // names a slider from the static text just before it in the z-order (an
    // empty static, shown but of no size, changes nothing on screen); others
    // read the trackbar's own text.
    // Anchored as the trackbar is, so that it keeps its place beside it.
    HWND name = CreateChild("STATIC", "Zoom", WS_CHILD | WS_VISIBLE | SS_LEFT, Px(537), Px(457), 0, 0, kZoomLabelId);
    QI_SetAnchorMode(name, 9);
    HWND trackbar = CreateChild("MSCTLS_TRACKBAR32", "Zoom",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS | TBS_HORZ | TBS_BOTTOM, Px(537),
                                Px(457), Px(120), Px(16), kZoomTrackbarId);
    QI_SetAnchorMode(trackbar, 9);
    SendMessageA(trackbar, TBM_SETPAGESIZE, 0, 1);
    SendMessageA(trackbar, TBM_SETLINESIZE, 0, 1);
    SendMessageA(trackbar, TBM_SETTICFREQ, 1, 0);
    SendMessageA(trackbar, TBM_SETRANGE, TRUE, MAKELONG(1, 100));
    SendMessageA(trackbar, TBM_SETPOS, TRUE, 50);
    // Tab, + and - for keyboard users.
    Scene.ZoomBar = trackbar;
    if (trackbar) {
        Scene.OldZoomBarProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(trackbar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ZoomBarProc)));
    }
}

void BuildOverlayFont() {
    orvane_trace::Step step("app", "overlay font");
    CopyText(Scene.OverlayFont.FontName, sizeof Scene.OverlayFont.FontName, "Arial");
    Scene.OverlayFont.FontHeight = Px(10);
    Scene.OverlayFont.FontWeight = 700;
    QI_BuildGLfont(QI_GetGLDC(Scene.GLView), &Scene.OverlayFont);
}

void RebuildOverlayFont() {
    QI_DeleteGLFont(&Scene.OverlayFont);
    Scene.OverlayFont.FontHeight = Px(10);
    QI_BuildGLfont(QI_GetGLDC(Scene.GLView), &Scene.OverlayFont);
}

bool StartSkinEngine() {
    orvane_trace::Step step("app", "skin engine");
    return skInitEngine("Scarlet.sks", nullptr) != 0;
}

void ApplySkinAndColumn(char* textBuffer, std::size_t textSize) {
    orvane_trace::Step step("app", "skin and column");
    skSkinWindow(Scene.MainWindow, "Dock|Undock|Minimize|Maximize|Restore|Close");

    // The view's place as it stands after the skinning.
    RECT view;
    GetWindowRect(Scene.GLView, &view);
    POINT topLeft{view.left, view.top};
    ScreenToClient(Scene.MainWindow, &topLeft);
    const int viewWidth = view.right - view.left;
    const int viewHeight = view.bottom - view.top;

    skBorder(Scene.GLView, topLeft.x - Px(1), topLeft.y - Px(1), viewWidth + Px(2), viewHeight + Px(2), 0, Px(1));

    HWND clock = skClockCtrl(Scene.MainWindow, Resource("Clock_09_92.png").c_str(), topLeft.x + viewWidth + Px(28),
                             topLeft.y, 0, 0, kClockId, 0x7FCB0000u, 0x7F8F8F8Fu, 0);
    skSetAnchorCtrl(clock, 2);
    skCreateToolTip(clock, "Pelmar clock widget");

    RECT client;
    GetClientRect(Scene.MainWindow, &client);

    CopyText(textBuffer, textSize, kHelpText);
    HWND label = CreateChild("STATIC", textBuffer, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER,
                             client.right - Px(137), Px(150), Px(129), Px(135), kHelpLabelId);
    skSkinChildCtrl(label, 0);
    QI_SetAnchorMode(label, 2);
    skSetLabelFont(label, "TREBUCHET MS", 15, skARGB(200, 255, 255, 255), 1);

    HWND logo = skStaticImage(Scene.MainWindow, Resource("Orvane.png").c_str(), client.right - Px(135), Px(350),
                              Px(124), Px(45), kLogoId);
    QI_SetAnchorMode(logo, 9);
}
