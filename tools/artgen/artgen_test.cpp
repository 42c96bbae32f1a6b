// The generator's building blocks: its own maths, the skeleton's turning
// directions, the mesh's references and the MD2 writer's packing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "anims.h"
#include "body.h"
#include "detmath.h"
#include "md2write.h"
#include "skeleton.h"

namespace {

TEST(DetMath, SineAndCosineMatchTheLibraryEverywhere) {
    for (double x = -20.0; x <= 20.0; x += 0.0137) {
        EXPECT_NEAR(art::Sin(x), std::sin(x), 1e-11) << x;
        EXPECT_NEAR(art::Cos(x), std::cos(x), 1e-11) << x;
    }
    EXPECT_NEAR(art::SinD(90.0), 1.0, 1e-14);
    EXPECT_NEAR(art::CosD(180.0), -1.0, 1e-14);
}

TEST(DetMath, NoiseStaysInRangeAndRepeats) {
    for (int i = 0; i < 2000; ++i) {
        double x = i * 0.173, y = i * 0.071;
        double n = art::Fractal(x, y, 4, 7u);
        EXPECT_GE(n, 0.0);
        EXPECT_LT(n, 1.0);
        EXPECT_EQ(n, art::Fractal(x, y, 4, 7u));
    }
}

// Which way each joint turns: the figure faces +x, its left is +y.
TEST(Skeleton, JointsTurnTheWaysTheAnimationsAssume) {
    auto handAt = [](const art::Pose& p, int hand) {
        auto w = art::SolvePose(p);
        return w[size_t(hand)].t;
    };
    art::Pose rest;
    art::Vec3 h0 = handAt(rest, art::kHandL);
    EXPECT_NEAR(h0.z, art::BoneJoint(art::kHandL).z, 1e-9);

    art::Pose forward;  // upper arm pitched by -90: the arm points ahead
    forward.joint[art::kUpperArmL].pitch = -90;
    art::Vec3 h1 = handAt(forward, art::kHandL);
    EXPECT_GT(h1.x, 15.0);
    EXPECT_NEAR(h1.z, art::BoneJoint(art::kUpperArmL).z, 1e-9);

    art::Pose out;  // a positive roll raises the left arm out to the left
    out.joint[art::kUpperArmL].roll = 90;
    EXPECT_GT(handAt(out, art::kHandL).y, 20.0);

    art::Pose turned;  // the root's yaw turns the whole body to its left
    turned.joint[art::kRoot].yaw = 90;
    auto w = art::SolvePose(turned);
    art::Vec3 front = w[art::kRoot].r * art::Vec3{1, 0, 0};
    EXPECT_NEAR(front.y, 1.0, 1e-12);
}

TEST(Mesh, EveryReferenceIsInRange) {
    art::Mesh m = art::BuildMesh();
    ASSERT_GE(m.verts.size(), 600u);
    ASSERT_LE(m.verts.size(), 1500u);
    for (const art::MeshVertex& v : m.verts) {
        EXPECT_GE(v.w1, 0.0);
        EXPECT_LE(v.w1, 1.0);
        EXPECT_LT(v.bone0, art::kBoneCount);
        EXPECT_LT(v.bone1, art::kBoneCount);
    }
    for (const auto& st : m.st) {
        EXPECT_GE(st[0], 0);
        EXPECT_LE(st[0], m.skinWidth);
        EXPECT_GE(st[1], 0);
        EXPECT_LE(st[1], m.skinHeight);
    }
    for (const art::MeshTri& t : m.tris)
        for (int k = 0; k < 3; ++k) {
            EXPECT_LT(size_t(t.v[k]), m.verts.size());
            EXPECT_LT(size_t(t.t[k]), m.st.size());
        }
}

TEST(Md2Writer, NearestNormalFindsTheTableItself) {
    // Index 0 of the standard table is (-0.525731, 0, 0.850651).
    EXPECT_EQ(art::NearestNormal({-0.525731, 0.0, 0.850651}), 0);
    EXPECT_EQ(art::NearestNormal({0.0, 0.0, 1.0}), art::NearestNormal({0.001, 0.001, 1.0}));
    int up = art::NearestNormal({0, 0, 1}), down = art::NearestNormal({0, 0, -1});
    EXPECT_NE(up, down);
}

// Packed vertices come back within half a step of where they were posed.
TEST(Md2Writer, PacksPositionsWithinHalfAStep) {
    art::Mesh m = art::BuildMesh();
    std::vector<art::AnimFrame> frames(1);
    frames[0].name = "stand01";
    std::vector<unsigned char> file = art::BuildMd2(m, frames, "Sydney.png");
    int32_t ofsFrames;
    std::memcpy(&ofsFrames, &file[56], 4);
    float scale[3], translate[3];
    std::memcpy(scale, &file[size_t(ofsFrames)], 12);
    std::memcpy(translate, &file[size_t(ofsFrames) + 12], 12);
    std::vector<art::Vec3> pos = art::PoseVertices(m, frames[0].pose);
    for (size_t i = 0; i < pos.size(); ++i) {
        const unsigned char* v = &file[size_t(ofsFrames) + 40 + i * 4];
        double c[3] = {pos[i].x, pos[i].y, pos[i].z};
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(v[k] * scale[k] + translate[k], c[k], scale[k] * 0.5 + 1e-4);
    }
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[size_t(ofsFrames) + 24])), "stand01");
}

}  // namespace
