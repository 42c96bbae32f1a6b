// Keys for keyboard users: on the view, the arrows turn the model and
// Shift+arrows move it (as a 10-pixel drag would), PgUp, PgDn, Home, End, +
// and - work the zoom trackbar; Tab and Shift+Tab move the focus between the
// view and the trackbar. Nothing here consumes a message: each goes on to the
// window's own procedure.
#pragma once

#include <windows.h>

// A keyboard message to the view (WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SETFOCUS),
// before it goes on to the view's own procedure.
void ViewKey(HWND view, UINT message, WPARAM wParam, LPARAM lParam);

// The trackbar's subclass procedure (installed over Scene.OldZoomBarProc):
// Tab, + and -, and the focus record. Returns what the trackbar returns.
LRESULT CALLBACK ZoomBarProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// Gives the focus to the child that had it last (the view at first), when the
// main window gets it.
void HandFocusToChild();
