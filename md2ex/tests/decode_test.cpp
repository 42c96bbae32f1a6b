// Decoding: positions in OpenGL axes, lighting normals, texture coordinates
// with seams, and the blend between frames at any frame position.
#include "builder.h"
#include "model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace md2test;

md2::Model LoadOk(const Blueprint& plan, int width = 0, int height = 0) {
    const auto bytes = Build(plan);
    md2::Model model;
    EXPECT_EQ(md2::Load(bytes.data(), bytes.size(), width, height, model), md2::Error::None);
    return model;
}

struct V3 {
    float x, y, z;
    bool operator==(const V3&) const = default;
};

std::ostream& operator<<(std::ostream& os, const V3& v) {
    return os << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}

// A model array's items, to compare whole.
template <typename T>
std::vector<T> Items(const memory::Buffer<T>& buffer) {
    return {buffer.begin(), buffer.end()};
}

V3 Position(const float* pose, int v) { return {pose[6 * v], pose[6 * v + 1], pose[6 * v + 2]}; }
V3 Normal(const float* pose, int v) { return {pose[6 * v + 3], pose[6 * v + 4], pose[6 * v + 5]}; }

TEST(Md2Decode, PositionsAreScaledTranslatedAndTurnedToGLAxes) {
    Blueprint plan = Square();
    Frame& f = plan.frames[0];
    f.scale[0] = 0.5f; f.scale[1] = 2.0f; f.scale[2] = 4.0f;
    f.translate[0] = -1.0f; f.translate[1] = 10.0f; f.translate[2] = 100.0f;
    f.vertices[0] = {1, 2, 3, kNormalPlusX};
    f.vertices[1] = {255, 255, 255, kNormalPlusX};
    const md2::Model m = LoadOk(plan);
    // File (x, y, z) = packed * scale + translate; GL = (y, z, x).
    EXPECT_EQ(Position(m.Pose(0), 0), (V3{14.0f, 112.0f, -0.5f}));
    EXPECT_EQ(Position(m.Pose(0), 1), (V3{520.0f, 1120.0f, 126.5f}));
}

TEST(Md2Decode, SquareStandsUprightFacingTheViewer) {
    const md2::Model m = LoadOk(Square());
    ASSERT_EQ(m.frameCount, 2);
    ASSERT_EQ(m.vertexCount, 4);
    ASSERT_EQ(m.drawCount, 4);
    const V3 frame1[] = {{-1, 1, 0}, {1, 1, 0}, {1, -1, 0}, {-1, -1, 0}};
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(Position(m.Pose(0), v), frame1[v]) << v;
        EXPECT_EQ(Position(m.Pose(1), v), (V3{frame1[v].x, frame1[v].y + 4, 0})) << v;
        // The square's own (computed) normal, toward the viewer.
        EXPECT_EQ(Normal(m.Pose(0), v), (V3{0, 0, 1})) << v;
        EXPECT_EQ(Normal(m.Pose(1), v), (V3{0, 0, 1})) << v;
    }
    EXPECT_EQ(Items(m.indices), (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));
    ASSERT_EQ(m.skins.size(), 1u);
    EXPECT_EQ(m.skins[0].view(), "models/square/skin.pcx");
}

TEST(Md2Decode, TextureCoordinatesFollowTheHeadersSkinSize) {
    struct Case {
        int fileWidth, fileHeight;  // the header's skin size
        int width, height;          // the picture's, as given to the load
        std::vector<float> expected;  // s, t of the four corners
    };
    const std::vector<float> whole{0, 1, 1, 1, 1, 0, 0, 0};  // pixels from the top-left; GL t = 0 is the bottom row
    const Case cases[] = {
        {64, 64, 64, 64, whole},
        {64, 64, 128, 128, whole},  // a skin at twice the size maps the same
        {64, 64, 128, 32, whole},   // resampled to other sides: still the same
        {64, 64, 0, 0, whole},      // the picture did not load
        // A side the header leaves at 0 takes the picture's.
        {0, 64, 128, 32, {0, 1, 0.5f, 1, 0.5f, 0, 0, 0}},
        {64, 0, -5, 128, {0, 1, 1, 1, 1, 0.5f, 0, 0.5f}},
        {0, 0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}},  // no size anywhere: no division by zero
    };
    for (const Case& c : cases) {
        Blueprint plan = Square();
        plan.skinWidth = c.fileWidth;
        plan.skinHeight = c.fileHeight;
        EXPECT_EQ(Items(LoadOk(plan, c.width, c.height).texCoords), c.expected)
            << c.fileWidth << "x" << c.fileHeight << " given " << c.width << "x" << c.height;
    }
}

TEST(Md2Decode, TextureSeamsGetTheirOwnVertices) {
    Blueprint plan = Square();
    plan.texCoords.push_back({32, 32});  // index 4: new place for vertex 0
    plan.texCoords.push_back({64, 64});  // index 5: same place as index 2
    plan.triangles[1] = {{0, 2, 3}, {4, 5, 3}};
    const md2::Model m = LoadOk(plan, 64, 64);
    ASSERT_EQ(m.drawCount, 5);  // vertex 0 twice; vertex 2 once (same coordinates)
    EXPECT_EQ(Items(m.copies), (std::vector<std::uint16_t>{0}));
    EXPECT_EQ(Items(m.indices), (std::vector<std::uint16_t>{0, 1, 2, 4, 2, 3}));
    EXPECT_EQ(m.texCoords[8], 0.5f);
    EXPECT_EQ(m.texCoords[9], 0.5f);

    std::vector<float> out(m.drawCount * md2::kPoseStride, -7.0f);
    md2::Blend(m, 2.0f, out.data());
    for (int k = 0; k < md2::kPoseStride; ++k) EXPECT_EQ(out[4 * 6 + k], out[k]) << k;
}

