// The view control: class, GL context, painting, zoom and projection.
#include <windows.h>
#include <GL/gl.h>
#include <commctrl.h>
#include <oleacc.h>

#include <stdio.h>
#include <string.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "debug_output.h"
#include "orvane.h"
#include "presentation_path.h"
#include "test_window.h"

namespace {

using orvane_test::ViewWindow;
namespace path = presentation_path;

// What the screen shows at a view's client point, through GDI.
COLORREF OnScreen(HWND view, int x, int y) {
    POINT p{x, y};
    ClientToScreen(view, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

WNDPROC gOldViewProc = nullptr;   // the view's own procedure, under a test's subclass
int gOwnerFrames = 0;

void PresentColour(HWND view, float r, float g, float b) {
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ASSERT_EQ(QI_UpdateGLWindow(view), 1);
}

TEST(PresentationPath, IsTheOneThisRunAsksFor) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    EXPECT_EQ(path::DrawsInItself(w.view(), QI_GetGLDC(w.view())), path::NativeExpected());
    // Only a child's OpenGL is hidden under Wine: a top-level view draws in
    // itself on every path, and its frames reach the screen.
    HWND top = CreateWindowExA(WS_EX_TOPMOST, "QOPENGLCTRL", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 64, 48,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(path::DrawsInItself(top, QI_GetGLDC(top)));
    PresentColour(top, 0.0f, 0.0f, 1.0f);
    glFinish();
    Sleep(50);
    EXPECT_EQ(OnScreen(top, 32, 24), RGB(0, 0, 255));
    DestroyWindow(top);
}

TEST(PresentationPath, EachViewNamesItsPathOnceOnTheDebugOutput) {
    DebugOutput output;
    ASSERT_TRUE(output.Ready());
    ViewWindow a(32, 32), b(32, 32);
    ASSERT_NE(b.view(), nullptr);
    const char* way = path::NativeExpected() ? ": native" : ": surface";
    for (HWND view : {a.view(), b.view()}) {
        char subject[48];
        snprintf(subject, sizeof subject, "orvane: presentation: view %p", static_cast<void*>(view));
        const auto lines = output.LinesStartingWith(subject);
        ASSERT_EQ(lines.size(), 1u) << subject;
        EXPECT_EQ(lines[0].compare(strlen(subject), strlen(way), way), 0) << lines[0];
    }
}

// Two views made in a process of their own: the renderer is named once, by
// the first context. Ends the process with 0 when so, else with 1 and the
// lines on the error output.
[[noreturn]] void NameTheRendererInAFreshProcess() {
    DebugOutput output;
    bool made = false;
    {
        ViewWindow a(32, 32), b(32, 32);
        made = output.Ready() && a.view() && b.view();
    }
    const auto renderer = output.LinesStartingWith("orvane: renderer: view ");
    const bool once = renderer.size() == 1 && renderer[0].find("; OpenGL ") != std::string::npos;
    fprintf(stderr, "views made: %d; renderer lines: %u\n", made ? 1 : 0, static_cast<unsigned>(renderer.size()));
    for (const std::string& line : renderer) fprintf(stderr, "%s\n", line.c_str());
    fflush(stderr);
    std::exit(made && once ? 0 : 1);
}

// Earlier tests of this program may have made the process's first context
// already; a child process starts clean.
TEST(PresentationPath, TheFirstContextOfAProcessNamesTheRendererOnce) {
    EXPECT_EXIT(NameTheRendererInAFreshProcess(), testing::ExitedWithCode(0), "renderer lines: 1");
}

TEST(PresentationPath, TheViewClipsItsChildrenAndSiblings) {
    ViewWindow w(64, 48);   // created WS_CHILD | WS_VISIBLE only
    ASSERT_NE(w.view(), nullptr);
    const LONG_PTR style = GetWindowLongPtrA(w.view(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS), LONG_PTR(WS_CLIPCHILDREN | WS_CLIPSIBLINGS));
    EXPECT_TRUE(style & WS_CHILD);
}

TEST(PresentationPath, PresentingLeavesTheViewsContextCurrent) {
    ViewWindow a(64, 48), b(32, 32);
    ASSERT_NE(a.view(), nullptr);
    ASSERT_NE(b.view(), nullptr);
    ASSERT_EQ(QI_ResizeGLWindow(a.view()), 1);
    HGLRC aContext = wglGetCurrentContext();
    ASSERT_EQ(QI_UpdateGLWindow(b.view()), 1);
    EXPECT_EQ(wglGetCurrentDC(), QI_GetGLDC(b.view()));
    EXPECT_NE(wglGetCurrentContext(), aContext);
    ASSERT_EQ(QI_UpdateGLWindow(a.view()), 1);
    EXPECT_EQ(wglGetCurrentContext(), aContext);
}

TEST(PresentationPath, ACallersScissorIsLeftAsSet) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    for (bool enabled : {false, true}) {
        glScissor(3, 4, 5, 6);
        enabled ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
        SetWindowPos(w.view(), nullptr, 0, 0, enabled ? 100 : 50, 70, SWP_NOZORDER | SWP_NOMOVE);
        ASSERT_EQ(QI_ResizeGLWindow(w.view()), 1);
        ASSERT_EQ(QI_UpdateGLWindow(w.view()), 1);
        GLint box[4] = {};
        glGetIntegerv(GL_SCISSOR_BOX, box);
        EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), enabled ? GL_TRUE : GL_FALSE);
        EXPECT_EQ(box[0], 3);
        EXPECT_EQ(box[1], 4);
        EXPECT_EQ(box[2], 5);
        EXPECT_EQ(box[3], 6);
    }
    glDisable(GL_SCISSOR_TEST);
}

