// The library's entry point. Unloaded with FreeLibrary (reserved is null), it
// gives back what the runtime keeps for the module's life; at the process's
// exit it does nothing.
#include <windows.h>

#include "runtime_unload.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) win32::ReleaseRuntimeAtUnload(instance);
    return TRUE;
}
