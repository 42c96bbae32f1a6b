// Validation of MD2 files: every offset, size, count and index is checked
// before anything is read through it.
#include "bytes.h"
#include "model.h"

#include <cmath>
#include <cstring>
#include <iterator>

namespace md2 {

// The errors' names, in the order of the enumeration.
constexpr const char* kErrorNames[] = {
    "none", "too small", "bad magic", "bad version", "bad skin size", "bad count", "bad frame size",
    "truncated", "bad offset", "bad skin name", "bad triangle", "bad frame", "bad normal", "out of memory"};
static_assert(std::size(kErrorNames) == static_cast<std::size_t>(Error::OutOfMemory) + 1);

const char* ErrorName(Error error) {
    const auto index = static_cast<std::size_t>(error);
    return index < std::size(kErrorNames) ? kErrorNames[index] : "unknown";
}

namespace {

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    return value >= low && value <= high;
}

// A section of `count` items of `itemSize` bytes at `offset` lies after the
// header and inside the data. 64-bit arithmetic: no sum can wrap.
bool SectionFits(std::int32_t offset, std::int32_t count, std::size_t itemSize, std::size_t size) {
    if (count == 0) return true;
    if (offset < 0 || static_cast<std::uint64_t>(offset) < kHeaderSize) return false;
    const std::uint64_t end = static_cast<std::uint64_t>(offset) +
                              static_cast<std::uint64_t>(count) * itemSize;
    return end <= size;
}

Error CheckHeader(const std::uint8_t* data, std::size_t size, File& f) {
    if (data == nullptr || size < kHeaderSize) return Error::TooSmall;
    if (std::memcmp(data, "IDP2", 4) != 0) return Error::BadMagic;
    if (ReadI32(data + 4) != 8) return Error::BadVersion;

    const auto field = [data](int index) { return ReadI32(data + 4 * index); };
    f.data = data;
    f.skinWidth = field(2);
    f.skinHeight = field(3);
    f.frameSize = field(4);
    f.skins = field(5);
    f.vertices = field(6);
    f.texCoords = field(7);
    f.triangles = field(8);
    f.glCommands = field(9);
    f.frames = field(10);
    f.ofsSkins = field(11);
    f.ofsTexCoords = field(12);
    f.ofsTriangles = field(13);
    f.ofsFrames = field(14);
    f.ofsGlCommands = field(15);
    f.ofsEnd = field(16);

    if (f.skinWidth < 0 || f.skinHeight < 0) return Error::BadSkinSize;
    if (!InRange(f.skins, 0, kMaxSkins) || !InRange(f.vertices, 1, kMaxVertices) ||
        !InRange(f.texCoords, 1, kMaxTexCoords) || !InRange(f.triangles, 1, kMaxTriangles) ||
        !InRange(f.frames, 1, kMaxFrames) || f.glCommands < 0)
        return Error::BadCount;
    if (static_cast<std::int64_t>(f.frameSize) !=
        static_cast<std::int64_t>(kFrameHeadSize + kPackedVertexSize * f.vertices))
        return Error::BadFrameSize;
    // A file cut short still claims its full length here.
    if (f.ofsEnd < 0 || static_cast<std::uint64_t>(f.ofsEnd) > size) return Error::Truncated;
    if (!SectionFits(f.ofsSkins, f.skins, kSkinNameSize, size) ||
        !SectionFits(f.ofsTexCoords, f.texCoords, kTexCoordSize, size) ||
        !SectionFits(f.ofsTriangles, f.triangles, kTriangleSize, size) ||
        !SectionFits(f.ofsFrames, f.frames, static_cast<std::size_t>(f.frameSize), size) ||
        !SectionFits(f.ofsGlCommands, f.glCommands, 4, size))
        return Error::BadOffset;
    return Error::None;
}

Error CheckSkins(const File& f) {
    // The offset of an empty skin list is never checked, so no pointer is
    // formed from it.
    for (int i = 0; i < f.skins; ++i) {
        const std::uint8_t* p = f.data + f.ofsSkins + static_cast<std::size_t>(i) * kSkinNameSize;
        if (std::memchr(p, 0, kSkinNameSize) == nullptr) return Error::BadSkinName;
    }
    return Error::None;
}

Error CheckTriangles(const File& f) {
    const std::uint8_t* p = f.data + f.ofsTriangles;
    for (int i = 0; i < f.triangles; ++i, p += kTriangleSize) {
        for (int k = 0; k < 3; ++k) {
            if (ReadU16(p + 2 * k) >= f.vertices) return Error::BadTriangle;
            if (ReadU16(p + 6 + 2 * k) >= f.texCoords) return Error::BadTriangle;
        }
    }
    return Error::None;
}

Error CheckFrames(const File& f) {
    const std::uint8_t* p = f.data + f.ofsFrames;
    for (int i = 0; i < f.frames; ++i, p += f.frameSize) {
        for (int axis = 0; axis < 3; ++axis) {
            const float scale = ReadF32(p + 4 * axis);
            const float translate = ReadF32(p + 12 + 4 * axis);
            // Bounded positions keep every difference and blend finite
            // (the comparison is false for NaN and infinity too).
            if (!(std::fabs(scale) * 255.0f + std::fabs(translate) <= kMaxCoordinate))
                return Error::BadFrame;
        }
        const std::uint8_t* v = p + kFrameHeadSize;
        for (int k = 0; k < f.vertices; ++k, v += kPackedVertexSize)
            if (v[3] >= kNormalCount) return Error::BadNormal;
    }
    return Error::None;
}

}  // namespace

Error Parse(const std::uint8_t* data, std::size_t size, File& out) {
    File f;
    Error error = CheckHeader(data, size, f);
    if (error == Error::None) error = CheckSkins(f);
    if (error == Error::None) error = CheckTriangles(f);
    if (error == Error::None) error = CheckFrames(f);
    out = error == Error::None ? f : File{};
    return error;
}

}  // namespace md2
