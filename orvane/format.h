// Internal: the framebuffer and context a view's host asks for with its
// creation parameter (OrvaneViewFormat), how the request is met, and the
// record of what the view got.
#pragma once

#include "orvane.h"
#include "views.h"

namespace orvane {

// The request a view was created with (lpCreateParams): all zero for the
// default view. False, with *why, for a record its host made too small.
bool ReadRequest(const void* param, OrvaneViewFormat& request, const char** why);

// Sets the pixel format of view.dc for the request and makes the view's
// context, current on this thread. False when either cannot be had: the step
// that failed is reported.
bool MakeContext(View& view, const OrvaneViewFormat& request);

// With the context current and its capabilities read: the swap interval
// (native path only), sRGB writing, the debug messages the host asked for;
// then view.got holds what the view has, and what was stepped down is said.
void FinishContext(View& view, const OrvaneViewFormat& request);

// For tests: the driver's WGL extensions count as absent (as on the system's
// software renderer, which offers none).
void HideWglExtensionsForTest(bool hide);

}  // namespace orvane
