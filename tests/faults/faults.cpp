// The program with allocation number N made to fail (ORVANE_FAIL_ALLOCATION=N;
// 0 or unset: none fails), or every allocation from N on (ORVANE_FAIL_FROM=N:
// memory runs out for good), driven through a fixed scene: start-up, 100
// frames, a resize, a repaint of the skin with its tooltips shown, a reload
// of the textures, then at least 20 more frames and a close. Allocations are
// counted in the program and its three libraries: the C runtime's
// allocators and the task allocator, as their import tables reach them.
// ORVANE_FAULT_REPORT names a file that receives, as "key value" lines:
//   allocations   counted until the close was asked for
//   failed        1 when allocation N was reached and failed
//   frames        frames shown in all; frames_after: shown after the failure
//   step          how far the scene got (5: closed as planned); failed_step:
//                 the step the scene was at when the allocation failed
//   view          1 when the program has its view
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "orvane.h"
#include "program.h"
#include "redirect_import.h"
#include "report.h"
#include "scene_state.h"
#include "textures.h"

namespace {

std::atomic<long> g_allocations{0};
long g_failAt = 0;
bool g_failOn = false;   // every allocation after g_failAt fails too
std::atomic<bool> g_failed{false};
long g_frames = 0, g_framesAtFailure = 0;
int g_step = 0, g_stepAtFailure = 0;

// The program (no name) and its three libraries.
constexpr const char* kOurModules[] = {nullptr, "orvane.dll", "md2ex.dll", "pelmar.dll"};

// Whether address lies in the code of the program or one of its libraries.
bool InOurCode(DWORD_PTR address) {
    for (const char* name : kOurModules) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(name));
        if (!base) continue;
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD_PTR code = reinterpret_cast<DWORD_PTR>(base) + nt->OptionalHeader.BaseOfCode;
        if (address >= code && address < code + nt->OptionalHeader.SizeOfCode)
            return true;
    }
    return false;
}

// Whether this allocation is the one to fail; that one names its caller on
// the debug output, with the words on the stack above it that point into our
// code (the return addresses of the calls that led to it, and some noise),
// for the sweep to name by source line.
bool FailsNow(void* caller) {
    const long n = ++g_allocations;
    if (g_failAt == 0 || n < g_failAt || (n > g_failAt && !g_failOn)) return false;
    if (n > g_failAt) return true;
    g_failed = true;
    g_framesAtFailure = g_frames;
    g_stepAtFailure = g_step;
    char line[96];
    wsprintfA(line, "faults: allocation %ld fails, asked from %p\n", g_failAt, caller);
    OutputDebugStringA(line);
    // The stack's committed pages above this frame are one region.
    const DWORD_PTR here = 0;
    MEMORY_BASIC_INFORMATION stack{};
    VirtualQuery(&here, &stack, sizeof stack);
    const auto* top = reinterpret_cast<const DWORD_PTR*>(static_cast<BYTE*>(stack.BaseAddress) + stack.RegionSize);
    int named = 0;
    for (const DWORD_PTR* word = &here; word < top && named < 24; ++word) {
        if (!InOurCode(*word)) continue;
        wsprintfA(line, "faults: stack %p\n", reinterpret_cast<void*>(*word));
        OutputDebugStringA(line);
        ++named;
    }
    return true;
}

using Malloc = void*(__cdecl*)(size_t);
using Calloc = void*(__cdecl*)(size_t, size_t);
using Realloc = void*(__cdecl*)(void*, size_t);
using Strdup = char*(__cdecl*)(const char*);
using TaskAlloc = void*(WINAPI*)(SIZE_T);
using Update = int32_t(WINAPI*)(HWND);
using Ticks = DWORD(WINAPI*)();
Malloc g_malloc;
Calloc g_calloc;
Realloc g_realloc;
Strdup g_strdup;
TaskAlloc g_taskAlloc;
Update g_update;

void* __cdecl FailingMalloc(size_t n) { return FailsNow(__builtin_return_address(0)) ? nullptr : g_malloc(n); }
void* __cdecl FailingCalloc(size_t n, size_t size) { return FailsNow(__builtin_return_address(0)) ? nullptr : g_calloc(n, size); }
void* __cdecl FailingRealloc(void* p, size_t n) { return FailsNow(__builtin_return_address(0)) ? nullptr : g_realloc(p, n); }
char* __cdecl FailingStrdup(const char* s) { return FailsNow(__builtin_return_address(0)) ? nullptr : g_strdup(s); }
void* WINAPI FailingTaskAlloc(SIZE_T n) { return FailsNow(__builtin_return_address(0)) ? nullptr : g_taskAlloc(n); }

// Counts the frames the program shows.
int32_t WINAPI CountingUpdate(HWND view) {
    const int32_t shown = g_update(view);
    if (shown) ++g_frames;
    return shown;
}

Ticks g_ticks;
using Exit = void(WINAPI*)(UINT);
Exit g_exit;
void WINAPI ReportingExit(UINT code);

