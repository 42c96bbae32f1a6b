// The skinned caption described in the system's terms, for accessibility
// tools and the system's window arrangements, which otherwise assume the
// standard caption's layout.
#include "frame.h"

namespace pelmar {

constexpr int kTitleBarIndex[kButtonCount] = {2, 3, 5};   // each button's place in the system's arrays

void DescribeTitleBar(const FrameLayout& L, POINT origin, int hot, int pressed, TITLEBARINFOEX& info) {
    const auto onScreen = [origin](RECT r) {
        OffsetRect(&r, origin.x, origin.y);
        return r;
    };
    for (int i = 0; i <= CCHILDREN_TITLEBAR; ++i) {
        info.rgstate[i] = STATE_SYSTEM_INVISIBLE;
        info.rgrect[i] = RECT{};
    }
    // The window menu (the icon) is not part of the title bar.
    RECT bar = L.caption;
    if (!IsRectEmpty(&L.icon)) bar.left = L.icon.right;
    info.rcTitleBar = onScreen(bar);
    info.rgstate[0] = STATE_SYSTEM_FOCUSABLE;
    for (int b = 0; b < kButtonCount; ++b) {
        if (IsRectEmpty(&L.buttons[b])) continue;
        const int i = kTitleBarIndex[b];
        info.rgrect[i] = onScreen(L.buttons[b]);
        // As drawn: under the pointer, pressed while held down, else hot.
        info.rgstate[i] = hot != b ? 0 : pressed == b ? STATE_SYSTEM_PRESSED : STATE_SYSTEM_HOTTRACKED;
    }
}

}  // namespace pelmar
