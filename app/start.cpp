#include <objbase.h>

#include "program.h"
#include "system_library.h"

void ProcessStart() {
    // Before anything loads a library: the system's own come from its folder only.
    win32::RestrictLibrarySearch();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    CoInitialize(nullptr);
    const int result = ProgramMain(instance, nullptr, GetCommandLineA(), showCommand);
    CoUninitialize();
    ExitProcess(static_cast<UINT>(result));
}
