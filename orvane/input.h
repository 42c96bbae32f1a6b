// Internal: which virtual key tells a logical mouse button's physical state.
#pragma once

namespace orvane {

enum class MouseButton { Left, Right };

// VK_LBUTTON or VK_RBUTTON for the logical button, given the swap setting.
int PhysicalKeyFor(MouseButton button, bool swapped);

}  // namespace orvane
