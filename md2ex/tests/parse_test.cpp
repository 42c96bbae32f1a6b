// Validation of MD2 files: well-formed files pass, and every kind of damage
// is rejected for its own reason, leaving nothing behind.
#include "builder.h"
#include "model.h"

#include <gtest/gtest.h>

#include <climits>
#include <limits>

namespace {

using md2::Error;
using namespace md2test;

Error ParseBytes(const std::vector<std::uint8_t>& bytes, md2::File* out = nullptr) {
    md2::File file;
    const Error error = md2::Parse(bytes.data(), bytes.size(), file);
    if (error != Error::None) {
        EXPECT_EQ(file.data, nullptr) << "a rejected file leaves its File empty";
    }
    if (out) *out = file;
    return error;
}

::testing::AssertionResult Rejects(const std::vector<std::uint8_t>& bytes, Error expected) {
    const Error got = ParseBytes(bytes);
    if (got == expected) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got \"" << md2::ErrorName(got) << "\", expected \""
                                         << md2::ErrorName(expected) << "\"";
}

TEST(Md2Parse, AcceptsWellFormedFiles) {
    for (const Blueprint& plan : {Square(), Cube(true), Body(5, 7, 3)}) {
        const auto bytes = Build(plan);
        md2::File file;
        ASSERT_EQ(ParseBytes(bytes, &file), Error::None);
        EXPECT_EQ(file.vertices, static_cast<int>(plan.frames[0].vertices.size()));
        EXPECT_EQ(file.triangles, static_cast<int>(plan.triangles.size()));
        EXPECT_EQ(file.frames, static_cast<int>(plan.frames.size()));
        EXPECT_EQ(file.ofsEnd, static_cast<int>(bytes.size()));
    }
}

TEST(Md2Parse, AnEmptySkinListIgnoresItsOffset) {
    Blueprint plan = Square();
    plan.skins.clear();
    auto bytes = Build(plan);
    for (const std::int32_t offset : {INT_MIN, -1, INT_MAX}) {
        SetField(bytes, kOfsSkins, offset);
        md2::File file;
        EXPECT_EQ(ParseBytes(bytes, &file), Error::None) << offset;
    }
}

TEST(Md2Parse, RejectsWrongIdentityAndTinyInputs) {
    auto bytes = Build(Square());
    md2::File file;
    EXPECT_EQ(md2::Parse(nullptr, 0, file), Error::TooSmall);
    EXPECT_TRUE(Rejects(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 67), Error::TooSmall));
    auto other = bytes;
    std::memcpy(other.data(), "IDPO", 4);  // a different model format
    EXPECT_TRUE(Rejects(other, Error::BadMagic));
    other = bytes;
    SetField(other, kVersion, 7);
    EXPECT_TRUE(Rejects(other, Error::BadVersion));
}

TEST(Md2Parse, RejectsBadHeaderValues) {
    const auto good = Build(Square());
    const std::int32_t size = static_cast<std::int32_t>(good.size());
    const std::int32_t frameSize = GetField(good, kFrameSize);
    struct Case {
        const char* what;
        Field field;
        std::int32_t value;
        Error expected;
    };
    const Case cases[] = {
        {"negative skin width", kSkinWidth, -1, Error::BadSkinSize},
        {"negative skin height", kSkinHeight, INT_MIN, Error::BadSkinSize},
        {"33 skins", kNumSkins, 33, Error::BadCount},
        {"negative skin count", kNumSkins, -1, Error::BadCount},
        {"no vertices", kNumVertices, 0, Error::BadCount},
        {"2049 vertices", kNumVertices, 2049, Error::BadCount},
        {"huge vertex count", kNumVertices, INT_MAX, Error::BadCount},
        {"negative vertex count", kNumVertices, -4, Error::BadCount},
        {"no texture coordinates", kNumTexCoords, 0, Error::BadCount},
        {"12289 texture coordinates", kNumTexCoords, 12289, Error::BadCount},
        {"no triangles", kNumTriangles, 0, Error::BadCount},
        {"4097 triangles", kNumTriangles, 4097, Error::BadCount},
        {"no frames", kNumFrames, 0, Error::BadCount},
        {"513 frames", kNumFrames, 513, Error::BadCount},
        {"negative GL command count", kNumGlCommands, -1, Error::BadCount},
        {"frame size one vertex short", kFrameSize, frameSize - 4, Error::BadFrameSize},
        {"frame size one vertex long", kFrameSize, frameSize + 4, Error::BadFrameSize},
        {"frame size 0", kFrameSize, 0, Error::BadFrameSize},
        {"frame size negative", kFrameSize, -frameSize, Error::BadFrameSize},
        {"end past the data", kOfsEnd, size + 1, Error::Truncated},
        {"negative end", kOfsEnd, -1, Error::Truncated},
        {"skins past the end", kOfsSkins, size - 63, Error::BadOffset},
        {"texture coordinates inside the header", kOfsTexCoords, 60, Error::BadOffset},
        {"negative triangle offset", kOfsTriangles, -12, Error::BadOffset},
        {"frame offset near the top of int32", kOfsFrames, INT_MAX - 8, Error::BadOffset},
        {"GL commands past the end", kOfsGlCommands, size - 4, Error::BadOffset},
        {"max triangles in a small file", kNumTriangles, 4096, Error::BadOffset},
        {"max frames in a small file", kNumFrames, 512, Error::BadOffset},
        {"max texture coordinates in a small file", kNumTexCoords, 12288, Error::BadOffset},
        {"32 skins in a small file", kNumSkins, 32, Error::BadOffset},
        {"huge GL command count", kNumGlCommands, INT_MAX, Error::BadOffset},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        SetField(bytes, c.field, c.value);
        EXPECT_TRUE(Rejects(bytes, c.expected)) << c.what;
    }
}

