// GL text: placement and colour read back from the frame, and the GL state
// left exactly as found.
#include <windows.h>
#include <GL/gl.h>

#include <string.h>

#include <vector>

#include <gtest/gtest.h>

#include "orvane.h"
#include "test_window.h"

namespace {

using orvane_test::ViewWindow;

constexpr int kWidth = 256, kHeight = 128;

struct Image {
    std::vector<unsigned char> rgba;
    // Pixel at x, y from the top-left.
    const unsigned char* at(int x, int y) const {
        return &rgba[(size_t(kHeight - 1 - y) * kWidth + size_t(x)) * 4];
    }
};

Image ReadFrame() {
    Image image;
    image.rgba.resize(size_t(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

struct Box {
    int left = kWidth, top = kHeight, right = -1, bottom = -1;   // inclusive
    int count = 0;
    bool empty() const { return count == 0; }
};

// The pixels that differ from the clear colour (black).
Box Lit(const Image& image) {
    Box box;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const unsigned char* p = image.at(x, y);
            if (p[0] || p[1] || p[2]) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
        }
    return box;
}

class Text : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(window_.view(), nullptr);
        strcpy(font_.FontName, "Arial");
        font_.FontHeight = 24;
        font_.FontWeight = 700;
        ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(window_.view()), &font_), 1);
        ASSERT_NE(font_.ListBase, 0u);
        ASSERT_GT(font_.Ascent, 0);
        ASSERT_LE(font_.Ascent, font_.FontHeight);
        QI_ResizeGLWindow(window_.view());
    }
    void TearDown() override { QI_DeleteGLFont(&font_); }

    Image Draw(const char* text, int x, int y, uint32_t argb) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        EXPECT_EQ(QI_DrawGLText(window_.view(), &font_, x, y, text, argb), 1);
        return ReadFrame();
    }

    ViewWindow window_{kWidth, kHeight};
    GLFontRecord font_{};
};

TEST_F(Text, StandsInItsCellAtTheGivenPlaceInTheExactColour) {
    const Image image = Draw("HHHH", 20, 30, QD_ColorARGB(255, RGB(255, 40, 200)));
    const Box box = Lit(image);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.left, 20);
    EXPECT_LE(box.left, 24);
    EXPECT_GE(box.top, 30);
    EXPECT_LE(box.bottom, 30 + font_.FontHeight - 1);
    EXPECT_LE(box.bottom, 30 + font_.Ascent - 1);   // no descenders in "H"
    EXPECT_GE(box.bottom, 30 + font_.Ascent - 2);   // standing on the baseline
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const unsigned char* p = image.at(x, y);
            if (!(p[0] || p[1] || p[2])) continue;
            ASSERT_EQ(p[0], 255);
            ASSERT_EQ(p[1], 40);
            ASSERT_EQ(p[2], 200);
        }
}

TEST_F(Text, HonoursAlpha) {
    const Image image = Draw("HHHH", 20, 30, QD_ColorARGB(128, RGB(255, 255, 255)));
    const Box box = Lit(image);
    ASSERT_FALSE(box.empty());
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const unsigned char* p = image.at(x, y);
            if (p[0]) {
                ASSERT_NEAR(p[0], 128, 1);
            }
        }
}

TEST_F(Text, MovesDownOneLinePerLineBreakAndShowsPartlyHiddenText) {
    const Box one = Lit(Draw("H", 40, 10, 0xFFFFFFFF));
    const Box two = Lit(Draw("H\nH", 40, 10, 0xFFFFFFFF));
    EXPECT_EQ(two.top, one.top);
    EXPECT_EQ(two.bottom, one.bottom + font_.FontHeight);
    EXPECT_EQ(two.count, 2 * one.count);
    // Beginning left of and above the view: the visible part still shows.
    const Box cut = Lit(Draw("HHHHHH", -30, -8, 0xFFFFFFFF));
    ASSERT_FALSE(cut.empty());
    EXPECT_EQ(cut.left, 0);
    EXPECT_EQ(cut.top, 0);
}

TEST_F(Text, BlanksMoveTheTextOn) {
    const Box tight = Lit(Draw("HH", 20, 30, 0xFFFFFFFF));
    const Box spaced = Lit(Draw("H  H", 20, 30, 0xFFFFFFFF));
    EXPECT_EQ(spaced.left, tight.left);
    EXPECT_EQ(spaced.count, tight.count);
    EXPECT_GE(spaced.right - tight.right, 2 * 3);   // two blanks of a 24-pixel face
}

