#include "keys.h"

#include "orvane.h"
#include "render.h"
#include "scene_state.h"

namespace {

// One key press stands for a drag of this many pixels.
constexpr int kKeyDragPixels = 10;

// A mouse drag runs while its flag is set and its button is still down.
bool DragRuns() {
    return (Scene.LeftDragging != 0 && QI_IsLButtonDown() == -1) ||
           (Scene.RightDragging != 0 && QI_IsRButtonDown() == -1);
}

// Focus cues come on once the keyboard is used, as a dialog shows them
// (the request goes up to the main window, which tells every child).
void ShowFocusCues(HWND window) { SendMessageA(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0); }

// Tab and Shift+Tab: two stops, the view and the trackbar.
void TabFrom(HWND from) {
    HWND to = from == Scene.GLView ? Scene.ZoomBar : Scene.GLView;
    ShowFocusCues(from);
    if (to && IsWindowVisible(to) && IsWindowEnabled(to)) SetFocus(to);
}

// As a left drag of (dx, dy) pixels: half a degree per pixel.
void Turn(int dx, int dy) {
    Scene.SpinAngle = static_cast<float>(Scene.SpinAngle + dx / 2.0);
    Scene.TiltAngle = static_cast<float>(Scene.TiltAngle + dy / 2.0);
}

// As a right drag of (dx, dy) pixels at the view's current size.
void Move(int dx, int dy) {
    RECT client{};
    GetClientRect(Scene.GLView, &client);
    if (client.right > 0) Scene.PosX = static_cast<float>(Scene.PosX + 45.0 * dx / (12.0 * client.right));
    if (client.bottom > 0) Scene.PosY = static_cast<float>(Scene.PosY - 45.0 * dy / (12.0 * client.bottom));
}

bool IsArrow(WPARAM key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }
bool IsZoomKey(WPARAM key) { return key == VK_PRIOR || key == VK_NEXT || key == VK_HOME || key == VK_END; }

// + and - zoom in and out by one trackbar line: the trackbar's own right and
// left keys, so its notifications (and with them the zoom) follow.
void ZoomStep(HWND trackbar, WPARAM character) {
    const WPARAM key = character == '+' ? VK_RIGHT : VK_LEFT;
    SendMessageA(trackbar, WM_KEYDOWN, key, 1);
    SendMessageA(trackbar, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
}

}  // namespace

void ViewKey(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS:
        Scene.FocusChild = view;
        return;
    case WM_KEYDOWN:
        if (wParam == VK_TAB) return TabFrom(view);
        if (DragRuns() || !(IsArrow(wParam) || IsZoomKey(wParam))) return;
        ShowFocusCues(view);
        if (IsZoomKey(wParam)) {
            // Through the trackbar's own key handling: it moves and notifies.
            if (Scene.ZoomBar) SendMessageA(Scene.ZoomBar, WM_KEYDOWN, wParam, lParam);
            return;
        }
        {
            const int step = kKeyDragPixels;
            const int dx = wParam == VK_LEFT ? -step : wParam == VK_RIGHT ? step : 0;
            const int dy = wParam == VK_UP ? -step : wParam == VK_DOWN ? step : 0;
            GetKeyState(VK_SHIFT) < 0 ? Move(dx, dy) : Turn(dx, dy);
        }
        RenderFrame();
        return;
    case WM_KEYUP:
        // The trackbar ends its key's move (TB_ENDTRACK) on the key's release.
        if (IsZoomKey(wParam) && Scene.ZoomBar && !DragRuns()) SendMessageA(Scene.ZoomBar, WM_KEYUP, wParam, lParam);
        return;
    case WM_CHAR:
        if ((wParam == '+' || wParam == '-') && Scene.ZoomBar && !DragRuns()) {
            ShowFocusCues(view);
            ZoomStep(Scene.ZoomBar, wParam);
        }
        return;
    default:
        return;
    }
}

LRESULT CALLBACK ZoomBarProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_SETFOCUS:
        Scene.FocusChild = hWnd;
        break;
    case WM_KEYDOWN:
        if (wParam == VK_TAB) TabFrom(hWnd);
        else if (IsArrow(wParam) || IsZoomKey(wParam)) ShowFocusCues(hWnd);
        break;
    case WM_CHAR:
        if (wParam == '+' || wParam == '-') ZoomStep(hWnd, wParam);
        break;
    default:
        break;
    }
    if (!Scene.OldZoomBarProc) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    return CallWindowProcA(Scene.OldZoomBarProc, hWnd, uMsg, wParam, lParam);
}

void HandFocusToChild() {
    HWND child = Scene.FocusChild ? Scene.FocusChild : Scene.GLView;
    if (!child || !IsWindow(child) || !IsWindowVisible(child) || !IsWindowEnabled(child)) child = Scene.GLView;
    if (child) SetFocus(child);
}
