// Loaded into the running program by "probe objects": counts the process's
// GDI objects and windows from inside it (GetGuiResources reports 0 under
// Wine) and writes "gdi N" and "user N" to a file named after this DLL.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountTop(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, CountChild, count);
    }
    return TRUE;
}

void Report(HMODULE self) {
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (!gdi) {
        for (UINT_PTR index = 1; index < 0x10000; ++index)
            if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++gdi;
    }
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (!user) EnumWindows(CountTop, reinterpret_cast<LPARAM>(&user));
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    if (length < 4 || length >= MAX_PATH) return;
    std::strcpy(path + length - 4, ".txt");
    if (FILE* out = std::fopen(path, "w")) {
        std::fprintf(out, "gdi %lu\nuser %lu\n", gdi, user);
        std::fclose(out);
    }
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Report(self);
    return TRUE;
}
