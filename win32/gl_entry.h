// OpenGL entry points as the system's wglGetProcAddress hands them out, and
// the extension lists of OpenGL and WGL.
#pragma once

#include <cstdint>
#include <string_view>

namespace win32 {

// Whether an address from wglGetProcAddress is a function: besides null,
// some drivers answer 1, 2, 3 or -1 for a function they do not have.
inline bool IsGlEntryPoint(const void* address) {
    const auto value = reinterpret_cast<std::uintptr_t>(address);
    return value > 3 && value != std::uintptr_t(-1);
}

// Whether an extension list (names separated by spaces, as
// glGetString(GL_EXTENSIONS) and wglGetExtensionsString give them) holds
// name whole: one name may begin another. A null list holds none.
inline bool HasExtension(const char* list, std::string_view name) {
    if (!list || name.empty()) return false;
    for (std::string_view rest = list;;) {
        const std::size_t end = rest.find(' ');
        if (rest.substr(0, end) == name) return true;
        if (end == rest.npos) return false;
        rest.remove_prefix(end + 1);
    }
}

}  // namespace win32
