// Loaded into the running program by "probe objects": counts the process's
// GDI objects and windows from inside it (GetGuiResources reports 0 under
// Wine) and writes "gdi N" and "user N" to a file named after this DLL.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "object_count.h"

namespace {

void Report(HMODULE self) {
    const DWORD gdi = objects::Gdi();
    const DWORD user = objects::User();
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
