// MD2 model files: validation, decoding to OpenGL-ready arrays and frame
// blending. Platform-neutral: no Win32 and no OpenGL in here.
#pragma once

#include <cstddef>
#include <cstdint>

#include "buffer.h"
#include "fixed_text.h"

namespace md2 {

// Limits of the format's classic readers; a file beyond them is rejected.
constexpr int kMaxSkins = 32;
constexpr int kMaxVertices = 2048;
constexpr int kMaxTriangles = 4096;
constexpr int kMaxFrames = 512;
// Every triangle corner may name its own texture coordinate; more than that
// can never be used.
constexpr int kMaxTexCoords = 3 * kMaxTriangles;
constexpr int kNormalCount = 162;
// Largest position a frame may reach on any axis; far beyond any real model,
// and small enough that differences of positions cannot overflow.
constexpr float kMaxCoordinate = 1e30f;

constexpr std::size_t kHeaderSize = 17 * 4;
constexpr std::size_t kSkinNameSize = 64;
constexpr std::size_t kTexCoordSize = 4;     // int16 s, t
constexpr std::size_t kTriangleSize = 12;    // uint16 vertex[3], texcoord[3]
constexpr std::size_t kFrameHeadSize = 40;   // float scale[3], translate[3]; char name[16]
constexpr std::size_t kPackedVertexSize = 4; // uint8 x, y, z, normal index

enum class Error {
    None,
    TooSmall,       // shorter than the header
    BadMagic,       // not "IDP2"
    BadVersion,     // not version 8
    BadSkinSize,    // negative skin width or height
    BadCount,       // a count outside the classic limits (or zero where one is needed)
    BadFrameSize,   // frame size does not match the vertex count
    Truncated,      // the header's end offset lies past the end of the data
    BadOffset,      // a section starts in the header or reaches past the end
    BadSkinName,    // a skin name without its terminating zero
    BadTriangle,    // a vertex or texture-coordinate index out of range
    BadFrame,       // scale or translation non-finite or reaching past kMaxCoordinate
    BadNormal,      // a normal index of 162 or more
    OutOfMemory,    // a valid file, but no memory to decode it (Load only)
};

const char* ErrorName(Error error);

// A file that passed every check: its header values, with offsets into the
// caller's buffer, which must outlive the File.
struct File {
    const std::uint8_t* data = nullptr;
    std::int32_t skinWidth = 0, skinHeight = 0, frameSize = 0;
    std::int32_t skins = 0, vertices = 0, texCoords = 0, triangles = 0, glCommands = 0, frames = 0;
    std::int32_t ofsSkins = 0, ofsTexCoords = 0, ofsTriangles = 0, ofsFrames = 0,
                 ofsGlCommands = 0, ofsEnd = 0;
};

// Checks everything the decoder relies on. On failure `out` is left empty.
Error Parse(const std::uint8_t* data, std::size_t size, File& out);

// Floats per vertex of a pose: position x, y, z, then normal x, y, z.
constexpr int kPoseStride = 6;

// A skin name as the file gives it: Parse has found its zero within the
// 64 bytes, so at most 63 characters, which always fit.
using SkinName = memory::Text<kSkinNameSize>;

// A decoded model in OpenGL axes (y up, facing +z at a spin of 0).
//
// The draw arrays hold `drawCount` vertices: first the file's vertices in
// file order, then copies of those that the triangles use with more than one
// texture coordinate (texture seams). Frames are stored per file vertex only,
// so memory stays proportional to the file; a blend writes the file vertices
// and then fills the copies.
struct Model {
    int frameCount = 0;
    int vertexCount = 0;                    // file vertices per frame
    int drawCount = 0;                      // vertexCount + copies.size()
    memory::Buffer<float> poses;            // frameCount * vertexCount * kPoseStride
    memory::Buffer<float> texCoords;        // drawCount * 2, in GL texture space
    memory::Buffer<std::uint16_t> copies;   // source file vertex of draw vertex vertexCount + i
    memory::Buffer<std::uint16_t> indices;  // 3 per triangle, into the draw arrays
    memory::Buffer<SkinName> skins;         // skin names as the file gives them
    bool counterClockwise = false;          // front faces wind counter-clockwise seen from outside

    const float* Pose(int frame) const {
        return poses.data() + static_cast<std::size_t>(frame) * vertexCount * kPoseStride;
    }
};

// Builds the model from a parsed file. Texture coordinates are divided by
// the skin size the file's header declares; where a side of it is 0, by the
// skin picture's side instead, and if that is 0 or less too the coordinate is 0.
// False when memory ran out; `out` is then left empty.
[[nodiscard]] bool Decode(const File& file, int skinWidth, int skinHeight, Model& out);

// Parse and Decode together: Parse's error, or OutOfMemory when Decode
// failed; on failure `out` is left empty.
Error Load(const std::uint8_t* data, std::size_t size, int skinWidth, int skinHeight, Model& out);

// The two stored frames (0-based) and the blend fraction for a 1-based,
// fractional frame position: floor(p) and floor(p) + 1 counted from 1.
// At or past the last frame: the last frame. Below 1, NaN: the first frame.
struct FramePair {
    int first = 0;
    int second = 0;
    float fraction = 0.0f;
};
FramePair PickFrames(float position, int frameCount);

// Writes the model's draw arrays for a frame position into `out`, which
// holds drawCount * kPoseStride floats. Normals of blended frames are not
// unit length; the drawer has OpenGL normalise them.
void Blend(const Model& model, float position, float* out);

// Back-face culling ahead of the renderer. From a pose as Blend writes it,
// writes into `out` (room for model.indices.size()) the index triples of the
// triangles that may face the eye under the given column-major modelview and
// projection matrices; returns the number of indices written. Each triangle
// is judged from the eye in model space (a direction for a parallel
// projection), by its winding on screen against the model's. Triangles near
// edge-on are kept, so only what the renderer would cull anyway is dropped;
// matrices that give no eye (singular, non-finite) keep every triangle.
std::size_t FacingTriangles(const Model& model, const float* pose, const float modelview[16],
                            const float projection[16], std::uint16_t* out);

}  // namespace md2
