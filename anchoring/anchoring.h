// Anchoring: children keep their place against their parent's client edges,
// with the codes of anchor_codes.h (placed by placement.h), as the parent resizes. Each library that
// anchors has its own policy; what it anchors in a parent is kept as the
// reference data of its comctl32 subclass of that parent, freed with it.
//
// Threads: a call for a child runs on the thread of the child's parent (which
// receives its WM_SIZE); from another thread it is refused. Nothing is locked.
#pragma once

#include <windows.h>

namespace anchoring {

// When anchored children move, against the parent's own handling of WM_SIZE
// (its window procedure and the subclasses installed before the engine's).
enum class Moment {
    BeforeParent,   // the parent's handler finds its children in place
    AfterParent,    // the children move once the parent's handler has run
};

struct Policy {
    UINT_PTR subclassId;      // unique to the library
    Moment moment;
    bool holdOnEmptyClient;   // nothing moves while the client area has no width or height
};

// Anchors child (a WS_CHILD window) with code 1..16 from where it stands in
// its parent's client area now (again: new code and margins). false for
// anything else, or when the parent cannot be subclassed.
bool Set(const Policy& policy, HWND child, int code);
// Removes child's anchor (true also when it had none); false when child is
// not a WS_CHILD window or its parent is another thread's.
bool Remove(const Policy& policy, HWND child);

}  // namespace anchoring
