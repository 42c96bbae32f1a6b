// Culling on the CPU against the screen-area test OpenGL makes: over
// perspective and parallel projections, eyes around and inside the model and
// both windings, every triangle with a positive area on screen is kept and
// nearly every turned-away one is dropped.
#include "builder.h"
#include "model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <tuple>
#include <vector>

namespace {

using Matrix = std::array<float, 16>;  // column-major, as OpenGL keeps it

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int c = 0; c < 4; ++c)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) r[c * 4 + row] += a[k * 4 + row] * b[c * 4 + k];
    return r;
}

Matrix Frustum(double l, double r, double b, double t, double n, double f) {
    Matrix m{};
    m[0] = float(2 * n / (r - l));
    m[5] = float(2 * n / (t - b));
    m[8] = float((r + l) / (r - l));
    m[9] = float((t + b) / (t - b));
    m[10] = float(-(f + n) / (f - n));
    m[11] = -1;
    m[14] = float(-2 * f * n / (f - n));
    return m;
}

Matrix Ortho(double l, double r, double b, double t, double n, double f) {
    Matrix m{};
    m[0] = float(2 / (r - l));
    m[5] = float(2 / (t - b));
    m[10] = float(-2 / (f - n));
    m[12] = float(-(r + l) / (r - l));
    m[13] = float(-(t + b) / (t - b));
    m[14] = float(-(f + n) / (f - n));
    m[15] = 1;
    return m;
}

// Translation, then turns about x and y, then a uniform scale (or a mirror).
Matrix Place(float x, float y, float z, float tilt, float spin, float scale) {
    const float ct = std::cos(tilt), st = std::sin(tilt), cs = std::cos(spin), ss = std::sin(spin);
    Matrix t{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    Matrix rx{1, 0, 0, 0, 0, ct, st, 0, 0, -st, ct, 0, 0, 0, 0, 1};
    Matrix ry{cs, 0, -ss, 0, 0, 1, 0, 0, ss, 0, cs, 0, 0, 0, 0, 1};
    Matrix s{scale, 0, 0, 0, 0, std::fabs(scale), 0, 0, 0, 0, std::fabs(scale), 0, 0, 0, 0, 1};
    return Multiply(Multiply(Multiply(t, rx), ry), s);
}

struct Case {
    const char* name;
    bool perspective;
    float x, y, z, scale;
};

TEST(Md2Cull, KeepsWhatTheScreenShowsAndDropsWhatItTurnsAway) {
    const Case cases[] = {
        {"in front, program's scale", true, 0, 0, -2, 0.025f},
        {"off-axis and near", true, 0.6f, -0.4f, -0.9f, 0.025f},
        {"eye inside the model", true, 0, 0, 0, 0.025f},
        {"behind the eye", true, 0, 0, 1.5f, 0.025f},
        {"mirrored", true, 0, 0, -2, -0.025f},
        {"parallel projection", false, 0.3f, 0, -5, 0.025f},
    };
    std::mt19937 random(7);
    std::uniform_real_distribution<float> angle(-3.1416f, 3.1416f);
    for (const bool clockwise : {true, false}) {
        md2test::Blueprint plan = md2test::Body(12, 16, 2);
        if (!clockwise)
            for (auto& t : plan.triangles) std::swap(t.vertex[1], t.vertex[2]), std::swap(t.texCoord[1], t.texCoord[2]);
        const auto bytes = md2test::Build(plan);
        md2::Model model;
        ASSERT_EQ(md2::Load(bytes.data(), bytes.size(), 0, 0, model), md2::Error::None);
        ASSERT_EQ(model.counterClockwise, !clockwise);
        std::vector<float> pose(std::size_t(model.drawCount) * md2::kPoseStride);
        md2::Blend(model, 1.5f, pose.data());
        std::vector<std::uint16_t> out(model.indices.size());
        for (const Case& c : cases) {
            const Matrix projection = c.perspective ? Frustum(-0.05, 0.07, -0.05, 0.04, 0.1, 100)
                                                    : Ortho(-1.5, 1.2, -1, 1.1, -10, 10);
            for (int pose_i = 0; pose_i < 24; ++pose_i) {
                const Matrix modelview = Place(c.x, c.y, c.z, angle(random), angle(random), c.scale);
                const std::size_t kept =
                    md2::FacingTriangles(model, pose.data(), modelview.data(), projection.data(), out.data());
                ASSERT_EQ(kept % 3, 0u);
                std::multiset<std::tuple<int, int, int>> sent;
                for (std::size_t i = 0; i < kept; i += 3) sent.insert({out[i], out[i + 1], out[i + 2]});
                const Matrix mvp = Multiply(projection, modelview);
                int dropped = 0, back = 0;
                for (std::size_t i = 0; i < model.indices.size(); i += 3) {
                    // det[x y w] of the corners in clip space: the sign of the area on screen.
                    double clip[3][3];
                    for (int k = 0; k < 3; ++k) {
                        const float* p = pose.data() + model.indices[i + k] * md2::kPoseStride;
                        const int rows[3] = {0, 1, 3};
                        for (int r = 0; r < 3; ++r)
                            clip[k][r] = double(mvp[rows[r]]) * p[0] + double(mvp[4 + rows[r]]) * p[1] +
                                         double(mvp[8 + rows[r]]) * p[2] + mvp[12 + rows[r]];
                    }
                    const double det = clip[0][0] * (clip[1][1] * clip[2][2] - clip[1][2] * clip[2][1]) -
                                       clip[0][1] * (clip[1][0] * clip[2][2] - clip[1][2] * clip[2][0]) +
                                       clip[0][2] * (clip[1][0] * clip[2][1] - clip[1][1] * clip[2][0]);
                    const double facing = model.counterClockwise ? det : -det;
                    const bool wasSent =
                        sent.count({model.indices[i], model.indices[i + 1], model.indices[i + 2]}) > 0;
                    if (facing > 0) {
                        EXPECT_TRUE(wasSent) << c.name << " triangle " << i / 3;
                    }
                    if (!wasSent) ++dropped;
                    if (facing < 0) ++back;
                }
                // Only triangles near edge-on are left to the renderer.
                EXPECT_GE(dropped * 5, back * 4) << c.name << ": " << dropped << " of " << back << " dropped";
                EXPECT_LE(dropped, back) << c.name;
            }
        }
    }
}

TEST(Md2Cull, MatricesWithoutAnEyeKeepEverything) {
    const auto bytes = md2test::Build(md2test::Body(6, 8, 2));
    md2::Model model;
    ASSERT_EQ(md2::Load(bytes.data(), bytes.size(), 0, 0, model), md2::Error::None);
    std::vector<float> pose(std::size_t(model.drawCount) * md2::kPoseStride);
    md2::Blend(model, 1.0f, pose.data());
    std::vector<std::uint16_t> out(model.indices.size());
    const Matrix projection = Frustum(-0.05, 0.05, -0.05, 0.05, 0.1, 100);
    const float nan = std::nanf("");
    const Matrix zero{}, flat = Place(0, 0, -2, 0.3f, 0.2f, 0.0f),
                 broken{nan, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -2, 1};
    for (const Matrix& modelview : {zero, flat, broken}) {
        EXPECT_EQ(md2::FacingTriangles(model, pose.data(), modelview.data(), projection.data(), out.data()),
                  model.indices.size());
        EXPECT_EQ(out, std::vector<std::uint16_t>(model.indices.begin(), model.indices.end()));
    }
}

}  // namespace
