// The view with the real libraries, the real artwork and OpenGL under Wine:
// each frame is read back as the view shows it and judged by its pixels.
#include <windows.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "md2ex.h"
#include "navigation.h"
#include "orvane.h"
#include "presentation_path.h"
#include "render.h"
#include "scene_state.h"
#include "setup.h"

namespace {

constexpr int Width = 400;
constexpr int Height = 300;
constexpr int Left = 100;  // the view's place on the desktop
constexpr int Top = 100;

struct Frame {
    std::vector<std::uint8_t> rgba;  // top row first
    const std::uint8_t* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * Width + x) * 4]; }
};

HWND Host = nullptr;

// What the view shows. Where frames are copied onto the view, the screen,
// read through GDI. Where the view's own context shows them (SwapBuffers),
// the back buffer just swapped: Wine never puts a child's OpenGL on the
// screen and its front buffer does not read back, while its back buffer
// still holds the frame after the swap.
Frame GrabBackBuffer() {
    Frame frame;
    frame.rgba.resize(static_cast<std::size_t>(Width) * Height * 4);
    std::vector<std::uint8_t> rows(frame.rgba.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
    const std::size_t stride = static_cast<std::size_t>(Width) * 4;
    for (int y = 0; y < Height; ++y)   // bottom row first to top row first
        std::memcpy(&frame.rgba[y * stride], &rows[(Height - 1 - y) * stride], stride);
    return frame;
}

Frame Grab() {
    glFinish();
    if (WindowFromDC(QI_GetGLDC(Scene.GLView)) == Scene.GLView) return GrabBackBuffer();
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(Scene.GLView);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, Width, Height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    Frame frame;
    frame.rgba.resize(static_cast<std::size_t>(Width) * Height * 4);
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    for (std::size_t i = 0; bits && i < frame.rgba.size(); i += 4) {
        frame.rgba[i] = bgra[i + 2];
        frame.rgba[i + 1] = bgra[i + 1];
        frame.rgba[i + 2] = bgra[i];
        frame.rgba[i + 3] = 255;
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(Scene.GLView, screen);
    return frame;
}

// With VIEW_TEST_DUMP set, every grabbed frame is kept as a PPM picture in
// the working folder for a person to look at.
void Dump(const Frame& frame) {
    static int serial = 0;
    if (!std::getenv("VIEW_TEST_DUMP")) return;
    char name[32];
    std::snprintf(name, sizeof name, "frame%02d.ppm", serial++);
    if (FILE* file = std::fopen(name, "wb")) {
        std::fprintf(file, "P6 %d %d 255\n", Width, Height);
        for (std::size_t i = 0; i < frame.rgba.size(); i += 4) std::fwrite(&frame.rgba[i], 1, 3, file);
        std::fclose(file);
    }
}

Frame Render() {
    RenderFrame();
    Frame frame = Grab();
    Dump(frame);
    return frame;
}

int Luma(const std::uint8_t* p) { return (299 * p[0] + 587 * p[1] + 114 * p[2]) / 1000; }

// Pixels where the model covers the background: the frame compared with the
// same frame whose model stands far outside the view.
struct Coverage {
    std::vector<bool> mask;
    int count = 0;
    double x = 0, y = 0;  // centroid
};

Coverage ModelPixels(const Frame& withModel, const Frame& background) {
    Coverage c;
    c.mask.resize(static_cast<std::size_t>(Width) * Height);
    for (int y = 60; y < Height; ++y)  // below the overlay lines
        for (int x = 0; x < Width; ++x) {
            const std::uint8_t* a = withModel.At(x, y);
            const std::uint8_t* b = background.At(x, y);
            if (std::abs(a[0] - b[0]) + std::abs(a[1] - b[1]) + std::abs(a[2] - b[2]) > 40) {
                c.mask[static_cast<std::size_t>(y) * Width + x] = true;
                ++c.count;
                c.x += x;
                c.y += y;
            }
        }
    if (c.count) c.x /= c.count, c.y /= c.count;
    return c;
}

double Correlation(const std::vector<double>& a, const std::vector<double>& b) {
    double ma = 0, mb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) ma += a[i], mb += b[i];
    ma /= a.size(), mb /= b.size();
    double ab = 0, aa = 0, bb = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) * (a[i] - ma);
        bb += (b[i] - mb) * (b[i] - mb);
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}

