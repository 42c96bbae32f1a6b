// The committed character model: a valid file in every field, the standard
// animation set, and poses that keep the body whole and the right size.
// Positions are md2ex's decoded ones, in GL axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>

#include "anims.h"
#include "md2file.h"

using namespace artview;

namespace {

constexpr int kLeft = 0, kUp = 1, kForward = 2;  // the figure's, in GL axes

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Model : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ok_ = LoadMd2(ReadBytes(std::string(ART_RESOURCES) + "/Resource/Sydney.md2"), md2_, error_);
    }
    static Md2 md2_;
    static const md2::Model& model_;
    static std::string error_;
    static bool ok_;

    // Where a file or draw vertex is in a frame.
    static std::array<float, 3> At(size_t frame, int vertex) {
        const float* p = model_.Pose(int(frame)) + size_t(FileVertex(model_, vertex)) * md2::kPoseStride;
        return {p[0], p[1], p[2]};
    }
    static size_t Triangles() { return model_.indices.size() / 3; }
    // Corner k of triangle t, as a draw vertex.
    static int Corner(size_t t, int k) { return model_.indices[3 * t + size_t(k)]; }

    struct Box {
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    };
    static Box BoxOf(size_t frame) {
        Box b;
        for (int v = 0; v < model_.vertexCount; ++v) {
            auto p = At(frame, v);
            for (int i = 0; i < 3; ++i) {
                b.lo[i] = std::min(b.lo[i], p[size_t(i)]);
                b.hi[i] = std::max(b.hi[i], p[size_t(i)]);
            }
        }
        return b;
    }
};
Md2 Model::md2_;
const md2::Model& Model::model_ = Model::md2_.model;
std::string Model::error_;
bool Model::ok_ = false;

TEST_F(Model, IsAValidFileOfTheIntendedSize) {
    ASSERT_TRUE(ok_) << error_;
    const md2::File& file = md2_.file;
    EXPECT_GE(file.vertices, 600);
    EXPECT_LE(file.vertices, 1500);
    EXPECT_EQ(file.skinWidth, 512);
    EXPECT_EQ(file.skinHeight, 256);
    EXPECT_EQ(size_t(file.ofsEnd), md2_.bytes.size());  // nothing after the last section
    ASSERT_EQ(model_.skins.size(), 1u);
    EXPECT_EQ(model_.skins[0], "Sydney.png");
    for (float st : model_.texCoords) {  // inside the skin
        EXPECT_GE(st, 0.0f);
        EXPECT_LE(st, 1.0f);
    }
}

TEST_F(Model, HasTheStandardAnimationsFrameByFrame) {
    ASSERT_TRUE(ok_) << error_;
    ASSERT_EQ(md2_.frameNames.size(), 198u);
    const std::pair<const char*, int> expected[] = {
        {"stand", 0},    {"run", 40},     {"attack", 46},   {"pain1", 54},   {"pain2", 58},
        {"pain3", 62},   {"jump", 66},    {"flip", 72},     {"salute", 84},  {"taunt", 95},
        {"wave", 112},   {"point", 123},  {"crstand", 135}, {"crwalk", 154}, {"crattack", 160},
        {"crpain", 169}, {"crdeath", 173}, {"death1", 178}, {"death2", 184}, {"death3", 190}};
    for (size_t a = 0; a < std::size(expected); ++a) {
        int first = expected[a].second;
        int end = a + 1 < std::size(expected) ? expected[a + 1].second : 198;
        for (int f = first; f < end; ++f) {
            char name[16];
            std::snprintf(name, sizeof name, "%s%02d", expected[a].first, f - first + 1);
            EXPECT_EQ(md2_.frameNames[size_t(f)], name) << "frame " << f;
        }
    }
}

