// The guard of function-local statics, for every module that links this
// library (the linker is told to take it from here, see CMakeLists.txt).
//
// The toolchain's own guard makes its lock, its condition and their once
// records on the heap the first time a module initialises such a static, and
// ends the process when that allocation fails: an unchecked write through
// null, or an exception thrown through a function that may not throw. This
// one keeps its lock and condition in static storage (Windows' slim
// reader/writer lock and condition variable need no allocation at all), so
// the start of a static can never end the process.
//
// The guard object's first byte says "initialised", its second "being
// initialised by some thread", as the C++ ABI lays them out; the lock is held
// only while those bytes are read or changed, never while an initialiser
// runs, so one static's initialiser may start another.
#include <windows.h>

namespace {

SRWLOCK g_lock = SRWLOCK_INIT;
CONDITION_VARIABLE g_done = CONDITION_VARIABLE_INIT;

struct Guard {
    explicit Guard(long long* object) : bytes(reinterpret_cast<volatile char*>(object)) {}
    bool Initialised() const { return __atomic_load_n(&bytes[0], __ATOMIC_ACQUIRE) != 0; }
    volatile char* bytes;
};

}  // namespace

extern "C" {

// 1: the caller runs the initialiser and then calls release (or abort when
// it throws); 0: the static is ready.
int __cxa_guard_acquire(long long* object) {
    Guard guard(object);
    if (guard.Initialised()) return 0;
    AcquireSRWLockExclusive(&g_lock);
    int result = 0;
    for (;;) {
        if (guard.Initialised()) break;
        if (!guard.bytes[1]) {
            guard.bytes[1] = 1;
            result = 1;
            break;
        }
        // Another thread is initialising it: wait for its release or abort.
        SleepConditionVariableSRW(&g_done, &g_lock, INFINITE, 0);
    }
    ReleaseSRWLockExclusive(&g_lock);
    return result;
}

void __cxa_guard_release(long long* object) {
    Guard guard(object);
    AcquireSRWLockExclusive(&g_lock);
    __atomic_store_n(&guard.bytes[0], 1, __ATOMIC_RELEASE);
    guard.bytes[1] = 0;
    ReleaseSRWLockExclusive(&g_lock);
    WakeAllConditionVariable(&g_done);
}

// The initialiser threw: the next caller tries again.
void __cxa_guard_abort(long long* object) {
    Guard guard(object);
    AcquireSRWLockExclusive(&g_lock);
    guard.bytes[1] = 0;
    ReleaseSRWLockExclusive(&g_lock);
    WakeAllConditionVariable(&g_done);
}

}  // extern "C"
