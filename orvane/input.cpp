// Mouse button queries and the colour helper.
#include <windows.h>

#include "input.h"
#include "orvane.h"

namespace orvane {

int PhysicalKeyFor(MouseButton button, bool swapped) {
    // The asynchronous key state reports the physical buttons; with swapped
    // buttons the logical left button is the physical right one.
    const bool left = (button == MouseButton::Left) != swapped;
    return left ? VK_LBUTTON : VK_RBUTTON;
}

}  // namespace orvane

using namespace orvane;

namespace {

int32_t ButtonDown(MouseButton button) {
    const bool swapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
    return (GetAsyncKeyState(PhysicalKeyFor(button, swapped)) & 0x8000) ? -1 : 0;
}

}  // namespace

extern "C" {

int32_t WINAPI QI_IsLButtonDown(void) {
    return ButtonDown(MouseButton::Left);
}

int32_t WINAPI QI_IsRButtonDown(void) {
    return ButtonDown(MouseButton::Right);
}

uint32_t WINAPI QD_ColorARGB(int32_t alpha, COLORREF rgb) {
    const uint32_t a = alpha < 0 ? 0u : alpha > 255 ? 255u : uint32_t(alpha);
    return (a << 24) | (uint32_t(GetRValue(rgb)) << 16) | (uint32_t(GetGValue(rgb)) << 8) |
           uint32_t(GetBValue(rgb));
}

}  // extern "C"
