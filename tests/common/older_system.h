// For as long as it lives, the process runs as on a system without the
// per-window calls of DPI (as win32::dpi::kHideSystemCalls makes it): a window's DPI is
// then the one WM_DPICHANGED announced for it. Under Wine, which never sends
// that message and reports LogPixels for every window, this is how a test
// puts a window at another scale.
#pragma once

#include <windows.h>

#include "dpi.h"

struct OlderSystem {
    OlderSystem() { win32::dpi::HideSystemCallsForTest(true); }
    ~OlderSystem() { win32::dpi::HideSystemCallsForTest(false); }
    OlderSystem(const OlderSystem&) = delete;
    OlderSystem& operator=(const OlderSystem&) = delete;
};
