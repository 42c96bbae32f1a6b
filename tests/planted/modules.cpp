// Lists the files of every module loaded into the process that owns the
// top-level window of a class, one full path a line; exit code 1 when there
// is no such window.
//   planted_modules.exe <window class>
#include <windows.h>
#include <psapi.h>

#include <cstdio>

int main(int argc, char** argv) {
    HWND window = argc >= 2 ? FindWindowA(argv[1], nullptr) : nullptr;
    DWORD id = 0;
    if (!window || !GetWindowThreadProcessId(window, &id)) return 1;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
    if (!process) return 1;
    HMODULE modules[512];
    DWORD bytes = 0;
    if (EnumProcessModules(process, modules, sizeof modules, &bytes)) {
        for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
            char path[MAX_PATH];
            if (GetModuleFileNameExA(process, modules[i], path, MAX_PATH)) std::printf("%s\n", path);
        }
    }
    CloseHandle(process);
    return 0;
}
