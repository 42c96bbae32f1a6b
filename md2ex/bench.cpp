// Load and blend speed of a character-sized model: 198 frames of 1,024
// vertices (32 rings of 32) and 1,984 triangles. The plain copy of the same
// output bytes is the memory bound a blend can approach.
#include "builder.h"
#include "model.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

const std::vector<std::uint8_t>& CharacterFile() {
    static const std::vector<std::uint8_t> file = md2test::Build(md2test::Body(32, 32, 198));
    return file;
}

const md2::Model& Character() {
    static const md2::Model model = [] {
        md2::Model m;
        md2::Load(CharacterFile().data(), CharacterFile().size(), 256, 256, m);
        return m;
    }();
    return model;
}

// Parse, validation and decoding of the whole file from memory.
void Load198Frames(benchmark::State& state) {
    const auto& file = CharacterFile();
    for (auto _ : state) {
        md2::Model m;
        benchmark::DoNotOptimize(md2::Load(file.data(), file.size(), 256, 256, m));
        benchmark::DoNotOptimize(m.poses.data());
    }
    state.counters["vertices"] = Character().vertexCount;
    state.counters["frames"] = Character().frameCount;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}

// One blended frame: positions and normals of every draw vertex.
void BlendFrame(benchmark::State& state) {
    const md2::Model& m = Character();
    std::vector<float> out(static_cast<std::size_t>(m.drawCount) * md2::kPoseStride);
    float position = 1.25f;
    for (auto _ : state) {
        md2::Blend(m, position, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        position = position >= 197.5f ? 1.25f : position + 0.25f;
        if (position == static_cast<float>(static_cast<int>(position))) position += 0.25f;  // keep blending
    }
    state.SetItemsProcessed(state.iterations() * m.drawCount);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * out.size() * sizeof(float)));
}

// The same number of output bytes, copied from one stored frame.
void CopyFrame(benchmark::State& state) {
    const md2::Model& m = Character();
    const std::size_t bytes = static_cast<std::size_t>(m.drawCount) * md2::kPoseStride * sizeof(float);
    std::vector<float> out(static_cast<std::size_t>(m.drawCount) * md2::kPoseStride);
    // Source: as many bytes from the stored poses, frames moving like the blend's.
    int frame = 0;
    for (auto _ : state) {
        std::memcpy(out.data(), m.poses.data() + static_cast<std::size_t>(frame) * m.vertexCount * md2::kPoseStride, bytes);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
        frame = frame >= m.frameCount - 3 ? 0 : frame + 1;
    }
    state.SetItemsProcessed(state.iterations() * m.drawCount);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK(Load198Frames)->Unit(benchmark::kMillisecond);
BENCHMARK(BlendFrame);
BENCHMARK(CopyFrame);

}  // namespace

BENCHMARK_MAIN();
