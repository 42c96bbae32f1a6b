// LoadTextures against the recording fakes: the exact GL sequence and how
// every branch leaves the entries.
#include "textures.h"

#include <GL/gl.h>

#include <gmock/gmock.h>

#include <cstring>
#include <string>
#include <vector>

#include "debug_output.h"
#include "fresh_scene.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct Entries {
    TextureEntry e[2]{};
    Entries(const char* a, const char* b) {
        std::strcpy(e[0].FileName, a);
        std::strcpy(e[1].FileName, b);
    }
};

class LoadTexturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreshScene();
        fake::Set().pictures["a.jpg"] = {64, 32};
        fake::Set().pictures["b.png"] = {16, 8};
    }
};

TEST_F(LoadTexturesTest, LoadsEachPictureIntoItsOwnName) {
    Entries t("a.jpg", "b.png");
    t.e[1].LoadOption = 3;
    LoadTextures(t.e, 2);
    EXPECT_THAT(fake::Texts(), ElementsAre(
        "glGetError(0)", "glGenTextures(2,[1,2])", "glGetError(0)",
        "QI_CreateGLTextureFromFileEX(\"a.jpg\",0)", "glGetError(0)", "glBindTexture(GL_TEXTURE_2D,1)", "glGetError(0)",
        "glTexParameteri(GL_TEXTURE_2D,GL_TEXTURE_MAG_FILTER,GL_LINEAR)",
        "glTexParameteri(GL_TEXTURE_2D,GL_TEXTURE_MIN_FILTER,GL_LINEAR)",
        "glTexImage2D(GL_TEXTURE_2D,0,4,64,32,0,GL_RGBA,GL_UNSIGNED_BYTE,pixels)", "glGetError(0)",
        "QI_CreateGLTextureFromFileEX(\"b.png\",3)", "glGetError(0)", "glBindTexture(GL_TEXTURE_2D,2)", "glGetError(0)",
        "glTexParameteri(GL_TEXTURE_2D,GL_TEXTURE_MAG_FILTER,GL_LINEAR)",
        "glTexParameteri(GL_TEXTURE_2D,GL_TEXTURE_MIN_FILTER,GL_LINEAR)",
        "glTexImage2D(GL_TEXTURE_2D,0,4,16,8,0,GL_RGBA,GL_UNSIGNED_BYTE,pixels)", "glGetError(0)"));
    EXPECT_EQ(t.e[0].GLTexture, 1u);
    EXPECT_EQ(t.e[0].Width, 64);
    EXPECT_EQ(t.e[0].Height, 32);
    EXPECT_EQ(t.e[1].GLTexture, 2u);
    EXPECT_EQ(t.e[1].Width, 16);
    EXPECT_EQ(t.e[1].Height, 8);
    EXPECT_EQ(t.e[0].Id, 0);
}

TEST_F(LoadTexturesTest, NothingToDoForNoEntries) {
    Entries t("a.jpg", "b.png");
    LoadTextures(t.e, 0);
    LoadTextures(t.e, -1);
    LoadTextures(nullptr, 2);
    EXPECT_THAT(fake::Texts(), IsEmpty());
    EXPECT_EQ(t.e[0].GLTexture, 0u);
}

TEST_F(LoadTexturesTest, AReloadDeletesTheWholeListZerosIncluded) {
    Entries t("a.jpg", "b.png");
    t.e[1].GLTexture = 9;
    fake::Set().nextTextureName = 20;
    LoadTextures(t.e, 2);
    const auto texts = fake::Texts("glDeleteTextures");
    EXPECT_THAT(texts, ElementsAre("glDeleteTextures(2,[0,9])"));
    EXPECT_EQ(fake::Texts().front(), "glDeleteTextures(2,[0,9])");
    EXPECT_EQ(t.e[0].GLTexture, 20u);
    EXPECT_EQ(t.e[1].GLTexture, 21u);
}

TEST_F(LoadTexturesTest, AMissingFirstPictureLeavesItsEntryAndTheOrderOfNames) {
    Entries t("missing.jpg", "b.png");
    LoadTextures(t.e, 2);
    EXPECT_EQ(t.e[0].GLTexture, 0u);
    EXPECT_EQ(t.e[0].Width, 0);
    EXPECT_EQ(t.e[0].Height, 0);
    EXPECT_EQ(t.e[1].GLTexture, 2u);  // the second name, not the first
    EXPECT_EQ(t.e[1].Width, 16);
    EXPECT_THAT(fake::Texts("glBindTexture"), ElementsAre("glBindTexture(GL_TEXTURE_2D,2)"));
    EXPECT_EQ(CountCalls("glTexImage2D"), 1u);
}

TEST_F(LoadTexturesTest, AReloadThatFailsForOnePictureLeavesNoDeletedOrUnusedName) {
    Entries t("a.jpg", "missing.png");
    t.e[0].GLTexture = 4;
    t.e[1].GLTexture = 5;
    t.e[1].Width = 7;
    t.e[1].Height = 3;
    fake::Set().nextTextureName = 20;
    LoadTextures(t.e, 2);
    EXPECT_EQ(t.e[0].GLTexture, 20u);
    EXPECT_EQ(t.e[1].GLTexture, 0u);  // not the deleted 5
    EXPECT_EQ(t.e[1].Width, 0);
    EXPECT_EQ(t.e[1].Height, 0);
    EXPECT_THAT(fake::Texts("glDeleteTextures"), ElementsAre("glDeleteTextures(2,[4,5])", "glDeleteTextures(1,[21])"));
    EXPECT_EQ(fake::Texts().back(), "glDeleteTextures(1,[21])");
}

