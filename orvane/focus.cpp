// The view's focus cue: a dotted ring one pixel inside its client area,
// drawn into the frame itself just before the frame is shown, so that it
// reaches the screen on both presentation paths without flicker and a
// repaint from a kept frame shows it too.
#include "focus.h"

#include "opengl.h"

namespace orvane {

bool ShowsFocusCue(HWND window) {
    if (!window || GetFocus() != window) return false;
    return (SendMessageA(window, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

void DrawFocusCue(const View& view) {
    // Drawn with the fixed-function pipeline, which a core or forward-
    // compatible context lacks: such a view's host draws its own cue.
    if (view.got.Flags & (ORVANE_FORMAT_CORE_PROFILE | ORVANE_FORMAT_FORWARD_COMPATIBLE)) return;
    if (!ShowsFocusCue(view.window)) return;
    RECT client{};
    GetClientRect(view.window, &client);
    // The user's focus border width (wider at larger display scales where the
    // system says so), at least one pixel; each pixel of it one ring.
    UINT rings = 1;
    SystemParametersInfoA(SPI_GETFOCUSBORDERWIDTH, 0, &rings, 0);
    rings = rings < 1 ? 1 : rings > 8 ? 8 : rings;
    const int width = client.right, height = client.bottom;
    if (width < 2 * int(rings) + 3 || height < 2 * int(rings) + 3) return;

    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, width, height);
    for (GLenum off : {GL_DEPTH_TEST, GL_LIGHTING, GL_TEXTURE_2D, GL_BLEND, GL_FOG, GL_ALPHA_TEST, GL_SCISSOR_TEST,
                       GL_STENCIL_TEST, GL_COLOR_LOGIC_OP, GL_POINT_SMOOTH, GL_CLIP_PLANE0})
        glDisable(off);
    // Black and white dots in turn, one pixel each (as a dotted focus
    // rectangle): seen on any picture, and the same however often one frame
    // is shown.
    glBegin(GL_POINTS);
    const auto dot = [](int x, int y) {
        const GLfloat grey = (x + y) % 2 ? 1.0f : 0.0f;
        glColor4f(grey, grey, grey, 1.0f);
        glVertex2f(x + 0.5f, y + 0.5f);   // the pixel's centre
    };
    for (int ring = 1; ring <= int(rings); ++ring) {
        const int right = width - 1 - ring, top = height - 1 - ring;
        for (int x = ring; x <= right; ++x) {
            dot(x, ring);
            dot(x, top);
        }
        for (int y = ring + 1; y < top; ++y) {
            dot(ring, y);
            dot(right, y);
        }
    }
    glEnd();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();   // the matrix mode with the rest
}

void FollowFocusCue(View& view, bool leaving) {
    const bool shown = !leaving && ShowsFocusCue(view.window);
    if (shown == view.cueShown) return;
    view.cueShown = shown;
    InvalidateRect(view.window, nullptr, FALSE);
}

}  // namespace orvane
