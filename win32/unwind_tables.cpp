// 32-bit MinGW only (DWARF unwinding): a module's start-up code registers
// the module's unwind tables (.eh_frame, __register_frame_info) with libgcc_s_dw2-1.dll when the process has
// that DLL loaded (as a host program built without -static does), instead of
// with the module's own, statically linked unwinder. An exception thrown in
// our code (the bad_alloc the boundary guard exists for) would then find no
// handler and end the process. At start-up each of our modules therefore
// asks its own unwinder for one of its functions and, when it does not know
// it, registers the module's tables with it too (and takes them back when
// the module is unloaded).
#if defined(__MINGW32__) && defined(__i386__) && !defined(__SEH__) && !defined(__USING_SJLJ_EXCEPTIONS__)

#include <windows.h>

extern "C" {
// libgcc's registration calls and lookup, as its own start-up code uses them.
void __register_frame_info(const void* begin, void* object);
void* __deregister_frame_info(const void* begin);
const void* _Unwind_Find_FDE(void* pc, void* bases);
}

namespace {

// libgcc's record of one registered table: a few words, kept zeroed for it.
void* g_object[16];
const void* g_registered = nullptr;

// The module section that holds address, as its start; null when none does.
const BYTE* SectionStart(HMODULE module, const void* address) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
        const BYTE* start = base + section->VirtualAddress;
        if (address >= start && address < start + section->Misc.VirtualSize) return start;
    }
    return nullptr;
}

// Before every static initialiser of the module (one of them throws).
__attribute__((constructor(101))) void RegisterOwnUnwindTables() {
    HMODULE shared = GetModuleHandleA("libgcc_s_dw2-1.dll");
    if (!shared) return;
    void* here = reinterpret_cast<void*>(&RegisterOwnUnwindTables);
    void* bases[3] = {};
    if (_Unwind_Find_FDE(here, bases)) return;   // our unwinder has them
    // The shared runtime has them: its lookup gives one of our entries,
    // whose section's start is where the module's tables begin.
    using Find = const void* (*)(void*, void*);
    const auto find = reinterpret_cast<Find>(reinterpret_cast<void*>(GetProcAddress(shared, "_Unwind_Find_FDE")));
    const void* entry = find ? find(here, bases) : nullptr;
    HMODULE self = nullptr;
    if (!entry || !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                          GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                      static_cast<const char*>(here), &self))
        return;
    if (const BYTE* begin = SectionStart(self, entry)) {
        __register_frame_info(begin, g_object);
        g_registered = begin;
    }
}

__attribute__((destructor(101))) void DeregisterOwnUnwindTables() {
    if (g_registered) __deregister_frame_info(g_registered);
    g_registered = nullptr;
}

}  // namespace

// Kept by the linker in every module that links win32_platform.
extern "C" const int win32_unwind_tables_kept = 1;

#else
extern "C" const int win32_unwind_tables_kept = 0;
#endif
