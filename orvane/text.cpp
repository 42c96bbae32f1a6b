// GL text: bitmap-font display lists and drawing text over a frame without
// disturbing the caller's OpenGL state.
#include <windows.h>
#include <GL/gl.h>

#include <string.h>

#include "orvane.h"
#include "views.h"

namespace orvane {
namespace {

constexpr int kFirstChar = 32;    // space
constexpr int kCharCount = 224;   // 32..255
constexpr int kMaxFontHeight = 1000;

bool HasContextFor(HDC dc) {
    if (wglGetCurrentContext()) return true;
    View* view = FindViewByDC(dc);
    return view && MakeCurrent(*view);
}

void FreeLists(GLFontRecord* font) {
    if (font->ListBase != 0 && font->ListCount > 0 && font->ListCount <= 256 &&
        wglGetCurrentContext())
        glDeleteLists(font->ListBase, font->ListCount);
    font->ListBase = 0;
    font->ListCount = 0;
    font->Ascent = 0;
}

// Compiles one display list per character 32..255 from base on, with the
// font selected into dc. Glyphs without pixels (the space among them) get a
// list that only advances the raster position: some platform font builders
// leave such lists empty, so spaces would not move the text on.
bool CompileGlyphs(HDC dc, GLuint base) {
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    int run = -1;   // first character of the current run of drawn glyphs
    for (int c = kFirstChar; c <= kFirstChar + kCharCount; ++c) {
        bool blank = false;
        GLYPHMETRICS metrics{};
        if (c < kFirstChar + kCharCount)
            blank = GetGlyphOutlineA(dc, UINT(c), GGO_BITMAP, &metrics, 0, nullptr, &identity) == 0;
        const bool end = c == kFirstChar + kCharCount;
        if ((blank || end) && run >= 0) {
            const GLuint first = base + GLuint(run - kFirstChar);
            if (!wglUseFontBitmapsA(dc, DWORD(run), DWORD(c - run), first) &&
                !wglUseFontBitmapsA(dc, DWORD(run), DWORD(c - run), first))   // a first call may fail on some drivers
                return false;
            run = -1;
        }
        if (end) break;
        if (blank) {
            // One unset pixel: an empty bitmap is not kept by every GL.
            static const GLubyte kNothing[4] = {};
            glNewList(base + GLuint(c - kFirstChar), GL_COMPILE);
            glBitmap(1, 1, 0.0f, 0.0f, GLfloat(metrics.gmCellIncX), GLfloat(metrics.gmCellIncY), kNothing);
            glEndList();
        } else if (run < 0) {
            run = c;
        }
    }
    return true;
}

// Whether a push of the attribute and matrix stacks still fits.
bool StacksHaveRoom() {
    const GLenum depths[][2] = {
        {GL_ATTRIB_STACK_DEPTH, GL_MAX_ATTRIB_STACK_DEPTH},
        {GL_PROJECTION_STACK_DEPTH, GL_MAX_PROJECTION_STACK_DEPTH},
        {GL_MODELVIEW_STACK_DEPTH, GL_MAX_MODELVIEW_STACK_DEPTH},
    };
    for (const auto& d : depths) {
        GLint used = 0, most = 0;
        glGetIntegerv(d[0], &used);
        glGetIntegerv(d[1], &most);
        if (used >= most) return false;
    }
    return true;
}

// Draws one line of text with its cell's top-left at (x, top) from the
// window's top-left; the projection maps window pixels, y upwards.
void DrawLine(const GLFontRecord& font, int x, int top, int windowHeight, const char* text,
              size_t length) {
    GLubyte codes[256];
    size_t done = 0;
    // A valid raster position at the window's corner, then a move of
    // whole pixels: text partly outside the view still shows its visible part.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, GLfloat(x), GLfloat(windowHeight - top - font.Ascent), nullptr);
    while (done < length) {
        GLsizei n = 0;
        for (; done < length && n < GLsizei(sizeof(codes)); ++done) {
            const auto c = static_cast<unsigned char>(text[done]);
            // Control characters would name display lists that are not ours.
            if (c >= kFirstChar && c < kFirstChar + font.ListCount) codes[n++] = c;
        }
        if (n > 0) glCallLists(n, GL_UNSIGNED_BYTE, codes);
    }
}

}  // namespace
}  // namespace orvane