// What a caller may do with the view's device context: make the view's
// context current through it, and what it then draws is the next frame.
TEST(PresentationPath, TheGLDCCarriesTheViewsContextAndFrames) {
    ViewWindow w(64, 48), other(32, 32);
    ASSERT_NE(w.view(), nullptr);
    ASSERT_NE(other.view(), nullptr);
    HDC dc = QI_GetGLDC(w.view());
    ASSERT_EQ(QI_ResizeGLWindow(w.view()), 1);
    HGLRC context = wglGetCurrentContext();
    ASSERT_EQ(QI_ResizeGLWindow(other.view()), 1);
    orvane_test::PumpMessages();   // both windows shown
    ASSERT_TRUE(wglMakeCurrent(dc, context));
    glViewport(0, 0, 64, 48);
    PresentColour(w.view(), 1.0f, 0.0f, 0.0f);
    if (!path::NativeExpected()) {
        orvane_test::PumpMessages();
        EXPECT_EQ(OnScreen(w.view(), 50, 40), RGB(255, 0, 0));   // beside the other view
    }
}

// An owner that draws a frame on the view's WM_PAINT, as the contract asks.
LRESULT CALLBACK DrawingOwner(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PAINT) {
        ++gOwnerFrames;
        QI_ResizeGLWindow(h);
        PresentColour(h, 0.0f, 1.0f, 0.0f);
    }
    return CallWindowProcA(gOldViewProc, h, m, wp, lp);
}

// A covered view comes back with its last frame where the library keeps one
// (the surface); where frames are swapped in the view, the owner draws one
// on the view's WM_PAINT. Either way the view ends up validated and showing
// the frame.
TEST(PresentationPath, ACoveredViewGetsItsFrameBack) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    gOwnerFrames = 0;
    gOldViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DrawingOwner)));
    PresentColour(w.view(), 0.0f, 1.0f, 0.0f);
    HWND cover = CreateWindowExA(WS_EX_TOPMOST, "STATIC", nullptr, WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0, 64,
                                 48, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(cover, nullptr);
    UpdateWindow(cover);
    DestroyWindow(cover);
    orvane_test::PumpMessages();
    EXPECT_FALSE(GetUpdateRect(w.view(), nullptr, FALSE));
    EXPECT_GE(gOwnerFrames, 1);
    if (!path::NativeExpected()) {
        EXPECT_EQ(OnScreen(w.view(), 10, 10), RGB(0, 255, 0));
    }
    SetWindowLongPtrA(w.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOldViewProc));
}

