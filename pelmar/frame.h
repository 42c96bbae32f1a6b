// Geometry of a skinned window's frame and caption, in window coordinates
// (0,0 = the window's top-left corner).
#pragma once

#include <windows.h>

#include "skin.h"

namespace pelmar {

enum Button { kNoButton = -1, kMinimize = 0, kMaximize = 1, kClose = 2, kButtonCount = 3 };

// Every size is the skin's (96-DPI units) at the window's DPI.
struct FrameLayout {
    int dpi;
    RECT insets;               // non-client thickness: left, top (caption), right, bottom
    RECT caption;              // the caption band
    RECT icon;                 // empty when the window shows no icon
    RECT title;
    RECT buttons[kButtonCount];   // empty for buttons the window's style leaves out
    RECT glyphs[kButtonCount];    // where each button's glyph is centred
    bool resizable;            // edges resize (sizable and not maximised)
    int grab;                  // how far in from each edge the pointer resizes
    int cornerReach;           // how far along an edge a corner resizes
    int accentHeight;          // the line under the caption
};

// zoomedOverhang: how far each side of a maximised window reaches past
// the work area (zero otherwise). Maximised, the caption buttons reach the
// screen's top edge and Close its top-right corner.
FrameLayout LayoutFrame(const Skin& skin, LONG_PTR style, int width, bool hasIcon, const RECT& zoomedOverhang,
                        int dpi);

// The hit-test code (HTCAPTION, HTCLOSE, HTLEFT...) for a point in window
// coordinates. The caption buttons win over the resize grab.
LRESULT HitTestFrame(const FrameLayout& layout, int width, int height, POINT p);

// The title bar as the system's tools ask for it (WM_GETTITLEBARINFOEX):
// the layout's caption and buttons in screen coordinates, origin being the
// window's top-left corner on the screen. Absent buttons (and the help
// button, which a skinned frame never shows) are invisible; the button under
// the pointer is hot-tracked, or pressed while it is held down.
void DescribeTitleBar(const FrameLayout& layout, POINT origin, int hot, int pressed, TITLEBARINFOEX& info);

// Test access: the layout a skinned window currently uses, and the button
// under the pointer and pressed (kNoButton when none).
bool CurrentFrame(HWND window, FrameLayout& layout, int& hot, int& pressed);

}  // namespace pelmar
