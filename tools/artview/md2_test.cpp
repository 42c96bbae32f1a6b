// The committed character model: a valid file in every field, the standard
// animation set, and poses that keep the body whole and the right size.
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
#include "md2read.h"

using namespace artview;

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Model : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        bytes_ = ReadBytes(std::string(ART_RESOURCES) + "/Resource/Sydney.md2");
        ok_ = ReadMd2(bytes_, model_, error_);
    }
    static std::vector<uint8_t> bytes_;
    static Md2Model model_;
    static std::string error_;
    static bool ok_;

    struct Box {
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    };
    static Box BoxOf(size_t frame) {
        Box b;
        for (size_t v = 0; v < model_.frames[frame].verts.size(); ++v) {
            auto p = VertexPosition(model_.frames[frame], v);
            for (int i = 0; i < 3; ++i) {
                b.lo[i] = std::min(b.lo[i], p[size_t(i)]);
                b.hi[i] = std::max(b.hi[i], p[size_t(i)]);
            }
        }
        return b;
    }
};
std::vector<uint8_t> Model::bytes_;
Md2Model Model::model_;
std::string Model::error_;
bool Model::ok_ = false;

TEST_F(Model, IsAValidFileOfTheIntendedSize) {
    ASSERT_TRUE(ok_) << error_;
    EXPECT_GE(model_.numXyz, 600);
    EXPECT_LE(model_.numXyz, 1500);
    EXPECT_EQ(model_.skinWidth, 512);
    EXPECT_EQ(model_.skinHeight, 256);
    ASSERT_EQ(model_.skins.size(), 1u);
    EXPECT_EQ(model_.skins[0], "Sydney.png");
    for (const auto& st : model_.st) {
        EXPECT_GE(st[0], 0);
        EXPECT_LE(st[0], model_.skinWidth);
        EXPECT_GE(st[1], 0);
        EXPECT_LE(st[1], model_.skinHeight);
    }
}

TEST_F(Model, HasTheStandardAnimationsFrameByFrame) {
    ASSERT_TRUE(ok_) << error_;
    ASSERT_EQ(model_.frames.size(), 198u);
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
            EXPECT_EQ(model_.frames[size_t(f)].name, name) << "frame " << f;
        }
    }
}

// The GL commands draw exactly the triangle list, wound the same way.
TEST_F(Model, GlCommandsMatchTheTriangles) {
    ASSERT_TRUE(ok_) << error_;
    using Tri = std::array<int, 3>;
    auto canonical = [](Tri t) {  // rotate so the smallest index leads; keeps the winding
        while (t[0] > t[1] || t[0] > t[2]) t = {t[1], t[2], t[0]};
        return t;
    };
    std::multiset<Tri> fromTris, fromCmds;
    for (const auto& t : model_.tris) fromTris.insert(canonical({t[0], t[1], t[2]}));
    for (const auto& c : model_.cmds)
        for (size_t i = 2; i < c.items.size(); ++i) {
            int a = c.items[c.fan ? 0 : i - 2].index, b = c.items[i - 1].index, d = c.items[i].index;
            if (!c.fan && (i % 2) == 1) std::swap(a, b);
            fromCmds.insert(canonical({a, b, d}));
        }
    EXPECT_EQ(fromTris, fromCmds);
    // Their texture co-ordinates are the triangles' too.
    std::map<int, std::set<std::pair<int, int>>> stOfVertex;
    for (const auto& t : model_.tris)
        for (int k = 0; k < 3; ++k) stOfVertex[t[size_t(k)]].insert({model_.st[t[size_t(k) + 3]][0], model_.st[t[size_t(k) + 3]][1]});
    for (const auto& c : model_.cmds)
        for (const auto& it : c.items) {
            std::pair<int, int> px{int(std::lround(it.s * model_.skinWidth)), int(std::lround(it.t * model_.skinHeight))};
            EXPECT_TRUE(stOfVertex[it.index].count(px)) << "vertex " << it.index;
        }
}

// Closed surface, front faces clockwise, stored normals pointing outwards.
TEST_F(Model, FacesAreClockwiseWithOutwardNormals) {
    ASSERT_TRUE(ok_) << error_;
    for (size_t f : {size_t(0), size_t(45), size_t(80), size_t(183)}) {
        const Md2Frame& fr = model_.frames[f];
        double volume = 0;
        int agree = 0;
        for (const auto& t : model_.tris) {
            auto a = VertexPosition(fr, t[0]), b = VertexPosition(fr, t[1]), c = VertexPosition(fr, t[2]);
            double ab[3], ac[3];
            for (int i = 0; i < 3; ++i) {
                ab[i] = b[size_t(i)] - a[size_t(i)];
                ac[i] = c[size_t(i)] - a[size_t(i)];
            }
            double n[3] = {ab[1] * ac[2] - ab[2] * ac[1], ab[2] * ac[0] - ab[0] * ac[2], ab[0] * ac[1] - ab[1] * ac[0]};
            volume += (a[0] * n[0] + a[1] * n[1] + a[2] * n[2]) / 6.0;
            auto stored = LightNormal(fr.verts[t[0]][3]);
            if (-(n[0] * stored[0] + n[1] * stored[1] + n[2] * stored[2]) > 0) ++agree;
        }
        EXPECT_LT(volume, -1000.0) << "frame " << f;  // a body of some thousands of cubic units
        EXPECT_GT(agree, int(model_.tris.size() * 95 / 100)) << "frame " << f;
    }
}