// The GL commands draw exactly the triangle list, wound the same way.
TEST_F(Model, GlCommandsMatchTheTriangles) {
    ASSERT_TRUE(ok_) << error_;
    std::vector<GlCommand> cmds;
    std::string error;
    ASSERT_TRUE(ReadGlCommands(md2_.file, cmds, error)) << error;
    using Tri = std::array<int, 3>;
    auto canonical = [](Tri t) {  // rotate so the smallest index leads; keeps the winding
        while (t[0] > t[1] || t[0] > t[2]) t = {t[1], t[2], t[0]};
        return t;
    };
    std::multiset<Tri> fromTris, fromCmds;
    for (size_t t = 0; t < Triangles(); ++t)
        fromTris.insert(canonical({FileVertex(model_, Corner(t, 0)), FileVertex(model_, Corner(t, 1)),
                                   FileVertex(model_, Corner(t, 2))}));
    for (const auto& c : cmds)
        for (size_t i = 2; i < c.items.size(); ++i) {
            int a = c.items[c.fan ? 0 : i - 2].index, b = c.items[i - 1].index, d = c.items[i].index;
            if (!c.fan && (i % 2) == 1) std::swap(a, b);
            fromCmds.insert(canonical({a, b, d}));
        }
    EXPECT_EQ(fromTris, fromCmds);
    // Their texture co-ordinates are the triangles' too (in skin pixels from the top).
    const int w = md2_.file.skinWidth, h = md2_.file.skinHeight;
    std::map<int, std::set<std::pair<int, int>>> stOfVertex;
    for (const int v : model_.indices)
        stOfVertex[FileVertex(model_, v)].insert({int(std::lround(model_.texCoords[2 * size_t(v)] * w)),
                                                  int(std::lround((1.0f - model_.texCoords[2 * size_t(v) + 1]) * h))});
    for (const auto& c : cmds)
        for (const auto& it : c.items) {
            std::pair<int, int> px{int(std::lround(it.s * w)), int(std::lround(it.t * h))};
            EXPECT_TRUE(stOfVertex[it.index].count(px)) << "vertex " << it.index;
        }
}

// Closed surface, front faces clockwise, stored normals pointing outwards.
TEST_F(Model, FacesAreClockwiseWithOutwardNormals) {
    ASSERT_TRUE(ok_) << error_;
    EXPECT_FALSE(model_.counterClockwise);  // md2ex reads the winding so too
    for (size_t f : {size_t(0), size_t(45), size_t(80), size_t(183)}) {
        double volume = 0;
        int agree = 0;
        for (size_t t = 0; t < Triangles(); ++t) {
            auto a = At(f, Corner(t, 0)), b = At(f, Corner(t, 1)), c = At(f, Corner(t, 2));
            double ab[3], ac[3];
            for (int i = 0; i < 3; ++i) {
                ab[i] = b[size_t(i)] - a[size_t(i)];
                ac[i] = c[size_t(i)] - a[size_t(i)];
            }
            double n[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2], ab[0] * ac[1] - ab[1] * ac[0]};
            volume += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6.0;
            auto stored = TableNormal(md2_, int(f), FileVertex(model_, Corner(t, 0)));
            if (-(n[0] * stored[0] + n[1] * stored[1] + n[2] * stored[2]) > 0) ++agree;
        }
        EXPECT_LT(volume, -1000.0) << "frame " << f;  // a body of some thousands of cubic units
        EXPECT_GT(agree, int(Triangles() * 95 / 100)) << "frame " << f;
    }
}

// Standing, the figure is 56 units tall with its soles at -24 and its head
// at about +32.
TEST_F(Model, StandsFiftySixUnitsTallOnTheFloor) {
    ASSERT_TRUE(ok_) << error_;
    for (size_t f = 0; f < 40; ++f) {
        Box b = BoxOf(f);
        EXPECT_NEAR(b.lo[kUp], -24.0f, 0.5f) << "frame " << f;
        EXPECT_NEAR(b.hi[kUp], 32.0f, 1.0f) << "frame " << f;
        EXPECT_LT(b.hi[kLeft] - b.lo[kLeft], 24.0f);  // arms down, not spread
    }
}

