// GL text: fonts as glyph bitmaps and display lists, and drawing text over a
// frame without disturbing the caller's OpenGL state.
#include <windows.h>
#include <GL/gl.h>

#include <string.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "glyphs.h"
#include "orvane.h"
#include "text.h"
#include "views.h"

namespace orvane {
namespace {

constexpr int kMaxFontHeight = 1000;

// The glyph bitmaps of every built font, by rendering context and first list.
struct BuiltFont {
    HGLRC context;
    GLuint base;
    GlyphSet glyphs;
};
std::mutex gFontsLock;
std::vector<std::unique_ptr<BuiltFont>> gFonts;

void Forget(HGLRC context, GLuint base) {
    std::lock_guard<std::mutex> hold(gFontsLock);
    std::erase_if(gFonts, [&](const auto& f) { return f->context == context && f->base == base; });
}

const GlyphSet* FindGlyphs(HGLRC context, GLuint base) {
    std::lock_guard<std::mutex> hold(gFontsLock);
    for (const auto& f : gFonts)
        if (f->context == context && f->base == base) return &f->glyphs;
    return nullptr;
}

bool HasContextFor(HDC dc) {
    if (wglGetCurrentContext()) return true;
    View* view = FindViewByDC(dc);
    return view && MakeCurrent(*view);
}

void FreeLists(GLFontRecord* font) {
    if (font->ListBase != 0 && font->ListCount > 0 && font->ListCount <= 256) {
        if (HGLRC context = wglGetCurrentContext()) {
            glDeleteLists(font->ListBase, font->ListCount);
            Forget(context, font->ListBase);
        }
    }
    font->ListBase = 0;
    font->ListCount = 0;
    font->Ascent = 0;
}

// Reads every character's bitmap of the font selected into dc. False for
// fonts without glyph outlines (raster fonts).
bool ReadGlyphs(HDC dc, GlyphSet* set) {
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    std::vector<unsigned char> buffer;
    for (int i = 0; i < kCharCount; ++i) {
        GLYPHMETRICS m{};
        const UINT code = UINT(kFirstChar + i);
        const DWORD size = GetGlyphOutlineA(dc, code, GGO_BITMAP, &m, 0, nullptr, &identity);
        if (size == GDI_ERROR) return false;
        Glyph& g = set->glyphs[i];
        g.advance = m.gmCellIncX;
        if (size == 0) continue;   // blank: only an advance
        buffer.resize(size);
        if (GetGlyphOutlineA(dc, code, GGO_BITMAP, &m, size, buffer.data(), &identity) == GDI_ERROR)
            return false;
        // The platform's rows are padded to four bytes; keep whole bytes only.
        const size_t from = ((size_t(m.gmBlackBoxX) + 31) / 32) * 4;
        const size_t to = (size_t(m.gmBlackBoxX) + 7) / 8;
        if (from * m.gmBlackBoxY > size) return false;
        g.width = int(m.gmBlackBoxX);
        g.height = int(m.gmBlackBoxY);
        g.left = m.gmptGlyphOrigin.x;
        g.top = m.gmptGlyphOrigin.y;
        g.offset = set->bits.size();
        const unsigned tail = m.gmBlackBoxX % 8;
        const unsigned char lastMask = tail ? static_cast<unsigned char>(0xFF << (8 - tail)) : 0xFF;
        for (UINT r = 0; r < m.gmBlackBoxY; ++r) {
            const unsigned char* row = &buffer[r * from];
            set->bits.insert(set->bits.end(), row, row + to);
            set->bits.back() &= lastMask;   // no stray bits beyond the glyph's width
        }
    }
    return true;
}

// One display list per character from the glyph bitmaps.
void CompileLists(const GlyphSet& set, GLuint base) {
    std::vector<unsigned char> flipped;
    static const GLubyte kNothing[4] = {};
    for (int i = 0; i < kCharCount; ++i) {
        const Glyph& g = set.glyphs[i];
        glNewList(base + GLuint(i), GL_COMPILE);
        if (g.width > 0 && g.height > 0) {
            const size_t stride = (size_t(g.width) + 7) / 8;
            flipped.resize(stride * size_t(g.height));
            for (int r = 0; r < g.height; ++r)   // bitmaps run bottom row first
                memcpy(&flipped[size_t(g.height - 1 - r) * stride], &set.bits[g.offset + size_t(r) * stride], stride);
            glBitmap(g.width, g.height, GLfloat(-g.left), GLfloat(g.height - g.top), GLfloat(g.advance), 0.0f,
                     flipped.data());
        } else {
            // One unset pixel: an empty bitmap is not kept by every GL.
            glBitmap(1, 1, 0.0f, 0.0f, GLfloat(g.advance), 0.0f, kNothing);
        }
        glEndList();
    }
}

// Whether a push of the attribute and matrix stacks still fits.
bool StacksHaveRoom() {
    const GLenum depths[][2] = {
        {GL_ATTRIB_STACK_DEPTH, GL_MAX_ATTRIB_STACK_DEPTH},
        {GL_CLIENT_ATTRIB_STACK_DEPTH, GL_MAX_CLIENT_ATTRIB_STACK_DEPTH},
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
void DrawLine(const GLFontRecord& font, const GlyphSet* glyphs, LineBitmap* scratch, int x, int top,
              int windowHeight, const char* text, size_t length) {
    // A valid raster position at the window's corner, then a move of whole
    // pixels to the baseline: text partly outside the view still shows its
    // visible part.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, GLfloat(x), GLfloat(windowHeight - top - font.Ascent), nullptr);
    if (glyphs && ComposeLine(*glyphs, text, length, scratch)) {
        // The whole line in one bitmap: far cheaper than one per character.
        if (scratch->width > 0)
            glBitmap(scratch->width, scratch->height, GLfloat(scratch->xorig), GLfloat(scratch->yorig),
                     GLfloat(scratch->advance), 0.0f, scratch->bits.data());
        return;
    }
    GLubyte codes[256];
    for (size_t done = 0; done < length;) {
        GLsizei n = 0;
        for (; done < length && n < GLsizei(sizeof(codes)); ++done) {
            const auto c = static_cast<unsigned char>(text[done]);
            // Control characters would name display lists that are not ours.
            if (c >= kFirstChar && c < kFirstChar + font.ListCount) codes[n++] = GLubyte(c - kFirstChar);
        }
        if (n > 0) glCallLists(n, GL_UNSIGNED_BYTE, codes);
    }
}

}  // namespace

void ForgetFonts(HGLRC context) {
    std::lock_guard<std::mutex> hold(gFontsLock);
    std::erase_if(gFonts, [context](const auto& f) { return f->context == context; });
}

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
    const int weight = std::clamp<int>(font->FontWeight, 0, 1000);
    // A positive height asks for the cell height, so lines FontHeight apart
    // do not overlap.
    HFONT handle = CreateFontA(font->FontHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
    if (!handle) return 0;
    auto built = std::unique_ptr<BuiltFont>(new (std::nothrow) BuiltFont{});
    HGDIOBJ previous = SelectObject(dc, handle);
    TEXTMETRICA metrics{};
    const GLuint base = built && GetTextMetricsA(dc, &metrics) ? glGenLists(kCharCount) : 0;
    bool ok = false;
    if (base != 0) {
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);   // bitmaps are read with the default layout
        glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
        glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
        glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        try {
            ok = ReadGlyphs(dc, &built->glyphs);
        } catch (...) {
            ok = false;
        }
        if (ok) {
            CompileLists(built->glyphs, base);
        } else {
            // Fonts without outlines: the platform's own bitmap lists, drawn
            // a character at a time.
            built.reset();
            ok = wglUseFontBitmapsA(dc, kFirstChar, kCharCount, base) ||
                 wglUseFontBitmapsA(dc, kFirstChar, kCharCount, base);
        }
        glPopClientAttrib();
    }
    SelectObject(dc, previous);
    DeleteObject(handle);
    if (!ok) {
        if (base != 0) glDeleteLists(base, kCharCount);
        return 0;
    }
    if (built) {
        built->context = wglGetCurrentContext();
        built->base = base;
        try {
            std::lock_guard<std::mutex> hold(gFontsLock);
            gFonts.push_back(std::move(built));
        } catch (...) {
            // Drawing falls back to the display lists.
        }
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
    const GlyphSet* glyphs = FindGlyphs(wglGetCurrentContext(), font->ListBase);

    // Everything changed below is restored by the matching pops.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LIST_BIT |
                 GL_VIEWPORT_BIT | GL_TRANSFORM_BIT);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
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
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4ub(GLubyte(argb >> 16), GLubyte(argb >> 8), GLubyte(argb), GLubyte(argb >> 24));
    glListBase(font->ListBase);

    // Each line break starts a new line FontHeight pixels lower.
    LineBitmap scratch;
    int top = y;
    for (const char* line = text;;) {
        const char* end = strchr(line, '\n');
        const size_t length = end ? size_t(end - line) : strlen(line);
        DrawLine(*font, glyphs, &scratch, x, top, height, line, length);
        if (!end) break;
        line = end + 1;
        top += font->FontHeight;
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopClientAttrib();
    glPopAttrib();
    return 1;
}

}  // extern "C"
