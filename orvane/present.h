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
bool CreateDrawable(View& view);
void ReleaseDrawable(View& view);

// After the view's client size changed: the drawable follows it.
void FollowSize(View& view);

// Shows the finished frame and leaves the view's context current.
bool Present(View& view);

// Answers the view's WM_PAINT: puts the last frame back where one is kept,
// and validates the view.
void PaintView(View& view);

}  // namespace orvane
