// Internal: where a view's OpenGL frames are drawn and how they are shown.
// Only present.cpp knows which of the two ways a view uses:
//  - native: the view's own window DC carries the pixel format and the
//    context, and frames are shown with SwapBuffers;
//  - surface: where OpenGL drawn into a child window never reaches the screen
//    (Wine), the view draws on a hidden top-level window of its size and each
//    frame is copied onto the view, which keeps it for repainting.
#pragma once

#include "views.h"

namespace orvane {

// Whether a child window's OpenGL stays hidden here (read once, by Library).
bool ChildGLIsHidden();

// Makes the view's drawable and its context (current on this thread): the
// pixel format, the context, and on the native path the swap interval. False
// when no context can be made; ReleaseDrawable then undoes what was made.
// The pixel format and context are those of the host's request (format.h).
bool CreateDrawable(View& view, const OrvaneViewFormat& request);
void ReleaseDrawable(View& view);

// A hidden top-level window of the library's surface class, for OpenGL that
// must not be seen; null when none can be made.
HWND CreateSurfaceWindow(int width, int height);

// One line about the view on the debug output: "orvane: <item>: view <handle>: <why>".
void Say(const char* item, const View& view, const char* why);
// Says which step left the view without an OpenGL context, with the last
// error; false.
bool Refuse(const View& view, const char* step);

// After the view's client size changed: the drawable follows it.
void FollowSize(View& view);

// Shows the finished frame and leaves the view's context current.
bool Present(View& view);

// Reads the finished frame of a surface, size pixels from the bottom left,
// into bits as bottom-up BGRA rows (resolved where the view is multisampled),
// leaving the context's read state as it was (see frame_read.cpp).
void ReadFrame(View& view, SIZE size, void* bits);

// Answers the view's WM_PAINT: puts the last frame back where one is kept,
// and validates the view.
void PaintView(View& view);

}  // namespace orvane
