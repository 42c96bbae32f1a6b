// Internal: which virtual key tells a logical mouse button's physical state.
#pragma once

#include <stdint.h>

namespace orvane {

enum class MouseButton { Left, Right };

// VK_LBUTTON or VK_RBUTTON for the logical button, given the swap setting.
int PhysicalKeyFor(MouseButton button, bool swapped);

// -1 while the logical button is physically down, else 0.
int32_t ButtonDown(MouseButton button);

}  // namespace orvane