TEST(Md2Decode, NormalsPointOutOfClosedShapesWhateverTheWinding) {
    for (bool clockwise : {true, false}) {
        const md2::Model m = LoadOk(Cube(clockwise));
        for (int v = 0; v < 8; ++v) {
            const V3 p = Position(m.Pose(0), v), n = Normal(m.Pose(0), v);
            const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
            EXPECT_NEAR(length, 1.0f, 1e-6f);
            // A corner of the cube: its normal leans out along the diagonal.
            const float out = (n.x * p.x + n.y * p.y + n.z * p.z) / std::sqrt(3.0f);
            EXPECT_GT(out, 0.9f) << "vertex " << v << (clockwise ? " clockwise" : " counter-clockwise");
        }
    }
}

TEST(Md2Decode, WithoutAVerdictFromTheFileClockwiseFacesAreFront) {
    Blueprint plan = Cube(true);
    for (auto& v : plan.frames[0].vertices) v.normal = kNormalPlusZ;  // these cancel out
    const md2::Model m = LoadOk(plan);
    for (int v = 0; v < 8; ++v) {
        const V3 p = Position(m.Pose(0), v), n = Normal(m.Pose(0), v);
        EXPECT_GT(n.x * p.x + n.y * p.y + n.z * p.z, 0.0f) << v;
    }
}

TEST(Md2Decode, TableNormalsStandInWhereNoFaceHasArea) {
    Blueprint plan = Square();
    for (auto& f : plan.frames) {
        f.vertices.push_back({1, 1, 1, kNormalPlusY});  // vertex 4: in no triangle
        f.vertices.push_back({1, 1, 1, 0});             // vertex 5: in a degenerate one
    }
    plan.triangles.push_back({{5, 5, 5}, {0, 0, 0}});
    const md2::Model m = LoadOk(plan);
    EXPECT_EQ(Normal(m.Pose(0), 4), (V3{1, 0, 0}));  // file +y is GL +x
    // Table entry 0 is (-0.525731, 0, 0.850651) in file axes.
    EXPECT_EQ(Normal(m.Pose(1), 5), (V3{0.0f, 0.850651f, -0.525731f}));
}

TEST(Md2Decode, PicksFramesForEveryPosition) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float position;
        int frames, first, second;
        float fraction;
    };
    const Case cases[] = {
        {1.0f, 3, 0, 1, 0.0f},   {1.25f, 3, 0, 1, 0.25f}, {2.5f, 3, 1, 2, 0.5f},
        {2.75f, 3, 1, 2, 0.75f}, {3.0f, 3, 2, 2, 0.0f},   {3.25f, 3, 2, 2, 0.0f},
        {1e9f, 3, 2, 2, 0.0f},   {inf, 3, 2, 2, 0.0f},    {0.999f, 3, 0, 0, 0.0f},
        {0.0f, 3, 0, 0, 0.0f},   {-4.5f, 3, 0, 0, 0.0f},  {-inf, 3, 0, 0, 0.0f},
        {nan, 3, 0, 0, 0.0f},    {1.5f, 1, 0, 0, 0.0f},   {197.75f, 198, 196, 197, 0.75f},
        {198.0f, 198, 197, 197, 0.0f}, {2.0f, 0, 0, 0, 0.0f},
    };
    for (const Case& c : cases) {
        const md2::FramePair p = md2::PickFrames(c.position, c.frames);
        EXPECT_EQ(p.first, c.first) << c.position << " of " << c.frames;
        EXPECT_EQ(p.second, c.second) << c.position << " of " << c.frames;
        EXPECT_EQ(p.fraction, c.fraction) << c.position << " of " << c.frames;
    }
}

TEST(Md2Decode, BlendsSmoothlyBetweenFramesAndClampsOutside) {
    const md2::Model m = LoadOk(Square());
    std::vector<float> out(m.drawCount * md2::kPoseStride);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float position, topY;  // the square's top edge: frame 1 at y = 1, frame 2 at y = 5
    };
    const Case cases[] = {{1.0f, 1.0f}, {1.25f, 2.0f}, {1.5f, 3.0f}, {1.75f, 4.0f}, {2.0f, 5.0f},
                          {2.5f, 5.0f}, {0.5f, 1.0f},  {nan, 1.0f},  {-1e30f, 1.0f}};
    for (const Case& c : cases) {
        std::fill(out.begin(), out.end(), nan);
        md2::Blend(m, c.position, out.data());
        for (int v : {0, 1}) {
            EXPECT_EQ(Position(out.data(), v), (V3{v ? 1.0f : -1.0f, c.topY, 0.0f})) << c.position;
            EXPECT_EQ(Normal(out.data(), v), (V3{0, 0, 1})) << c.position;
        }
        EXPECT_EQ(Position(out.data(), 3), (V3{-1.0f, c.topY - 2, 0.0f})) << c.position;
    }
}

TEST(Md2Decode, FailedLoadLeavesNothing) {
    auto bytes = Build(Square());
    SetField(bytes, kNumFrames, 3);
    md2::Model m = LoadOk(Square());
    EXPECT_EQ(md2::Load(bytes.data(), bytes.size(), 64, 64, m), md2::Error::BadOffset);
    EXPECT_EQ(m.frameCount, 0);
    EXPECT_EQ(m.drawCount, 0);
    EXPECT_TRUE(m.poses.empty());
    EXPECT_TRUE(m.indices.empty());
    std::vector<float> out(6, 3.0f);
    md2::Blend(m, 1.0f, out.data());  // an empty model writes nothing
    EXPECT_EQ(out, std::vector<float>(6, 3.0f));
}

}  // namespace
