// The table of OpenGL entry points (see opengl.h). This file names the
// functions themselves, so it must not see the header's macros for them:
// it declares the table after <GL/gl.h> and before any macro.
#include <windows.h>
#include <GL/gl.h>

#define WIN32_GL_TABLE_ONLY
#include "opengl.h"
#include "system_library.h"

namespace win32::gl {

Entries entries{};

namespace {

template <typename F>
bool Found(HMODULE module, const char* name, F& entry) noexcept {
    entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return entry != nullptr;
}

bool loaded = false;

BOOL CALLBACK Fill(INIT_ONCE*, void*, void**) {
    // The system folder's copy; a module of that name loaded already (by the
    // host itself) is the one this finds again.
    HMODULE module = LoadSystemLibrary("opengl32.dll");
    bool all = module != nullptr;
    Entries found{};
    if (all) {
#define WIN32_GL_FILL(name) all = Found(module, #name, found.name) && all;
        WIN32_GL_ENTRIES(WIN32_GL_FILL)
#undef WIN32_GL_FILL
    }
    // All or nothing: no caller ever meets a missing function.
    if (all) entries = found;
    loaded = all;
    return TRUE;
}

INIT_ONCE once = INIT_ONCE_STATIC_INIT;

}  // namespace

bool Load() noexcept {
    InitOnceExecuteOnce(&once, Fill, nullptr, nullptr);
    return loaded;
}

void ResetForTest() noexcept {
    entries = Entries{};
    loaded = false;
    once = INIT_ONCE_STATIC_INIT;
}

std::size_t ListEntries(EntryView* out, std::size_t capacity) noexcept {
    std::size_t count = 0;
#define WIN32_GL_LIST(name)                                                        \
    if (count < capacity) out[count] = {#name, reinterpret_cast<const void*>(entries.name)}; \
    ++count;
    WIN32_GL_ENTRIES(WIN32_GL_LIST)
#undef WIN32_GL_LIST
    return count;
}

}  // namespace win32::gl
