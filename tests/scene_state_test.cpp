// The global scene record: zero at process start, and the reset's start values.
#include <gtest/gtest.h>

#include <cstring>

#include "scene_state.h"

namespace {

// Runs before any test touches the record: everything is zero at process start.
TEST(SceneState, IsAllZeroAtProcessStart) {
    EXPECT_EQ(Scene.PosX, 0.0f);
    EXPECT_EQ(Scene.AnimFrame, 0.0f);
    EXPECT_EQ(Scene.FrameCount, 0);
    EXPECT_EQ(Scene.OverlayColor, 0u);
    EXPECT_EQ(Scene.NextStepTick, 0);
    EXPECT_EQ(Scene.GLView, nullptr);
    EXPECT_EQ(Scene.OldViewProc, nullptr);
    EXPECT_TRUE(Scene.ResourceDir.empty());
    const GLFontRecord zero{};
    EXPECT_EQ(std::memcmp(&Scene.OverlayFont, &zero, sizeof zero), 0);
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
    table.Dimension(-3);
    EXPECT_EQ(table.HighIndex(), -1);
}

}  // namespace
