// QI_SetAnchorMode: anchored children move before the parent's own window
// procedure sees WM_SIZE, so its handler (which fits the view to its new
// size) finds them in place. The engine is anchoring/.
#include <windows.h>

#include "anchoring.h"
#include "orvane.h"

namespace {

constexpr anchoring::Policy kAnchoring{0x4F52564E,   // any value unique to this library
                                              anchoring::Moment::BeforeParent, false};

}  // namespace

extern "C" int32_t WINAPI QI_SetAnchorMode(HWND child, int32_t mode) {
    if (mode == 0) return anchoring::Remove(kAnchoring, child) ? 1 : 0;
    return anchoring::Set(kAnchoring, child, mode) ? 1 : 0;
}
