// md2ex.dll in a real OpenGL context: a model built here is loaded from a
// file, drawn lit and textured where it belongs, and leaves the GL state as
// it found it apart from the bound texture.
#include "builder.h"
#include "debug_output.h"
#include "md2ex.h"
#include "presentation_path.h"
#include "unicode_folders.h"
#include "view_gl_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 128;

struct Rgb {
    int r, g, b;
};

TEST(PresentationPath, IsTheOneThisRunAsksFor) {
    ViewGLWindow gl("Md2PathCheck", 32, 32);
    ASSERT_TRUE(gl.Ready());
    EXPECT_EQ(presentation_path::DrawsInItself(gl.Window(), gl.DC()), presentation_path::NativeExpected());
}

TEST(Md2Load, ReadsModelsUnderFoldersNamedInLettersTheCodePageLacks) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "in UTF-8 the ANSI call reaches these folders too";
    const auto folders = test::MakeUnicodeFolders(L"md2_draw_test", RESOURCE_DIR, {L"Sydney.md2"});
    ASSERT_EQ(folders.size(), 2u);
    ASSERT_EQ(MD2_Load(1, RESOURCE_DIR "/Sydney.md2", 0, 0, 0), 1);
    for (const std::wstring& folder : folders) {
        EXPECT_EQ(MD2_LoadW(2, (folder + L"Sydney.md2").c_str(), 0, 0, 0), 1);
        EXPECT_EQ(MD2_GetFrameCount(2), MD2_GetFrameCount(1));
        MD2_Delete(2);
    }
    MD2_Delete(1);
}

class Md2Draw : public ::testing::Test {
protected:
    void SetUp() override {
        gl_ = std::make_unique<ViewGLWindow>("Md2DrawTest", kSize, kSize);
        ASSERT_TRUE(gl_->Ready());
        SetUpScene();
        path_ = TempPath();
    }

    void TearDown() override {
        for (int slot = 1; slot <= MD2_MAX_SLOTS; ++slot) MD2_Delete(slot);
        if (!path_.empty()) DeleteFileA(path_.c_str());
        gl_.reset();
    }

