// libFuzzer target: any input either is rejected or decodes into a model
// whose arrays agree with each other, and blends at any position stay inside
// them (the sanitizers watch every access).
#include "model.h"

#include <cstdlib>
#include <limits>
#include <vector>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    md2::Model m;
    const int width = size > 0 ? data[0] : 0;  // vary the skin size a little
    if (md2::Load(data, size, width, 0, m) != md2::Error::None) {
        Require(m.frameCount == 0 && m.poses.empty() && m.indices.empty());
        return 0;
    }
    Require(m.frameCount >= 1 && m.frameCount <= md2::kMaxFrames);
    Require(m.vertexCount >= 1 && m.vertexCount <= md2::kMaxVertices);
    Require(m.drawCount == m.vertexCount + static_cast<int>(m.copies.size()));
    Require(m.poses.size() == static_cast<std::size_t>(m.frameCount) * m.vertexCount * md2::kPoseStride);
    Require(m.texCoords.size() == static_cast<std::size_t>(m.drawCount) * 2);
    Require(!m.indices.empty() && m.indices.size() % 3 == 0);
    for (std::uint16_t i : m.indices) Require(i < m.drawCount);
    for (std::uint16_t c : m.copies) Require(c < m.vertexCount);
    for (float v : m.poses) Require(v == v);  // no NaN from any finite file

    std::vector<float> out(static_cast<std::size_t>(m.drawCount) * md2::kPoseStride);
    const float frames = static_cast<float>(m.frameCount);
    const float positions[] = {std::numeric_limits<float>::quiet_NaN(), -1.0f, 1.0f, 1.25f,
                               frames - 0.5f, frames, frames + 0.75f,
                               std::numeric_limits<float>::infinity()};
    for (float p : positions) md2::Blend(m, p, out.data());
    return 0;
}
