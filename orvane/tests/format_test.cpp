// Views made with a format request: what each gets, that each draws, the
// stepping down, and the edges of a multisampled view.
#include <windows.h>
#include <GL/gl.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "debug_output.h"
#include "format.h"
#include "orvane.h"
#include "presentation_path.h"
#include "test_window.h"

namespace {

using orvane_test::ViewWindow;
namespace path = presentation_path;

constexpr uint32_t kCore = ORVANE_FORMAT_CORE_PROFILE, kDebug = ORVANE_FORMAT_DEBUG,
                   kFallback = ORVANE_FORMAT_ALLOW_FALLBACK, kSrgb = ORVANE_FORMAT_SRGB;

OrvaneViewFormat Request(int samples, int major = 0, int minor = 0, uint32_t flags = 0, int swap = 0) {
    OrvaneViewFormat f{};
    f.Size = sizeof f;
    f.Samples = samples;
    f.SwapInterval = swap;
    f.MajorVersion = major;
    f.MinorVersion = minor;
    f.Flags = flags;
    return f;
}

OrvaneViewFormat Got(HWND view) {
    OrvaneViewFormat got{};
    got.Size = sizeof got;
    EXPECT_EQ(QI_GetViewFormat(view, &got), 1);
    return got;
}

// The view's client point as the screen shows it where frames are copied
// onto the view, or as its back buffer has it where they are swapped into
// it (under Wine a child window's own OpenGL never reaches the screen).
struct Reader {
    HWND view;
    HDC screen = GetDC(nullptr);
    explicit Reader(HWND v) : view(v) {
        glFinish();
        orvane_test::PumpMessages();
    }
    ~Reader() { ReleaseDC(nullptr, screen); }
    int Green(int x, int y) const {
        if (path::NativeExpected()) {
            unsigned char rgba[4] = {};
            RECT client;
            GetClientRect(view, &client);
            glReadPixels(x, client.bottom - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
            return rgba[1];
        }
        POINT p{x, y};
        ClientToScreen(view, &p);
        return GetGValue(GetPixel(screen, p.x, p.y));
    }
};

// Clears the view to green and shows it; true when it reads green.
bool Draws(HWND view) {
    orvane_test::PumpMessages();
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    if (path::NativeExpected()) return Reader(view).Green(20, 20) == 255 && QI_UpdateGLWindow(view) == 1;
    return QI_UpdateGLWindow(view) == 1 && Reader(view).Green(20, 20) == 255;
}

struct Case {
    const char* name;
    OrvaneViewFormat request;
    int samples;            // what the view must get
    uint32_t flags;         // flags it must have (others may be there too, such as core on a debug context)
    int minVersion;         // major * 10 + minor, at least
};

// Mesa's software renderer under Wine: up to 4 samples, sRGB, 3.3 core and
// debug contexts (it reports 4.5 for a 3.3 core request).
TEST(ViewFormat, EachRequestGetsWhatTheDriverHasAndDraws) {
    const Case cases[] = {
        {"none", Request(0), 0, 0, 11},
        {"4 samples", Request(4), 4, 0, 11},
        {"16 samples halve to 4", Request(16), 4, 0, 11},
        {"sRGB", Request(0, 0, 0, kSrgb), 0, kSrgb, 11},
        {"3.3 core", Request(0, 3, 3, kCore), 0, kCore, 33},
        {"3.3 core debug", Request(0, 3, 3, kCore | kDebug), 0, kCore | kDebug, 33},
        {"9.9 falling back", Request(0, 9, 9, kFallback), 0, 0, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ViewWindow w(64, 48, &c.request);
        ASSERT_NE(w.view(), nullptr);
        const OrvaneViewFormat got = Got(w.view());
        printf("%-22s got %d samples, swap %d, depth %d, stencil %d, OpenGL %d.%d, flags 0x%x\n", c.name,
               int(got.Samples), int(got.SwapInterval), int(got.DepthBits), int(got.StencilBits),
               int(got.MajorVersion), int(got.MinorVersion), unsigned(got.Flags));
        EXPECT_EQ(got.Size, sizeof got);
        EXPECT_EQ(got.Samples, c.samples);
        EXPECT_EQ(got.Flags & c.flags, c.flags);
        EXPECT_GE(got.MajorVersion * 10 + got.MinorVersion, c.minVersion);
        EXPECT_EQ(got.DepthBits, 24);
        EXPECT_EQ(got.SwapInterval, 0);
        EXPECT_TRUE(Draws(w.view()));
    }
}

TEST(ViewFormat, ANullRequestAndAnEmptyOneGiveTheSameDefaultView) {
    const OrvaneViewFormat empty = Request(0);
    ViewWindow a(32, 32), b(32, 32, &empty);
    ASSERT_NE(b.view(), nullptr);
    const OrvaneViewFormat x = Got(a.view()), y = Got(b.view());
    EXPECT_EQ(memcmp(&x, &y, sizeof x), 0);
    EXPECT_EQ(x.Flags & (kCore | kDebug | kSrgb), 0u);
    EXPECT_EQ(x.StencilBits, 0);
}

TEST(ViewFormat, RefusalsSayWhy) {
    DebugOutput output;
    ASSERT_TRUE(output.Ready());
    OrvaneViewFormat small = Request(0);
    small.Size = 4;
    const OrvaneViewFormat impossible = Request(0, 9, 9);
    for (const OrvaneViewFormat* request : {static_cast<const OrvaneViewFormat*>(&small), &impossible}) {
        ViewWindow w(32, 32, request);
        EXPECT_EQ(w.view(), nullptr);
    }
    EXPECT_EQ(output.LinesStartingWith("orvane: no OpenGL context: view ").size(), 2u);
    OrvaneViewFormat tooSmall{};
    tooSmall.Size = 8;
    ViewWindow w(32, 32);
    EXPECT_EQ(QI_GetViewFormat(w.view(), &tooSmall), 0);
    EXPECT_EQ(QI_GetViewFormat(nullptr, &tooSmall), 0);
}

TEST(ViewFormat, ADebugContextsMessagesReachTheDebugOutput) {
    DebugOutput output;
    ASSERT_TRUE(output.Ready());
    const OrvaneViewFormat request = Request(0, 3, 3, kCore | kDebug);
    ViewWindow w(32, 32, &request);
    ASSERT_NE(w.view(), nullptr);
    glEnable(0x1234);   // no such capability: an error the debug context reports
    glGetError();
    EXPECT_FALSE(output.LinesStartingWith("orvane: gl debug: view ").empty());
}

TEST(ViewFormat, TheSwapIntervalHoldsWhereFramesAreSwapped) {
    const OrvaneViewFormat request = Request(0, 0, 0, 0, 1);
    ViewWindow w(32, 32, &request);
    ASSERT_NE(w.view(), nullptr);
    EXPECT_EQ(Got(w.view()).SwapInterval, path::NativeExpected() ? 1 : 0);
}

// Without WGL's extensions (the system's software renderer has none): a
// format request steps down to the default view, a context request fails
// unless falling back is allowed.
TEST(ViewFormat, WithoutTheDriversExtensions) {
    orvane::HideWglExtensionsForTest(true);
    const OrvaneViewFormat samples = Request(4, 0, 0, kSrgb), core = Request(0, 3, 3, kCore),
                           fallback = Request(0, 3, 3, kCore | kFallback);
    {
        ViewWindow a(32, 32, &samples), b(32, 32, &core), c(32, 32, &fallback);
        ASSERT_NE(a.view(), nullptr);
        EXPECT_EQ(Got(a.view()).Samples, 0);
        EXPECT_EQ(Got(a.view()).Flags & kSrgb, 0u);
        EXPECT_EQ(b.view(), nullptr);
        ASSERT_NE(c.view(), nullptr);
        EXPECT_EQ(Got(c.view()).Flags & kCore, 0u);
    }
    orvane::HideWglExtensionsForTest(false);
}

// A white triangle, tilted, on black: how many pixels of a row across its
// edge are neither black nor white.
int GreyPixelsOnAnEdge(const OrvaneViewFormat* request) {
    ViewWindow w(96, 96, request);
    if (!w.view()) return -1;
    orvane_test::PumpMessages();
    glViewport(0, 0, 96, 96);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    glBegin(GL_TRIANGLES);
    glVertex2f(-0.9f, -0.9f);
    glVertex2f(0.9f, -0.6f);
    glVertex2f(-0.7f, 0.9f);
    glEnd();
    if (QI_UpdateGLWindow(w.view()) != 1) return -1;
    const Reader reader(w.view());
    int grey = 0, white = 0;
    for (int y = 10; y < 86; y += 4)
        for (int x = 0; x < 96; ++x) {
            const int g = reader.Green(x, y);
            if (g > 16 && g < 240) ++grey;
            if (g >= 240) ++white;
        }
    return white > 500 ? grey : -1;   // -1: no triangle to be seen
}

// What the copy onto the view shows; where frames are swapped into the view,
// Wine never shows them, and the driver's own reading of a multisampled back
// buffer does not resolve it (the table above checks the samples there).
TEST(ViewFormat, AMultisampledViewsEdgesAreSmooth) {
    if (path::NativeExpected()) GTEST_SKIP() << "the view's own frames are not on the screen";
    const OrvaneViewFormat four = Request(4);
    const int plain = GreyPixelsOnAnEdge(nullptr), smooth = GreyPixelsOnAnEdge(&four);
    EXPECT_EQ(plain, 0);
    EXPECT_GE(smooth, 19);   // at least one on each of the 19 rows, which all cross two edges
    printf("grey pixels on the rows read: %d without samples, %d with 4\n", plain, smooth);
}

}  // namespace
