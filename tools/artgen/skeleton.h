// The character's skeleton: bones with rest joint positions in model units
// (z up, the figure faces +x, its left is +y, soles at z = -24), and the
// posing of it by joint angles in degrees.
#pragma once

#include <array>

namespace art {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double k) { return {a.x * k, a.y * k, a.z * k}; }
inline double Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 Normalize(Vec3 v);

struct Mat3 {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};
Vec3 operator*(const Mat3& a, Vec3 v);
Mat3 operator*(const Mat3& a, const Mat3& b);
Mat3 RotX(double degrees);
Mat3 RotY(double degrees);
Mat3 RotZ(double degrees);

enum Bone {
    kRoot,  // pelvis: the whole body hangs from it
    kSpine,
    kChest,
    kNeck,
    kHead,
    kUpperArmL, kForearmL, kHandL,
    kUpperArmR, kForearmR, kHandR,
    kThighL, kShinL, kFootL,
    kThighR, kShinR, kFootR,
    kBoneCount
};

// Rotation of a bone relative to its parent. For every bone but the root it
// is applied as twist about the bone's own rest axis (z), then roll about x,
// then pitch about y. The root turns by roll, pitch, then yaw (heading).
struct JointRot {
    double pitch = 0, roll = 0, yaw = 0;
};

struct Pose {
    Vec3 offset;  // movement of the root joint from its rest place
    std::array<JointRot, kBoneCount> joint{};
};

struct Xform {
    Mat3 r;
    Vec3 t;
    Vec3 Apply(Vec3 p) const { return r * p + t; }
};

int BoneParent(int bone);
Vec3 BoneJoint(int bone);  // rest position of the joint

// World transforms of every bone: a rest-pose point p of bone b moves to
// world[b].Apply(p - BoneJoint(b)).
std::array<Xform, kBoneCount> SolvePose(const Pose& pose);

}  // namespace art