TEST(PresentationPath, SwapsNeverWaitForTheDisplay) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    if (!path::NativeExpected()) GTEST_SKIP() << "a hidden surface is never swapped onto the screen";
    using GetInterval = int(WINAPI*)();
    auto get = reinterpret_cast<GetInterval>(reinterpret_cast<void*>(wglGetProcAddress("wglGetSwapIntervalEXT")));
    if (!get) GTEST_SKIP() << "the driver has no swap control";
    EXPECT_EQ(get(), 0);
}

TEST(ViewClass, RegistersOnceAsGlobalOwnDCClassOfTheLibrary) {
    ASSERT_NE(RegisterOrvaneClass(), 0);
    EXPECT_NE(RegisterOrvaneClass(), 0);   // a second call is harmless
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    ASSERT_NE(GetClassInfoExA(qInstance(), "QOPENGLCTRL", &wc), 0);
    EXPECT_EQ(wc.style & (CS_OWNDC | CS_GLOBALCLASS), UINT(CS_OWNDC | CS_GLOBALCLASS));
    EXPECT_EQ(wc.hbrBackground, nullptr);
}

TEST(ViewClass, VersionIsAnOwnedBstr) {
    BSTR version = QI_Version();
    ASSERT_NE(version, nullptr);
    EXPECT_STREQ(version, L"" ORVANE_VERSION_TEXT);   // the project's version
    EXPECT_EQ(SysStringLen(version), sizeof ORVANE_VERSION_TEXT - 1);
    SysFreeString(version);
}

TEST(ViewClass, LoadDllRegistersTheTrackbar) {
    EXPECT_NE(QI_LoadDLL(nullptr), 0);
    HWND bar = CreateWindowExA(0, "MSCTLS_TRACKBAR32", nullptr, WS_POPUP, 0, 0, 100, 20, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(bar, nullptr);
    DestroyWindow(bar);
}

TEST(View, CreationLeavesItsContextCurrentAndDestructionReleasesIt) {
    HGLRC context = nullptr;
    {
        ViewWindow w(64, 48);
        ASSERT_NE(w.view(), nullptr);
        context = wglGetCurrentContext();
        ASSERT_NE(context, nullptr);
        HDC dc = QI_GetGLDC(w.view());
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(wglGetCurrentDC(), dc);
        PIXELFORMATDESCRIPTOR pfd{};
        ASSERT_NE(DescribePixelFormat(dc, GetPixelFormat(dc), sizeof(pfd), &pfd), 0);
        EXPECT_TRUE(pfd.dwFlags & PFD_DOUBLEBUFFER);
        EXPECT_EQ(pfd.iPixelType, PFD_TYPE_RGBA);
        EXPECT_GT(pfd.cDepthBits, 0);
        EXPECT_NE(glGetString(GL_VERSION), nullptr);
    }
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(QI_GetGLDC(nullptr), nullptr);
}

TEST(View, ErasesNoBackgroundAndValidatesOnPaint) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    HDC dc = QI_GetGLDC(w.view());
    EXPECT_NE(SendMessageA(w.view(), WM_ERASEBKGND, WPARAM(dc), 0), 0);
    InvalidateRect(w.view(), nullptr, TRUE);
    ASSERT_TRUE(GetUpdateRect(w.view(), nullptr, FALSE));
    SendMessageA(w.view(), WM_PAINT, 0, 0);
    EXPECT_FALSE(GetUpdateRect(w.view(), nullptr, FALSE));
}

LRESULT CALLBACK PassingSubclass(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    return CallWindowProcA(gOldViewProc, h, m, wp, lp);
}