using namespace orvane;

extern "C" {

int32_t WINAPI QI_BuildGLfont(HDC dc, GLFontRecord* font) {
    if (!font) return 0;
    if (!dc) dc = wglGetCurrentDC();
    if (!dc || !HasContextFor(dc)) return 0;
    FreeLists(font);
    if (font->FontHeight <= 0 || font->FontHeight > kMaxFontHeight) return 0;

    char face[LF_FACESIZE] = {};
    memcpy(face, font->FontName, sizeof(face) - 1);   // the record's text need not end
    int weight = font->FontWeight;
    if (weight < 0) weight = 0;
    if (weight > 1000) weight = 1000;
    // A positive height asks for the cell height, so lines FontHeight apart
    // do not overlap.
    HFONT handle = CreateFontA(font->FontHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    if (!handle) return 0;
    HGDIOBJ previous = SelectObject(dc, handle);
    TEXTMETRICA metrics{};
    const BOOL measured = GetTextMetricsA(dc, &metrics);
    const GLuint base = glGenLists(kCharCount);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);   // bitmaps are read with the default layout
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    const bool built = base != 0 && measured && CompileGlyphs(dc, base);
    glPopClientAttrib();
    SelectObject(dc, previous);
    DeleteObject(handle);
    if (!built) {
        if (base != 0) glDeleteLists(base, kCharCount);
        return 0;
    }
    font->ListBase = base;
    font->ListCount = kCharCount;
    font->Ascent = metrics.tmAscent;
    return 1;
}

int32_t WINAPI QI_DeleteGLFont(GLFontRecord* font) {
    if (!font) return 0;
    FreeLists(font);
    return 1;
}

int32_t WINAPI QI_DrawGLText(HWND window, GLFontRecord* font, int32_t x, int32_t y,
                             const char* text, uint32_t argb) {
    if (!font || !text || font->ListBase == 0 || font->ListCount <= 0 || font->ListCount > 256)
        return 0;
    if (View* view = FindView(window)) {
        if (!MakeCurrent(*view)) return 0;
    } else if (!IsWindow(window) || !wglGetCurrentContext()) {
        return 0;
    }
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0 || !StacksHaveRoom()) return 0;

    // Everything changed below is restored by the matching pops.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LIST_BIT |
                 GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    // Colour tracking off before the colour changes, so no material follows it;
    // lighting and texturing off, so the raster colour is the colour given.
    static const GLenum kOff[] = {GL_COLOR_MATERIAL, GL_LIGHTING,     GL_TEXTURE_1D,
                                  GL_TEXTURE_2D,     GL_DEPTH_TEST,   GL_ALPHA_TEST,
                                  GL_STENCIL_TEST,   GL_SCISSOR_TEST, GL_FOG,
                                  GL_COLOR_LOGIC_OP, GL_CLIP_PLANE0,  GL_CLIP_PLANE1,
                                  GL_CLIP_PLANE2,    GL_CLIP_PLANE3,  GL_CLIP_PLANE4,
                                  GL_CLIP_PLANE5,    GL_DITHER};
    for (GLenum cap : kOff) glDisable(cap);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4ub(GLubyte(argb >> 16), GLubyte(argb >> 8), GLubyte(argb), GLubyte(argb >> 24));
    glListBase(font->ListBase - kFirstChar);

    // Each line break starts a new line FontHeight pixels lower.
    int top = y;
    for (const char* line = text;;) {
        const char* end = strchr(line, '\n');
        const size_t length = end ? size_t(end - line) : strlen(line);
        DrawLine(*font, x, top, height, line, length);
        if (!end) break;
        line = end + 1;
        top += font->FontHeight;
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
    return 1;
}

}  // extern "C"
