// Internal: what the view control does for keyboard users: the keys it asks
// for, the focus cue it draws into each frame, and the repaint it asks for
// when the cue comes or goes.
#pragma once

#include <windows.h>

#include "views.h"

namespace orvane {

// The view's answer to WM_GETDLGCODE: the arrows and characters are the
// view's; Tab, Enter and Escape stay with the host's dialog handling.
inline constexpr LRESULT kDialogCode = DLGC_WANTARROWS | DLGC_WANTCHARS;

// Whether the view shows its focus cue now: it has the keyboard focus and
// its keyboard cues are shown (no UISF_HIDEFOCUS in its UI state).
bool ShowsFocusCue(HWND window);

// Draws the cue into the current frame of the view's context (current), when
// it shows one; every OpenGL state it touches is put back.
void DrawFocusCue(const View& view);

// After WM_SETFOCUS, WM_KILLFOCUS (leaving) or WM_UPDATEUISTATE: asks the
// owner for a frame (WM_PAINT) when the cue has come or gone.
void FollowFocusCue(View& view, bool leaving = false);

}  // namespace orvane