TEST(View, SubclassedViewStillReachesItsOwnProcedure) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    gOldViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PassingSubclass)));
    ASSERT_NE(gOldViewProc, nullptr);
    EXPECT_NE(SendMessageA(w.view(), WM_ERASEBKGND, 0, 0), 0);
    EXPECT_EQ(QI_SetGLzoom(w.view(), 30), 1);
    EXPECT_EQ(QI_GetGLzoom(w.view()), 30);
}

LRESULT CALLBACK HostileParentProc(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_PARENTNOTIFY && LOWORD(wp) == WM_CREATE) DestroyWindow(reinterpret_cast<HWND>(lp));
    return DefWindowProcA(h, m, wp, lp);
}

// A parent may destroy a new view before its creation returns (here from
// WM_PARENTNOTIFY): creation then fails cleanly and the record is freed once.
TEST(View, CreationUndoneByTheParentFailsCleanly) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostileParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "OrvaneHostileParent";
    RegisterClassA(&wc);
    ASSERT_NE(RegisterOrvaneClass(), 0);
    HWND parent = CreateWindowExA(0, "OrvaneHostileParent", nullptr, WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    for (int i = 0; i < 3; ++i) {
        HWND view = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 32, 32, parent,
                                    nullptr, wc.hInstance, nullptr);
        EXPECT_EQ(view, nullptr);
        EXPECT_EQ(QI_GetGLDC(view), nullptr);
    }
    DestroyWindow(parent);
}

