#include "render.h"

#include <windows.h>
#include <GL/gl.h>

#include <initializer_list>
#include <string_view>

#include "dpi.h"
#include "format.h"
#include "md2ex.h"
#include "orvane.h"
#include "scene_state.h"
#include "fixed_text.h"
#include "trace.h"

namespace {

constexpr std::int32_t BackgroundZoom = 50;
constexpr GLfloat ModelScale = 0.025f;

bool gFirstFrame = true;   // the first frame ends the traced start

// Draws one overlay line, its parts joined in the 64-byte line buffer and
// cut to 63 characters.
void DrawLine(std::int32_t x, std::int32_t y, std::initializer_list<std::string_view> parts) {
    memory::Text<64> line;
    for (const std::string_view part : parts) line.Append(part);
    QI_DrawGLText(Scene.GLView, &Scene.OverlayFont, x, y, line.c_str(), Scene.OverlayColor);
}

// Line k (0-based) stands k font heights below the first, which is at y 10
// (96-DPI units) at dpi.
std::int32_t LineY(int k, int dpi) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(k) * Scene.OverlayFont.FontHeight +
                                     win32::dpi::Scale(10, dpi));
}

}  // namespace

void SetZoom(std::int32_t zoom) {
    QI_SetGLzoom(Scene.GLView, zoom);
    QI_ResizeGLWindow(Scene.GLView);
}

void DrawBackground() {
    if (!Scene.TextureTable.Dimensioned()) return;
    glBindTexture(GL_TEXTURE_2D, Scene.TextureTable[0].GLTexture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-80.0f, -40.0f, -80.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(80.0f, -40.0f, -80.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(80.0f, 40.0f, -80.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-80.0f, 40.0f, -80.0f);
    glEnd();
}

void RenderFrame() {
    // The first frame ends the traced start.
    orvane_trace::Step step("app", gFirstFrame ? "first frame" : nullptr);
    gFirstFrame = false;
    const std::int32_t zoom = QI_GetGLzoom(Scene.GLView);
    // The background is always seen through the same zoom.
    SetZoom(BackgroundZoom);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();
    SetZoom(zoom);

    glTranslatef(Scene.PosX, Scene.PosY, Scene.PosZ);
    glRotatef(Scene.TiltAngle, 1.0f, 0.0f, 0.0f);
    glRotatef(Scene.SpinAngle, 0.0f, 1.0f, 0.0f);
    glPushMatrix();
    glScalef(ModelScale, ModelScale, ModelScale);
    // Model n belongs to table entry n; entry 0 (the background) has none.
    for (int n = 1; n <= Scene.TextureTable.HighIndex(); ++n) MD2_Draw(n, Scene.AnimFrame);
    glPopMatrix();
    const double unit = Scene.OffsetUnit;
    glTranslatef(static_cast<GLfloat>(2.0 * unit), 0.0f, 0.0f);
    glTranslatef(static_cast<GLfloat>(-2.0 * unit), 0.0f, static_cast<GLfloat>(2.0 * unit + 0.5));

    if (Scene.OverlayColor == 0) Scene.OverlayColor = QD_ColorARGB(255, RGB(247, 225, 125));
    // The overlay's places are 96-DPI units at the main window's DPI, asked once a frame.
    const int dpi = win32::dpi::OfWindow(Scene.MainWindow);
    const auto px = [dpi](int value) { return win32::dpi::Scale(value, dpi); };
    DrawLine(px(9), LineY(0, dpi), {"Horizontal ", FormatMasked(Scene.PosX, "##.##")});
    DrawLine(px(25), LineY(1, dpi), {"Vertical ", FormatMasked(12.0 + Scene.PosY, "##.##")});
    DrawLine(px(39), LineY(2, dpi), {"Zoom", NumberText(100 - static_cast<std::int64_t>(zoom))});
    DrawLine(px(33), LineY(3, dpi),
             {"Frame ", FormatMasked(Scene.AnimFrame, "##"), " /", NumberText(Scene.FrameCount)});

    QI_UpdateGLWindow(Scene.GLView);
}
