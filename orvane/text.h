// Internal: the text module's part in a view's life.
#pragma once

#include <windows.h>

namespace orvane {

// Drops the glyph bitmaps of every font built in a context that is going away.
void ForgetFonts(HGLRC context);

}  // namespace orvane
