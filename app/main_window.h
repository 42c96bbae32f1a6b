// The main window's procedure: animation, zoom, resize, paint, destroy.
#pragma once

#include <windows.h>

LRESULT CALLBACK MainWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

// WM_PAINT: an empty paint bracket, then a frame of the view.
void PaintMainWindow(HWND hWnd);

// WM_TIMER: one quarter-frame step once more than 30 ms have passed since the last.
void AnimationStep();

// WM_DPICHANGED: the overlay font at the new DPI, the suggested place and
// size (the anchored children follow), a new frame.
void FollowDpi(HWND hWnd, WPARAM wParam, const RECT* suggested);

// WM_HSCROLL: zoom = 101 - the trackbar's position, when it came from the trackbar.
void ZoomFromTrackbar(HWND control);