// No triangle tears apart or collapses as the joints bend: every edge stays
// within a sane range of its length in the first frame.
TEST_F(Model, BodyStaysWholeInEveryFrame) {
    ASSERT_TRUE(ok_) << error_;
    auto len = [](size_t frame, int a, int b) {
        auto p = At(frame, a), q = At(frame, b);
        double d = 0;
        for (int i = 0; i < 3; ++i) d += (p[size_t(i)] - q[size_t(i)]) * (p[size_t(i)] - q[size_t(i)]);
        return std::sqrt(d);
    };
    for (size_t f = 0; f < size_t(model_.frameCount); ++f) {
        const std::string& name = md2_.frameNames[f];
        int worst = 0;
        for (size_t t = 0; t < Triangles(); ++t)
            for (int k = 0; k < 3; ++k) {
                int a = Corner(t, k), b = Corner(t, (k + 1) % 3);
                if (len(f, a, b) > 2.0 * len(0, a, b) + 1.0) ++worst;
            }
        EXPECT_EQ(worst, 0) << name;
        Box b = BoxOf(f);
        for (int i : {kLeft, kForward}) {
            EXPECT_GT(b.lo[i], -45.0f) << name;
            EXPECT_LT(b.hi[i], 45.0f) << name;
        }
        EXPECT_GT(b.lo[kUp], -26.0f) << name;  // nothing sinks through the floor
    }
}

// The animations do what their names say, in outline.
TEST_F(Model, AnimationsHaveTheirShapes) {
    ASSERT_TRUE(ok_) << error_;
    float standTop = BoxOf(0).hi[kUp];
    for (size_t f = 135; f < 173; ++f) EXPECT_LT(BoxOf(f).hi[kUp], standTop - 8.0f) << "crouch " << f;
    float jumpLow = 1e9f;
    for (size_t f = 67; f < 70; ++f) jumpLow = std::min(jumpLow, BoxOf(f).lo[kUp]);
    EXPECT_GT(jumpLow, -20.0f);  // off the ground in mid-jump
    for (size_t f : {size_t(177), size_t(183), size_t(189), size_t(197)}) {
        Box b = BoxOf(f);
        EXPECT_LT(b.hi[kUp] - b.lo[kUp], 22.0f) << "lying at the end of " << md2_.frameNames[f];
    }
    // Waving and saluting raise the right hand to head height.
    for (size_t f : {size_t(88), size_t(116)}) {
        float rightTop = -1e9f;
        for (int v = 0; v < model_.vertexCount; ++v) {
            auto p = At(f, v);
            if (p[kLeft] < -8.0f) rightTop = std::max(rightTop, p[kUp]);
        }
        EXPECT_GT(rightTop, 22.0f) << md2_.frameNames[f];
    }
}

// What the checks above read beyond md2ex's parser (frame names, GL
// commands) is checked as strictly; md2ex's parse tests cover the rest.
TEST(Md2File, RejectsDamage) {
    std::vector<uint8_t> good = ReadBytes(std::string(ART_RESOURCES) + "/Resource/Sydney.md2");
    auto put32 = [](std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
    auto get32 = [](const std::vector<uint8_t>& b, size_t at) {
        int32_t v;
        std::memcpy(&v, &b[at], 4);
        return v;
    };
    auto reads = [](std::vector<uint8_t> bytes, std::string& error) {
        Md2 m;
        std::vector<GlCommand> cmds;
        return LoadMd2(std::move(bytes), m, error) && ReadGlCommands(m.file, cmds, error);
    };
    std::string error;
    ASSERT_TRUE(reads(good, error)) << error;
    const int32_t vertices = get32(good, 24);
    const size_t ofsFrames = size_t(get32(good, 56)), ofsGl = size_t(get32(good, 60));
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"wrong magic", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
        {"frame name unterminated", [&](std::vector<uint8_t>& b) { std::memset(&b[ofsFrames + 24], 'a', 16); }},
        {"GL command past its section", [&](std::vector<uint8_t>& b) { put32(b, ofsGl, 1 << 20); }},
        {"GL command of two vertices", [&](std::vector<uint8_t>& b) { put32(b, ofsGl, 2); }},
        {"GL command vertex out of range", [&](std::vector<uint8_t>& b) { put32(b, ofsGl + 12, vertices); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad);
        EXPECT_FALSE(reads(bad, error)) << c.what;
    }
}

// The generator's own frame table is the one the file was written from.
TEST(Animations, TableCoversAllFramesInOrder) {
    int next = 0;
    for (const art::AnimInfo& a : art::Animations()) {
        EXPECT_EQ(a.first, next) << a.name;
        next = a.first + a.count;
    }
    EXPECT_EQ(next, 198);
}

}  // namespace