void Pump(int milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    MSG msg;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

// Pumps messages until the condition holds or five seconds pass: input goes
// through the X server, which a busy machine delays.
template <class Condition>
bool PumpUntil(Condition done) {
    for (int i = 0; i < 250 && !done(); ++i) Pump(20);
    return done();
}

// Pointer input as a user's mouse makes it. Under Wine it is made at the X
// server (xdotool), as the whole-program tests make it: input synthesized
// inside Wine never reaches the X server's button state, which the next X
// pointer event carries back and so would end a drag half-way. On Windows,
// SendInput. The caller waits for the input's effect.
enum class Pointer { Move, RightDown, RightUp };
void Send(Pointer what, int x = 0, int y = 0) {
    if (presentation_path::UnderWine()) {
        // The X root window is the Wine desktop: screen coordinates are the same.
        char command[96];
        if (what == Pointer::Move)
            std::snprintf(command, sizeof command, "/usr/bin/xdotool mousemove %d %d", x, y);
        else
            std::snprintf(command, sizeof command, "/usr/bin/xdotool %s 3",
                          what == Pointer::RightDown ? "mousedown" : "mouseup");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        // A Unix program started by Wine gives no handle to wait on.
        ASSERT_TRUE(
            CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            << command;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return;
    }
    INPUT input{};
    input.type = INPUT_MOUSE;
    if (what == Pointer::Move) {
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = (x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
        input.mi.dy = (y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    } else {
        input.mi.dwFlags = what == Pointer::RightDown ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP;
    }
    SendInput(1, &input, sizeof input);
}

bool PointerAt(int x, int y) {
    POINT at{};
    return GetCursorPos(&at) && at.x == x && at.y == y;
}

class RealView : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_NE(RegisterOrvaneClass(), 0);
        // A child view in a borderless host, as the program has it.
        WNDCLASSA host{};
        host.lpfnWndProc = DefWindowProcA;
        host.hInstance = GetModuleHandleA(nullptr);
        host.lpszClassName = "RealViewHost";
        RegisterClassA(&host);
        Host = CreateWindowExA(WS_EX_TOPMOST, "RealViewHost", "", WS_POPUP | WS_VISIBLE, Left, Top, Width, Height,
                               nullptr, nullptr, host.hInstance, nullptr);
        ASSERT_NE(Host, nullptr);
        Scene.GLView = CreateWindowExA(0, "QOPENGLCTRL", "", WS_CHILD | WS_VISIBLE, 0, 0, Width, Height, Host,
                                       reinterpret_cast<HMENU>(-1), GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(Scene.GLView, nullptr);
        Scene.OldViewProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(Scene.GLView, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ViewProc)));
        std::strcpy(Scene.OverlayFont.FontName, "Arial");
        Scene.OverlayFont.FontHeight = 10;
        Scene.OverlayFont.FontWeight = 700;
        PrepareScene();
        QI_BuildGLfont(QI_GetGLDC(Scene.GLView), &Scene.OverlayFont);
        SetZoom(51);
        Pump(200);
    }
    static void TearDownTestSuite() {
        MD2_Delete(1);
        QI_DestroyTexture(Scene.TextureTable.First(), Scene.TextureTable.Count());
        QI_DeleteGLFont(&Scene.OverlayFont);
        DestroyWindow(Host);
    }
    void SetUp() override { ResetScene(); }

    static Frame BackgroundOnly() {
        const float x = Scene.PosX;
        Scene.PosX = 1000.0f;
        Frame frame = Render();
        Scene.PosX = x;
        return frame;
    }
};

TEST_F(RealView, TheArtworkLoads) {
    EXPECT_NE(Scene.TextureTable[0].GLTexture, 0u);
    EXPECT_GT(Scene.TextureTable[0].Width, 0);
    EXPECT_NE(Scene.TextureTable[1].GLTexture, 0u);
    EXPECT_GT(Scene.FrameCount, 1);
    EXPECT_EQ(Scene.AnimFrame, 1.0f);
}

TEST_F(RealView, TheBackgroundStandsTheRightWayUp) {
    // The picture's own rows, bottom row first as the library delivers them.
    int32_t w = 0, h = 0;
    unsigned char* pixels = nullptr;
    ASSERT_NE(QI_CreateGLTextureFromFileEX(Scene.TextureTable[0].FileName, &w, &h, &pixels, 0), 0);
    const Frame frame = BackgroundOnly();
    // Frame row y shows picture height t (0 at the bottom edge): the quad is
    // 80 high, 80 away, seen with a vertical field of 50 degrees.
    const double half = 2.0 * std::tan(25.0 * 3.14159265358979 / 180.0);  // seen part of the quad's height
    // Rows are compared by how much bluer than green they are: sky against ground.
    auto tint = [](const std::uint8_t* p) { return p[2] - p[1]; };
    std::vector<double> shown, upright, flipped;
    for (int y = 0; y < Height; y += 4) {
        double sum = 0;
        for (int x = Width / 2; x < Width; ++x) sum += tint(frame.At(x, y));  // right of the overlay
        shown.push_back(sum);
        const double t = 0.5 + half * (0.5 - (y + 0.5) / Height);
        auto row = [&](double tt) {
            const int r = std::clamp(static_cast<int>(tt * h), 0, h - 1);
            double s = 0;
            for (int x = w / 2; x < w * 3 / 4; ++x) s += tint(&pixels[(static_cast<std::size_t>(r) * w + x) * 4]);
            return s;
        };
        upright.push_back(row(t));
        flipped.push_back(row(1.0 - t));
    }
    CoTaskMemFree(pixels);
    const double right = Correlation(shown, upright);
    EXPECT_GT(right, 0.8);
    EXPECT_LT(Correlation(shown, flipped), 0.0);
}

TEST_F(RealView, TheLitTexturedModelStandsNearTheMiddle) {
    const Frame background = BackgroundOnly();
    const Frame frame = Render();
    const Coverage model = ModelPixels(frame, background);
    EXPECT_GT(model.count, Width * Height / 50);
    EXPECT_NEAR(model.x, Width / 2.0, Width / 6.0);
    EXPECT_NEAR(model.y, Height / 2.0, Height / 4.0);
    // Lit and textured: bright enough, and many colours rather than one.
    std::set<int> colours;
    long luma = 0;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            if (model.mask[static_cast<std::size_t>(y) * Width + x]) {
                const std::uint8_t* p = frame.At(x, y);
                colours.insert((p[0] >> 5) << 6 | (p[1] >> 5) << 3 | (p[2] >> 5));
                luma += Luma(p);
            }
    EXPECT_GT(luma / std::max(model.count, 1), 40);
    EXPECT_GE(colours.size(), 8u);
}

TEST_F(RealView, TheOverlayLinesShowInTheirColourAtTheTopLeft) {
    const Frame frame = Render();
    auto overlayPixels = [&](int x0, int x1, int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const std::uint8_t* p = frame.At(x, y);
                n += std::abs(p[0] - 247) < 24 && std::abs(p[1] - 225) < 24 && std::abs(p[2] - 125) < 24;
            }
        return n;
    };
    const int fh = Scene.OverlayFont.FontHeight;
    for (int line = 0; line < 4; ++line)
        EXPECT_GT(overlayPixels(0, 160, 10 + line * fh, 10 + (line + 1) * fh), 20) << "line " << line + 1;
    EXPECT_LT(overlayPixels(Width - 160, Width, 10, 10 + 4 * fh), 5);
}

