// OpenGL entry points as the system's wglGetProcAddress hands them out.
#pragma once

#include <cstdint>

namespace win32 {

// Whether an address from wglGetProcAddress is a function: besides null,
// some drivers answer 1, 2, 3 or -1 for a function they do not have.
inline bool IsGlEntryPoint(const void* address) {
    const auto value = reinterpret_cast<std::uintptr_t>(address);
    return value > 3 && value != std::uintptr_t(-1);
}

}  // namespace win32
