// GL text: fonts as a glyph atlas texture and display lists, and drawing
// text over a frame without disturbing the caller's OpenGL state.
#include <windows.h>
#include "opengl.h"

#include <string.h>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#include "boundary.h"
#include "glyphs.h"
#include "orvane.h"
#include "trace.h"
#include "views.h"

namespace orvane {
namespace {

constexpr int kMaxFontHeight = 1000;

// One unset pixel, a bitmap of 1 x 1 (rows are padded to four bytes).
constexpr GLubyte kUnsetPixel[4] = {};

// What text drawing switches off. Colour tracking goes off before the colour
// changes, so no material follows it; lighting off, so the text has exactly
// the colour given.
constexpr GLenum kOffForText[] = {
    GL_COLOR_MATERIAL, GL_LIGHTING,     GL_TEXTURE_1D,   GL_DEPTH_TEST,     GL_ALPHA_TEST,
    GL_STENCIL_TEST,   GL_SCISSOR_TEST, GL_FOG,          GL_COLOR_LOGIC_OP, GL_CULL_FACE,
    GL_POLYGON_SMOOTH, GL_POLYGON_STIPPLE, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
    GL_TEXTURE_GEN_R,  GL_TEXTURE_GEN_Q, GL_CLIP_PLANE0,  GL_CLIP_PLANE1,    GL_CLIP_PLANE2,
    GL_CLIP_PLANE3,    GL_CLIP_PLANE4,  GL_CLIP_PLANE5,  GL_DITHER};

// The font the record names among the view's, or null.
ViewFont* FontIn(View* view, const GLFontRecord& font) {
    if (!view || font.Reserved == 0 || font.ListBase == 0) return nullptr;
    for (const auto& f : view->fonts)
        if (f->serial == uint32_t(font.Reserved) && f->base == font.ListBase) return f.get();
    return nullptr;
}

struct Search {
    const GLFontRecord* font;
    View* found;
};

BOOL CALLBACK SearchWindow(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<Search*>(search);
    View* view = FindView(window);
    if (FontIn(view, *s->font)) s->found = view;
    return s->found == nullptr;
}

BOOL CALLBACK SearchTopLevel(HWND window, LPARAM search) {
    if (SearchWindow(window, search)) EnumChildWindows(window, SearchWindow, search);
    return reinterpret_cast<Search*>(search)->found == nullptr;
}

// The view of the calling thread that keeps the font the record names, or
// null (the view is gone, or is another thread's). The current view is
// looked at first, then the thread's windows.
View* KeeperOf(const GLFontRecord& font) {
    if (View* current = CurrentView(); FontIn(current, font)) return current;
    Search search{&font, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), SearchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool HasContextFor(HDC dc) {
    if (wglGetCurrentContext()) return true;
    View* view = FindViewByDC(dc);
    return view && MakeCurrent(*view);
}

// Deletes a view's font in the view's context, made current for the moment
// when another is; the current context stays current.
void FreeInView(View& view, const GLFontRecord& font) {
    HGLRC previous = wglGetCurrentContext();
    HDC previousDC = wglGetCurrentDC();
    if (!MakeCurrent(view)) return;
    if (ViewFont* f = FontIn(&view, font)) {
        glDeleteLists(f->base, kCharCount);
        if (f->atlas) glDeleteTextures(1, &f->atlas);
        std::erase_if(view.fonts, [f](const auto& kept) { return kept.get() == f; });
    }
    if (previous != view.context) wglMakeCurrent(previousDC, previous);
}

// Frees the font's GL objects in the context it was built in, never in
// another, and zeroes the record's library fields. A view's font of another
// thread, or of a view already destroyed, frees nothing: its objects go, or
// went, with its context. A font built in a context that is no view's is
// freed in the current context when that is no view's either.
void FreeFont(GLFontRecord* font) {
    if (font->ListBase != 0 && font->ListCount > 0 && font->ListCount <= 256) {
        if (font->Reserved != 0) {
            if (View* keeper = KeeperOf(*font)) FreeInView(*keeper, *font);
        } else if (wglGetCurrentContext() && !CurrentView()) {
            glDeleteLists(font->ListBase, font->ListCount);
        }
    }
    font->ListBase = 0;
    font->ListCount = 0;
    font->Ascent = 0;
    font->Reserved = 0;
}

// The glyph atlas as an alpha texture of the view's context; 0 when it
// cannot be made.
GLuint MakeAtlas(const View& view, GlyphSet* set) {
    if (!PackGlyphs(set, int(std::min<uint32_t>(view.gl.maxTextureSide, 2048)))) return 0;
    std::vector<unsigned char> image;
    try {
        image = AtlasImage(*set);
    } catch (...) {
        return 0;
    }
    GLuint texture = 0;
    glPushAttrib(GL_TEXTURE_BIT);   // the caller's binding stays
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, set->atlasWidth, set->atlasHeight, 0, GL_ALPHA,
                 GL_UNSIGNED_BYTE, image.data());
    glPopAttrib();
    return texture;
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
        if (!AddGlyphBits(set, &g, buffer.data(), size, m.gmBlackBoxX, m.gmBlackBoxY)) return false;
        g.left = m.gmptGlyphOrigin.x;
        g.top = m.gmptGlyphOrigin.y;
    }
    return true;
}

// One display list per character from the glyph bitmaps. The buffer is
// made first: short of memory, false with no list begun (a list left open
// would swallow the caller's drawing).
bool CompileLists(const GlyphSet& set, GLuint base) {
    std::vector<unsigned char> flipped;
    try {
        size_t most = 0;
        for (const Glyph& g : set.glyphs)
            if (g.width > 0 && g.height > 0) most = std::max(most, (size_t(g.width) + 7) / 8 * size_t(g.height));
        flipped.resize(most);
    } catch (...) {
        return false;
    }
    for (int i = 0; i < kCharCount; ++i) {
        const Glyph& g = set.glyphs[i];
        glNewList(base + GLuint(i), GL_COMPILE);
        if (g.width > 0 && g.height > 0) {
            const size_t stride = (size_t(g.width) + 7) / 8;
            for (int r = 0; r < g.height; ++r)   // bitmaps run bottom row first
                memcpy(&flipped[size_t(g.height - 1 - r) * stride], &set.bits[g.offset + size_t(r) * stride], stride);
            glBitmap(g.width, g.height, GLfloat(-g.left), GLfloat(g.height - g.top), GLfloat(g.advance), 0.0f,
                     flipped.data());
        } else {
            // One unset pixel: an empty bitmap is not kept by every GL.
            glBitmap(1, 1, 0.0f, 0.0f, GLfloat(g.advance), 0.0f, kUnsetPixel);
        }
        glEndList();
    }
    return true;
}

// Whether a push of the attribute and matrix stacks still fits.
bool StacksHaveRoom() {
    const GLenum depths[][2] = {
        {GL_ATTRIB_STACK_DEPTH, GL_MAX_ATTRIB_STACK_DEPTH},
        {GL_PROJECTION_STACK_DEPTH, GL_MAX_PROJECTION_STACK_DEPTH},
        {GL_MODELVIEW_STACK_DEPTH, GL_MAX_MODELVIEW_STACK_DEPTH},
        {GL_TEXTURE_STACK_DEPTH, GL_MAX_TEXTURE_STACK_DEPTH},
    };
    for (const auto& d : depths) {
        GLint used = 0, most = 0;
        glGetIntegerv(d[0], &used);
        glGetIntegerv(d[1], &most);
        if (used >= most) return false;
    }
    return true;
}

// Adds the quads of one line of text, its cell's top-left at (x, top) from
// the window's top-left; the projection maps window pixels, y upwards.
void QuadsForLine(const GLFontRecord& font, const GlyphSet& set, int x, int top, int windowHeight,
                  const char* text, size_t length) {
    const GLfloat sw = 1.0f / GLfloat(set.atlasWidth), th = 1.0f / GLfloat(set.atlasHeight);
    const int baseline = windowHeight - top - font.Ascent;
    int pen = x;
    for (size_t i = 0; i < length; ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c < kFirstChar) continue;   // control characters draw nothing
        const Glyph& g = set.glyphs[c - kFirstChar];
        if (g.width > 0 && g.height > 0) {
            // Whole-pixel corners and texel-edge coordinates: every glyph
            // pixel lands on one window pixel.
            const GLfloat x0 = GLfloat(pen + g.left), x1 = x0 + GLfloat(g.width);
            const GLfloat y1 = GLfloat(baseline + g.top), y0 = y1 - GLfloat(g.height);
            const GLfloat s0 = GLfloat(g.atlasX) * sw, s1 = GLfloat(g.atlasX + g.width) * sw;
            const GLfloat t0 = GLfloat(g.atlasY) * th, t1 = GLfloat(g.atlasY + g.height) * th;
            glTexCoord2f(s0, t1);
            glVertex2f(x0, y0);
            glTexCoord2f(s1, t1);
            glVertex2f(x1, y0);
            glTexCoord2f(s1, t0);
            glVertex2f(x1, y1);
            glTexCoord2f(s0, t0);
            glVertex2f(x0, y1);
        }
        pen += g.advance;
    }
}

