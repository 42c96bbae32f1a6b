#include "md2file.h"

#include <cstring>
#include <utility>

#include "bytes.h"

namespace artview {
namespace {

const float kNormals[md2::kNormalCount][3] = {
#include "normals.inc"
};

// A frame's name: 16 bytes after its scale and translation.
constexpr std::size_t kFrameNameAt = 24;
constexpr std::size_t kFrameNameSize = 16;

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

const std::uint8_t* FrameAt(const md2::File& f, int frame) {
    return f.data + f.ofsFrames + static_cast<std::size_t>(frame) * static_cast<std::size_t>(f.frameSize);
}

}  // namespace

bool LoadMd2(std::vector<std::uint8_t> bytes, Md2& out, std::string& error) {
    out.bytes = std::move(bytes);
    out.frameNames.clear();
    out.model = md2::Model{};
    const md2::Error parsed = md2::Parse(out.bytes.data(), out.bytes.size(), out.file);
    if (parsed != md2::Error::None) return Fail(error, md2::ErrorName(parsed));
    // Parse has checked that every frame lies inside the file.
    for (int i = 0; i < out.file.frames; ++i) {
        const std::uint8_t* name = FrameAt(out.file, i) + kFrameNameAt;
        const void* zero = std::memchr(name, 0, kFrameNameSize);
        if (!zero) return Fail(error, "frame " + std::to_string(i) + ": name not terminated");
        out.frameNames.emplace_back(reinterpret_cast<const char*>(name),
                                    static_cast<const std::uint8_t*>(zero) - name);
    }
    if (!md2::Decode(out.file, 0, 0, out.model)) return Fail(error, "out of memory");
    return true;
}

int FileVertex(const md2::Model& model, int drawVertex) {
    return drawVertex < model.vertexCount ? drawVertex : model.copies[std::size_t(drawVertex - model.vertexCount)];
}

std::array<float, 3> TableNormal(const Md2& m, int frame, int vertex) {
    const md2::File& f = m.file;
    if (frame < 0 || frame >= f.frames || vertex < 0 || vertex >= f.vertices) return {0, 0, 0};
    const std::uint8_t index =
        FrameAt(f, frame)[md2::kFrameHeadSize + std::size_t(vertex) * md2::kPackedVertexSize + 3];
    const float* n = kNormals[index];  // below 162: checked by Parse
    return {n[1], n[2], n[0]};         // file (x, y, z) to GL (y, z, x)
}

bool ReadGlCommands(const md2::File& f, std::vector<GlCommand>& out, std::string& error) {
    out.clear();
    // Parse has checked that the section lies inside the file.
    const std::uint8_t* at = f.data + f.ofsGlCommands;
    const std::uint8_t* end = at + std::size_t(f.glCommands) * 4;
    for (;;) {
        if (end - at < 4) return Fail(error, "GL commands not terminated");
        const std::int32_t n = md2::ReadI32(at);
        at += 4;
        if (n == 0) break;
        GlCommand cmd;
        cmd.fan = n < 0;
        const std::int64_t count = n < 0 ? -std::int64_t(n) : std::int64_t(n);
        if (count < 3) return Fail(error, "GL command with fewer than 3 vertices");
        if (end - at < count * 12) return Fail(error, "GL command runs past its section");
        for (std::int64_t k = 0; k < count; ++k, at += 12) {
            const GlCommand::Item it{md2::ReadF32(at), md2::ReadF32(at + 4), md2::ReadI32(at + 8)};
            if (it.index < 0 || it.index >= f.vertices) return Fail(error, "GL command vertex index out of range");
            if (!(it.s >= 0.0f && it.s <= 1.0f && it.t >= 0.0f && it.t <= 1.0f))
                return Fail(error, "GL command texture coordinate outside 0..1");
            cmd.items.push_back(it);
        }
        out.push_back(std::move(cmd));
    }
    if (at != end) return Fail(error, "data after the GL commands' end");
    return true;
}

}  // namespace artview
