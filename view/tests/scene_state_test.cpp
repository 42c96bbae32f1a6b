// The global scene record: its texture table, and the reset's start values.
#include <gtest/gtest.h>

#include "scene_state.h"

namespace {

// Before the set-up the program draws and deletes nothing: the texture
// table has no entries and its upper bound is -1.
TEST(SceneState, TheTextureTableIsEmptyUntilDimensioned) {
    EXPECT_FALSE(Scene.TextureTable.Dimensioned());
    EXPECT_EQ(Scene.TextureTable.HighIndex(), -1);
    EXPECT_EQ(Scene.TextureTable.First(), nullptr);
}

TEST(SceneState, ResetSetsTheViewValuesAndNothingElse) {
    Scene.AnimFrame = 7.5f;
    Scene.DragBaseA = 3.0f;
    Scene.LeftDragging = 1;
    ResetScene();
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.PosY, -0.25f);
    EXPECT_EQ(Scene.PosZ, -2.0f);
    EXPECT_EQ(Scene.TiltAngle, 5.0f);
    EXPECT_EQ(Scene.SpinAngle, -30.0f);
    EXPECT_EQ(Scene.OffsetUnit, 2.0f);
    EXPECT_EQ(Scene.AnimFrame, 7.5f);
    EXPECT_EQ(Scene.DragBaseA, 3.0f);
    EXPECT_EQ(Scene.LeftDragging, 1);
    Scene = SceneState{};
}

TEST(SceneState, TextureTableOnceDimensionedHoldsZeroedEntries) {
    TextureList table;
    table.Dimension(2);
    EXPECT_EQ(table.HighIndex(), 1);
    EXPECT_EQ(table.Count(), 2);
    EXPECT_EQ(table[1].GLTexture, 0u);
    EXPECT_EQ(reinterpret_cast<char*>(&table[1]) - reinterpret_cast<char*>(&table[0]), 280);
    // An index outside is refused: the entries stay as they are.
    for (int outside : {-1, 2}) {
        table[outside].GLTexture = 9;
        EXPECT_EQ(table[outside].GLTexture, 0u);
    }
    EXPECT_EQ(table[0].GLTexture, 0u);
    EXPECT_EQ(table[1].GLTexture, 0u);
    table.Dimension(-3);
    EXPECT_EQ(table.HighIndex(), -1);
}

}  // namespace