    // The program's kind of state: texturing, depth, blending, one light,
    // colour tracking. Light and material are chosen for exact colours: a
    // face turned to the light shows half its texture colour.
    void SetUpScene() {
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-0.005, 0.005, -0.005, 0.005, 0.1, 100.0);  // 0.1 units each way at 2 units
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glDepthFunc(GL_LESS);
        glEnable(GL_DEPTH_TEST);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
        const GLfloat none[4] = {0, 0, 0, 1}, half[4] = {0.5f, 0.5f, 0.5f, 1};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
        glLightfv(GL_LIGHT1, GL_AMBIENT, none);
        glLightfv(GL_LIGHT1, GL_DIFFUSE, half);
        PlaceLight(1.0f);
        glEnable(GL_LIGHT1);
        glEnable(GL_LIGHTING);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_COLOR_MATERIAL);
        glClearColor(0.2f, 0.2f, 0.2f, 1.0f);

        // A 64 x 64 skin in four colours, uploaded bottom row first as the
        // GL control library delivers pictures: top-left red, top-right
        // blue, bottom-left green, bottom-right yellow.
        std::vector<unsigned char> rgba(64 * 64 * 4);
        for (int row = 0; row < 64; ++row) {      // row 0: the picture's bottom
            for (int col = 0; col < 64; ++col) {
                const bool top = row >= 32, right = col >= 32;
                const Rgb c = top ? (right ? Rgb{0, 0, 255} : Rgb{255, 0, 0})
                                  : (right ? Rgb{255, 255, 0} : Rgb{0, 255, 0});
                unsigned char* p = &rgba[(row * 64 + col) * 4];
                p[0] = static_cast<unsigned char>(c.r);
                p[1] = static_cast<unsigned char>(c.g);
                p[2] = static_cast<unsigned char>(c.b);
                p[3] = 255;
            }
        }
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 64, 64, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    // A directional light from in front of the model (+1) or behind it (-1).
    static void PlaceLight(float z) {
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        const GLfloat position[4] = {0, 0, z, 0};
        glLightfv(GL_LIGHT1, GL_POSITION, position);
        glPopMatrix();
    }

    static std::string TempPath() {
        char dir[MAX_PATH], file[MAX_PATH];
        if (!GetTempPathA(MAX_PATH, dir) || !GetTempFileNameA(dir, "md2", 0, file)) return {};
        return file;
    }

    void WriteFile(const std::vector<std::uint8_t>& bytes) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        std::fclose(f);
    }

    // Draws slot at a frame position as the program does: 2 units in front
    // of the eye, scaled by 0.025.
    void DrawFrame(int32_t slot, float frame, int32_t* result = nullptr) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glTranslatef(0, 0, -2);
        glPushMatrix();
        glScalef(0.025f, 0.025f, 0.025f);
        const int32_t drawn = MD2_Draw(slot, frame);
        if (result) *result = drawn;
        glPopMatrix();
        glFinish();
    }

    static Rgb Pixel(int x, int y) {
        unsigned char p[4] = {};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    static ::testing::AssertionResult Near(Rgb got, Rgb want) {
        if (std::abs(got.r - want.r) <= 3 && std::abs(got.g - want.g) <= 3 && std::abs(got.b - want.b) <= 3)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "got (" << got.r << ", " << got.g << ", " << got.b
                                             << "), want (" << want.r << ", " << want.g << ", " << want.b << ")";
    }

    // The read-back frame as a PPM picture, when MD2_DRAW_SHOT names a folder.
    static void SaveShot(const char* name) {
        const char* dir = std::getenv("MD2_DRAW_SHOT");
        if (!dir) return;
        std::vector<unsigned char> rgb(kSize * kSize * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        std::FILE* f = std::fopen((std::string(dir) + "\\" + name + ".ppm").c_str(), "wb");
        if (!f) return;
        std::fprintf(f, "P6 %d %d 255\n", kSize, kSize);
        for (int row = kSize - 1; row >= 0; --row) std::fwrite(&rgb[row * kSize * 3], 1, kSize * 3, f);
        std::fclose(f);
    }

    std::unique_ptr<ViewGLWindow> gl_;
    GLuint texture_ = 0;
    std::string path_;
};

const Rgb kBackground{51, 51, 51};

TEST_F(Md2Draw, SquareIsLitTexturedAndRightWayUp) {
    WriteFile(md2test::Build(md2test::Square()));
    ASSERT_EQ(MD2_Load(1, path_.c_str(), texture_, 64, 64), 1);
    EXPECT_EQ(MD2_GetFrameCount(1), 2);
    int32_t drawn = 0;
    DrawFrame(1, 1.0f, &drawn);
    SaveShot("square");
    EXPECT_EQ(drawn, 1);
    // The square spans pixels 48 to 80 both ways; each quarter shows its
    // skin colour at half strength (diffuse 0.5, face turned to the light).
    EXPECT_TRUE(Near(Pixel(56, 72), {128, 0, 0})) << "top-left";
    EXPECT_TRUE(Near(Pixel(72, 72), {0, 0, 128})) << "top-right";
    EXPECT_TRUE(Near(Pixel(56, 56), {0, 128, 0})) << "bottom-left";
    EXPECT_TRUE(Near(Pixel(72, 56), {128, 128, 0})) << "bottom-right";
    EXPECT_TRUE(Near(Pixel(40, 64), kBackground));
    EXPECT_TRUE(Near(Pixel(64, 88), kBackground));

    // Lit from behind, the face toward the viewer gets no light.
    PlaceLight(-1.0f);
    DrawFrame(1, 1.0f);
    EXPECT_TRUE(Near(Pixel(56, 72), {0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Md2Draw, FramePositionMovesTheModel) {
    WriteFile(md2test::Build(md2test::Square()));
    ASSERT_EQ(MD2_Load(1, path_.c_str(), texture_, 64, 64), 1);
    // Frame 2 lies 4 units (64 pixels) higher: halfway, the square spans
    // pixel rows 80 to 112.
    DrawFrame(1, 1.5f);
    EXPECT_TRUE(Near(Pixel(56, 104), {128, 0, 0}));
    EXPECT_TRUE(Near(Pixel(56, 88), {0, 128, 0}));
    EXPECT_TRUE(Near(Pixel(56, 72), kBackground));
    // Below 1 and NaN: the first frame.
    for (float frame : {0.0f, std::numeric_limits<float>::quiet_NaN()}) {
        DrawFrame(1, frame);
        EXPECT_TRUE(Near(Pixel(56, 72), {128, 0, 0})) << frame;
        EXPECT_TRUE(Near(Pixel(56, 104), kBackground)) << frame;
    }
}

// The GL state a draw could disturb, as named values.
std::vector<std::pair<std::string, double>> ReadState() {
    std::vector<std::pair<std::string, double>> state;
    const auto add = [&](const char* name, const GLfloat* v, int n) {
        for (int i = 0; i < n; ++i) state.emplace_back(std::string(name) + "[" + std::to_string(i) + "]", v[i]);
    };
    const struct {
        const char* name;
        GLenum cap;
    } caps[] = {{"lighting", GL_LIGHTING}, {"light 1", GL_LIGHT1}, {"light 0", GL_LIGHT0},
                {"normalize", GL_NORMALIZE}, {"texture 2D", GL_TEXTURE_2D}, {"blend", GL_BLEND},
                {"depth test", GL_DEPTH_TEST}, {"colour material", GL_COLOR_MATERIAL},
                {"cull face", GL_CULL_FACE}, {"vertex array", GL_VERTEX_ARRAY},
                {"normal array", GL_NORMAL_ARRAY}, {"texcoord array", GL_TEXTURE_COORD_ARRAY},
                {"colour array", GL_COLOR_ARRAY}};
    for (const auto& c : caps) state.emplace_back(c.name, glIsEnabled(c.cap));
    const struct {
        const char* name;
        GLenum pname;
    } pointers[] = {{"vertex pointer", GL_VERTEX_ARRAY_POINTER}, {"normal pointer", GL_NORMAL_ARRAY_POINTER},
                    {"texcoord pointer", GL_TEXTURE_COORD_ARRAY_POINTER}, {"colour pointer", GL_COLOR_ARRAY_POINTER}};
    for (const auto& p : pointers) {
        GLvoid* pointer = nullptr;
        glGetPointerv(p.pname, &pointer);
        state.emplace_back(p.name, static_cast<double>(reinterpret_cast<std::uintptr_t>(pointer)));
    }
    const struct {
        const char* name;
        GLenum pname;
    } ints[] = {{"vertex size", GL_VERTEX_ARRAY_SIZE}, {"vertex stride", GL_VERTEX_ARRAY_STRIDE},
                {"matrix mode", GL_MATRIX_MODE}, {"blend src", GL_BLEND_SRC}, {"blend dst", GL_BLEND_DST},
                {"depth func", GL_DEPTH_FUNC}, {"shade model", GL_SHADE_MODEL}, {"front face", GL_FRONT_FACE},
                {"attrib stack", GL_ATTRIB_STACK_DEPTH}, {"client attrib stack", GL_CLIENT_ATTRIB_STACK_DEPTH},
                {"modelview stack", GL_MODELVIEW_STACK_DEPTH}};
    for (const auto& i : ints) {
        GLint value = 0;
        glGetIntegerv(i.pname, &value);
        state.emplace_back(i.name, value);
    }
    GLfloat v[16];
    glGetFloatv(GL_CURRENT_COLOR, v);
    add("current colour", v, 4);
    glGetFloatv(GL_CURRENT_NORMAL, v);
    add("current normal", v, 3);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, v);
    add("current texcoord", v, 4);
    glGetFloatv(GL_MODELVIEW_MATRIX, v);
    add("modelview", v, 16);
    glGetFloatv(GL_PROJECTION_MATRIX, v);
    add("projection", v, 16);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, v);
    add("material ambient", v, 4);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, v);
    add("material diffuse", v, 4);
    glGetLightfv(GL_LIGHT1, GL_POSITION, v);
    add("light position", v, 4);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    state.emplace_back("texture env", env);
    return state;
}

TEST_F(Md2Draw, LeavesGLStateAsFoundExceptTheTexture) {
    WriteFile(md2test::Build(md2test::Square()));
    ASSERT_EQ(MD2_Load(1, path_.c_str(), texture_, 64, 64), 1);
    // A caller's own arrays and current values, which the draw must neither
    // use nor lose: a magenta colour array would tint the model.
    std::vector<GLubyte> magenta(64 * 4, 255);
    for (std::size_t i = 1; i < magenta.size(); i += 4) magenta[i] = 0;
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, magenta.data());
    glEnableClientState(GL_COLOR_ARRAY);
    GLfloat spare[8] = {};
    glVertexPointer(2, GL_FLOAT, 0, spare);
    glNormal3f(0.25f, 0.5f, 0.75f);
    glTexCoord2f(0.125f, 0.375f);

    glLoadIdentity();
    glTranslatef(0, 0, -2);
    glScalef(0.025f, 0.025f, 0.025f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const auto before = ReadState();
    EXPECT_EQ(MD2_Draw(1, 1.5f), 1);
    const auto after = ReadState();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i)
        EXPECT_EQ(before[i].second, after[i].second) << before[i].first;
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), texture_);
    glFinish();
    EXPECT_TRUE(Near(Pixel(56, 104), {128, 0, 0})) << "no tint from the caller's colour array";
    glDisableClientState(GL_COLOR_ARRAY);
}