TEST_F(Text, ControlCharactersNeverCallOtherDisplayLists) {
    // The caller's own lists sit just below the font's; a list that the
    // characters 1..31 would name paints the frame red.
    const GLuint first = font_.ListBase - 32;
    for (GLuint list = first; list < font_.ListBase; ++list) {
        if (glIsList(list)) continue;
        glNewList(list, GL_COMPILE);
        glClearColor(1, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEndList();
    }
    const Box plain = Lit(Draw("HH", 20, 30, 0xFFFFFFFF));
    const Box mixed = Lit(Draw("\x01H\tH\x1f\r", 20, 30, 0xFFFFFFFF));
    EXPECT_EQ(mixed.count, plain.count);
    EXPECT_EQ(mixed.left, plain.left);
    EXPECT_EQ(mixed.bottom, plain.bottom);
    for (GLuint list = first; list < font_.ListBase; ++list) glDeleteLists(list, 1);
}

// Every piece of state the program sets once, and the state text drawing
// could touch, as raw values.
std::vector<float> Snapshot() {
    std::vector<float> s;
    auto get = [&s](GLenum name, int n) {
        float v[16] = {};
        glGetFloatv(name, v);
        s.insert(s.end(), v, v + n);
    };
    const GLenum caps[] = {GL_LIGHTING,   GL_LIGHT1,       GL_COLOR_MATERIAL, GL_TEXTURE_2D,
                           GL_TEXTURE_1D, GL_DEPTH_TEST,   GL_BLEND,          GL_ALPHA_TEST,
                           GL_FOG,        GL_SCISSOR_TEST, GL_STENCIL_TEST,   GL_CULL_FACE,
                           GL_NORMALIZE,  GL_DITHER,       GL_COLOR_LOGIC_OP, GL_CLIP_PLANE0};
    for (GLenum cap : caps) s.push_back(glIsEnabled(cap) ? 1.0f : 0.0f);
    get(GL_MODELVIEW_MATRIX, 16);
    get(GL_PROJECTION_MATRIX, 16);
    get(GL_TEXTURE_MATRIX, 16);
    get(GL_MATRIX_MODE, 1);
    get(GL_MODELVIEW_STACK_DEPTH, 1);
    get(GL_PROJECTION_STACK_DEPTH, 1);
    get(GL_ATTRIB_STACK_DEPTH, 1);
    get(GL_VIEWPORT, 4);
    get(GL_CURRENT_COLOR, 4);
    get(GL_CURRENT_NORMAL, 3);
    get(GL_CURRENT_TEXTURE_COORDS, 4);
    get(GL_CURRENT_RASTER_POSITION, 4);
    get(GL_CURRENT_RASTER_COLOR, 4);
    get(GL_CURRENT_RASTER_POSITION_VALID, 1);
    get(GL_BLEND_SRC, 1);
    get(GL_BLEND_DST, 1);
    get(GL_DEPTH_FUNC, 1);
    get(GL_DEPTH_WRITEMASK, 1);
    get(GL_COLOR_WRITEMASK, 4);
    get(GL_LIST_BASE, 1);
    get(GL_TEXTURE_BINDING_2D, 1);
    get(GL_UNPACK_ALIGNMENT, 1);
    get(GL_SHADE_MODEL, 1);
    get(GL_COLOR_MATERIAL_FACE, 1);
    get(GL_COLOR_MATERIAL_PARAMETER, 1);
    get(GL_LIGHT_MODEL_AMBIENT, 4);
    get(GL_POLYGON_MODE, 2);
    get(GL_TEXTURE_STACK_DEPTH, 1);
    for (GLenum cap : {GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_POLYGON_STIPPLE, GL_POLYGON_SMOOTH})
        s.push_back(glIsEnabled(cap) ? 1.0f : 0.0f);
    for (GLenum array : {GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY, GL_NORMAL_ARRAY})
        s.push_back(glIsEnabled(array) ? 1.0f : 0.0f);
    get(GL_VERTEX_ARRAY_SIZE, 1);
    get(GL_VERTEX_ARRAY_STRIDE, 1);
    get(GL_COLOR_ARRAY_SIZE, 1);
    for (GLenum pointer : {GL_VERTEX_ARRAY_POINTER, GL_TEXTURE_COORD_ARRAY_POINTER, GL_COLOR_ARRAY_POINTER}) {
        void* p = nullptr;
        glGetPointerv(pointer, &p);
        s.push_back(float(reinterpret_cast<uintptr_t>(p) & 0xFFFF));
        s.push_back(float(reinterpret_cast<uintptr_t>(p) >> 16));
    }
    float env = 0;
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    s.push_back(env);
    for (GLenum p : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR, GL_EMISSION}) {
        float v[4];
        glGetMaterialfv(GL_FRONT, p, v);
        s.insert(s.end(), v, v + 4);
        glGetLightfv(GL_LIGHT1, p == GL_EMISSION ? GL_POSITION : p, v);
        s.insert(s.end(), v, v + 4);
    }
    return s;
}

