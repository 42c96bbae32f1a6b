// The library's entry point. Unloaded with FreeLibrary (reserved is null), it
// unregisters its window classes, whose procedures would otherwise point into
// the unloaded image and keep a later load from registering them. At the
// process's exit it does nothing.
#include <windows.h>

#include "views.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        orvane::ReleaseLibrary();
    }
    return TRUE;
}
