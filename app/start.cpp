#include <objbase.h>

#include "program.h"

void ProcessStart() {
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
