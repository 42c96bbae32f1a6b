// The library's entry point. Unloaded with FreeLibrary (reserved is null), it
// gives back what it holds for the whole process, so that it leaves nothing
// behind and can be loaded again at any address. At the process's exit it
// does nothing: the system reclaims everything.
#include <windows.h>

#include "engine.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_DETACH && !reserved) {
        pelmar::StopEngine();
    }
    return TRUE;
}