// The animation steps at every timer message: the program's clock runs 40 ms
// a look.
DWORD WINAPI QuickTicks() {
    static DWORD looks = 0;
    return g_ticks() + 40 * ++looks;
}

void InstallCounters() {
    for (const char* name : kOurModules) {
        HMODULE module = GetModuleHandleA(name);
        RedirectImport(module, "msvcrt.dll", "malloc", FailingMalloc, &g_malloc);
        RedirectImport(module, "msvcrt.dll", "calloc", FailingCalloc, &g_calloc);
        RedirectImport(module, "msvcrt.dll", "realloc", FailingRealloc, &g_realloc);
        RedirectImport(module, "msvcrt.dll", "_strdup", FailingStrdup, &g_strdup);
        RedirectImport(module, "ole32.dll", "CoTaskMemAlloc", FailingTaskAlloc, &g_taskAlloc);
    }
    HMODULE program = GetModuleHandleA(nullptr);
    RedirectImport(program, "orvane.dll", "QI_UpdateGLWindow", CountingUpdate, &g_update);
    RedirectImport(program, "KERNEL32.dll", "GetTickCount", QuickTicks, &g_ticks);
    RedirectImport(program, "KERNEL32.dll", "ExitProcess", ReportingExit, &g_exit);
}

void Report() {
    const char* path = std::getenv("ORVANE_FAULT_REPORT");
    if (!path || !*path) return;
    if (FILE* f = std::fopen(path, "w")) {
        std::fprintf(f, "allocations %ld\nfailed %d\nframes %ld\nframes_after %ld\nstep %d\nfailed_step %d\nview %d\n",
                     g_allocations.load(), g_failed ? 1 : 0, g_frames, g_failed ? g_frames - g_framesAtFailure : 0,
                     g_step, g_stepAtFailure, Scene.GLView ? 1 : 0);
        std::fclose(f);
    }
}

// The report is written once more as the program ends, however early.
void WINAPI ReportingExit(UINT code) {
    Report();
    g_exit(code);
}

BOOL CALLBACK PopUpTip(HWND window, LPARAM) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (!_stricmp(name, TOOLTIPS_CLASSA)) SendMessageA(window, TTM_POPUP, 0, 0);
    return TRUE;
}

// The scene, one step a timer message on the program's own thread.
void CALLBACK Script(HWND, UINT, UINT_PTR, DWORD) {
    static long mark = 0;
    static DWORD waitUntil = 0;
    static DWORD reported = 0;
    if (g_ticks() - reported > 300) {
        reported = g_ticks();
        Report();
    }
    HWND main = Scene.MainWindow;
    if (!main || !IsWindowVisible(main)) return;
    static DWORD stepStart = 0;   // set here, not by an initialiser: no first-use guard, which needs memory
    if (!stepStart) stepStart = g_ticks();
    // A scene without frames (no view) still goes on after a while.
    const bool late = g_ticks() - stepStart > 4000;
    switch (g_step) {
    case 0:   // start-up done: 100 frames
        if (g_frames < 100 && !late) return;
        break;
    case 1: {   // a resize
        RECT r{};
        GetWindowRect(main, &r);
        SetWindowPos(main, nullptr, 0, 0, r.right - r.left + 60, r.bottom - r.top + 40, SWP_NOMOVE | SWP_NOZORDER);
        break;
    }
    case 2: {   // the skin painted again, a caption button's and every other tooltip shown
        RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT r{};
        GetWindowRect(main, &r);
        SendMessageA(main, WM_NCMOUSEMOVE, HTCLOSE, MAKELPARAM(r.right - 18, r.top + 12));
        EnumThreadWindows(GetCurrentThreadId(), PopUpTip, 0);
        waitUntil = g_ticks() + 700;   // the caption button's tip comes after a pause
        break;
    }
    case 3:
        if (g_ticks() < waitUntil) return;
        SendMessageA(main, WM_NCMOUSELEAVE, 0, 0);
        // The textures read again, in the view's context.
        QI_ResizeGLWindow(Scene.GLView);
        if (!LoadTextures(Scene.TextureTable.First(), Scene.TextureTable.Count()))
            win32::ReportOutOfMemory("faults", "texture reload");
        mark = g_frames;
        break;
    case 4:   // frames again (some after a failure, wherever it came), then the close
        if ((g_frames < mark + 20 || (g_failed && g_frames - g_framesAtFailure < 5)) && !late) return;
        PostMessageA(main, WM_CLOSE, 0, 0);
        break;
    default: return;
    }
    ++g_step;
    stepStart = g_ticks();
    Report();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* from = std::getenv("ORVANE_FAIL_FROM");
    const char* n = from ? from : std::getenv("ORVANE_FAIL_ALLOCATION");
    g_failAt = n ? std::atol(n) : 0;
    g_failOn = from != nullptr;
    // A crash ends the process at once with its code, with no debugger.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    InstallCounters();
    SetTimer(nullptr, 0, 15, Script);
    Report();
    ProcessStart();
}
