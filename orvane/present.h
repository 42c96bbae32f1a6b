// Internal: where a view's OpenGL frame is drawn and how it is shown.
#pragma once

#include "views.h"

namespace orvane {

// Whether views render into a hidden top-level surface window and show
// their frames by copying them onto the view with GDI. Chosen once, for the
// platforms whose OpenGL in child windows never reaches the screen.
bool UsesOffscreenSurface();

// The hidden window a view renders into: the size of the view's client area,
// or, when roomy, at least the size of the screen.
HWND CreateSurface(HWND view, bool roomy);
// Keeps the surface at least the size of the view's client area.
void ResizeSurface(View& view);

// Shows the view's finished frame: swaps its buffers, or copies the back
// buffer onto the view and keeps the copy for repainting.
bool Present(View& view);

// Repaints the last copied frame (offscreen surfaces only); false if none.
bool PaintLastFrame(View& view, HDC dc);

}  // namespace orvane
