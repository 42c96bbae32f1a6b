// Reading a finished frame from the back buffer of a view's surface, for the
// copy onto the view. A multisampled back buffer is first resolved into a
// single-sample framebuffer of the view's size (not every driver resolves
// when glReadPixels reads a multisampled window), so the copy shows the
// smoothed edges the view was asked for. Works in core-profile contexts too:
// the pixel-store state is saved and put back one value at a time.
#include "present.h"

#include "opengl.h"

#include "gl_entry.h"

namespace orvane {
namespace {

#ifndef GL_BGRA_EXT
#define GL_BGRA_EXT 0x80E1
#endif

constexpr GLenum kReadFramebuffer = 0x8CA8, kDrawFramebuffer = 0x8CA9, kReadBinding = 0x8CAA,
                 kDrawBinding = 0x8CA6, kRenderbuffer = 0x8D41, kColourAttachment = 0x8CE0,
                 kComplete = 0x8CD5, kRgba8 = 0x8058, kSrgb8Alpha8 = 0x8C43, kRenderbufferBinding = 0x8CA7;

struct Fbo {
    void(WINAPI* gen)(GLsizei, GLuint*);
    void(WINAPI* bind)(GLenum, GLuint);
    void(WINAPI* remove)(GLsizei, const GLuint*);
    void(WINAPI* genRenderbuffers)(GLsizei, GLuint*);
    void(WINAPI* bindRenderbuffer)(GLenum, GLuint);
    void(WINAPI* removeRenderbuffers)(GLsizei, const GLuint*);
    void(WINAPI* storage)(GLenum, GLenum, GLsizei, GLsizei);
    void(WINAPI* attach)(GLenum, GLenum, GLenum, GLuint);
    GLenum(WINAPI* status)(GLenum);
    void(WINAPI* blit)(GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLint, GLbitfield, GLenum);
};

template <typename Proc>
bool Find(Proc& proc, const char* name) {
    void* const address = reinterpret_cast<void*>(wglGetProcAddress(name));
    proc = win32::IsGlEntryPoint(address) ? reinterpret_cast<Proc>(address) : nullptr;
    return proc != nullptr;
}

// The framebuffer-object calls (OpenGL 3.0, or GL_ARB_framebuffer_object).
bool FindFbo(Fbo& f) {
    return Find(f.gen, "glGenFramebuffers") && Find(f.bind, "glBindFramebuffer") &&
           Find(f.remove, "glDeleteFramebuffers") && Find(f.genRenderbuffers, "glGenRenderbuffers") &&
           Find(f.bindRenderbuffer, "glBindRenderbuffer") && Find(f.removeRenderbuffers, "glDeleteRenderbuffers") &&
           Find(f.storage, "glRenderbufferStorage") && Find(f.attach, "glFramebufferRenderbuffer") &&
           Find(f.status, "glCheckFramebufferStatus") && Find(f.blit, "glBlitFramebuffer");
}

// The view's resolve framebuffer of the given size, made (again) when needed;
// false when the driver has none to give.
bool ResolveTarget(View& view, const Fbo& f, SIZE size) {
    ViewResolve& r = view.resolve;
    if (r.framebuffer && r.size.cx == size.cx && r.size.cy == size.cy) return true;
    if (r.framebuffer) f.remove(1, &r.framebuffer), f.removeRenderbuffers(1, &r.colour);
    r = {};
    GLint renderbuffer = 0;
    glGetIntegerv(kRenderbufferBinding, &renderbuffer);
    f.gen(1, &r.framebuffer);
    f.genRenderbuffers(1, &r.colour);
    f.bindRenderbuffer(kRenderbuffer, r.colour);
    // Like the back buffer, so that a blit neither encodes nor decodes sRGB.
    f.storage(kRenderbuffer, (view.got.Flags & ORVANE_FORMAT_SRGB) ? kSrgb8Alpha8 : kRgba8, size.cx, size.cy);
    f.bindRenderbuffer(kRenderbuffer, GLuint(renderbuffer));
    f.bind(kDrawFramebuffer, r.framebuffer);
    f.attach(kDrawFramebuffer, kColourAttachment, kRenderbuffer, r.colour);
    const bool complete = f.status(kDrawFramebuffer) == kComplete;
    r.size = size;
    if (!complete) {
        f.remove(1, &r.framebuffer), f.removeRenderbuffers(1, &r.colour);
        r = {};
        r.unavailable = true;
    }
    return complete;
}

}  // namespace

void ReadFrame(View& view, SIZE size, void* bits) {
    GLint readBuffer = GL_BACK, readBinding = 0, drawBinding = 0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    Fbo f{};
    const bool resolve = view.got.Samples > 0 && !view.resolve.unavailable && FindFbo(f);
    if (resolve) {
        glGetIntegerv(kReadBinding, &readBinding);
        glGetIntegerv(kDrawBinding, &drawBinding);
    }
    if (resolve && ResolveTarget(view, f, size)) {
        GLint scissor = 0;   // a blit is clipped by the scissor box
        glGetIntegerv(GL_SCISSOR_TEST, &scissor);
        if (scissor) glDisable(GL_SCISSOR_TEST);
        f.bind(kReadFramebuffer, 0);
        f.bind(kDrawFramebuffer, view.resolve.framebuffer);
        glReadBuffer(GL_BACK);
        f.blit(0, 0, size.cx, size.cy, 0, 0, size.cx, size.cy, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        f.bind(kReadFramebuffer, view.resolve.framebuffer);
        glReadBuffer(kColourAttachment);
        if (scissor) glEnable(GL_SCISSOR_TEST);
    } else {
        if (resolve) f.bind(kDrawFramebuffer, GLuint(drawBinding));   // the failed target's binding undone
        glReadBuffer(GL_BACK);
    }

    const GLenum names[] = {GL_PACK_ALIGNMENT, GL_PACK_ROW_LENGTH, GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS};
    GLint kept[4] = {};
    for (int i = 0; i < 4; ++i) glGetIntegerv(names[i], &kept[i]);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (int i = 1; i < 4; ++i) glPixelStorei(names[i], 0);
    glReadPixels(0, 0, size.cx, size.cy, GL_BGRA_EXT, GL_UNSIGNED_BYTE, bits);
    for (int i = 0; i < 4; ++i) glPixelStorei(names[i], kept[i]);

    if (resolve) {
        f.bind(kReadFramebuffer, GLuint(readBinding));
        f.bind(kDrawFramebuffer, GLuint(drawBinding));
    }
    glReadBuffer(static_cast<GLenum>(readBuffer));
}

}  // namespace orvane
