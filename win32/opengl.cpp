// The table of OpenGL entry points (see opengl.h). This file names the
// functions themselves, so it must not see the header's macros for them:
// it declares the table after <GL/gl.h> and before any macro.
#include <windows.h>
#include <GL/gl.h>

#include <type_traits>

#define WIN32_GL_TABLE_ONLY
#include "opengl.h"
#include "system_library.h"

namespace win32::gl {
namespace {

// The two stubs of one entry, with its exact signature (and calling
// convention): the first call fills the table and calls on; a function
// missing from the system does nothing and returns zero.
template <auto Slot, typename F>
struct Stub;
template <auto Slot, typename R, typename... A>
struct Stub<Slot, R(APIENTRY*)(A...)> {
    static R APIENTRY First(A... arguments) {
        Load();
        return (entries.*Slot).load(std::memory_order_relaxed)(arguments...);
    }
    static R APIENTRY Missing(A...) {
        if constexpr (!std::is_void_v<R>) return R{};
    }
};

#define WIN32_GL_STUB(name, kind) &Stub<&Entries::name, decltype(&::name)>::kind

void SetFirstCallStubs() noexcept {
#define WIN32_GL_FIRST(name) entries.name.store(WIN32_GL_STUB(name, First), std::memory_order_relaxed);
    WIN32_GL_ENTRIES(WIN32_GL_FIRST)
#undef WIN32_GL_FIRST
}

template <typename F>
F Found(HMODULE module, const char* name, F missing) noexcept {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return found ? reinterpret_cast<F>(reinterpret_cast<void*>(found)) : missing;
}

bool loaded = false;

BOOL CALLBACK Fill(INIT_ONCE*, void*, void**) {
    // The system folder's copy; a module of that name loaded already (by the
    // host itself) is the one this finds again.
    HMODULE module = LoadSystemLibrary("opengl32.dll");
    loaded = module != nullptr;
#define WIN32_GL_FILL(name) \
    entries.name.store(Found(module, #name, WIN32_GL_STUB(name, Missing)), std::memory_order_relaxed);
    WIN32_GL_ENTRIES(WIN32_GL_FILL)
#undef WIN32_GL_FILL
    return TRUE;
}

INIT_ONCE once = INIT_ONCE_STATIC_INIT;

}  // namespace

// Constant-initialised to the first-call stubs, so the table is right before
// any start-up code of the module runs.
Entries entries = {
#define WIN32_GL_INITIAL(name) WIN32_GL_STUB(name, First),
    WIN32_GL_ENTRIES(WIN32_GL_INITIAL)
#undef WIN32_GL_INITIAL
};

bool Load() noexcept {
    InitOnceExecuteOnce(&once, Fill, nullptr, nullptr);
    return loaded;
}

void ResetForTest() noexcept {
    SetFirstCallStubs();
    once = INIT_ONCE_STATIC_INIT;
}

std::size_t ListEntries(EntryView* out, std::size_t capacity) noexcept {
    std::size_t count = 0;
#define WIN32_GL_LIST(name)                                                                                    \
    if (count < capacity)                                                                                      \
        out[count] = {#name, reinterpret_cast<const void*>(entries.name.load(std::memory_order_relaxed))};   \
    ++count;
    WIN32_GL_ENTRIES(WIN32_GL_LIST)
#undef WIN32_GL_LIST
    return count;
}

}  // namespace win32::gl
