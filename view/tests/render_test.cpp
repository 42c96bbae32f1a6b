// A frame against the recording fakes: the exact call sequence, the overlay
// texts and the frame before the start-up has finished.
#include "render.h"

#include <gmock/gmock.h>

#include <climits>
#include <string>
#include <vector>

#include "format.h"
#include "fresh_scene.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

namespace {

const HWND View = reinterpret_cast<HWND>(0x1234);

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshScene();
        ResetScene();
        Scene.GLView = View;
        Scene.OverlayFont.FontHeight = 10;
        Scene.TextureTable.Dimension(2);
        Scene.TextureTable[0].GLTexture = 7;
        Scene.AnimFrame = 1.0f;
        Scene.FrameCount = 198;
    }
    static std::string Text(int x, int y, const std::string& line) {
        return "QI_DrawGLText(0x1234," + fake::Hex(&Scene.OverlayFont) + "," + std::to_string(x) + "," +
               std::to_string(y) + ",\"" + line + "\",0xfff7e17d)";
    }
    static std::vector<std::string> TextsDrawn() { return fake::Texts("QI_DrawGLText"); }
};

TEST_F(RenderTest, DrawsTheWholeFrameInOrder) {
    RenderFrame();
    EXPECT_THAT(fake::Texts(), ElementsAre(
        "QI_GetGLzoom(0x1234)", "QI_SetGLzoom(0x1234,50)", "QI_ResizeGLWindow(0x1234)",
        "glClear(0x4100)", "glLoadIdentity()",
        "glBindTexture(GL_TEXTURE_2D,7)", "glBegin(GL_QUADS)",
        "glTexCoord2f(0,0)", "glVertex3f(-80,-40,-80)", "glTexCoord2f(1,0)", "glVertex3f(80,-40,-80)",
        "glTexCoord2f(1,1)", "glVertex3f(80,40,-80)", "glTexCoord2f(0,1)", "glVertex3f(-80,40,-80)",
        "glEnd()",
        "QI_SetGLzoom(0x1234,51)", "QI_ResizeGLWindow(0x1234)",
        "glTranslatef(0,-0.25,-2)", "glRotatef(5,1,0,0)", "glRotatef(-30,0,1,0)",
        "glPushMatrix()", "glScalef(0.025,0.025,0.025)", "MD2_Draw(1,1)", "glPopMatrix()",
        "glTranslatef(4,0,0)", "glTranslatef(-4,0,4.5)",
        "QD_ColorARGB(255,0x7de1f7)",
        Text(9, 10, "Horizontal  0.00"), Text(25, 20, "Vertical 11.75"), Text(39, 30, "Zoom 49"),
        Text(33, 40, "Frame  1 / 198"),
        "QI_UpdateGLWindow(0x1234)"));
    EXPECT_EQ(Scene.OverlayColor, 0xFFF7E17Du);
}

TEST_F(RenderTest, TheColourIsComputedOnTheFirstFrameOnly) {
    RenderFrame();
    RenderFrame();
    RenderFrame();
    EXPECT_EQ(CountCalls("QD_ColorARGB"), 1u);
    EXPECT_EQ(CountCalls("QI_UpdateGLWindow"), 3u);
    EXPECT_EQ(TextsDrawn().back(), Text(33, 40, "Frame  1 / 198"));
}

TEST_F(RenderTest, TheZoomAfterAFrameIsTheZoomBeforeIt) {
    fake::Set().zoom[View] = 17;
    RenderFrame();
    EXPECT_EQ(fake::Set().zoom[View], 17);
    EXPECT_THAT(fake::Texts("QI_SetGLzoom"), ElementsAre("QI_SetGLzoom(0x1234,50)", "QI_SetGLzoom(0x1234,17)"));
}

