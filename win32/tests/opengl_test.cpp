// The libraries' table of OpenGL entry points: a call through a freshly
// filled table passes its arguments on whole (float and double arguments
// travel in registers on x64, where a late-import stub once lost them), and
// every entry comes from opengl32.dll in the system folder.
#include <gtest/gtest.h>


#include "gl_window.h"
#include "opengl.h"

namespace {

struct FirstCall {
    const char* name;
    void (*call)();
    GLenum state;
    int count;
    float want[4];
};

TEST(GLTable, FirstCallThroughTheTablePassesItsArgumentsWhole) {
    TestGLWindow window("GLTableTest", 64, 64);
    ASSERT_TRUE(window.Ready());
    ASSERT_TRUE(win32::gl::Load());
    const FirstCall cases[] = {
        {"glColor4f", [] { glColor4f(0.25f, 0.5f, 0.75f, 0.125f); }, GL_CURRENT_COLOR, 4, {0.25f, 0.5f, 0.75f, 0.125f}},
        {"glTexCoord2f", [] { glTexCoord2f(0.375f, 0.625f); }, GL_CURRENT_TEXTURE_COORDS, 2, {0.375f, 0.625f}},
        // glOrtho(-1, 3, -2, 6, -1, 1) scales x by 2/4 and y by 2/8.
        {"glOrtho", [] { glOrtho(-1.0, 3.0, -2.0, 6.0, -1.0, 1.0); }, GL_MODELVIEW_MATRIX, 1, {0.5f}},
    };
    for (const FirstCall& c : cases) {
        SCOPED_TRACE(c.name);
        glLoadIdentity();
        win32::gl::ResetForTest();
        ASSERT_TRUE(win32::gl::Load());
        c.call();   // the first call through the table since it was filled
        float got[16] = {};
        glGetFloatv(c.state, got);
        for (int i = 0; i < c.count; ++i) EXPECT_EQ(got[i], c.want[i]) << i;
        if (c.state == GL_MODELVIEW_MATRIX) {
            EXPECT_EQ(got[5], 0.25f);
        }
    }
}

TEST(GLTable, EveryEntryComesFromTheSystemFoldersOpenGL) {
    ASSERT_TRUE(win32::gl::Load());
    char want[MAX_PATH];
    const UINT length = GetSystemDirectoryA(want, MAX_PATH);
    ASSERT_GT(length, 0u);
    lstrcatA(want, "\\opengl32.dll");
    win32::gl::EntryView entries[128];
    const std::size_t count = win32::gl::ListEntries(entries, 128);
    ASSERT_GT(count, 0u);
    ASSERT_LE(count, 128u);
    for (std::size_t i = 0; i < count; ++i) {
        HMODULE module = nullptr;
        char path[MAX_PATH] = {};
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                               static_cast<const char*>(entries[i].address), &module))
            GetModuleFileNameA(module, path, MAX_PATH);
        EXPECT_EQ(lstrcmpiA(path, want), 0) << entries[i].name << " from " << path;
    }
}

}  // namespace
