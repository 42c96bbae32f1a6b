// A host that has MinGW's shared runtime loaded (libgcc_s_*.dll, as a
// program built without -static does) loads md2ex.dll and makes the first
// allocation inside MD2_Load fail: the call must report its failure (0) and
// the process live on, so the library's own exception handling must not
// depend on the host's runtime. Exit code 0 when it holds.
#include <windows.h>

#include <cstdio>

#include "redirect_import.h"

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
    if (!load || !RedirectImport(md2ex, "msvcrt.dll", "malloc", &FailingMalloc, &g_malloc)) {
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
