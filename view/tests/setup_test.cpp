// Scene set-up and the texture table preparation against the recording fakes.
#include "setup.h"

#include <windows.h>

#include <gmock/gmock.h>

#include <cstring>
#include <string>

#include "fresh_scene.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class SetupTest : public ::testing::Test {
protected:
    void SetUp() override { FreshScene(); }
};

TEST_F(SetupTest, PutsTheGLStateInOrderAndLoadsTheModel) {
    Scene.TextureTable.Dimension(2);
    std::strcpy(Scene.TextureTable[1].FileName, "R\\Sydney.md2");
    Scene.TextureTable[1].GLTexture = 4;
    Scene.TextureTable[1].Width = 256;
    Scene.TextureTable[1].Height = 128;
    Scene.DragBaseA = 3.0f;
    fake::Set().frameCounts[1] = 198;
    SetupScene();
    EXPECT_THAT(fake::Texts(), ElementsAre(
        "glEnable(GL_TEXTURE_2D)", "glDepthFunc(GL_LESS)", "glEnable(GL_DEPTH_TEST)", "glShadeModel(GL_SMOOTH)",
        "glHint(GL_PERSPECTIVE_CORRECTION_HINT,GL_NICEST)", "glBlendFunc(GL_SRC_ALPHA,GL_ONE_MINUS_SRC_ALPHA)",
        "glEnable(GL_BLEND)", "glEnable(GL_LINE_SMOOTH)",
        "glLightfv(GL_LIGHT1,GL_DIFFUSE,[1,1,-0.8,1])", "glLightfv(GL_LIGHT1,GL_AMBIENT,[0.3,0.3,0.3,1])",
        "glLightfv(GL_LIGHT1,GL_POSITION,[-50,150,-100,1])",
        "glMaterialfv(GL_FRONT,GL_SPECULAR,[1,1,-0.8,1])", "glMaterialfv(GL_FRONT,GL_SHININESS,[5])",
        "glEnable(GL_LIGHT1)", "glEnable(GL_LIGHTING)", "glColorMaterial(GL_FRONT,GL_AMBIENT_AND_DIFFUSE)",
        "glEnable(GL_COLOR_MATERIAL)", "MD2_Load(1,\"R\\Sydney.md2\",4,256,128)", "MD2_GetFrameCount(1)"));
    EXPECT_EQ(Scene.FrameCount, 198);
    EXPECT_EQ(Scene.AnimFrame, 1.0f);
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.PosY, -0.25f);
    EXPECT_EQ(Scene.PosZ, -2.0f);
    EXPECT_EQ(Scene.TiltAngle, 5.0f);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_EQ(Scene.OffsetUnit, 2.0f);
    EXPECT_EQ(Scene.DragBaseA, 3.0f);  // the reset leaves drag values alone
}

TEST_F(SetupTest, WithoutATableStillSetsStateAndFrameButLoadsNoModel) {
    SetupScene();
    EXPECT_EQ(CountCalls("MD2_Load"), 0u);
    EXPECT_EQ(CountCalls("MD2_GetFrameCount"), 1u);
    EXPECT_EQ(Scene.AnimFrame, 1.0f);  // whatever the frame count, 0 included
    EXPECT_EQ(Scene.FrameCount, 0);
}

// The program path, what entries 0 and 1 name after the preparation, and the
// path the model is loaded from.
struct PathCase {
    const char* name;
    const char* program;
    const char* resourceDir;
    const char* background;
    const char* model;
};

class PreparePaths : public SetupTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(PreparePaths, NameFilesAndModel) {
    const PathCase& c = GetParam();
    PrepareSceneFrom(c.program);
    EXPECT_EQ(Scene.ResourceDir, c.resourceDir);
    ASSERT_EQ(Scene.TextureTable.HighIndex(), 1);
    EXPECT_EQ(Scene.TextureTable[0].Id, 1);
    EXPECT_EQ(Scene.TextureTable[1].Id, 2);
    EXPECT_EQ(Scene.TextureTable[0].LoadOption, 0);
    EXPECT_STREQ(Scene.TextureTable[0].FileName, c.background);
    EXPECT_STREQ(Scene.TextureTable[1].FileName, c.model);
    EXPECT_THAT(fake::Texts("MD2_Load"), ElementsAre("MD2_Load(1,\"" + std::string(c.model) + "\",0,0,0)"));
}

