// The framebuffer and context a view's host asks for (OrvaneViewFormat):
// a pixel format chosen through WGL_ARB_pixel_format where the driver has it,
// stepped down in the order orvane.h states; a context of a version, profile
// and flags through WGL_ARB_create_context; the swap interval, sRGB writing
// and debug messages; and the record of what the view got. The default
// request takes exactly the path a view has always taken (ChoosePixelFormat,
// wglCreateContext, swap interval 0).
#include "format.h"

#include "opengl.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "diagnostics.h"
#include "gl_entry.h"
#include "present.h"

namespace orvane {
namespace {

// WGL_ARB_pixel_format, WGL_ARB_multisample, WGL_ARB_framebuffer_sRGB.
constexpr int kDrawToWindow = 0x2001, kSupportOpenGL = 0x2010, kDoubleBuffer = 0x2011, kPixelType = 0x2013,
              kTypeRgba = 0x202B, kRedBits = 0x2015, kGreenBits = 0x2017, kBlueBits = 0x2019,
              kDepthBits = 0x2022, kStencilBits = 0x2023, kSampleBuffers = 0x2041, kSamples = 0x2042,
              kSrgbCapable = 0x20A9;
// WGL_ARB_create_context(_profile).
constexpr int kMajor = 0x2091, kMinor = 0x2092, kContextFlags = 0x2094, kProfileMask = 0x9126;
constexpr int kDebugBit = 0x1, kForwardBit = 0x2, kCoreBit = 0x1, kCompatibilityBit = 0x2;
// OpenGL's answers about the context.
constexpr GLenum kGlContextFlags = 0x821E, kGlProfileMask = 0x9126, kGlFramebufferSrgb = 0x8DB9,
                 kGlDebugOutputSynchronous = 0x8242;
constexpr GLint kGlForwardFlag = 0x1, kGlDebugFlag = 0x2, kGlCoreBit = 0x1;

constexpr uint32_t kFirstSize = sizeof(OrvaneViewFormat);
constexpr int kDefaultDepth = 24;

using ChoosePixelFormatArb = BOOL(WINAPI*)(HDC, const int*, const FLOAT*, UINT, int*, UINT*);
using GetPixelFormatAttribsArb = BOOL(WINAPI*)(HDC, int, int, UINT, const int*, int*);
using CreateContextAttribsArb = HGLRC(WINAPI*)(HDC, HGLRC, const int*);
using SwapIntervalExt = BOOL(WINAPI*)(int);
using GetSwapIntervalExt = int(WINAPI*)();
using DebugProc = void(WINAPI*)(GLenum, GLenum, GLuint, GLenum, GLsizei, const char*, const void*);
using DebugMessageCallback = void(WINAPI*)(DebugProc, const void*);

bool g_hideWgl = false;

template <typename Proc>
Proc GLProc(const char* name) {
    void* const address = reinterpret_cast<void*>(wglGetProcAddress(name));
    return win32::IsGlEntryPoint(address) ? reinterpret_cast<Proc>(address) : nullptr;
}

// The WGL calls of the driver, read through a context of its own on a
// window of its own (wglGetProcAddress answers only with a context current,
// and a window's pixel format, once set, stays).
struct Wgl {
    ChoosePixelFormatArb choose = nullptr;
    GetPixelFormatAttribsArb describe = nullptr;
    CreateContextAttribsArb create = nullptr;
    bool multisample = false, srgb = false, profile = false;
};

bool PlainFormat(HDC dc, int depth, int stencil, int& format, PIXELFORMATDESCRIPTOR& pfd) {
    pfd = {};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 32;
    pfd.cDepthBits = static_cast<BYTE>(depth);
    pfd.cStencilBits = static_cast<BYTE>(stencil);
    pfd.iLayerType = PFD_MAIN_PLANE;
    format = ChoosePixelFormat(dc, &pfd);
    return format != 0;
}

Wgl ReadWgl() {
    Wgl wgl;
    if (g_hideWgl) return wgl;
    HWND window = CreateSurfaceWindow(1, 1);
    HDC dc = window ? GetDC(window) : nullptr;
    HGLRC previous = wglGetCurrentContext();
    HDC previousDC = wglGetCurrentDC();
    int format = 0;
    PIXELFORMATDESCRIPTOR pfd;
    HGLRC context = nullptr;
    if (dc && PlainFormat(dc, kDefaultDepth, 0, format, pfd) && SetPixelFormat(dc, format, &pfd))
        context = wglCreateContext(dc);
    if (context && wglMakeCurrent(dc, context)) {
        using ArbList = const char*(WINAPI*)(HDC);
        const auto list = GLProc<ArbList>("wglGetExtensionsStringARB");
        const char* extensions = list ? list(dc) : nullptr;
        const auto has = [&](const char* name) { return win32::HasExtension(extensions, name); };
        if (has("WGL_ARB_pixel_format")) {
            wgl.choose = GLProc<ChoosePixelFormatArb>("wglChoosePixelFormatARB");
            wgl.describe = GLProc<GetPixelFormatAttribsArb>("wglGetPixelFormatAttribivARB");
            if (!wgl.choose || !wgl.describe) wgl.choose = nullptr, wgl.describe = nullptr;
        }
        wgl.multisample = wgl.choose && has("WGL_ARB_multisample");
        wgl.srgb = wgl.choose && (has("WGL_ARB_framebuffer_sRGB") || has("WGL_EXT_framebuffer_sRGB"));
        if (has("WGL_ARB_create_context")) wgl.create = GLProc<CreateContextAttribsArb>("wglCreateContextAttribsARB");
        wgl.profile = wgl.create && has("WGL_ARB_create_context_profile");
    }
    wglMakeCurrent(previousDC, previous);
    if (context) wglDeleteContext(context);
    if (dc) ReleaseDC(window, dc);
    if (window) DestroyWindow(window);
    return wgl;
}

struct Want {
    int samples, depth, stencil;
    bool srgb;
};

int ChooseArb(HDC dc, const Wgl& wgl, const Want& want) {
    int attributes[32] = {kDrawToWindow, 1, kSupportOpenGL, 1, kDoubleBuffer, 1, kPixelType, kTypeRgba,
                          kRedBits, 8, kGreenBits, 8, kBlueBits, 8, kDepthBits, want.depth,
                          kStencilBits, want.stencil};
    int n = 18;
    if (want.samples > 0) {
        attributes[n++] = kSampleBuffers, attributes[n++] = 1;
        attributes[n++] = kSamples, attributes[n++] = want.samples;
    }
    if (want.srgb) attributes[n++] = kSrgbCapable, attributes[n++] = 1;
    attributes[n] = 0;
    // Depth and stencil are minimums to the driver, which may offer more
    // first: of the formats it lists, the first with exactly the bits asked.
    int formats[64];
    UINT count = 0;
    if (!wgl.choose(dc, attributes, nullptr, 64, formats, &count) || count == 0) return 0;
    if (count > 64) count = 64;
    const int names[] = {kDepthBits, kStencilBits};
    for (UINT i = 0; i < count; ++i) {
        int bits[2] = {};
        if (wgl.describe(dc, formats[i], 0, 2, names, bits) && bits[0] == want.depth && bits[1] == want.stencil)
            return formats[i];
    }
    return formats[0];
}

// The first format found in the stepping-down order of orvane.h, or 0.
int ChooseStepping(HDC dc, const Wgl& wgl, const OrvaneViewFormat& request) {
    const int depth = request.DepthBits > 0 ? request.DepthBits : kDefaultDepth;
    const int stencil = request.StencilBits > 0 ? request.StencilBits : 0;
    const int samples = wgl.multisample && request.Samples > 1 ? request.Samples : 0;
    const bool srgb = wgl.srgb && (request.Flags & ORVANE_FORMAT_SRGB) != 0;
    const Want steps[] = {{samples, depth, stencil, srgb}, {samples, depth, stencil, false},
                          {samples, kDefaultDepth, 0, false}};
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Want& step = steps[i];
        if (i > 0 && step.srgb == steps[i - 1].srgb && step.depth == steps[i - 1].depth &&
            step.stencil == steps[i - 1].stencil)
            continue;   // the same as the step before
        for (Want want = step;; want.samples /= 2) {
            if (want.samples == 1) want.samples = 0;
            if (const int format = ChooseArb(dc, wgl, want)) return format;
            if (want.samples == 0) break;
        }
    }
    return 0;
}

bool AsksContext(const OrvaneViewFormat& request) {
    constexpr uint32_t kContextFlags =
        ORVANE_FORMAT_CORE_PROFILE | ORVANE_FORMAT_DEBUG | ORVANE_FORMAT_FORWARD_COMPATIBLE;
    return request.MajorVersion > 0 || (request.Flags & kContextFlags) != 0;
}

// "3.3 core debug" and the like: what a request or a record says of the context.
void ContextText(const OrvaneViewFormat& format, char* text, size_t size) {
    int n = format.MajorVersion > 0
                ? snprintf(text, size, "OpenGL %d.%d", int(format.MajorVersion), int(format.MinorVersion))
                : snprintf(text, size, "the default context");
    const struct {
        uint32_t flag;
        const char* name;
    } names[] = {{ORVANE_FORMAT_CORE_PROFILE, " core"},
                 {ORVANE_FORMAT_DEBUG, " debug"},
                 {ORVANE_FORMAT_FORWARD_COMPATIBLE, " forward-compatible"}};
    for (const auto& name : names)
        if ((format.Flags & name.flag) && n >= 0 && size_t(n) < size) n += snprintf(text + n, size - n, "%s", name.name);
}

HGLRC CreateAsked(View& view, const Wgl& wgl, const OrvaneViewFormat& request) {
    char asked[96];
    ContextText(request, asked, sizeof asked);
    char why[160];
    const bool core = (request.Flags & ORVANE_FORMAT_CORE_PROFILE) != 0;
    HGLRC context = nullptr;
    if (!wgl.create || (core && !wgl.profile)) {
        snprintf(why, sizeof why, "no %s: the driver cannot make one (no WGL_ARB_create_context%s)", asked,
                 wgl.create ? "_profile" : "");
    } else {
        int attributes[12];
        int n = 0;
        if (request.MajorVersion > 0) {
            attributes[n++] = kMajor, attributes[n++] = request.MajorVersion;
            attributes[n++] = kMinor, attributes[n++] = request.MinorVersion;
        }
        int flags = 0;
        if (request.Flags & ORVANE_FORMAT_DEBUG) flags |= kDebugBit;
        if (request.Flags & ORVANE_FORMAT_FORWARD_COMPATIBLE) flags |= kForwardBit;
        if (flags) attributes[n++] = kContextFlags, attributes[n++] = flags;
        // A profile only where the driver knows profiles: 3.2 and later.
        if (wgl.profile && (core || request.MajorVersion > 3 || (request.MajorVersion == 3 && request.MinorVersion >= 2)))
            attributes[n++] = kProfileMask, attributes[n++] = core ? kCoreBit : kCompatibilityBit;
        attributes[n] = 0;
        context = wgl.create(view.dc, nullptr, attributes);
        if (!context)
            snprintf(why, sizeof why, "no %s: the driver refused it (error 0x%lx)", asked,
                     static_cast<unsigned long>(GetLastError()));
    }
    if (context) return context;
    if (!(request.Flags & ORVANE_FORMAT_ALLOW_FALLBACK)) {
        Say(kNoContext, view, why);
        return nullptr;
    }
    char fallback[200];
    snprintf(fallback, sizeof fallback, "%s; the default context instead", why);
    Say(kFormatNote, view, fallback);
    return wglCreateContext(view.dc);
}

// A debug context's messages, one line each on the debug output.
void WINAPI DebugMessage(GLenum, GLenum type, GLuint id, GLenum severity, GLsizei, const char* message,
                         const void* window) {
    const char* level = severity == 0x9146 ? "high" : severity == 0x9147 ? "medium"
                      : severity == 0x9148 ? "low" : "notification";
    const char* kind = type == 0x824C ? "error" : type == 0x824D ? "deprecated" : type == 0x824E ? "undefined"
                     : type == 0x824F ? "portability" : type == 0x8250 ? "performance" : "other";
    char subject[32], why[900];
    snprintf(subject, sizeof subject, "view %p", window);
    snprintf(why, sizeof why, "%s, %s (%u): %s", kind, level, static_cast<unsigned>(id), message ? message : "");
    Report(kGlDebug, subject, why);
}

void SetSwapInterval(View& view, const OrvaneViewFormat& request) {
    if (!win32::HasExtension(view.gl.wglExtensions, "WGL_EXT_swap_control")) return;
    int interval = request.SwapInterval;
    if (interval < 0 && !win32::HasExtension(view.gl.wglExtensions, "WGL_EXT_swap_control_tear")) interval = 1;
    const auto set = GLProc<SwapIntervalExt>("wglSwapIntervalEXT");
    if (set && set(interval)) view.got.SwapInterval = interval;
    if (auto get = GLProc<GetSwapIntervalExt>("wglGetSwapIntervalEXT")) view.got.SwapInterval = get();
}

// The version "major.minor" at the start of GL_VERSION.
void ReadVersion(const char* version, OrvaneViewFormat& got) {
    if (!version) return;
    char* end = nullptr;
    got.MajorVersion = int32_t(strtol(version, &end, 10));
    got.MinorVersion = end && *end == '.' ? int32_t(strtol(end + 1, nullptr, 10)) : 0;
}

// What differs between the request and the record, for the note.
void SayStepDown(const View& view, const OrvaneViewFormat& request) {
    const OrvaneViewFormat& got = view.got;
    const bool srgbShort = (request.Flags & ORVANE_FORMAT_SRGB) && !(got.Flags & ORVANE_FORMAT_SRGB);
    const bool samplesShort = request.Samples > got.Samples;
    const bool depthShort = request.DepthBits > got.DepthBits || request.StencilBits > got.StencilBits;
    const bool swapShort = request.SwapInterval != got.SwapInterval && !view.surface;
    if (!srgbShort && !samplesShort && !depthShort && !swapShort) return;
    char why[200];
    snprintf(why, sizeof why, "asked %d samples%s, depth %d, stencil %d, swap interval %d; got %d samples%s, "
             "depth %d, stencil %d, swap interval %d",
             int(request.Samples), request.Flags & ORVANE_FORMAT_SRGB ? ", sRGB" : "", int(request.DepthBits),
             int(request.StencilBits), int(request.SwapInterval), int(got.Samples),
             got.Flags & ORVANE_FORMAT_SRGB ? ", sRGB" : "", int(got.DepthBits), int(got.StencilBits),
             int(got.SwapInterval));
    Say(kFormatNote, view, why);
}

}  // namespace

