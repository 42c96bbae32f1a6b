// Culling on the CPU changes no pixel: in a view control, whichever way it
// presents its frames, the team's character (wound as the file has it and
// reversed) and an open tube whose inside shows are drawn in many poses,
// zooms, positions and frames with and without the CPU's culling, and the
// read-back frames are compared.
#include "builder.h"
#include "draw.h"
#include "md2ex.h"
#include "model.h"
#include "orvane.h"
#include "test_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 256;

std::vector<std::uint8_t> ReadSample() {
    std::vector<std::uint8_t> bytes;
    if (std::FILE* f = std::fopen(MD2_SAMPLE, "rb")) {
        std::uint8_t chunk[65536];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + got);
        std::fclose(f);
    }
    return bytes;
}

// The same file with every triangle's last two corners swapped: the other
// winding, with the same normals.
std::vector<std::uint8_t> Reversed(std::vector<std::uint8_t> bytes) {
    md2::File file;
    if (md2::Parse(bytes.data(), bytes.size(), file) != md2::Error::None) return {};
    for (int t = 0; t < file.triangles; ++t) {
        std::uint8_t* tri = bytes.data() + file.ofsTriangles + t * md2::kTriangleSize;
        for (int half : {0, 6}) {
            std::swap(tri[half + 2], tri[half + 4]);
            std::swap(tri[half + 3], tri[half + 5]);
        }
    }
    return bytes;
}

// A skin of smooth gradients, so that texture coordinates show in every pixel.
GLuint GradientSkin() {
    std::vector<unsigned char> rgba(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            unsigned char* p = &rgba[(y * 256 + x) * 4];
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = static_cast<unsigned char>((x * 7 + y * 3) & 255);
            p[3] = 255;
        }
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 256, 256, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

// The program's scene state: texture, depth, blending, its yellow light.
void ProgramState() {
    glEnable(GL_TEXTURE_2D);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    const GLfloat diffuse[4] = {1.0f, 1.0f, -0.8f, 1.0f}, ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f},
                  position[4] = {-50.0f, 150.0f, -100.0f, 1.0f}, shininess[1] = {5.0f};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glMaterialfv(GL_FRONT, GL_SPECULAR, diffuse);
    glMaterialfv(GL_FRONT, GL_SHININESS, shininess);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
}

struct Pose {
    int zoom;
    float x, y, z, tilt, spin, frame;
};

std::vector<unsigned char> DrawPose(HWND view, const md2::Model& model, GLuint skin, md2::DrawBuffers& buffers,
                                    const Pose& p, bool cullOnCpu) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(p.x, p.y, p.z);
    glRotatef(p.tilt, 1.0f, 0.0f, 0.0f);
    glRotatef(p.spin, 0.0f, 1.0f, 0.0f);
    glScalef(0.025f, 0.025f, 0.025f);
    md2::Draw(model, skin, p.frame, buffers, cullOnCpu);
    glFinish();
    std::vector<unsigned char> pixels(kSize * kSize * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    QI_UpdateGLWindow(view);
    return pixels;
}

TEST(Md2CullDraw, CullingOnTheCpuChangesNoPixel) {
    orvane_test::ViewWindow window(kSize, kSize);
    ASSERT_NE(window.view(), nullptr);
    ASSERT_TRUE(win32::gl::Load());   // this program's own table, which md2::Draw calls through
    ProgramState();
    const GLuint skin = GradientSkin();

    const std::vector<std::uint8_t> sample = ReadSample();
    ASSERT_FALSE(sample.empty()) << "the committed character model cannot be read: " << MD2_SAMPLE;
    struct Subject {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } subjects[] = {
        {"character", sample},
        {"character reversed", Reversed(sample)},
        {"open tube reversed", Reversed(md2test::Build(md2test::Body(16, 24, 10)))},
    };
    std::mt19937 random(15);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int compared = 0;
    for (const Subject& s : subjects) {
        md2::Model model;
        ASSERT_EQ(md2::Load(s.bytes.data(), s.bytes.size(), 256, 256, model), md2::Error::None) << s.name;
        md2::DrawBuffers buffers;
        ASSERT_TRUE(buffers.Size(model)) << s.name;
        int shown = 0;
        for (int i = 0; i < 40; ++i) {
            const Pose p{static_cast<int>(10 + 110 * unit(random)), 1.2f * unit(random) - 0.6f,
                         1.2f * unit(random) - 0.8f, -0.8f - 3.2f * unit(random), 180.0f * unit(random) - 90.0f,
                         360.0f * unit(random), 1.0f + unit(random) * static_cast<float>(model.frameCount - 1)};
            QI_SetGLzoom(window.view(), p.zoom);
            QI_ResizeGLWindow(window.view());
            const auto culled = DrawPose(window.view(), model, skin, buffers, p, true);
            const auto all = DrawPose(window.view(), model, skin, buffers, p, false);
            int differ = 0, model_pixels = 0;
            for (std::size_t k = 0; k < all.size(); k += 4) {
                differ += culled[k] != all[k] || culled[k + 1] != all[k + 1] || culled[k + 2] != all[k + 2];
                model_pixels += all[k] != 26 || all[k + 1] != 51 || all[k + 2] != 77;
            }
            EXPECT_EQ(differ, 0) << s.name << " pose " << i << ": zoom " << p.zoom << " at (" << p.x << ", " << p.y
                                 << ", " << p.z << ") tilt " << p.tilt << " spin " << p.spin << " frame " << p.frame;
            shown += model_pixels > 200;
            ++compared;
        }
        EXPECT_GT(shown, 20) << s.name << ": too few poses show the model to compare";
    }
    EXPECT_GE(compared, 40);
    glDeleteTextures(1, &skin);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
