#include "runtime_unload.h"

#ifndef _MSC_VER
extern "C" {
// The posix-thread runtime's thread callback, in the module's TLS callback
// table. Its thread-detach step closes the calling thread's handle and event
// and frees its record; it is what the loader would call were the thread
// ending rather than the module.
extern PIMAGE_TLS_CALLBACK __xl_f;
}
#endif

namespace win32 {

void ReleaseRuntimeAtUnload(HINSTANCE module) noexcept {
#ifndef _MSC_VER
    if (__xl_f) __xl_f(module, DLL_THREAD_DETACH, nullptr);
#else
    (void)module;
#endif
}

}  // namespace win32