TEST_F(Md2Draw, SlotsEmptyFailedAndOutOfRange) {
    WriteFile(md2test::Build(md2test::Square()));
    EXPECT_EQ(MD2_Load(0, path_.c_str(), texture_, 64, 64), 0);
    EXPECT_EQ(MD2_Load(MD2_MAX_SLOTS + 1, path_.c_str(), texture_, 64, 64), 0);
    EXPECT_EQ(MD2_GetFrameCount(0), 0);
    EXPECT_EQ(MD2_GetFrameCount(-3), 0);
    EXPECT_EQ(MD2_Draw(MD2_MAX_SLOTS + 1, 1.0f), 0);
    EXPECT_EQ(MD2_Delete(-1), 0);

    ASSERT_EQ(MD2_Load(MD2_MAX_SLOTS, path_.c_str(), texture_, 0, 0), 1);  // the last slot, skin size from the file
    EXPECT_EQ(MD2_GetFrameCount(MD2_MAX_SLOTS), 2);
    HGLRC context = wglGetCurrentContext();
    HDC dc = wglGetCurrentDC();
    wglMakeCurrent(nullptr, nullptr);
    EXPECT_EQ(MD2_Draw(MD2_MAX_SLOTS, 1.0f), 0);  // no context: nothing drawn
    wglMakeCurrent(dc, context);
    EXPECT_EQ(MD2_GetFrameCount(2), 0);
    int32_t drawn = -1;
    DrawFrame(2, 1.0f, &drawn);  // an empty slot draws nothing
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(Near(Pixel(64, 64), kBackground));

    // A damaged file in a used slot: the old model is gone, nothing is drawn.
    auto bytes = md2test::Build(md2test::Square());
    md2test::SetField(bytes, md2test::kNumTriangles, 5000);
    WriteFile(bytes);
    EXPECT_EQ(MD2_Load(MD2_MAX_SLOTS, path_.c_str(), texture_, 64, 64), 0);
    EXPECT_EQ(MD2_GetFrameCount(MD2_MAX_SLOTS), 0);
    DrawFrame(MD2_MAX_SLOTS, 1.0f, &drawn);
    EXPECT_EQ(drawn, 0);
    EXPECT_TRUE(Near(Pixel(64, 64), kBackground));
    EXPECT_EQ(MD2_Load(3, "no such file.md2", texture_, 64, 64), 0);
    EXPECT_EQ(MD2_Load(3, nullptr, texture_, 64, 64), 0);

    WriteFile(md2test::Build(md2test::Square()));
    ASSERT_EQ(MD2_Load(3, path_.c_str(), texture_, 64, 64), 1);
    EXPECT_EQ(MD2_Delete(3), 1);
    EXPECT_EQ(MD2_Delete(3), 0);  // already empty: harmless
    EXPECT_EQ(MD2_GetFrameCount(3), 0);
}

