#include "navigation.h"

#include <windowsx.h>

#include <cstdint>

#include "keys.h"
#include "orvane.h"
#include "render.h"
#include "scene_state.h"

namespace {

// Client coordinates: each half of lParam is a signed 16-bit number.
POINT PointerOf(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool IsDown(std::int32_t answer) { return answer == -1; }

// One drag at a time: a press does not start a drag while the other button's
// drag still runs, since both share one origin. A stale flag (its button went
// up outside the view) is cleared here instead of blocking the press.
bool OtherDragRuns(std::int32_t& otherDragging, std::int32_t(WINAPI* query)()) {
    if (otherDragging == 0) return false;
    if (IsDown(query())) return true;
    otherDragging = 0;
    return false;
}

void GiveFocus(HWND hWnd) {
    if (GetFocus() != hWnd) SetFocus(hWnd);
}

void StartDrag(std::int32_t& dragging, float baseA, float baseB, POINT at) {
    Scene.DragBaseA = baseA;
    Scene.DragBaseB = baseB;
    Scene.DragStartX = at.x;
    Scene.DragStartY = at.y;
    dragging = 1;
}

// Left: half a degree per pixel; right to spin, down to tilt.
void LeftStep(POINT at) {
    if (!IsDown(QI_IsLButtonDown())) {
        Scene.LeftDragging = 0;
        return;
    }
    if ((at.x != Scene.LeftLastX || at.y != Scene.LeftLastY) && Scene.LeftDragging != 0) {
        Scene.SpinAngle = static_cast<float>((at.x - Scene.DragStartX) / 2.0 + Scene.DragBaseB);
        Scene.TiltAngle = static_cast<float>((at.y - Scene.DragStartY) / 2.0 + Scene.DragBaseA);
    }
    Scene.LeftLastX = at.x;
    Scene.LeftLastY = at.y;
}

// Right: 3.75 scene units across the whole client width or height; the model
// follows the pointer. An axis of zero client size is left where it is.
void RightStep(POINT at) {
    if (!IsDown(QI_IsRButtonDown())) {
        Scene.RightDragging = 0;
        return;
    }
    if ((at.x != Scene.RightLastX || at.y != Scene.RightLastY) && Scene.RightDragging != 0) {
        RECT client{};
        GetClientRect(Scene.GLView, &client);
        if (client.right > 0)
            Scene.PosX = static_cast<float>(Scene.DragBaseA + 45.0 * (at.x - Scene.DragStartX) / (12.0 * client.right));
        if (client.bottom > 0)
            Scene.PosY = static_cast<float>(Scene.DragBaseB - 45.0 * (at.y - Scene.DragStartY) / (12.0 * client.bottom));
    }
    Scene.RightLastX = at.x;
    Scene.RightLastY = at.y;
}

}  // namespace

LRESULT CALLBACK ViewProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_PAINT:
        RenderFrame();
        break;
    case WM_LBUTTONDOWN:
        if (Scene.LeftDragging == 0 && !OtherDragRuns(Scene.RightDragging, QI_IsRButtonDown))
            StartDrag(Scene.LeftDragging, Scene.TiltAngle, Scene.SpinAngle, PointerOf(lParam));
        GiveFocus(hWnd);
        break;
    case WM_LBUTTONUP:
        Scene.LeftDragging = 0;
        break;
    case WM_RBUTTONDOWN:
        if (Scene.RightDragging == 0 && !OtherDragRuns(Scene.LeftDragging, QI_IsLButtonDown))
            StartDrag(Scene.RightDragging, Scene.PosX, Scene.PosY, PointerOf(lParam));
        GiveFocus(hWnd);
        break;
    case WM_RBUTTONUP:
        Scene.RightDragging = 0;
        break;
    case WM_MOUSEMOVE: {
        const POINT at = PointerOf(lParam);
        LeftStep(at);
        RightStep(at);
        RenderFrame();
        break;
    }
    case WM_SETFOCUS:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        ViewKey(hWnd, uMsg, wParam, lParam);
        break;
    default:
        break;
    }
    // Every message goes on to the view's own procedure.
    if (!Scene.OldViewProc) return DefWindowProcA(hWnd, uMsg, wParam, lParam);
    return CallWindowProcA(Scene.OldViewProc, hWnd, uMsg, wParam, lParam);
}
