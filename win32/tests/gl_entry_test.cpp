// What wglGetProcAddress may answer for a function a driver lacks.
#include "gl_entry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(GlEntryPoint, NullAndTheDriversSentinelsAreNoFunction) {
    const struct {
        std::uintptr_t address;
        bool function;
    } cases[] = {
        {0, false}, {1, false}, {2, false}, {3, false}, {std::uintptr_t(-1), false},
        {4, true},  {0x6A001230, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(win32::IsGlEntryPoint(reinterpret_cast<const void*>(c.address)), c.function) << c.address;
}

}  // namespace
