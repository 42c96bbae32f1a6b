// What wglGetProcAddress may answer for a function a driver lacks, and
// finding a name in an extension list.
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

TEST(ExtensionList, HoldsOnlyWholeNames) {
    const struct {
        const char* list;
        const char* name;
        bool held;
    } cases[] = {
        {"GL_A GL_B GL_C", "GL_A", true},         // first
        {"GL_A GL_B GL_C", "GL_B", true},         // between
        {"GL_A GL_B GL_C", "GL_C", true},         // last
        {"GL_A GL_B ", "GL_B", true},             // before a trailing space
        {"GL_A", "GL_A", true},                   // alone
        {"GL_AB GL_C", "GL_A", false},            // the beginning of a longer name
        {"GL_XGL_A GL_C", "GL_A", false},         // the end of a longer name
        {"GL_A_B GL_A", "GL_A", true},            // after a longer name it begins
        {"GL_AB", "GL_ABC", false},               // longer than every name
        {"", "GL_A", false},
        {nullptr, "GL_A", false},
        {"GL_A  GL_B", "", false},                // no name at all
    };
    for (const auto& c : cases)
        EXPECT_EQ(win32::HasExtension(c.list, c.name), c.held) << (c.list ? c.list : "(null)") << " / " << c.name;
}

}  // namespace