TEST_F(Text, UnderTheProgramsStateKeepsItsColourAndLeavesEveryStateAsFound) {
    // State like the demo's: lit, textured, blended, colour-tracked, depth-tested.
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char grey[4] = {60, 60, 60, 255};
    glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, grey);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    const float ambient[4] = {0.2f, 0.3f, 0.4f, 1.0f}, diffuse[4] = {0.9f, 0.8f, 0.7f, 1.0f},
                position[4] = {0.0f, 0.0f, 2.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, position);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glColor4f(0.3f, 0.6f, 0.9f, 0.5f);
    glNormal3f(0.0f, 0.6f, 0.8f);
    glTexCoord2f(0.25f, 0.75f);
    glListBase(7);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.5f, -0.25f, 4.5f);
    glRotatef(-30.0f, 0.0f, 1.0f, 0.0f);
    glRasterPos3f(0.0f, 0.0f, -3.0f);
    glViewport(3, 5, 100, 60);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_DECAL);
    glMatrixMode(GL_TEXTURE);   // a scaled texture matrix, left selected
    glScalef(2.0f, 3.0f, 1.0f);
    glPolygonMode(GL_FRONT, GL_LINE);
    // The caller's own arrays, one of them enabled with a colour per vertex.
    static const float callerVertices[9] = {}, callerColours[12] = {1, 0, 0, 1};
    glVertexPointer(3, GL_FLOAT, 12, callerVertices);
    glColorPointer(4, GL_FLOAT, 0, callerColours);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);

    const std::vector<float> before = Snapshot();
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.0);   // every fragment is behind the cleared depth
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    ASSERT_EQ(QI_DrawGLText(window_.view(), &font_, 20, 30, "HHHH", 0xFFFF2888), 1);
    const std::vector<float> after = Snapshot();
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(before[i], after[i]) << "value " << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    const Image image = ReadFrame();
    const Box box = Lit(image);
    ASSERT_FALSE(box.empty());
    EXPECT_GE(box.left, 20);
    EXPECT_GE(box.top, 30);
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x) {
            const unsigned char* p = image.at(x, y);
            if (!(p[0] || p[1] || p[2])) continue;
            ASSERT_EQ(p[0], 0xFF);
            ASSERT_EQ(p[1], 0x28);
            ASSERT_EQ(p[2], 0x88);
        }
    glDeleteTextures(1, &texture);
}

