// Decoding of a validated MD2 file into OpenGL-ready arrays, and blending
// between stored frames.
//
// Axes: the file has z up and the character facing +x (its left at +y);
// OpenGL has y up and a model facing the viewer faces +z. A file point
// (x, y, z) becomes (y, z, x): a rotation, which keeps triangle winding.
//
// Lighting normals are the area-weighted face normals around each vertex of
// each frame: the file's normals, indices into a table of 162 directions, are
// up to about 10 degrees off and band the light on smooth surfaces. They
// still decide which side is outside (one vote over the first frame, so
// either winding lights correctly) and stand in for a vertex that no
// triangle with an area touches.
#include "bytes.h"
#include "model.h"

#include <cmath>
#include <cstring>
#include <string_view>
#include <utility>

#include "buffer.h"

namespace md2 {

namespace {

const float kNormals[kNormalCount][3] = {
#include "normals.inc"
};

// Mean agreement of the file's normals with counter-clockwise faces above
// which the file is taken to wind that way.
constexpr double kClearVerdict = 0.25;

struct Vec {
    double x, y, z;
};

Vec Sub(const float* a, const float* b) {
    return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}

Vec Cross(const Vec& a, const Vec& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

using Corners = memory::Buffer<std::uint16_t>;   // 3 file vertices per triangle

// Positions and table normals of one frame, in GL axes, into `pose`.
void DecodeFrame(const File& f, int frame, float* pose) {
    const std::uint8_t* p = f.data + f.ofsFrames + static_cast<std::size_t>(frame) * f.frameSize;
    float scale[3], translate[3];
    for (int axis = 0; axis < 3; ++axis) {
        scale[axis] = ReadF32(p + 4 * axis);
        translate[axis] = ReadF32(p + 12 + 4 * axis);
    }
    const std::uint8_t* v = p + kFrameHeadSize;
    for (int i = 0; i < f.vertices; ++i, v += kPackedVertexSize, pose += kPoseStride) {
        // GL axis j is file axis (j + 1) % 3, for positions and normals alike.
        for (int j = 0; j < 3; ++j) {
            const int axis = (j + 1) % 3;
            pose[j] = v[axis] * scale[axis] + translate[axis];
            pose[3 + j] = kNormals[v[3]][axis];
        }
    }
}

// +1 when the file's normals clearly tell that the triangles wind
// counter-clockwise seen from outside; otherwise (clockwise, or normals that
// point anywhere or cancel out) -1, the format's usual clockwise winding.
double Orientation(const float* pose, const Corners& corners) {
    double vote = 0.0, weight = 0.0;
    for (std::size_t i = 0; i + 2 < corners.size(); i += 3) {
        const float* a = pose + corners[i] * kPoseStride;
        const float* b = pose + corners[i + 1] * kPoseStride;
        const float* c = pose + corners[i + 2] * kPoseStride;
        const Vec n = Cross(Sub(b, a), Sub(c, a));  // area-weighted: big faces count more
        vote += n.x * (double(a[3]) + b[3] + c[3]) + n.y * (double(a[4]) + b[4] + c[4]) +
                n.z * (double(a[5]) + b[5] + c[5]);
        weight += 3.0 * std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    }
    // vote / weight is the mean cosine between face and file normals.
    return vote > kClearVerdict * weight ? 1.0 : -1.0;
}

// The triangles around each vertex, the same for every frame: those of
// vertex v are faces[start[v]] to faces[start[v + 1] - 1], once per corner.
struct Adjacency {
    memory::Buffer<int> start;
    memory::Buffer<std::uint16_t> faces;
};

// False when memory ran out.
bool BuildAdjacency(int vertices, const Corners& corners, Adjacency& adj) {
    memory::Buffer<int> next;
    if (!adj.start.Resize(static_cast<std::size_t>(vertices) + 1) || !adj.faces.Resize(corners.size()) ||
        !next.Resize(static_cast<std::size_t>(vertices)))
        return false;
    for (const std::uint16_t v : corners) ++adj.start[v + 1];
    for (int v = 0; v < vertices; ++v) adj.start[v + 1] += adj.start[v];
    std::memcpy(next.data(), adj.start.data(), next.size() * sizeof(int));
    for (std::size_t i = 0; i < corners.size(); ++i)
        adj.faces[next[corners[i]]++] = static_cast<std::uint16_t>(i / 3);
    return true;
}

// Replaces the table normals of `pose` with area-weighted face normals where
// a vertex has any. Face normals first, then one sum per vertex: no vertex
// is written twice, which keeps the loops free of store-to-load waits.
// `faceNormals` holds one Vec per triangle.
void ComputeNormals(float* pose, int vertices, const Corners& corners, const Adjacency& adj, double orientation,
                    memory::Buffer<Vec>& faceNormals) {
    for (std::size_t t = 0; t < faceNormals.size(); ++t) {
        const float* a = pose + corners[3 * t] * kPoseStride;
        faceNormals[t] = Cross(Sub(pose + corners[3 * t + 1] * kPoseStride, a),
                               Sub(pose + corners[3 * t + 2] * kPoseStride, a));
    }
    for (int v = 0; v < vertices; ++v) {
        Vec s{0, 0, 0};
        for (int i = adj.start[v]; i < adj.start[v + 1]; ++i) {
            const Vec& n = faceNormals[adj.faces[i]];
            s.x += n.x;
            s.y += n.y;
            s.z += n.z;
        }
        const double len = std::sqrt(s.x * s.x + s.y * s.y + s.z * s.z);
        if (!(len > 0.0)) continue;
        const double k = orientation / len;
        float* n = pose + v * kPoseStride + 3;
        n[0] = static_cast<float>(s.x * k);
        n[1] = static_cast<float>(s.y * k);
        n[2] = static_cast<float>(s.z * k);
    }
}

// Picks the draw vertex for each triangle corner: the file vertex itself the
// first time it is seen, and the same vertex again while it comes with the
// same texture coordinate; a different coordinate gets a copy (a seam).
// Coordinates go from skin pixels to GL texture space, whose t = 0 is the
// picture's bottom row (pictures are uploaded bottom row first). False when
// memory ran out.
bool BuildDrawVertices(const File& f, int width, int height, Model& m, Corners& corners) {
    const auto vertices = static_cast<std::size_t>(f.vertices);
    memory::Buffer<std::uint32_t> key;     // (s, t) bits per file vertex
    memory::Buffer<bool> used;
    memory::Buffer<int> firstCopy;         // chain of copies per file vertex
    memory::Buffer<int> nextCopy;
    memory::Buffer<std::uint32_t> copyKey; // and per copy
    if (!key.Resize(vertices) || !used.Resize(vertices) || !firstCopy.Assign(vertices, -1) ||
        !corners.Resize(static_cast<std::size_t>(f.triangles) * 3) || !m.indices.Resize(corners.size()))
        return false;
    const std::uint8_t* tri = f.data + f.ofsTriangles;
    const std::uint8_t* st = f.data + f.ofsTexCoords;
    for (int t = 0; t < f.triangles; ++t, tri += kTriangleSize) {
        for (int k = 0; k < 3; ++k) {
            const std::uint16_t v = ReadU16(tri + 2 * k);
            const std::uint32_t coord = ReadU32(st + kTexCoordSize * ReadU16(tri + 6 + 2 * k));
            const std::size_t at = static_cast<std::size_t>(t) * 3 + k;
            corners[at] = v;
            int index = v;
            if (!used[v]) {
                used[v] = true;
                key[v] = coord;
            } else if (key[v] != coord) {
                int c = firstCopy[v];
                while (c >= 0 && copyKey[c] != coord) c = nextCopy[c];
                if (c < 0) {
                    c = static_cast<int>(m.copies.size());
                    if (!m.copies.Append(v) || !copyKey.Append(coord) || !nextCopy.Append(firstCopy[v]))
                        return false;
                    firstCopy[v] = c;
                }
                index = f.vertices + c;
            }
            m.indices[at] = static_cast<std::uint16_t>(index);
        }
    }
    m.drawCount = f.vertices + static_cast<int>(m.copies.size());
    if (!m.texCoords.Resize(static_cast<std::size_t>(m.drawCount) * 2)) return false;
    for (int i = 0; i < m.drawCount; ++i) {
        const std::uint32_t bits = i < f.vertices ? key[i] : copyKey[i - f.vertices];
        const auto s = static_cast<float>(static_cast<std::int16_t>(bits & 0xffff));
        const auto t = static_cast<float>(static_cast<std::int16_t>(bits >> 16));
        m.texCoords[2 * i] = width > 0 ? s / static_cast<float>(width) : 0.0f;
        m.texCoords[2 * i + 1] = height > 0 ? 1.0f - t / static_cast<float>(height) : 0.0f;
    }
    return true;
}

void Lerp(const float* __restrict a, const float* __restrict b, float fraction,
          float* __restrict out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) out[i] = a[i] + fraction * (b[i] - a[i]);
}

}  // namespace

bool Decode(const File& f, int skinWidth, int skinHeight, Model& out) {
    out = Model{};
    Model m;
    m.frameCount = f.frames;
    m.vertexCount = f.vertices;
    if (!m.skins.Reserve(static_cast<std::size_t>(f.skins))) return false;
    for (int i = 0; i < f.skins; ++i) {
        const auto* name = reinterpret_cast<const char*>(f.data + f.ofsSkins + i * kSkinNameSize);
        (void)m.skins.Append(std::string_view(name, strnlen(name, kSkinNameSize)));   // room reserved
    }

    Corners corners;
    Adjacency adjacency;
    memory::Buffer<Vec> faceNormals;
    // The file's coordinates are in units of the skin size its header declares,
    // whatever the resolution of the picture drawn (a skin at twice the size
    // maps the same); the picture's own size serves only where the header has none.
    if (!BuildDrawVertices(f, f.skinWidth > 0 ? f.skinWidth : skinWidth,
                           f.skinHeight > 0 ? f.skinHeight : skinHeight, m, corners) ||
        !m.poses.Resize(static_cast<std::size_t>(f.frames) * f.vertices * kPoseStride) ||
        !BuildAdjacency(f.vertices, corners, adjacency) || !faceNormals.Resize(corners.size() / 3))
        return false;
    double orientation = -1.0;
    for (int frame = 0; frame < f.frames; ++frame) {
        float* pose = m.poses.data() + static_cast<std::size_t>(frame) * f.vertices * kPoseStride;
        DecodeFrame(f, frame, pose);
        if (frame == 0) orientation = Orientation(pose, corners);
        ComputeNormals(pose, f.vertices, corners, adjacency, orientation, faceNormals);
    }
    m.counterClockwise = orientation > 0.0;
    out = std::move(m);
    return true;
}

Error Load(const std::uint8_t* data, std::size_t size, int skinWidth, int skinHeight, Model& out) {
    File file;
    const Error error = Parse(data, size, file);
    if (error != Error::None) {
        out = Model{};
        return error;
    }
    return Decode(file, skinWidth, skinHeight, out) ? Error::None : Error::OutOfMemory;
}

FramePair PickFrames(float position, int frameCount) {
    if (frameCount <= 0 || !(position >= 1.0f)) return {};  // also NaN and -infinity
    if (position >= static_cast<float>(frameCount)) return {frameCount - 1, frameCount - 1, 0.0f};
    const float whole = std::floor(position);
    const int second = static_cast<int>(whole);
    return {second - 1, second, position - whole};
}

void Blend(const Model& m, float position, float* out) {
    if (m.frameCount <= 0 || m.vertexCount <= 0) return;
    const FramePair pick = PickFrames(position, m.frameCount);
    const std::size_t count = static_cast<std::size_t>(m.vertexCount) * kPoseStride;
    if (pick.fraction == 0.0f)
        std::memcpy(out, m.Pose(pick.first), count * sizeof(float));
    else
        Lerp(m.Pose(pick.first), m.Pose(pick.second), pick.fraction, out, count);
    float* copy = out + count;
    for (const std::uint16_t source : m.copies) {
        std::memcpy(copy, out + static_cast<std::size_t>(source) * kPoseStride, kPoseStride * sizeof(float));
        copy += kPoseStride;
    }
}

}  // namespace md2
