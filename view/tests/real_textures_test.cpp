// Texture loading with the real picture library and OpenGL, for pictures of
// any size: each entry gets a texture that draws its picture, on a renderer
// that takes any size and on one that takes only powers of two (this test's
// "floor." run: OpenGL 1.1 without GL_ARB_texture_non_power_of_two, where the
// pictures arrive resampled).
#include "textures.h"
#include "view_gl_window.h"

#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kSize = 64;

std::string PicturePath(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path(exe);
    return path.substr(0, path.find_last_of("\\/") + 1) + "orvane_test_pictures\\" + name;
}

// The entry's texture over the whole viewport; the four corner colours of the
// frame read back (top-left, top-right, bottom-left, bottom-right).
void DrawCorners(GLuint texture, unsigned char corners[4][4]) {
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3f(1, 1, 1);
    glBegin(GL_QUADS);   // t = 0 is the picture's bottom row
    glTexCoord2f(0, 0), glVertex2f(-1, -1);
    glTexCoord2f(1, 0), glVertex2f(1, -1);
    glTexCoord2f(1, 1), glVertex2f(1, 1);
    glTexCoord2f(0, 1), glVertex2f(-1, 1);
    glEnd();
    glFinish();
    const int at[4][2] = {{4, kSize - 5}, {kSize - 5, kSize - 5}, {4, 4}, {kSize - 5, 4}};
    for (int k = 0; k < 4; ++k) glReadPixels(at[k][0], at[k][1], 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corners[k]);
}

TEST(RealTextures, PicturesOfAnySizeLoadAndDrawOnThisRenderer) {
    ViewGLWindow gl("RealTextures", kSize, kSize);
    ASSERT_TRUE(gl.Ready());
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::printf("OpenGL %s\n", version ? version : "?");
    TextureEntry entries[2]{};
    const char* files[2] = {"wide1000x600.jpg", "skin500x300.png"};
    for (int i = 0; i < 2; ++i) std::strncpy(entries[i].FileName, PicturePath(files[i]).c_str(), 259);
    CoInitialize(nullptr);
    LoadTextures(entries, 2);
    CoUninitialize();
    const unsigned char quads[4][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
    for (const TextureEntry& entry : entries) {
        SCOPED_TRACE(entry.FileName);
        ASSERT_NE(entry.GLTexture, 0u);
        EXPECT_GT(entry.Width, 0);
        EXPECT_GT(entry.Height, 0);
        unsigned char corners[4][4];
        DrawCorners(entry.GLTexture, corners);
        for (int k = 0; k < 4; ++k)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(corners[k][c], quads[k][c], 16) << "corner " << k;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLuint names[2] = {entries[0].GLTexture, entries[1].GLTexture};
    glDeleteTextures(2, names);
}

}  // namespace