INSTANTIATE_TEST_SUITE_P(Replacement, PreparePaths, ::testing::Values(
    PathCase{"Plain", "C:\\Demo\\demo.exe", "C:\\Demo\\Resource\\", "C:\\Demo\\Resource\\Background.jpg",
             "C:\\Demo\\Resource\\Sydney.md2"},
    // Only the file's own extension changes; folders named like pictures stay.
    PathCase{"FolderWithPng", "C:\\a.png\\b.pngx.png\\demo.exe", "C:\\a.png\\b.pngx.png\\Resource\\",
             "C:\\a.png\\b.pngx.png\\Resource\\Background.jpg", "C:\\a.png\\b.pngx.png\\Resource\\Sydney.md2"},
    PathCase{"SlashFolderWithPng", "C:/x.png/demo.exe", "C:/x.png/Resource\\", "C:/x.png/Resource\\Background.jpg",
             "C:/x.png/Resource\\Sydney.md2"},
    // Exact case only.
    PathCase{"OtherCase", "C:\\Art.PNG\\x.Png\\demo.exe", "C:\\Art.PNG\\x.Png\\Resource\\",
             "C:\\Art.PNG\\x.Png\\Resource\\Background.jpg", "C:\\Art.PNG\\x.Png\\Resource\\Sydney.md2"},
    // A bare name has no folder.
    PathCase{"BareName", "demo.exe", "Resource\\", "Resource\\Background.jpg", "Resource\\Sydney.md2"},
    PathCase{"Empty", "", "Resource\\", "Resource\\Background.jpg", "Resource\\Sydney.md2"}),
    [](const ::testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST_F(SetupTest, PrepareLoadsThePicturesThenHandsTheSkinToTheModel) {
    fake::Set().pictures["D:\\p\\Resource\\Background.jpg"] = {1024, 512};
    fake::Set().pictures["D:\\p\\Resource\\Sydney.png"] = {256, 256};
    fake::Set().frameCounts[1] = 40;
    PrepareSceneFrom("D:\\p\\demo.exe");
    EXPECT_THAT(fake::Texts("QI_CreateGLTextureFromFileEX"),
                ElementsAre("QI_CreateGLTextureFromFileEX(\"D:\\p\\Resource\\Background.jpg\",0)",
                            "QI_CreateGLTextureFromFileEX(\"D:\\p\\Resource\\Sydney.png\",0)"));
    EXPECT_THAT(fake::Texts("MD2_Load"), ElementsAre("MD2_Load(1,\"D:\\p\\Resource\\Sydney.md2\",2,256,256)"));
    EXPECT_EQ(Scene.TextureTable[0].GLTexture, 1u);
    EXPECT_EQ(Scene.TextureTable[0].Width, 1024);
    EXPECT_EQ(Scene.FrameCount, 40);
    // The texture work (pending errors cleared first) comes before the GL state of the set-up.
    const auto names = fake::Names();
    EXPECT_THAT(std::vector<std::string>(names.begin(), names.begin() + 2), ElementsAre("glGetError", "glGenTextures"));
    EXPECT_EQ(names.back(), "MD2_GetFrameCount");
}

TEST_F(SetupTest, LongPathsAreCutTo259CharactersAndLoadedCut) {
    const std::string folder = "C:\\" + std::string(240, 'f') + "\\";
    PrepareSceneFrom((folder + "demo.exe").c_str());
    const std::string background = (folder + "Resource\\Background.jpg").substr(0, 259);
    const std::string skin = (folder + "Resource\\Sydney.png").substr(0, 259);
    EXPECT_EQ(Scene.ResourceDir, folder + "Resource\\");  // the folder itself is not cut
    EXPECT_EQ(std::string(Scene.TextureTable[0].FileName), background);
    EXPECT_EQ(std::string(Scene.TextureTable[1].FileName), skin);  // cut before ".png": no model name
    EXPECT_THAT(fake::Texts("QI_CreateGLTextureFromFileEX"),
                ElementsAre("QI_CreateGLTextureFromFileEX(\"" + background + "\",0)",
                            "QI_CreateGLTextureFromFileEX(\"" + skin + "\",0)"));
    EXPECT_THAT(fake::Texts("MD2_Load"), ElementsAre("MD2_Load(1,\"" + skin + "\",0,0,0)"));
}

TEST_F(SetupTest, ACutThatKeepsTheExtensionStillNamesTheModel) {
    // 259 - strlen("Resource\\Sydney.png") characters of folder: exactly fits.
    const std::string folder = "C:\\" + std::string(259 - 19 - 4, 'g') + "\\";
    PrepareSceneFrom((folder + "demo.exe").c_str());
    EXPECT_EQ(std::string(Scene.TextureTable[1].FileName), folder + "Resource\\Sydney.md2");
    EXPECT_EQ(std::strlen(Scene.TextureTable[1].FileName), 259u);
}

TEST_F(SetupTest, TheProgramsOwnPathLeadsToItsResourceFolder) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string expected(path);
    expected = expected.substr(0, expected.find_last_of('\\') + 1) + "Resource\\";
    PrepareScene();
    EXPECT_EQ(Scene.ResourceDir, expected);
    EXPECT_THAT(std::string(Scene.TextureTable[1].FileName), Not(HasSubstr("Sydney.png")));
}

}  // namespace