TEST_F(Md2Draw, EachRefusedFileIsNamedOnceWithItsReason) {
    DebugOutput output;
    ASSERT_TRUE(output.Ready());
    auto bytes = md2test::Build(md2test::Square());
    md2test::SetField(bytes, md2test::kNumTriangles, 5000);
    WriteFile(bytes);
    const std::string missing = path_ + ".missing";
    EXPECT_EQ(MD2_Load(1, path_.c_str(), texture_, 0, 0), 0);
    EXPECT_EQ(MD2_Load(1, missing.c_str(), texture_, 0, 0), 0);
    const std::pair<std::string, std::string> expected[] = {
        {"md2ex: model refused: " + path_ + ": ", "bad count"},
        {"md2ex: model unreadable: " + missing + ": ", "cannot be opened"},
    };
    for (const auto& [prefix, why] : expected) {
        const auto lines = output.LinesStartingWith(prefix);
        ASSERT_EQ(lines.size(), 1u) << prefix;
        EXPECT_EQ(lines[0], prefix + why);
    }
}

TEST_F(Md2Draw, CharacterSizedBodyUnderTheProgramsLight) {
    // The program's light: positional, above, left and behind, with a
    // yellow diffuse colour (negative blue) and grey ambient.
    const GLfloat diffuse[4] = {1.0f, 1.0f, -0.8f, 1.0f}, ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f},
                  position[4] = {-50.0f, 150.0f, -100.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-0.05, 0.05, -0.05, 0.05, 0.1, 100.0);  // 1 unit each way at 2 units
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    WriteFile(md2test::Build(md2test::Body(16, 24, 10)));
    ASSERT_EQ(MD2_Load(1, path_.c_str(), texture_, 256, 256), 1);
    ASSERT_EQ(MD2_GetFrameCount(1), 10);
    DrawFrame(1, 3.25f);
    SaveShot("body");
    // The body stands in the middle, from about 0.6 below the centre to 0.8
    // above; its lit parts are brighter than the ambient-only clear colour.
    const Rgb middle = Pixel(64, 64);
    EXPECT_FALSE(Near(middle, kBackground));
    EXPECT_GT(middle.r + middle.g + middle.b, 30);
    EXPECT_TRUE(Near(Pixel(5, 64), kBackground));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
