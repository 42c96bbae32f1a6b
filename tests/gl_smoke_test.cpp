// The harness itself: a Windows test executable under Wine and Xvfb can open
// a window with an OpenGL 1.1 context and read back what it drew.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include "gl_window.h"

namespace {

TEST(Harness, OpenGLWindowClearsAndReadsBack) {
    TestGLWindow gl("GLSmoke", 64, 64);
    ASSERT_TRUE(gl.Ready());
    glViewport(0, 0, 64, 64);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(32, 32, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_EQ(pixel[2], 0);
}

}  // namespace
