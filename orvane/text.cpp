// GL text: a font is one bitmap display list per character, compiled from
// the face's glyph bitmaps, and in a view also an atlas texture of those
// glyphs; text is drawn over a frame without disturbing the caller's OpenGL
// state.
//
// A font belongs to the context it was built in. One built in a view's
// context names the view in its record (Reserved holds the view's window, a
// handle whose value fits 32 bits on every Windows), and the view keeps its
// atlas; one built in any other context has Reserved 0. So a font is freed
// and drawn in its own context only, whichever context is current, and a
// font of a destroyed view names no view (its lists and atlas went with the
// view's context, its glyphs with the view's record).
#include <windows.h>
#include "opengl.h"

#include <string.h>

#include <algorithm>

#include "buffer.h"
#include "glyphs.h"
#include "orvane.h"
#include "report.h"
#include "trace.h"
#include "views.h"

namespace orvane {
namespace {

constexpr int kMaxFontHeight = 1000;
// The atlas's longest side (4 MB of texels): larger fonts draw with their
// lists.
constexpr uint32_t kMaxAtlasSide = 2048;

// One unset pixel, a bitmap of 1 x 1.
constexpr GLubyte kUnsetPixel[4] = {};

// What text drawing switches off. Colour tracking goes off before the colour
// changes, so no material follows it; lighting off, so the text has exactly
// the colour given; texturing off, since a bitmap's fragments would take the
// texture (the atlas turns its own on); no culling, stipple or generated
// coordinates for the atlas's quads.
constexpr GLenum kOffForText[] = {
    GL_COLOR_MATERIAL,  GL_LIGHTING,        GL_TEXTURE_1D,     GL_TEXTURE_2D,     GL_DEPTH_TEST,
    GL_ALPHA_TEST,      GL_STENCIL_TEST,    GL_SCISSOR_TEST,   GL_FOG,            GL_COLOR_LOGIC_OP,
    GL_CULL_FACE,       GL_POLYGON_SMOOTH,  GL_POLYGON_STIPPLE, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T,
    GL_TEXTURE_GEN_R,   GL_TEXTURE_GEN_Q,   GL_CLIP_PLANE0,    GL_CLIP_PLANE1,    GL_CLIP_PLANE2,
    GL_CLIP_PLANE3,     GL_CLIP_PLANE4,     GL_CLIP_PLANE5,    GL_DITHER};

// The Reserved value of a font built in the view's context.
int32_t Owner(const View& view) { return HandleToLong(view.window); }

bool Built(const GLFontRecord& font) {
    return font.ListBase != 0 && font.ListCount > 0 && font.ListCount <= 256;
}

bool HasContextFor(HDC dc) {
    if (wglGetCurrentContext()) return true;
    View* view = FindViewByDC(dc);
    return view && MakeCurrent(*view);
}

// Text is drawn one of two ways, to the same pixels. The display lists, a
// bitmap per character, are what the record promises (hosts call them
// themselves) and work in every context. A font drawn in the view it was
// built in whose glyphs fit one texture there is drawn from its atlas
// instead: one batch of textured quads in place of a raster operation per
// character, several times cheaper. The view's atlas of the font, or null.
const ViewFont* AtlasOf(const View* drawing, const GLFontRecord& font) {
    for (const ViewFont* f = drawing ? drawing->fonts.get() : nullptr; f; f = f->next.get())
        if (f->base == font.ListBase) return f;
    return nullptr;
}

// Deletes the lists and atlas of a view's font in the view's context, made
// current for the moment when another is; the current context stays current.
void FreeInView(View& view, const GLFontRecord& font) {
    HGLRC previous = wglGetCurrentContext();
    HDC previousDC = wglGetCurrentDC();
    if (!MakeCurrent(view)) return;
    glDeleteLists(font.ListBase, font.ListCount);
    for (memory::Owned<ViewFont>* link = &view.fonts; *link; link = &(*link)->next)
        if ((*link)->base == font.ListBase) {
            glDeleteTextures(1, &(*link)->texture);
            *link = std::move((*link)->next);
            break;
        }
    if (previous != view.context) wglMakeCurrent(previousDC, previous);
}

// Frees the font's lists and atlas in the context it was built in, never in
// another, and zeroes the record's library fields. A font of another
// thread's view, or of a view already destroyed, frees nothing: its lists
// and atlas go, or went, with its view. A font built in a context that is no
// view's is freed in the current context when that is no view's either.
void FreeFont(GLFontRecord* font) {
    if (Built(*font)) {
        if (font->Reserved != 0) {
            if (View* keeper = FindView(static_cast<HWND>(LongToHandle(font->Reserved))))
                FreeInView(*keeper, *font);
        } else if (wglGetCurrentContext() && !CurrentView()) {
            glDeleteLists(font->ListBase, font->ListCount);
        }
    }
    font->ListBase = 0;
    font->ListCount = 0;
    font->Ascent = 0;
    font->Reserved = 0;
}

// Reads every character's bitmap of the font selected into dc. False for a
// face without glyph outlines, or when memory ran out.
bool ReadGlyphs(HDC dc, GlyphSet* set) {
    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    memory::Buffer<unsigned char> buffer;
    for (int i = 0; i < kCharCount; ++i) {
        GLYPHMETRICS m{};
        const UINT code = UINT(kFirstChar + i);
        const DWORD size = GetGlyphOutlineA(dc, code, GGO_BITMAP, &m, 0, nullptr, &identity);
        if (size == GDI_ERROR) return false;
        Glyph& g = set->glyphs[i];
        g.advance = m.gmCellIncX;
        if (size == 0) continue;   // blank: only an advance
        if (!buffer.Resize(size)) {
            win32::ReportOutOfMemory("orvane", __func__);
            return false;
        }
        if (GetGlyphOutlineA(dc, code, GGO_BITMAP, &m, size, buffer.data(), &identity) == GDI_ERROR ||
            !AddGlyphBits(set, &g, buffer.data(), size, m.gmBlackBoxX, m.gmBlackBoxY))
            return false;
        g.left = m.gmptGlyphOrigin.x;
        g.top = m.gmptGlyphOrigin.y;
    }
    return true;
}

// Compiles lists base.. base + kCharCount - 1, one bitmap per character,
// with the unpacking at its defaults and rows aligned to bytes. The buffer
// is made first: short of memory, false with no list begun (a list left open
// would swallow the caller's drawing).
bool CompileLists(const GlyphSet& set, GLuint base) {
    size_t most = 0;
    for (const Glyph& g : set.glyphs) most = std::max(most, (size_t(g.width) + 7) / 8 * size_t(g.height));
    memory::Buffer<unsigned char> flipped;
    if (!flipped.Resize(most)) {
        win32::ReportOutOfMemory("orvane", __func__);
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
            // One unset pixel: an empty bitmap is not kept by every GL, and
            // the blank would not move the text on.
            glBitmap(1, 1, 0.0f, 0.0f, GLfloat(g.advance), 0.0f, kUnsetPixel);
        }
        glEndList();
    }
    return true;
}

// The glyphs packed into an alpha texture of the view's context, or 0 when
// they do not fit its largest texture or memory ran out.
GLuint MakeAtlas(const View& view, GlyphSet* set) {
    memory::Buffer<unsigned char> image;
    if (!PackGlyphs(set, int(std::min(view.gl.maxTextureSide, kMaxAtlasSide))) || !AtlasImage(*set, &image))
        return 0;
    GLint bound = 0;   // the caller's binding, put back
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA, set->atlasWidth, set->atlasHeight, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 image.data());
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return texture;
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
void QuadsForLine(const GLFontRecord& font, const GlyphSet& set, int x, int top, int windowHeight, const char* text,
                  size_t length) {
    const GLfloat sw = 1.0f / GLfloat(set.atlasWidth), th = 1.0f / GLfloat(set.atlasHeight);
    const int baseline = windowHeight - top - font.Ascent;
    int pen = x;
    for (size_t i = 0; i < length; ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c < kFirstChar) continue;   // control characters draw nothing
        const Glyph& g = set.glyphs[c - kFirstChar];
        if (g.width > 0 && g.height > 0) {
            // Whole-pixel corners and texel-edge coordinates: every glyph
            // pixel lands on one window pixel, as its bitmap would.
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

// Draws one line the same way with the font's display lists, a bitmap per
// character.
void ListsForLine(const GLFontRecord& font, int x, int top, int windowHeight, const char* text, size_t length) {
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

}  // namespace

}  // namespace orvane

using namespace orvane;

extern "C" {

int32_t WINAPI QI_BuildGLfont(HDC dc, GLFontRecord* font) {
    if (!font || !win32::gl::Load()) return 0;
    orvane_trace::Step step("orvane", "QI_BuildGLfont");
    if (!dc) dc = wglGetCurrentDC();
    if (!dc || !HasContextFor(dc)) return 0;
    FreeFont(font);
    if (font->FontHeight <= 0 || font->FontHeight > kMaxFontHeight) return 0;
    // The glyphs, read once for the lists and the atlas.
    memory::Owned<ViewFont> built = memory::MakeOwned<ViewFont>();
    if (!built) {
        win32::ReportOutOfMemory("orvane", __func__);
        return 0;
    }

    char face[LF_FACESIZE] = {};
    memcpy(face, font->FontName, sizeof(face) - 1);   // the record's text need not end
    const int weight = std::clamp<int>(font->FontWeight, 0, 1000);
    // A positive height asks for the cell height, so lines FontHeight apart
    // do not overlap. Outline faces only: they have glyph bitmaps of every
    // height (the name of a raster face gives the outline face nearest it).
    HFONT handle = CreateFontA(font->FontHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                               face);
    if (!handle) return 0;
    HGDIOBJ previous = SelectObject(dc, handle);
    TEXTMETRICA metrics{};
    const bool read = GetTextMetricsA(dc, &metrics) && ReadGlyphs(dc, &built->glyphs);
    SelectObject(dc, previous);
    DeleteObject(handle);
    const GLuint base = read ? glGenLists(kCharCount) : 0;
    if (base == 0) return 0;

    // Glyph bitmaps and the atlas are read with the default unpacking,
    // whatever the caller set, rows aligned to bytes.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    for (GLenum name : {GL_UNPACK_SWAP_BYTES, GL_UNPACK_LSB_FIRST, GL_UNPACK_ROW_LENGTH, GL_UNPACK_SKIP_ROWS,
                        GL_UNPACK_SKIP_PIXELS})
        glPixelStorei(name, 0);   // GL_FALSE for the two flags
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const bool ok = CompileLists(built->glyphs, base);
    View* owner = CurrentView();
    if (ok && owner) built->texture = MakeAtlas(*owner, &built->glyphs);
    glPopClientAttrib();
    if (!ok) {
        glDeleteLists(base, kCharCount);
        return 0;
    }
    if (built->texture) {   // the view keeps the glyphs' places in its atlas
        built->base = base;
        built->glyphs.bits = memory::Buffer<unsigned char>();
        built->next = std::move(owner->fonts);
        owner->fonts = std::move(built);
    }
    font->ListBase = base;
    font->ListCount = kCharCount;
    font->Ascent = metrics.tmAscent;
    font->Reserved = owner ? Owner(*owner) : 0;
    return 1;
}

int32_t WINAPI QI_DeleteGLFont(GLFontRecord* font) {
    if (!font) return 0;
    if (win32::gl::Load()) FreeFont(font);   // without OpenGL no font was ever built
    return 1;
}

int32_t WINAPI QI_DrawGLText(HWND window, GLFontRecord* font, int32_t x, int32_t y, const char* text, uint32_t argb) {
    if (!font || !text || !Built(*font) || !win32::gl::Load()) return 0;
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
    const View* drawing = view ? view : CurrentView();
    if (font->Reserved != (drawing ? Owner(*drawing) : 0)) return 0;
    const ViewFont* atlas = AtlasOf(drawing, *font);

    // Everything changed below is restored by the matching pops.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_LIST_BIT | GL_VIEWPORT_BIT |
                 GL_TRANSFORM_BIT | GL_TEXTURE_BIT | GL_POLYGON_BIT);
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
    // The raster position and the quads take this colour, alpha included:
    // blended over the frame (the atlas's alpha times the colour's).
    glColor4ub(GLubyte(argb >> 16), GLubyte(argb >> 8), GLubyte(argb), GLubyte(argb >> 24));
    if (atlas) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, atlas->texture);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glBegin(GL_QUADS);
    } else {
        glListBase(font->ListBase);
    }

    // A line feed starts a new line FontHeight pixels lower.
    int top = y;
    for (const char* line = text;;) {
        const char* end = strchr(line, '\n');
        const size_t length = end ? size_t(end - line) : strlen(line);
        if (atlas) {
            QuadsForLine(*font, atlas->glyphs, x, top, height, line, length);
        } else {
            ListsForLine(*font, x, top, height, line, length);
        }
        if (!end) break;
        line = end + 1;
        top += font->FontHeight;
    }
    if (atlas) glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_TEXTURE);
    glPopMatrix();
    glPopAttrib();
    return 1;
}

}  // extern "C"