TEST_F(LoadTexturesTest, AnErrorAfterGeneratingEndsTheLoadUnchanged) {
    Entries t("a.jpg", "b.png");
    fake::Set().glErrors = {GL_NO_ERROR, GL_OUT_OF_MEMORY};
    LoadTextures(t.e, 2);
    EXPECT_THAT(fake::Texts(), ElementsAre("glGetError(0)", "glGenTextures(2,[1,2])", "glGetError(1285)"));
    EXPECT_EQ(t.e[0].GLTexture, 0u);
    EXPECT_EQ(t.e[1].GLTexture, 0u);
}

TEST_F(LoadTexturesTest, AnErrorAfterBindingSkipsOnlyThatImage) {
    Entries t("a.jpg", "b.png");
    fake::Set().glErrors = {GL_NO_ERROR, GL_NO_ERROR, GL_NO_ERROR, GL_INVALID_OPERATION};
    LoadTextures(t.e, 2);
    EXPECT_EQ(t.e[0].GLTexture, 1u);  // name and size kept, no image
    EXPECT_EQ(t.e[0].Width, 64);
    EXPECT_EQ(t.e[1].GLTexture, 2u);
    EXPECT_THAT(fake::Texts("glTexImage2D"),
                ElementsAre("glTexImage2D(GL_TEXTURE_2D,0,4,16,8,0,GL_RGBA,GL_UNSIGNED_BYTE,pixels)"));
    EXPECT_EQ(CountCalls("glTexParameteri"), 2u);
}

TEST_F(LoadTexturesTest, AnUploadOpenGLRefusesLeavesTheEntryUnloadedAndSaysSo) {
    Entries t("a.jpg", "b.png");
    // (clear, generate, clear, bind, upload of a.jpg)
    fake::Set().glErrors = {GL_NO_ERROR, GL_NO_ERROR, GL_NO_ERROR, GL_NO_ERROR, GL_INVALID_VALUE};
    DebugOutput output;
    LoadTextures(t.e, 2);
    EXPECT_EQ(t.e[0].GLTexture, 0u);  // as a picture that did not load
    EXPECT_EQ(t.e[0].Width, 0);
    EXPECT_EQ(t.e[0].Height, 0);
    EXPECT_EQ(t.e[1].GLTexture, 2u);
    EXPECT_EQ(t.e[1].Width, 16);
    EXPECT_EQ(fake::Texts("glDeleteTextures"), std::vector<std::string>{"glDeleteTextures(1,[1])"});
    EXPECT_THAT(output.LinesStartingWith("view: texture refused: a.jpg: "),
                ElementsAre("view: texture refused: a.jpg: OpenGL error 0x0501 for 64 x 32"));
    EXPECT_THAT(output.LinesStartingWith("view: "), ::testing::SizeIs(1));
}

TEST_F(LoadTexturesTest, ErrorsLeftPendingBeforeTheLoadAreNotTakenForItsOwn) {
    struct Case {
        const char* what;
        std::size_t pending;
        bool loads;
    };
    const Case cases[] = {
        {"one", 1, true},
        {"several", 4, true},
        {"a lost context's, without end: the clearing stops", 1000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        Entries t("a.jpg", "b.png");
        fake::Set().glErrors.assign(c.pending, GL_INVALID_ENUM);
        LoadTextures(t.e, 2);
        EXPECT_EQ(t.e[0].GLTexture != 0, c.loads);
        EXPECT_EQ(t.e[1].GLTexture != 0, c.loads);
        EXPECT_LT(CountCalls("glGetError"), 40u);
    }
}

TEST_F(LoadTexturesTest, AnUploadRefusedWithTwoErrorsLeavesTheNextPictureUnharmed) {
    Entries t("a.jpg", "b.png");
    // (clear, generate, clear, bind, then a.jpg's upload leaves two errors)
    fake::Set().glErrors = {GL_NO_ERROR, GL_NO_ERROR, GL_NO_ERROR, GL_NO_ERROR, GL_INVALID_VALUE, GL_OUT_OF_MEMORY};
    LoadTextures(t.e, 2);
    EXPECT_EQ(t.e[0].GLTexture, 0u);
    EXPECT_EQ(t.e[1].GLTexture, 2u);
    EXPECT_EQ(CountCalls("glTexImage2D"), 2u);
}

TEST_F(LoadTexturesTest, AnUnterminatedNameIsReadOnlyWithinItsField) {
    TextureEntry e{};
    std::memset(e.FileName, 'x', sizeof e.FileName);
    LoadTextures(&e, 1);
    EXPECT_THAT(fake::Texts("QI_"), ElementsAre("QI_CreateGLTextureFromFileEX(\"" + std::string(259, 'x') + "\",0)"));
}

}  // namespace
