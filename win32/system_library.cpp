#include "system_library.h"

#include <delayimp.h>

#include <cstring>

#include "optional_calls.h"

namespace win32 {

void RestrictLibrarySearch() noexcept {
    if (const auto set = Optional().setDefaultDllDirectories) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const char* name) noexcept {
    if (!name || !*name || std::strpbrk(name, "\\/:")) return nullptr;
    // The manifest's binding (common controls version 6 from the side-by-side
    // store) is looked up before any folder: the bare name keeps it.
    ACTCTX_SECTION_KEYED_DATA redirection{};
    redirection.cbSize = sizeof redirection;
    if (FindActCtxSectionStringA(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, name, &redirection))
        return LoadLibraryA(name);
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Systems that do not know the flag: the system folder's full path.
    char path[MAX_PATH];
    const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
    const std::size_t length = std::strlen(name);
    if (folder == 0 || folder + 1 + length >= MAX_PATH) return nullptr;
    path[folder] = '\\';
    std::memcpy(path + folder + 1, name, length + 1);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemFunction(const char* dll, const char* function) noexcept {
    // Loading a library that is loaded already only finds it again.
    HMODULE module = LoadSystemLibrary(dll);
    return module ? GetProcAddress(module, function) : nullptr;
}

namespace {

// The delay-load helper asks before it loads a late import: the system
// folder answers. Given nothing, the helper would load the bare name itself,
// searching the program's folder first wherever the program has not
// restricted its search; so a library the system folder lacks is answered
// with this module instead, which has none of its functions: the call then
// fails as a missing import does, and nothing of that name is looked for
// anywhere else. (The reference taken here keeps the count even should the
// helper give the handle back.)
FARPROC WINAPI BeforeLateImport(unsigned notice, PDelayLoadInfo info) {
    if (notice != dliNotePreLoadLibrary || !info) return nullptr;
    HMODULE module = LoadSystemLibrary(info->szDll);
    if (!module)
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                           reinterpret_cast<const char*>(&BeforeLateImport), &module);
    return reinterpret_cast<FARPROC>(module);
}

}  // namespace
}  // namespace win32

// Linked into every module that imports late (the linker is told to keep it).
#ifdef _MSC_VER
extern "C" {
const PfnDliHook __pfnDliNotifyHook2 = win32::BeforeLateImport;
}
#else
extern "C" {
PfnDliHook __pfnDliNotifyHook2 = win32::BeforeLateImport;
}
#endif