// Draws one line with the font's display lists, a bitmap per character.
void ListsForLine(const GLFontRecord& font, int x, int top, int windowHeight, const char* text,
                  size_t length) {
    // A valid raster position at the window's corner, then a move of whole
    // pixels to the baseline: text partly outside the view still shows its
    // visible part.
    glRasterPos2i(0, 0);
    glBitmap(0, 0, 0.0f, 0.0f, GLfloat(x), GLfloat(windowHeight - top - font.Ascent), nullptr);
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

// Calls draw(x, top, text, length) for each line of text; a line feed starts
// a new line FontHeight pixels lower.
template <class Draw>
void ForEachLine(const GLFontRecord& font, int x, int y, const char* text, Draw draw) {
    int top = y;
    for (const char* line = text;;) {
        const char* end = strchr(line, '\n');
        draw(x, top, line, end ? size_t(end - line) : strlen(line));
        if (!end) break;
        line = end + 1;
        top += font.FontHeight;
    }
}

}  // namespace

}  // namespace orvane

using namespace orvane;

extern "C" {

int32_t WINAPI QI_BuildGLfont(HDC dc, GLFontRecord* font) {
    return win32::Guard("orvane", __func__, 0, [&] {
        if (!font) return 0;
        orvane_trace::Step step("orvane", "QI_BuildGLfont");
        if (!dc) dc = wglGetCurrentDC();
        if (!dc || !HasContextFor(dc)) return 0;
        FreeFont(font);
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
        auto built = std::unique_ptr<ViewFont>(new (std::nothrow) ViewFont{});
        HGDIOBJ previous = SelectObject(dc, handle);
        TEXTMETRICA metrics{};
        const GLuint base = built && GetTextMetricsA(dc, &metrics) ? glGenLists(kCharCount) : 0;
        // A view keeps its fonts, with their glyphs for drawing them as quads; a
        // font built in any other context is drawn with its display lists.
        View* owner = CurrentView();
        bool ok = false;
        GLuint atlas = 0;
        if (base != 0) {
            glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);   // bitmaps are read with the default layout
            for (GLenum name : {GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                                GL_UNPACK_SKIP_PIXELS})
                glPixelStorei(name, 0);   // GL_FALSE for the two flags
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            try {
                ok = ReadGlyphs(dc, &built->glyphs);
            } catch (...) {
                ok = false;
            }
            if (ok) {
                ok = CompileLists(built->glyphs, base);
                if (ok && owner) atlas = MakeAtlas(*owner, &built->glyphs);
            } else {
                // Fonts without outlines: the platform's own bitmap lists, drawn
                // a character at a time. Some Windows OpenGL implementations fail
                // the first wglUseFontBitmaps call of a context and succeed when
                // it is repeated with the same arguments; where the first call
                // succeeds, || makes no second one.
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
        uint32_t serial = 0;
        if (owner) {
            Library& library = TheLibrary();
            serial = ++library.fontSerial;
            if (serial == 0) serial = ++library.fontSerial;
            built->serial = serial;
            built->base = base;
            built->atlas = atlas;
            try {
                owner->fonts.push_back(std::move(built));
            } catch (...) {   // a font its view cannot keep is not made
                glDeleteLists(base, kCharCount);
                if (atlas) glDeleteTextures(1, &atlas);
                return 0;
            }
        }
        font->ListBase = base;
        font->ListCount = kCharCount;
        font->Ascent = metrics.tmAscent;
        font->Reserved = int32_t(serial);
        return 1;
    });
}

int32_t WINAPI QI_DeleteGLFont(GLFontRecord* font) {
    return win32::Guard("orvane", __func__, 0, [&] {
        if (!font) return 0;
        FreeFont(font);
        return 1;
    });
}

int32_t WINAPI QI_DrawGLText(HWND window, GLFontRecord* font, int32_t x, int32_t y, const char* text, uint32_t argb) {
    return win32::Guard("orvane", __func__, 0, [&] {
        if (!font || !text || font->ListBase == 0 || font->ListCount <= 0 || font->ListCount > 256) return 0;
        View* view = FindView(window);
        if (view) {
            if (!MakeCurrent(*view)) return 0;
        } else if (!IsWindow(window) || !wglGetCurrentContext()) {
            return 0;
        }
        RECT client{};
        GetClientRect(window, &client);
        const int width = client.right, height = client.bottom;
        if (width <= 0 || height <= 0 || !StacksHaveRoom()) return 0;
        // A font draws only in the context it was built in: a view's font in its
        // view, any other in a context that is no view's.
        View* drawing = view ? view : CurrentView();
        const ViewFont* kept = FontIn(drawing, *font);
        if (font->Reserved != 0 ? !kept : drawing != nullptr) return 0;
        const GlyphSet* glyphs = kept && kept->atlas ? &kept->glyphs : nullptr;

        // Everything changed below is restored by the matching pops.
        glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LIST_BIT |
                     GL_VIEWPORT_BIT | GL_TRANSFORM_BIT | GL_TEXTURE_BIT | GL_POLYGON_BIT);
        for (GLenum cap : kOffForText) glDisable(cap);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glViewport(0, 0, width, height);
        glMatrixMode(GL_TEXTURE);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glColor4ub(GLubyte(argb >> 16), GLubyte(argb >> 8), GLubyte(argb), GLubyte(argb >> 24));

        if (glyphs) {
            // The whole text as textured quads in one batch: the atlas's alpha
            // times the colour's, blended over the frame.
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, kept->atlas);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
            glBegin(GL_QUADS);
            ForEachLine(*font, x, y, text, [&](int left, int top, const char* line, size_t length) {
                QuadsForLine(*font, *glyphs, left, top, height, line, length);
            });
            glEnd();
        } else {
            glDisable(GL_TEXTURE_2D);   // a bitmap's fragments would take the texture
            glListBase(font->ListBase);
            ForEachLine(*font, x, y, text, [&](int left, int top, const char* line, size_t length) {
                ListsForLine(*font, left, top, height, line, length);
            });
        }

        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_TEXTURE);
        glPopMatrix();
        glPopAttrib();
        return 1;
    });
}

}  // extern "C"