TEST_F(RenderTest, ZoomLineShowsOneHundredMinusTheZoom) {
    const std::vector<std::pair<int, std::string>> cases = {
        {51, "Zoom 49"}, {100, "Zoom 0"}, {1, "Zoom 99"}, {105, "Zoom-5"},
        {INT_MIN, "Zoom 2147483748"}, {INT_MAX, "Zoom-2147483547"}};
    for (const auto& [zoom, line] : cases) {
        fake::Reset();
        fake::Set().zoom[View] = zoom;
        RenderFrame();
        EXPECT_EQ(TextsDrawn().at(2), Text(39, 30, line)) << zoom;
    }
}

TEST_F(RenderTest, OverlayLinesFollowTheValuesAndTheFontHeight) {
    Scene.PosX = -0.3f;
    Scene.PosY = 1.5f;
    Scene.AnimFrame = 123.75f;
    Scene.FrameCount = 40;
    Scene.OverlayFont.FontHeight = 16;
    RenderFrame();
    EXPECT_THAT(TextsDrawn(), ElementsAre(Text(9, 10, "Horizontal -0.30"), Text(25, 26, "Vertical 13.50"),
                                          Text(39, 42, "Zoom 49"), Text(33, 58, "Frame 124 / 40")));
}

TEST_F(RenderTest, TheVerticalLineAddsTwelveWithoutRoundingBackToFloat) {
    Scene.PosY = 0.005f;  // 12.00499999988..., but 12.0050001144 once rounded to float
    RenderFrame();
    EXPECT_EQ(TextsDrawn().at(1), Text(25, 20, "Vertical 12.00"));
    // The longest a value can make a line still fits the 63-character buffer.
    Scene.PosX = -3.4e38f;
    fake::Reset();
    RenderFrame();
    const std::string longest = "Horizontal " + std::string(FormatMasked(-3.4e38f, "##.##").view());
    EXPECT_EQ(TextsDrawn().at(0), Text(9, 10, longest));
}

TEST_F(RenderTest, WithOffsetUnitZeroTheMovesReduceToHalfAUnit) {
    Scene.OffsetUnit = 0.0f;
    RenderFrame();
    const auto moves = fake::Texts("glTranslatef");
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[1], "glTranslatef(0,0,0)");
    EXPECT_EQ(moves[2], "glTranslatef(-0,0,0.5)");
}

TEST_F(RenderTest, BeforeTheTableExistsNoBackgroundAndNoModelAreDrawn) {
    Scene = SceneState{};  // as at process start: no view, no font, no table
    RenderFrame();
    EXPECT_THAT(fake::Texts(), ElementsAre(
        "QI_GetGLzoom(0x0)", "QI_SetGLzoom(0x0,50)", "QI_ResizeGLWindow(0x0)", "glClear(0x4100)",
        "glLoadIdentity()", "QI_SetGLzoom(0x0,51)", "QI_ResizeGLWindow(0x0)", "glTranslatef(0,0,0)",
        "glRotatef(0,1,0,0)", "glRotatef(0,0,1,0)", "glPushMatrix()", "glScalef(0.025,0.025,0.025)",
        "glPopMatrix()", "glTranslatef(0,0,0)", "glTranslatef(-0,0,0.5)", "QD_ColorARGB(255,0x7de1f7)",
        "QI_DrawGLText(0x0," + fake::Hex(&Scene.OverlayFont) + ",9,10,\"Horizontal  0.00\",0xfff7e17d)",
        "QI_DrawGLText(0x0," + fake::Hex(&Scene.OverlayFont) + ",25,10,\"Vertical 12.00\",0xfff7e17d)",
        "QI_DrawGLText(0x0," + fake::Hex(&Scene.OverlayFont) + ",39,10,\"Zoom 49\",0xfff7e17d)",
        "QI_DrawGLText(0x0," + fake::Hex(&Scene.OverlayFont) + ",33,10,\"Frame  0 / 0\",0xfff7e17d)",
        "QI_UpdateGLWindow(0x0)"));
    fake::Reset();
    DrawBackground();
    EXPECT_THAT(fake::Texts(), IsEmpty());
}

}  // namespace