TEST(View, DrawsOverItsWholeClientAreaAfterGrowing) {
    ViewWindow w(64, 48);
    ASSERT_NE(w.view(), nullptr);
    // 64-bit Wine 8 keeps a child window's GL drawable at its first size
    // whatever is made current (32-bit Wine and Windows resize it).
    if (sizeof(void*) == 8 && path::UnderWine() && path::DrawsInItself(w.view(), QI_GetGLDC(w.view())))
        GTEST_SKIP() << "64-bit Wine does not resize a child window's OpenGL drawable";
    // Larger than the screen too: a surface made for the screen is outgrown.
    for (SIZE size : {SIZE{300, 200}, SIZE{40, 30}, SIZE{1300, 1000}, SIZE{256, 256}}) {
        SetWindowPos(w.host(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        SetWindowPos(w.view(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOMOVE);
        ASSERT_EQ(QI_ResizeGLWindow(w.view()), 1);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        unsigned char corner[4] = {};
        glReadPixels(size.cx - 1, size.cy - 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, corner);
        EXPECT_EQ(corner[1], 255) << size.cx << " x " << size.cy;
        EXPECT_EQ(corner[0], 0) << size.cx << " x " << size.cy;
        EXPECT_EQ(QI_UpdateGLWindow(w.view()), 1);
    }
}

TEST(Zoom, StartsAt51AndIsKeptPerView) {
    ViewWindow a(32, 32), b(32, 32);
    ASSERT_NE(a.view(), nullptr);
    ASSERT_NE(b.view(), nullptr);
    EXPECT_EQ(QI_GetGLzoom(a.view()), 51);   // as the trackbar's start position gives
    EXPECT_EQ(QI_SetGLzoom(a.view(), 10), 1);
    EXPECT_EQ(QI_SetGLzoom(b.view(), 99), 1);
    EXPECT_EQ(QI_GetGLzoom(a.view()), 10);
    EXPECT_EQ(QI_GetGLzoom(b.view()), 99);
    EXPECT_EQ(QI_SetGLzoom(nullptr, 5), 0);
    EXPECT_EQ(QI_GetGLzoom(nullptr), 0);
    EXPECT_EQ(QI_SetGLzoom(a.host(), 5), 0);
    EXPECT_EQ(QI_UpdateGLWindow(a.view()), 1);
    EXPECT_EQ(QI_UpdateGLWindow(a.host()), 0);   // only views present frames
    // A view is its own thread's: on another thread it is no view.
    int32_t elsewhere = -1;
    std::thread([&] { elsewhere = QI_GetGLzoom(a.view()); }).join();
    EXPECT_EQ(elsewhere, 0);
}

void ExpectProjection(int zoom, int width, int height) {
    SCOPED_TRACE(testing::Message() << "zoom " << zoom << ", " << width << " x " << height);
    float m[16];
    glGetFloatv(GL_PROJECTION_MATRIX, m);
    for (float v : m) ASSERT_TRUE(std::isfinite(v));
    const int fov = zoom < 1 ? 1 : zoom > 179 ? 179 : zoom;
    const double f = 1.0 / std::tan(fov * 3.14159265358979 / 360.0);
    const double aspect = width > 0 && height > 0 ? double(width) / height : 1.0;
    EXPECT_NEAR(m[5], f, 1e-4 * f);
    EXPECT_NEAR(m[0], f / aspect, 1e-4 * f / aspect);
    EXPECT_FLOAT_EQ(m[11], -1.0f);
    EXPECT_FLOAT_EQ(m[15], 0.0f);
    // Depth range: the backdrop at 80 units and points far beyond it fall
    // between the clip planes; a point behind the eye does not.
    for (double z : {-1.0, -2.0, -80.0, -500.0}) {
        const double clipZ = m[10] * z + m[14], clipW = m[11] * z;
        EXPECT_GT(clipW, 0.0) << z;
        EXPECT_LT(std::fabs(clipZ / clipW), 1.0) << z;
    }
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], width);
    EXPECT_EQ(viewport[3], height);
}

TEST(Projection, FollowsZoomAndClientSize) {
    struct Case {
        int zoom, width, height;
    };
    const Case cases[] = {
        {51, 512, 512}, {50, 512, 512}, {1, 512, 512}, {100, 512, 512}, {30, 640, 200},
        {90, 100, 400},
        // Zooms no perspective can take, and empty client areas.
        {0, 300, 200}, {-20, 300, 200}, {180, 300, 200}, {100000, 300, 200},
        {51, 0, 0}, {51, 300, 0}, {51, 0, 300},
    };
    ViewWindow w(512, 512);
    ASSERT_NE(w.view(), nullptr);
    for (const Case& c : cases) {
        SetWindowPos(w.view(), nullptr, 0, 0, c.width, c.height, SWP_NOZORDER | SWP_NOMOVE);
        RECT client;
        GetClientRect(w.view(), &client);
        ASSERT_EQ(client.right, c.width);
        ASSERT_EQ(client.bottom, c.height);
        QI_SetGLzoom(w.view(), c.zoom);
        ASSERT_EQ(QI_ResizeGLWindow(w.view()), 1);
        ExpectProjection(c.zoom, c.width, c.height);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_EQ(QI_GetGLzoom(w.view()), c.zoom);   // kept as given, only the projection is held
    }
}

TEST(Projection, LeavesTheModelviewCurrentAndUnchanged) {
    ViewWindow w(200, 100);
    ASSERT_NE(w.view(), nullptr);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, 2.0f, -3.0f);
    glRotatef(30.0f, 0.0f, 1.0f, 0.0f);
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    glMatrixMode(GL_TEXTURE);   // even when the caller left another mode selected
    ASSERT_EQ(QI_ResizeGLWindow(w.view()), 1);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(before[i], after[i]) << i;
    EXPECT_EQ(QI_ResizeGLWindow(nullptr), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Projection, AddressesTheGivenViewsContext) {
    ViewWindow a(100, 100), b(300, 150);   // b's context is current after creation
    ASSERT_NE(a.view(), nullptr);
    ASSERT_NE(b.view(), nullptr);
    ASSERT_EQ(QI_ResizeGLWindow(a.view()), 1);
    EXPECT_EQ(wglGetCurrentDC(), QI_GetGLDC(a.view()));
    ExpectProjection(51, 100, 100);
}


// Keyboard users and screen readers.
TEST(Keyboard, TheViewAsksForArrowsAndCharactersAndLeavesTabToTheHost) {
    ViewWindow w(32, 32);
    ASSERT_NE(w.view(), nullptr);
    EXPECT_EQ(SendMessageA(w.view(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
}

// The colour of a client pixel of the last frame shown, read from the back
// buffer: copied from on the surface path, and kept by the software renderer
// after a swap on the native one.
COLORREF FramePixel(HWND view, int x, int y) {
    RECT client;
    GetClientRect(view, &client);
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, client.bottom - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return RGB(rgba[0], rgba[1], rgba[2]);
}

LRESULT gUiState = 0;   // the view's UI state, as a test sets it (Wine keeps none)

LRESULT CALLBACK UiStateSubclass(HWND h, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_QUERYUISTATE) return gUiState;
    return CallWindowProcA(gOldViewProc, h, m, wp, lp);
}

// A dotted ring one pixel inside the view, drawn only while the view has the
// focus and keyboard cues are shown; when it comes, the owner is asked for a
// frame.
TEST(Keyboard, TheFocusCueShowsOnlyWithFocusAndKeyboardCues) {
    ViewWindow w(40, 30);
    ASSERT_NE(w.view(), nullptr);
    gOldViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(w.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(UiStateSubclass)));
    const struct {
        bool focus;
        LRESULT state;
        bool cue;
    } cases[] = {{true, 0, true}, {true, UISF_HIDEFOCUS, false}, {false, 0, false}};
    for (const auto& c : cases) {
        // From no cue: the focus elsewhere.
        SetFocus(w.host());
        ValidateRect(w.view(), nullptr);
        gUiState = c.state;
        SendMessageA(w.view(), WM_UPDATEUISTATE, MAKEWPARAM(c.state ? UIS_SET : UIS_CLEAR, UISF_HIDEFOCUS), 0);
        if (c.focus) SetFocus(w.view());
        EXPECT_EQ(GetUpdateRect(w.view(), nullptr, FALSE) != FALSE, c.cue) << c.focus << c.state;
        QI_ResizeGLWindow(w.view());
        PresentColour(w.view(), 0.0f, 1.0f, 0.0f);
        const COLORREF green = RGB(0, 255, 0);
        EXPECT_EQ(FramePixel(w.view(), 0, 15), green);   // the edge itself stays
        EXPECT_EQ(FramePixel(w.view(), 2, 15), green);
        const COLORREF dots[] = {FramePixel(w.view(), 1, 15), FramePixel(w.view(), 1, 16)};
        if (c.cue) {
            EXPECT_EQ(dots[0] ^ dots[1], RGB(255, 255, 255)) << "black and white in turn";
            EXPECT_TRUE(dots[0] == RGB(0, 0, 0) || dots[0] == RGB(255, 255, 255));
        } else {
            EXPECT_EQ(dots[0], green) << c.focus << c.state;
        }
    }
    SetWindowLongPtrA(w.view(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gOldViewProc));
}

// What a screen reader reads for the view, through the system's accessibility
// interface: its window text.
TEST(Keyboard, TheWindowTextIsTheAccessibleName) {
    ViewWindow w(32, 32);
    ASSERT_NE(w.view(), nullptr);
    ASSERT_TRUE(SetWindowTextA(w.view(), "3D view"));
    CoInitialize(nullptr);
    IAccessible* accessible = nullptr;
    const auto client = [&](HWND window) {
        return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible));
    };
    if (client(w.host()) != S_OK) {
        CoUninitialize();
        // 64-bit Wine answers so for every window, not only a view.
        GTEST_SKIP() << "the system's accessibility layer gives no object for a plain window here";
    }
    accessible->Release();
    accessible = nullptr;
    ASSERT_EQ(client(w.view()), S_OK);
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    EXPECT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_STREQ(name ? name : L"", L"3D view");
    SysFreeString(name);
    accessible->Release();
    CoUninitialize();
}

}  // namespace