// A right drag from the view's centre by (dx, dy) pixels, through the
// system's input, each step waited for: the pointer there, the press seen by
// the view, the model at the place the move asks for, the release seen.
void RightDrag(int dx, int dy) {
    const int x = Left + Width / 2, y = Top + Height / 2;
    const float wantX = Scene.PosX + static_cast<float>(45.0 * dx / (12.0 * Width));
    Send(Pointer::Move, x, y);
    ASSERT_TRUE(PumpUntil([=] { return PointerAt(x, y); })) << "the pointer never reached the view's centre";
    Send(Pointer::RightDown);
    ASSERT_TRUE(PumpUntil([] { return Scene.RightDragging != 0; })) << "the view never saw the press";
    Send(Pointer::Move, x + dx, y + dy);
    const bool moved = PumpUntil([wantX] { return std::fabs(Scene.PosX - wantX) < 1e-3f; });
    Send(Pointer::RightUp);
    const bool released = PumpUntil([] { return Scene.RightDragging == 0; });
    EXPECT_TRUE(moved) << "the model never reached the place of the move: " << Scene.PosX << " for " << wantX;
    EXPECT_TRUE(released) << "the view never saw the release";
}

TEST_F(RealView, ARightDragMovesTheModelWithThePointer) {
    const Frame background = BackgroundOnly();
    const Coverage before = ModelPixels(Render(), background);
    RightDrag(60, 30);
    ASSERT_FALSE(HasFailure());
    EXPECT_GT(Scene.PosX, 0.0f);
    EXPECT_LT(Scene.PosY, -0.25f);
    const Coverage after = ModelPixels(Render(), background);
    EXPECT_GT(after.x - before.x, 25.0);
    EXPECT_GT(after.y - before.y, 10.0);
}

TEST_F(RealView, AFrameLeavesTheZoomAndItsProjectionAsTheyWere) {
    SetZoom(37);
    GLdouble expected[16], after[16];
    glGetDoublev(GL_PROJECTION_MATRIX, expected);
    RenderFrame();
    glGetDoublev(GL_PROJECTION_MATRIX, after);
    EXPECT_EQ(QI_GetGLzoom(Scene.GLView), 37);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(after[i], expected[i]) << i;
    SetZoom(51);
}

}  // namespace