bool ReadRequest(const void* param, OrvaneViewFormat& request, const char** why) {
    request = {};
    if (!param) return true;
    uint32_t size = 0;
    memcpy(&size, param, sizeof size);
    if (size < kFirstSize) {
        *why = "the format record's Size is smaller than sizeof(OrvaneViewFormat)";
        return false;
    }
    memcpy(&request, param, kFirstSize);   // later fields are a later version's
    request.Size = kFirstSize;
    return true;
}

bool MakeContext(View& view, const OrvaneViewFormat& request) {
    const bool plain = request.Samples == 0 && request.DepthBits == 0 && request.StencilBits == 0 &&
                       !(request.Flags & ORVANE_FORMAT_SRGB);
    const Wgl wgl = plain && !AsksContext(request) ? Wgl{} : ReadWgl();
    int format = 0;
    PIXELFORMATDESCRIPTOR pfd{};
    if (!plain && wgl.choose) format = ChooseStepping(view.dc, wgl, request);
    if (format != 0) DescribePixelFormat(view.dc, format, sizeof(pfd), &pfd);
    if (format == 0 && !PlainFormat(view.dc, request.DepthBits > 0 ? request.DepthBits : kDefaultDepth,
                                    request.StencilBits, format, pfd))
        return Refuse(view, "no pixel format");
    if (!SetPixelFormat(view.dc, format, &pfd)) return Refuse(view, "no pixel format");
    PIXELFORMATDESCRIPTOR got{};
    if (!DescribePixelFormat(view.dc, format, sizeof(got), &got) || !(got.dwFlags & PFD_DOUBLEBUFFER) ||
        got.cDepthBits == 0) {
        return Refuse(view, "pixel format without double buffer or depth");
    }
    view.got = {};
    view.got.Size = kFirstSize;
    view.got.DepthBits = got.cDepthBits;
    view.got.StencilBits = got.cStencilBits;
    if (wgl.describe) {
        const int names[] = {kSampleBuffers, kSamples, kSrgbCapable};
        int values[3] = {};
        if (wgl.describe(view.dc, format, 0, wgl.srgb ? 3 : 2, names, values) && values[0])
            view.got.Samples = values[1];
        if (values[2] && (request.Flags & ORVANE_FORMAT_SRGB)) view.got.Flags |= ORVANE_FORMAT_SRGB;
    }
    view.context = AsksContext(request) ? CreateAsked(view, wgl, request) : wglCreateContext(view.dc);
    if (!view.context) {
        if (AsksContext(request)) return false;   // said why
        return Refuse(view, "no rendering context");
    }
    if (!wglMakeCurrent(view.dc, view.context)) return Refuse(view, "no rendering context");
    return true;
}

