// The fakes stand in for the real import libraries at link time: GL calls made
// through <GL/gl.h> must land in the recorder, not in opengl32.dll.
#include <windows.h>
#include <objbase.h>
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

// What the program's tests lean on: each view keeps its own zoom, a picture
// hands over a buffer of width * height * 4 bytes that CoTaskMemFree takes,
// a failed decode leaves no pixels behind, and Reset forgets all of it.
TEST(Fakes, KeepZoomPerViewAndDecodeConfiguredPictures) {
    fake::Reset();
    HWND view = reinterpret_cast<HWND>(0x1234), other = reinterpret_cast<HWND>(0x5678);
    QI_SetGLzoom(view, 30);
    EXPECT_EQ(QI_GetGLzoom(view), 30);
    EXPECT_EQ(QI_GetGLzoom(other), fake::Set().startZoom);
    fake::Set().pictures["a.png"] = {4, 2};
    fake::Set().frameCounts[1] = 198;
    int32_t w = -1, h = -1;
    unsigned char* pixels = nullptr;
    ASSERT_EQ(QI_CreateGLTextureFromFileEX("a.png", &w, &h, &pixels, 0), 1);
    ASSERT_NE(pixels, nullptr);
    IMalloc* allocator = nullptr;
    ASSERT_EQ(CoGetMalloc(1, &allocator), S_OK);
    EXPECT_EQ(allocator->GetSize(pixels), static_cast<SIZE_T>(4 * 2 * 4));
    allocator->Release();
    // A failed decode frees what the caller held and reports an empty picture.
    EXPECT_EQ(QI_CreateGLTextureFromFileEX("b.png", &w, &h, &pixels, 0), 0);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(w * 1000 + h, 0);
    EXPECT_EQ(MD2_GetFrameCount(1), 198);

    fake::Reset();
    EXPECT_EQ(QI_GetGLzoom(view), fake::Set().startZoom);
    EXPECT_EQ(QI_CreateGLTextureFromFileEX("a.png", &w, &h, &pixels, 0), 0);
    EXPECT_EQ(MD2_GetFrameCount(1), 0);
    EXPECT_THAT(fake::Names(), ElementsAre("QI_GetGLzoom", "QI_CreateGLTextureFromFileEX", "MD2_GetFrameCount"));
}
