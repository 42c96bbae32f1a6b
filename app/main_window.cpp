#include "main_window.h"

#include <commctrl.h>

#include "controls.h"
#include "dpi.h"
#include "keys.h"
#include "orvane.h"
#include "program.h"
#include "render.h"
#include "scene_state.h"
#include "shell_math.h"

void PaintMainWindow(HWND hWnd) {
    PAINTSTRUCT paint;
    BeginPaint(hWnd, &paint);
    EndPaint(hWnd, &paint);
    RenderFrame();
}

void AnimationStep() {
    if (!StepDue(GetTickCount(), Scene.NextStepTick)) return;
    Scene.AnimFrame += 0.25f;
    if (static_cast<double>(Scene.AnimFrame) > static_cast<double>(Scene.FrameCount)) Scene.AnimFrame = 1.0f;
    Scene.NextStepTick = static_cast<std::int32_t>(GetTickCount() + 30u);
    RenderFrame();
}

void ZoomFromTrackbar(HWND control) {
    if (GetDlgCtrlID(control) != kZoomTrackbarId) return;
    const auto position = static_cast<std::int32_t>(SendMessageA(control, TBM_GETPOS, 0, 0));
    SetZoom(101 - position);
    RenderFrame();
}

void FollowDpi(HWND hWnd, WPARAM wParam, const RECT* suggested) {
    win32::dpi::KeepAnnounced(hWnd, wParam);
    if (Scene.GLView) RebuildOverlayFont();
    // The children follow from their anchors as the window takes its new size.
    if (suggested)
        SetWindowPos(hWnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (Scene.GLView) RenderFrame();
}

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        // Sizing messages also come while the main window is being created,
        // before the view exists: there is nothing to fit then.
        if (Scene.GLView) {
            QI_ResizeGLWindow(Scene.GLView);
            RenderFrame();
        }
        break;
    case WM_HSCROLL:
        ZoomFromTrackbar(reinterpret_cast<HWND>(lParam));
        break;
    case WM_TIMER:
        AnimationStep();
        break;
    case WM_SETFOCUS:
        // At start and on every activation the focus goes on to the child
        // that had it last, as a dialog does.
        HandFocusToChild();
        break;
    case WM_PAINT:
        PaintMainWindow(hWnd);
        return 0;
    case win32::dpi::kChangedMessage:
        FollowDpi(hWnd, wParam, reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        QI_DeleteGLFont(&Scene.OverlayFont);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}
