// Mouse navigation in the view: left drags turn the model and change the view
// angle, right drags move it; every message goes on to the view's own procedure.
#pragma once

#include <windows.h>

// The view's subclass procedure. Returns what Scene.OldViewProc returns.
LRESULT CALLBACK ViewProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