void FinishContext(View& view, const OrvaneViewFormat& request) {
    OrvaneViewFormat& got = view.got;
    ReadVersion(view.gl.version, got);
    // The flags a context of 3.0 and later tells; its profile from 3.2.
    if (got.MajorVersion >= 3) {
        GLint flags = 0, profile = 0;
        glGetIntegerv(kGlContextFlags, &flags);
        if (got.MajorVersion > 3 || got.MinorVersion >= 2) glGetIntegerv(kGlProfileMask, &profile);
        if (flags & kGlDebugFlag) got.Flags |= ORVANE_FORMAT_DEBUG;
        if (flags & kGlForwardFlag) got.Flags |= ORVANE_FORMAT_FORWARD_COMPATIBLE;
        if (profile & kGlCoreBit) got.Flags |= ORVANE_FORMAT_CORE_PROFILE;
        while (glGetError() != GL_NO_ERROR) {}
    }
    // A host that asked for sRGB gets its frames written in sRGB.
    if (got.Flags & ORVANE_FORMAT_SRGB) {
        glEnable(kGlFramebufferSrgb);
        GLint on = 0;   // an enable's state is also read with glGet
        glGetIntegerv(kGlFramebufferSrgb, &on);
        if (!on) got.Flags &= ~ORVANE_FORMAT_SRGB;
        while (glGetError() != GL_NO_ERROR) {}
    }
    if ((request.Flags & ORVANE_FORMAT_DEBUG) && (got.Flags & ORVANE_FORMAT_DEBUG)) {
        auto callback = GLProc<DebugMessageCallback>("glDebugMessageCallback");
        if (!callback) callback = GLProc<DebugMessageCallback>("glDebugMessageCallbackARB");
        if (callback) {
            callback(DebugMessage, view.window);
            glEnable(kGlDebugOutputSynchronous);   // on the view's thread, as the calls are made
        }
    }
    // Frames copied from a surface never wait for the display: interval 0.
    if (!view.surface) SetSwapInterval(view, request);
    SayStepDown(view, request);
}

void HideWglExtensionsForTest(bool hide) { g_hideWgl = hide; }

}  // namespace orvane
