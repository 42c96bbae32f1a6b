// The program's character model, committed in the resources: it loads and
// decodes into a sound, upright model.
#include "model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

TEST(Md2Sample, CharacterModelLoads) {
    std::ifstream in(MD2_SAMPLE, std::ios::binary);
    ASSERT_TRUE(in) << "the committed character model cannot be read: " << MD2_SAMPLE;
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    md2::Model m;
    ASSERT_EQ(md2::Load(bytes.data(), bytes.size(), 0, 0, m), md2::Error::None);
    EXPECT_EQ(m.frameCount, 198);
    EXPECT_GE(m.vertexCount, 100);
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
    for (std::size_t i = 0; i < static_cast<std::size_t>(m.vertexCount); ++i) {
        const float* p = m.Pose(0) + i * md2::kPoseStride;
        for (int a = 0; a < 3; ++a) {
            low[a] = std::fmin(low[a], p[a]);
            high[a] = std::fmax(high[a], p[a]);
        }
        EXPECT_NEAR(std::sqrt(p[3] * p[3] + p[4] * p[4] + p[5] * p[5]), 1.0f, 1e-4f) << i;
    }
    // Standing: taller (GL y) than wide (x) or deep (z).
    EXPECT_GT(high[1] - low[1], high[0] - low[0]);
    EXPECT_GT(high[1] - low[1], high[2] - low[2]);
    for (float t : m.texCoords) EXPECT_TRUE(t >= -0.01f && t <= 1.01f) << t;
}

}  // namespace
