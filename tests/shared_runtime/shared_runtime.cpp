// A host that has MinGW's shared runtime loaded (libgcc_s_*.dll, as a
// program built without -static does) loads md2ex.dll and makes the first
// allocation inside MD2_Load fail: the call must report its failure (0) and
// the process live on, so the library's own exception handling must not
// depend on the host's runtime. Exit code 0 when it holds.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

#if defined(_WIN64)
constexpr char kSharedRuntime[] = "libgcc_s_seh-1.dll";
#else
constexpr char kSharedRuntime[] = "libgcc_s_dw2-1.dll";
#endif

bool g_failing = false;   // the next allocation fails, and only that one
void* (__cdecl* g_malloc)(size_t) = nullptr;

void* __cdecl FailingMalloc(size_t size) {
    if (!g_failing) return g_malloc(size);
    g_failing = false;
    return nullptr;
}

// Points the module's import of msvcrt's malloc at FailingMalloc.
bool PatchMalloc(HMODULE module) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), "msvcrt.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "malloc") != 0) continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            g_malloc = reinterpret_cast<void*(__cdecl*)(size_t)>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(&FailingMalloc);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (argc < 2) return 2;
    // The shared runtime first, as a host linked against it has it.
    if (!LoadLibraryA(kSharedRuntime)) {
        std::printf("FAILED: %s beside the host could not be loaded\n", kSharedRuntime);
        return 1;
    }
    HMODULE md2ex = LoadLibraryA("md2ex.dll");
    using Load = int(WINAPI*)(int, const char*, unsigned, int, int);
    auto load = md2ex ? reinterpret_cast<Load>(reinterpret_cast<void*>(GetProcAddress(md2ex, "MD2_Load"))) : nullptr;
    if (!load || !PatchMalloc(md2ex)) {
        std::printf("FAILED: md2ex.dll, its MD2_Load or its malloc import not found\n");
        return 1;
    }
    g_failing = true;
    const int failed = load(1, argv[1], 0, 64, 64);
    const bool reached = !g_failing;
    g_failing = false;
    const int loaded = load(1, argv[1], 0, 64, 64);
    std::printf("%s: MD2_Load without memory gave %d, with memory %d\n", kSharedRuntime, failed, loaded);
    if (!reached || failed != 0 || loaded == 0) {
        std::printf("FAILED\n");
        return 1;
    }
    FreeLibrary(md2ex);
    return 0;
}
