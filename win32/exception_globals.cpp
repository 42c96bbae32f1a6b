// Each thread's record of its exceptions in flight (the C++ runtime's
// "exception globals"), for every module that links this library: the
// linker is told to take __cxa_get_globals from here (see CMakeLists.txt).
//
// The toolchain keeps that record in emulated thread-local storage (emutls), made on
// the heap at the thread's first throw, and ends the process when that
// allocation fails; so a thread's first std::bad_alloc, thrown because
// memory ran out, would end the process before any handler ran. Here the
// record is made when a thread starts or first enters our code
// (PrepareThread), long before it is needed, and a thread whose record
// could not be made takes one of a few records kept in static storage. Only
// when more threads than those lack memory at the same time do they share
// the last one. Nothing here allocates but PrepareThread, and nothing here
// ends the process. The module also throws once as it starts, so that the
// unwinder's one-time set-up is done while memory is there (the memory of
// an exception itself: exception_memory.cpp).
#include <windows.h>

#include <cstdlib>

#include "boundary.h"

#if defined(__GLIBCXX__)

namespace {

// The runtime's layout: the stack of caught exceptions and the number
// thrown but not yet caught.
struct Record {
    void* caught;
    unsigned int uncaught;
};

DWORD g_slot = TLS_OUT_OF_INDEXES;   // made as the module is loaded

// Records for threads without their own: claimed by thread id, freed as the
// thread ends. The last is shared by every thread that finds none free.
constexpr int kSpares = 8;
Record g_spares[kSpares];
volatile LONG g_owners[kSpares];

Record* Own() {
    return g_slot == TLS_OUT_OF_INDEXES ? nullptr : static_cast<Record*>(TlsGetValue(g_slot));
}

// The spare this thread holds, or null.
Record* HeldSpare() {
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    for (int i = 0; i < kSpares - 1; ++i)
        if (g_owners[i] == self) return &g_spares[i];
    return nullptr;
}

Record* Spare() {
    if (Record* held = HeldSpare()) return held;
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    for (int i = 0; i < kSpares - 1; ++i)
        if (InterlockedCompareExchange(&g_owners[i], self, 0) == 0) return &g_spares[i];
    return &g_spares[kSpares - 1];
}

Record* Current() {
    const DWORD error = GetLastError();   // a handler may still want it
    Record* record = Own();
    if (!record) record = Spare();
    SetLastError(error);
    return record;
}

void ReleaseThread() {
    if (Record* record = Own()) {
        TlsSetValue(g_slot, nullptr);
        std::free(record);
    }
    const LONG self = static_cast<LONG>(GetCurrentThreadId());
    for (int i = 0; i < kSpares - 1; ++i) InterlockedCompareExchange(&g_owners[i], 0, self);
}

void NTAPI OnThread(PVOID, DWORD reason, PVOID ending) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        g_slot = TlsAlloc();
        win32::PrepareThread();
        break;
    case DLL_THREAD_ATTACH: win32::PrepareThread(); break;
    case DLL_THREAD_DETACH: ReleaseThread(); break;
    case DLL_PROCESS_DETACH:
        // Unloaded while the process goes on: give the slot back; any later
        // exception in the module takes a spare record.
        if (!ending && g_slot != TLS_OUT_OF_INDEXES) {
            ReleaseThread();
            const DWORD slot = g_slot;
            g_slot = TLS_OUT_OF_INDEXES;
            TlsFree(slot);
        }
        break;
    default: break;
    }
}

// The unwinder sets itself up at a module's first throw, once (it makes a
// record on the heap for that and writes through it unchecked when that
// fails). One throw as the module starts does it while memory is there.
struct FirstThrow {
    FirstThrow() {
        try {
            throw 0;
        } catch (...) {
        }
    }
} g_firstThrow;

}  // namespace

// Called by the loader as the module is loaded (before its entry point) and
// unloaded, and as each thread starts and ends.
extern "C" __attribute__((section(".CRT$XLY"), used)) const PIMAGE_TLS_CALLBACK orvane_exception_globals = OnThread;

extern "C" {

void* __cxa_get_globals() noexcept { return Current(); }
void* __cxa_get_globals_fast() noexcept { return Current(); }

}  // extern "C"

namespace win32 {

void PrepareThread() noexcept {
    if (g_slot == TLS_OUT_OF_INDEXES) return;
    const DWORD error = GetLastError();
    // A thread that took a spare keeps it: exceptions may be in it.
    if (!TlsGetValue(g_slot) && !HeldSpare()) {
        if (void* record = std::calloc(1, sizeof(Record)))
            if (!TlsSetValue(g_slot, record)) std::free(record);
    }
    SetLastError(error);
}

}  // namespace win32

#else

namespace win32 {

// Another runtime keeps its exception records its own way.
void PrepareThread() noexcept {}

}  // namespace win32

#endif
