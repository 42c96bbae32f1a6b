// Drawing one frame of the view: background, model and the overlay lines.
#pragma once

#include <cstdint>

// Clears the view, draws the background and the model from the scene state,
// writes the four overlay lines and shows the frame. The view's zoom is the
// same after the call as before it.
void RenderFrame();

// Sets the view's zoom and refits its viewport and projection to it.
void SetZoom(std::int32_t zoom);

// Draws the background picture on a quad 80 units in front of the eye.
// Draws nothing while the texture table does not exist yet.
void DrawBackground();
