// The team's model with its skin at twice the size (a nearest-neighbour
// upscale, as an "HD skin" is made) draws as with the skin it was made for:
// texture coordinates follow the skin size the model's header declares, not
// the picture's.
#include "md2ex.h"
#include "orvane.h"
#include "view_gl_window.h"

#include <windows.h>
#include <objbase.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kSize = 160;

struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;   // bottom row first, as orvane delivers it
};

Picture Doubled(const Picture& p) {
    Picture out{p.width * 2, p.height * 2, {}};
    out.rgba.resize(size_t(out.width) * out.height * 4);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            for (int c = 0; c < 4; ++c)
                out.rgba[(size_t(y) * out.width + x) * 4 + c] = p.rgba[(size_t(y / 2) * p.width + x / 2) * 4 + c];
    return out;
}

// The model at its first frame, textured with the picture given at its own
// size, seen from the front; the frame read back.
std::vector<unsigned char> Draw(const Picture& skin) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, skin.width, skin.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, skin.rgba.data());
    std::vector<unsigned char> frame(size_t(kSize) * kSize * 4);
    if (MD2_Load(1, MD2_SAMPLE, texture, skin.width, skin.height) == 1) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(0, 0, -2);
        glScalef(0.025f, 0.025f, 0.025f);
        MD2_Draw(1, 1.0f);
        glFinish();
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
        MD2_Delete(1);
    }
    glDeleteTextures(1, &texture);
    return frame;
}

TEST(Md2SkinSize, ASkinAtTwiceTheSizeDrawsTheModelAsTheSkinItWasMadeFor) {
    ViewGLWindow gl("Md2SkinSize", kSize, kSize);
    ASSERT_TRUE(gl.Ready());
    glViewport(0, 0, kSize, kSize);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.05, 0.05, -0.05, 0.05, 0.1, 100.0);   // 1 unit each way at 2 units
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glClearColor(0, 0, 0, 1);

    Picture skin;
    unsigned char* pixels = nullptr;
    CoInitialize(nullptr);
    ASSERT_EQ(QI_CreateGLTextureFromFileEX(MD2_SKIN, &skin.width, &skin.height, &pixels, 0), 1);
    skin.rgba.assign(pixels, pixels + size_t(skin.width) * skin.height * 4);
    CoTaskMemFree(pixels);
    CoUninitialize();

    const std::vector<unsigned char> once = Draw(skin), twice = Draw(Doubled(skin));
    int covered = 0, apart = 0;
    long total = 0;
    for (size_t i = 0; i < once.size(); i += 4) {
        if (once[i] + once[i + 1] + once[i + 2] == 0) continue;   // background
        ++covered;
        int most = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(int(once[i + c]) - int(twice[i + c]));
            most = d > most ? d : most;
            total += d;
        }
        apart += most > 48;
    }
    ASSERT_GT(covered, kSize * kSize / 20) << "the model is not in view";
    // Linear filtering of the doubled texels explains small differences only.
    EXPECT_LT(apart, covered / 50) << apart << " of " << covered << " pixels differ";
    EXPECT_LT(double(total) / (3.0 * covered), 4.0);
}

}  // namespace
