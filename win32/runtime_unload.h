// What the statically linked C++ runtime keeps for the life of a module and
// does not give back when a DLL is unloaded while the process runs on.
#pragma once

#include <windows.h>

namespace win32 {

// For a DLL's DLL_PROCESS_DETACH when it is unloaded (FreeLibrary: the
// reserved argument is null), not at process exit: frees the record the
// posix-thread runtime made for the unloading thread (on x86 a thread handle
// and an event), by calling the runtime's TLS callback for DLL_THREAD_DETACH.
// (The runtime's emergency exception pool, 17 KB on x86 and 73 KB on x64 made
// at load and never freed, is not linked at all: exception memory comes from
// exception_memory.cpp.)
void ReleaseRuntimeAtUnload(HINSTANCE module) noexcept;

}  // namespace win32
