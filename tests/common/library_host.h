// What a host program that loads our libraries by name needs: a call found
// by its undecorated name, the message pump, a window of the host's class,
// and the process's committed private memory.
#pragma once

#include <windows.h>
#include <psapi.h>

// The export `call` of module, typed as the contract declares it.
#define FIND(module, call) reinterpret_cast<decltype(&call)>(reinterpret_cast<void*>(GetProcAddress(module, #call)))

inline void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline HWND HostWindow(const char* className, DWORD style, int width, int height) {
    return CreateWindowExA(0, className, "host", style, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// Committed private memory in bytes: the process's PrivateUsage, or where
// that reads 0 (Wine), the committed private regions of its address space.
inline long long Committed() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (K32GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters) &&
        counters.PrivateUsage)
        return static_cast<long long>(counters.PrivateUsage);
    long long total = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    return total;
}