TEST(Md2Parse, RejectsEveryTruncation) {
    const auto good = Build(Square());
    // Cut anywhere: the header still claims the full length.
    for (std::size_t cut = 0; cut < good.size(); ++cut)
        EXPECT_NE(ParseBytes({good.begin(), good.begin() + cut}), Error::None) << "cut at " << cut;
    // Cut inside each section with the end offset made to agree: the section
    // check itself must catch it.
    for (Field ofs : {kOfsSkins, kOfsTexCoords, kOfsTriangles, kOfsFrames, kOfsGlCommands}) {
        std::vector<std::uint8_t> bytes(good.begin(), good.begin() + GetField(good, ofs) + 2);
        SetField(bytes, kOfsEnd, static_cast<std::int32_t>(bytes.size()));
        EXPECT_TRUE(Rejects(bytes, Error::BadOffset)) << "section at header field " << ofs;
    }
}

TEST(Md2Parse, ChecksEveryTriangleIndex) {
    const Blueprint good = Square();
    struct Case {
        int triangle, slot;  // slot 0-2: vertex index, 3-5: texture coordinate index
        std::uint16_t value;
    };
    const Case cases[] = {{0, 0, 4}, {1, 2, 4}, {1, 1, 0xffff}, {0, 3, 4}, {1, 5, 4}, {0, 4, 0xffff}};
    for (const Case& c : cases) {
        Blueprint plan = good;
        Triangle& t = plan.triangles[c.triangle];
        (c.slot < 3 ? t.vertex[c.slot] : t.texCoord[c.slot - 3]) = c.value;
        EXPECT_TRUE(Rejects(Build(plan), Error::BadTriangle)) << c.triangle << "/" << c.slot;
    }
    Blueprint edge = good;
    edge.triangles[1].vertex[2] = 3;  // the last valid indices pass
    edge.triangles[1].texCoord[2] = 3;
    EXPECT_EQ(ParseBytes(Build(edge)), Error::None);
}

TEST(Md2Parse, SkinNamesMustEndInsideTheirField) {
    Blueprint plan = Square();
    plan.skins = {"a", std::string(63, 'x')};
    EXPECT_EQ(ParseBytes(Build(plan)), Error::None);
    plan.skins = {"a", std::string(64, 'x')};  // no room left for the zero
    EXPECT_TRUE(Rejects(Build(plan), Error::BadSkinName));
}

TEST(Md2Parse, ChecksNormalIndicesInEveryFrame) {
    for (std::uint8_t index : {std::uint8_t{162}, std::uint8_t{200}, std::uint8_t{255}}) {
        Blueprint plan = Square();
        plan.frames[1].vertices[3].normal = index;
        EXPECT_TRUE(Rejects(Build(plan), Error::BadNormal)) << int(index);
    }
    Blueprint plan = Square();
    plan.frames[1].vertices[3].normal = 161;
    EXPECT_EQ(ParseBytes(Build(plan)), Error::None);
}

TEST(Md2Parse, RejectsFramesWithUnusablePositions) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        bool scale;
        int axis;
        float value;
    };
    const Case cases[] = {{true, 0, nan}, {true, 2, inf}, {false, 1, -inf}, {false, 0, nan},
                          {true, 1, 1e29f}, {false, 2, -2e30f}};
    for (const Case& c : cases) {
        Blueprint plan = Square();
        (c.scale ? plan.frames[1].scale : plan.frames[1].translate)[c.axis] = c.value;
        EXPECT_TRUE(Rejects(Build(plan), Error::BadFrame)) << c.scale << " " << c.axis << " " << c.value;
    }
    Blueprint plan = Square();
    plan.frames[0].scale[0] = -1e6f;  // large but finite and bounded: accepted
    plan.frames[0].translate[0] = 1e20f;
    EXPECT_EQ(ParseBytes(Build(plan)), Error::None);
}

}  // namespace
