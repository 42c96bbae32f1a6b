#include "skeleton.h"

#include <cmath>

#include "detmath.h"

namespace art {

Vec3 Normalize(Vec3 v) {
    double len = std::sqrt(Dot(v, v));
    return len > 0.0 ? v * (1.0 / len) : Vec3{0, 0, 1};
}

Vec3 operator*(const Mat3& a, Vec3 v) {
    return {a.m[0][0] * v.x + a.m[0][1] * v.y + a.m[0][2] * v.z,
            a.m[1][0] * v.x + a.m[1][1] * v.y + a.m[1][2] * v.z,
            a.m[2][0] * v.x + a.m[2][1] * v.y + a.m[2][2] * v.z};
}

Mat3 operator*(const Mat3& a, const Mat3& b) {
    Mat3 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    return r;
}

Mat3 RotX(double d) {
    double c = CosD(d), s = SinD(d);
    Mat3 r;
    r.m[1][1] = c; r.m[1][2] = -s;
    r.m[2][1] = s; r.m[2][2] = c;
    return r;
}

Mat3 RotY(double d) {
    double c = CosD(d), s = SinD(d);
    Mat3 r;
    r.m[0][0] = c; r.m[0][2] = s;
    r.m[2][0] = -s; r.m[2][2] = c;
    return r;
}

Mat3 RotZ(double d) {
    double c = CosD(d), s = SinD(d);
    Mat3 r;
    r.m[0][0] = c; r.m[0][1] = -s;
    r.m[1][0] = s; r.m[1][1] = c;
    return r;
}

namespace {
struct BoneDef {
    int parent;
    Vec3 joint;
};
constexpr double kShoulderY = 5.8, kHipY = 2.8;
const BoneDef kBones[kBoneCount] = {
    {-1, {0, 0, 5}},                  // root
    {kRoot, {0, 0, 9}},               // spine
    {kSpine, {0, 0, 15}},             // chest
    {kChest, {0, 0, 22.5}},           // neck
    {kNeck, {0, 0, 24.6}},            // head
    {kChest, {0, kShoulderY, 20.8}},  // upper arm L
    {kUpperArmL, {0, kShoulderY, 11.2}},
    {kForearmL, {0, kShoulderY, 3.0}},
    {kChest, {0, -kShoulderY, 20.8}},  // upper arm R
    {kUpperArmR, {0, -kShoulderY, 11.2}},
    {kForearmR, {0, -kShoulderY, 3.0}},
    {kRoot, {0, kHipY, 4.0}},  // thigh L
    {kThighL, {0, kHipY, -9.0}},
    {kShinL, {0, kHipY, -21.4}},
    {kRoot, {0, -kHipY, 4.0}},  // thigh R
    {kThighR, {0, -kHipY, -9.0}},
    {kShinR, {0, -kHipY, -21.4}},
};
}  // namespace

int BoneParent(int bone) { return kBones[bone].parent; }
Vec3 BoneJoint(int bone) { return kBones[bone].joint; }

std::array<Xform, kBoneCount> SolvePose(const Pose& pose) {
    std::array<Xform, kBoneCount> world;
    const JointRot& rr = pose.joint[kRoot];
    world[kRoot].r = RotZ(rr.yaw) * RotY(rr.pitch) * RotX(rr.roll);
    world[kRoot].t = kBones[kRoot].joint + pose.offset;
    for (int b = 1; b < kBoneCount; ++b) {
        const JointRot& j = pose.joint[b];
        const Xform& p = world[kBones[b].parent];
        Mat3 local = RotY(j.pitch) * RotX(j.roll) * RotZ(j.yaw);
        world[b].r = p.r * local;
        world[b].t = p.Apply(kBones[b].joint - kBones[kBones[b].parent].joint);
    }
    return world;
}

}  // namespace art
