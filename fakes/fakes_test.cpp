// The fakes stand in for the real import libraries at link time: GL calls made
// through <GL/gl.h> must land in the recorder, not in opengl32.dll.
#include <windows.h>
#include <GL/gl.h>

#include <gmock/gmock.h>

#include "md2ex.h"
#include "orvane.h"
#include "recorder.h"

using ::testing::ElementsAre;

TEST(Fakes, RecordGLCallsMadeThroughTheImportPointers) {
    fake::Reset();
    fake::Set().glErrors = {GL_INVALID_VALUE};
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    GLuint names[2] = {};
    glGenTextures(2, names);
    const GLfloat diffuse[4] = {1.0f, 1.0f, -0.8f, 1.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_INVALID_VALUE));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_THAT(fake::Texts(), ElementsAre("glClear(0x4100)", "glGenTextures(2,[1,2])",
                                           "glLightfv(GL_LIGHT1,GL_DIFFUSE,[1,1,-0.8,1])",
                                           "glGetError(1281)", "glGetError(0)"));
}

TEST(Fakes, KeepZoomPerViewAndDecodeConfiguredPictures) {
    fake::Reset();
    HWND view = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(QI_GetGLzoom(view), 51);
    QI_SetGLzoom(view, 30);
    EXPECT_EQ(QI_GetGLzoom(view), 30);
    fake::Set().pictures["a.png"] = {4, 2};
    int32_t w = -1, h = -1;
    unsigned char* pixels = nullptr;
    EXPECT_EQ(QI_CreateGLTextureFromFileEX("a.png", &w, &h, &pixels, 0), 1);
    EXPECT_EQ(w * h, 8);
    EXPECT_NE(pixels, nullptr);
    EXPECT_EQ(QI_CreateGLTextureFromFileEX("b.png", &w, &h, &pixels, 0), 0);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(MD2_GetFrameCount(1), 0);
}