TEST_F(Text, RefusesWhatItCannotDrawWithoutTouchingGL) {
    GLFontRecord unbuilt{};
    strcpy(unbuilt.FontName, "Arial");
    EXPECT_EQ(QI_DrawGLText(window_.view(), nullptr, 0, 0, "x", 0xFFFFFFFF), 0);
    EXPECT_EQ(QI_DrawGLText(window_.view(), &unbuilt, 0, 0, "x", 0xFFFFFFFF), 0);
    EXPECT_EQ(QI_DrawGLText(window_.view(), &font_, 0, 0, nullptr, 0xFFFFFFFF), 0);
    EXPECT_EQ(QI_DrawGLText(nullptr, &font_, 0, 0, "x", 0xFFFFFFFF), 0);
    SetWindowPos(window_.view(), nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(QI_DrawGLText(window_.view(), &font_, 0, 0, "x", 0xFFFFFFFF), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Font, BuildsOnlyFromUsableRecordsAndDeletesItsLists) {
    ViewWindow window(64, 64);
    ASSERT_NE(window.view(), nullptr);
    HDC dc = QI_GetGLDC(window.view());
    for (int height : {0, -5, 5000}) {
        GLFontRecord font{};
        strcpy(font.FontName, "Arial");
        font.FontHeight = height;
        EXPECT_EQ(QI_BuildGLfont(dc, &font), 0) << height;
        EXPECT_EQ(font.ListBase, 0u);
    }
    EXPECT_EQ(QI_BuildGLfont(dc, nullptr), 0);

    GLFontRecord font{};
    memset(font.FontName, 'x', sizeof(font.FontName));   // no terminator in the record
    font.FontHeight = 10;
    font.FontWeight = 700;
    // A view's font has one atlas texture besides its lists.
    const auto textures = [] {
        int n = 0;
        for (GLuint name = 1; name <= 64; ++name) n += glIsTexture(name) ? 1 : 0;
        return n;
    };
    const int before = textures();
    ASSERT_EQ(QI_BuildGLfont(dc, &font), 1);
    const GLuint base = font.ListBase;
    EXPECT_TRUE(glIsList(base));
    EXPECT_TRUE(glIsList(base + 223));
    EXPECT_EQ(textures(), before + 1);
    EXPECT_EQ(QI_BuildGLfont(dc, &font), 1);   // a rebuild frees the old lists and atlas
    EXPECT_FALSE(glIsList(base) && font.ListBase != base);
    EXPECT_EQ(textures(), before + 1);
    const GLuint rebuilt = font.ListBase;
    EXPECT_EQ(QI_DeleteGLFont(&font), 1);
    EXPECT_FALSE(glIsList(rebuilt));
    EXPECT_EQ(textures(), before);
    EXPECT_EQ(font.ListBase, 0u);
    EXPECT_EQ(font.FontHeight, 10);   // the caller's fields stay
    EXPECT_EQ(QI_DeleteGLFont(&font), 1);   // harmless twice
    EXPECT_EQ(QI_DeleteGLFont(nullptr), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Font, DrawsOnlyInTheViewItWasBuiltIn) {
    // Every context numbers its lists from the same start, so two views'
    // fonts share list numbers: only the record tells them apart.
    GLFontRecord fontA{}, fontB{};
    for (GLFontRecord* font : {&fontA, &fontB}) {
        strcpy(font->FontName, "Arial");
        font->FontHeight = 12;
    }
    ViewWindow a(64, 64);
    ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(a.view()), &fontA), 1);
    ViewWindow b(64, 64);   // current from here on
    ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(b.view()), &fontB), 1);
    EXPECT_EQ(QI_DrawGLText(b.view(), &fontA, 0, 0, "x", 0xFFFFFFFF), 0);
    EXPECT_EQ(QI_DrawGLText(a.view(), &fontB, 0, 0, "x", 0xFFFFFFFF), 0);
    EXPECT_EQ(QI_DrawGLText(a.view(), &fontA, 0, 0, "x", 0xFFFFFFFF), 1);
    EXPECT_EQ(QI_DrawGLText(b.view(), &fontB, 0, 0, "x", 0xFFFFFFFF), 1);
    EXPECT_EQ(QI_DeleteGLFont(&fontA), 1);
    EXPECT_EQ(QI_DeleteGLFont(&fontB), 1);
}

TEST(Font, OfADestroyedViewFreesNothingInAnother) {
    GLFontRecord gone{}, kept{};
    for (GLFontRecord* font : {&gone, &kept}) {
        strcpy(font->FontName, "Arial");
        font->FontHeight = 12;
    }
    ViewWindow b(64, 64);
    {
        ViewWindow a(64, 64);
        ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(a.view()), &gone), 1);
    }
    ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(b.view()), &kept), 1);
    ASSERT_EQ(kept.ListBase, gone.ListBase);   // each context numbers its lists alike
    EXPECT_EQ(QI_DeleteGLFont(&gone), 1);
    EXPECT_EQ(gone.ListBase, 0u);
    EXPECT_TRUE(glIsList(kept.ListBase));
    EXPECT_EQ(QI_DrawGLText(b.view(), &kept, 0, 0, "x", 0xFFFFFFFF), 1);
    EXPECT_EQ(QI_DeleteGLFont(&kept), 1);
}

