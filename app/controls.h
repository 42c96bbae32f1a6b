// The main window's children and skin, built in the start-up's order.
#pragma once

#include <cstddef>

// The OpenGL view: created, subclassed with ViewProc, anchored.
void BuildView();
// The zoom trackbar: range 1..100 at 50, a tick at every position.
void BuildZoomTrackbar();
// The overlay font of the view: bold 10-pixel Arial (at 96 DPI; the main
// window's DPI scales it).
void BuildOverlayFont();
// The overlay font again at the main window's DPI.
void RebuildOverlayFont();
// Starts the skin engine; false when it cannot start.
bool StartSkinEngine();
// Skins the main window, draws the border around the view and builds the
// clock, the help label and the logo. textBuffer (260 bytes) holds the help text.
// Every place and size is the 96-DPI design at the main window's DPI; the skin engine
// scales the label's font and the clock's face itself.
void ApplySkinAndColumn(char* textBuffer, std::size_t textSize);

// The help label's text.
inline constexpr char kHelpText[] =
    "Mouse buttons\r\n\r\nLeft: rotation, and view angle.\r\n\r\nRight: new X,Y location.";
