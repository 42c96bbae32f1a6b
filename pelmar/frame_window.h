// What the parts of a skinned frame share: the state kept with the window,
// the message in hand, and the frame's layout as the window stands now.
// frame.cpp has the window procedure and the geometry, frame_paint.cpp the
// painting, caption_buttons.cpp the caption buttons' hover, press and
// tooltip.
#pragma once

#include <windows.h>

#include "frame.h"
#include "owned.h"
#include "paint.h"
#include "fixed_text.h"

namespace pelmar::frame {

// The hover delay before a caption button's tooltip shows.
constexpr UINT_PTR kHoverTimer = 0x5E1F;

// A caption button's tooltip: a word or two (skSkinWindow's texts); a
// longer one is cut.
using TipText = memory::Text<260>;
enum TipIndex { kTipDock, kTipUndock, kTipMinimize, kTipMaximize, kTipRestore, kTipClose, kTipCount };

// Kept with the window as its subclass's reference data, from skSkinWindow
// to WM_NCDESTROY.
struct FrameState {
    bool active = true;
    int hot = kNoButton;
    int pressed = kNoButton;
    bool trackingLeave = false;
    TipText tips[kTipCount] = {{"Dock"}, {"Undock"}, {"Minimize"}, {"Maximize"}, {"Restore"}, {"Close"}};
    HWND tip = nullptr;
    SIZE regionSize{-1, -1};
    bool regionZoomed = false;
    int regionDpi = 0;
    // The caption band and its text mask, kept between paints and made
    // again only when the band's size changes.
    memory::Owned<BackBuffer> band, mask;
};

struct Message {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// frame.cpp
FrameState* Find(HWND window);   // null when the window is not skinned
LRESULT Pass(const Message& m);   // to the default handling
RECT WindowRect(HWND window);
POINT PointOf(LPARAM lParam);
HICON SmallIcon(HWND window);
FrameLayout CurrentLayout(HWND window, HICON icon);
FrameLayout CurrentLayout(HWND window);

// frame_paint.cpp
void PaintFrame(HWND window, FrameState& st);
void Repaint(HWND window);   // when it is still skinned
LRESULT OnNcPaint(const Message& m, FrameState& st);
LRESULT OnNcActivate(const Message& m, FrameState& st);
LRESULT PassThenRepaint(const Message& m);
LRESULT OnSystemLook(const Message& m);   // WM_SETTINGCHANGE, WM_SYSCOLORCHANGE

// caption_buttons.cpp
void SetTips(FrameState& st, const char* texts);
LRESULT OnNcMouseMove(const Message& m, FrameState& st);
LRESULT OnNcMouseLeave(const Message& m, FrameState& st);
LRESULT OnTimer(const Message& m, FrameState& st);
LRESULT OnNcButtonDown(const Message& m, FrameState& st);
LRESULT OnNcButtonUp(const Message& m);
LRESULT OnMouseMove(const Message& m, FrameState& st);
LRESULT OnButtonUp(const Message& m, FrameState& st);
LRESULT OnCaptureChanged(const Message& m, FrameState& st);

}  // namespace pelmar::frame