// A view whose largest texture cannot hold the glyphs draws them with the
// display lists, any other from its atlas: the same pixels either way.
TEST(Font, DrawsTheSamePixelsFromItsListsAsFromItsAtlas) {
    char seam[16] = {};   // a run on the emulated floor sets one for the whole process
    const bool kept = GetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", seam, sizeof seam) != 0;
    SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", "32");   // below the smallest atlas
    ViewWindow lists(kWidth, kHeight);
    SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", kept ? seam : nullptr);
    ViewWindow atlas(kWidth, kHeight);
    GLFontRecord fonts[2] = {};
    const HWND views[2] = {lists.view(), atlas.view()};
    for (int i = 0; i < 2; ++i) {
        strcpy(fonts[i].FontName, "Arial");
        fonts[i].FontHeight = 17;
        ASSERT_EQ(QI_ResizeGLWindow(views[i]), 1);   // its context current
        ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(views[i]), &fonts[i]), 1);
        EXPECT_EQ(glIsTexture(1) != GL_FALSE, i == 1);   // the view's atlas, or none
    }
    struct Case {
        const char* text;
        int x, y;
        uint32_t argb;
    };
    const Case cases[] = {
        {"Hagjy 0123 {}|~ @%&", 10, 20, 0xFFFFFFFF},
        {"Two\nlines \xC9\xE7\xFF", -7, -5, 0xFF2888FF},
        {"half\tseen", 200, 120, 0x80FFFFFF},
    };
    for (const Case& c : cases) {
        Image images[2];
        for (int i = 0; i < 2; ++i) {
            ASSERT_EQ(QI_ResizeGLWindow(views[i]), 1);
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT);
            ASSERT_EQ(QI_DrawGLText(views[i], &fonts[i], c.x, c.y, c.text, c.argb), 1);
            images[i] = ReadFrame();
        }
        EXPECT_FALSE(Lit(images[1]).empty()) << c.text;
        EXPECT_TRUE(images[0].rgba == images[1].rgba) << c.text;
    }
    for (GLFontRecord& font : fonts) EXPECT_EQ(QI_DeleteGLFont(&font), 1);
}

// However large the glyphs, a font's atlas fits its view's largest texture
// side (lowered through the seam); past it the font keeps its lists alone.
TEST(Font, AtlasIsNeverLargerThanItsViewsLargestTexture) {
    char seam[16] = {};
    const bool kept = GetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", seam, sizeof seam) != 0;
    struct Case {
        GLint limit;
        bool atlas;   // 17-pixel glyphs take more than 128 x 128 texels, less than 256 x 256
    };
    const Case cases[] = {{64, false}, {128, false}, {256, true}};
    for (const Case& c : cases) {
        char limit[16];
        wsprintfA(limit, "%d", c.limit);
        SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", limit);
        ViewWindow window(64, 64);
        SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", kept ? seam : nullptr);
        GLFontRecord font{};
        strcpy(font.FontName, "Arial");
        font.FontHeight = 17;
        ASSERT_EQ(QI_ResizeGLWindow(window.view()), 1);   // its context current
        ASSERT_EQ(QI_BuildGLfont(QI_GetGLDC(window.view()), &font), 1);
        GLint width = 0, height = 0;
        if (glIsTexture(1)) {   // a fresh context's first texture: the atlas
            glBindTexture(GL_TEXTURE_2D, 1);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
            glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
        EXPECT_LE(width, c.limit);
        EXPECT_LE(height, c.limit);
        EXPECT_EQ(width > 0 && height > 0, c.atlas) << c.limit;
        EXPECT_EQ(QI_DrawGLText(window.view(), &font, 0, 0, "Hagjy", 0xFFFFFFFF), 1) << c.limit;
        EXPECT_EQ(QI_DeleteGLFont(&font), 1);
    }
}

TEST(Colour, PacksAlphaAndWindowsRgb) {
    struct Case {
        int alpha;
        COLORREF rgb;
        uint32_t argb;
    };
    const Case cases[] = {
        {255, RGB(247, 225, 125), 0xFFF7E17Du}, {0, RGB(1, 2, 3), 0x00010203u},
        {128, RGB(0, 0, 255), 0x800000FFu},    {300, RGB(255, 0, 0), 0xFFFF0000u},
        {-4, RGB(0, 255, 0), 0x0000FF00u},     {255, 0xFF000000u | RGB(9, 8, 7), 0xFF090807u},
    };
    for (const Case& c : cases) EXPECT_EQ(QD_ColorARGB(c.alpha, c.rgb), c.argb) << c.alpha;
}

}  // namespace