// Standing, the figure is 56 units tall with its soles at -24 and its head
// at about +32.
TEST_F(Model, StandsFiftySixUnitsTallOnTheFloor) {
    ASSERT_TRUE(ok_) << error_;
    for (size_t f = 0; f < 40; ++f) {
        Box b = BoxOf(f);
        EXPECT_NEAR(b.lo[2], -24.0f, 0.5f) << "frame " << f;
        EXPECT_NEAR(b.hi[2], 32.0f, 1.0f) << "frame " << f;
        EXPECT_LT(b.hi[1] - b.lo[1], 24.0f);  // arms down, not spread
    }
}

// No triangle tears apart or collapses as the joints bend: every edge stays
// within a sane range of its length in the first frame.
TEST_F(Model, BodyStaysWholeInEveryFrame) {
    ASSERT_TRUE(ok_) << error_;
    auto len = [](const Md2Frame& fr, int a, int b) {
        auto p = VertexPosition(fr, size_t(a)), q = VertexPosition(fr, size_t(b));
        double d = 0;
        for (int i = 0; i < 3; ++i) d += (p[size_t(i)] - q[size_t(i)]) * (p[size_t(i)] - q[size_t(i)]);
        return std::sqrt(d);
    };
    const Md2Frame& rest = model_.frames[0];
    for (size_t f = 0; f < model_.frames.size(); ++f) {
        int worst = 0;
        for (const auto& t : model_.tris)
            for (int k = 0; k < 3; ++k) {
                int a = t[size_t(k)], b = t[size_t((k + 1) % 3)];
                if (len(model_.frames[f], a, b) > 2.0 * len(rest, a, b) + 1.0) ++worst;
            }
        EXPECT_EQ(worst, 0) << model_.frames[f].name;
        Box b = BoxOf(f);
        for (int i = 0; i < 2; ++i) {
            EXPECT_GT(b.lo[i], -45.0f) << model_.frames[f].name;
            EXPECT_LT(b.hi[i], 45.0f) << model_.frames[f].name;
        }
        EXPECT_GT(b.lo[2], -26.0f) << model_.frames[f].name;  // nothing sinks through the floor
    }
}

// The animations do what their names say, in outline.
TEST_F(Model, AnimationsHaveTheirShapes) {
    ASSERT_TRUE(ok_) << error_;
    float standTop = BoxOf(0).hi[2];
    for (size_t f = 135; f < 173; ++f) EXPECT_LT(BoxOf(f).hi[2], standTop - 8.0f) << "crouch " << f;
    float jumpLow = 1e9f;
    for (size_t f = 67; f < 70; ++f) jumpLow = std::min(jumpLow, BoxOf(f).lo[2]);
    EXPECT_GT(jumpLow, -20.0f);  // off the ground in mid-jump
    for (size_t f : {size_t(177), size_t(183), size_t(189), size_t(197)}) {
        Box b = BoxOf(f);
        EXPECT_LT(b.hi[2] - b.lo[2], 22.0f) << "lying at the end of " << model_.frames[f].name;
    }
    // Waving and saluting raise the right hand (-y side) to head height.
    for (size_t f : {size_t(88), size_t(116)}) {
        float rightTop = -1e9f;
        for (size_t v = 0; v < model_.frames[f].verts.size(); ++v) {
            auto p = VertexPosition(model_.frames[f], v);
            if (p[1] < -8.0f) rightTop = std::max(rightTop, p[2]);
        }
        EXPECT_GT(rightTop, 22.0f) << model_.frames[f].name;
    }
}

// The reader that the checks above rely on refuses damaged files.
TEST(Md2Reader, RejectsDamage) {
    std::vector<uint8_t> good = ReadBytes(std::string(ART_RESOURCES) + "/Resource/Sydney.md2");
    Md2Model m;
    std::string error;
    ASSERT_TRUE(ReadMd2(good, m, error)) << error;
    auto put32 = [](std::vector<uint8_t>& b, size_t at, int32_t v) { std::memcpy(&b[at], &v, 4); };
    auto get32 = [](const std::vector<uint8_t>& b, size_t at) {
        int32_t v;
        std::memcpy(&v, &b[at], 4);
        return v;
    };
    const size_t ofsTris = size_t(get32(good, 52)), ofsFrames = size_t(get32(good, 56));
    const size_t ofsGl = size_t(get32(good, 60));
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        {"truncated header", [](std::vector<uint8_t>& b) { b.resize(40); }},
        {"wrong magic", [](std::vector<uint8_t>& b) { b[0] = 'X'; }},
        {"vertex count too big", [&](std::vector<uint8_t>& b) { put32(b, 24, 5000); }},
        {"frame size mismatch", [&](std::vector<uint8_t>& b) { put32(b, 16, get32(b, 16) + 4); }},
        {"frames past the end", [&](std::vector<uint8_t>& b) { put32(b, 56, int32_t(b.size()) - 100); }},
        {"file cut short", [](std::vector<uint8_t>& b) { b.resize(b.size() - 8); }},
        {"triangle index out of range", [&](std::vector<uint8_t>& b) { b[ofsTris] = 0xFF; b[ofsTris + 1] = 0x7F; }},
        {"normal index 162", [&](std::vector<uint8_t>& b) { b[ofsFrames + 43] = 162; }},
        {"frame name unterminated", [&](std::vector<uint8_t>& b) { std::memset(&b[ofsFrames + 24], 'a', 16); }},
        {"GL command past its block", [&](std::vector<uint8_t>& b) { put32(b, ofsGl, 1 << 20); }},
        {"GL command of two vertices", [&](std::vector<uint8_t>& b) { put32(b, ofsGl, 2); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad);
        EXPECT_FALSE(ReadMd2(bad, m, error)) << c.what;
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
