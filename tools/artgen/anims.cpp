#include "anims.h"

#include <array>
#include <cstdio>

#include "detmath.h"

namespace art {
namespace {

// A pose in plain terms; angles in degrees.
struct Limb {
    double flex = 0;   // raised forward (arm) or thigh forward (leg)
    double abd = 0;    // raised out to the side
    double twist = 0;  // turned inwards about its own length
    double bend = 0;   // elbow or knee
    double tip = 0;    // wrist bent forward, or toes up
};

struct Body {
    double x = 0, y = 0, z = 0;              // the hips' movement
    double pitch = 0, roll = 0, yaw = 0;     // the whole body: tip forward, tip right, turn left
    double lean = 0, side = 0, twist = 0;    // the back: bend forward, bend left, turn left
    double nod = 0, tilt = 0, turn = 0;      // the head: down, to the left, to the left
    Limb armL, armR, legL, legR;
};

constexpr int kBodyFields = 32;
std::array<double*, kBodyFields> Fields(Body& b) {
    return {&b.x, &b.y, &b.z, &b.pitch, &b.roll, &b.yaw, &b.lean, &b.side, &b.twist,
            &b.nod, &b.tilt, &b.turn,
            &b.armL.flex, &b.armL.abd, &b.armL.twist, &b.armL.bend, &b.armL.tip,
            &b.armR.flex, &b.armR.abd, &b.armR.twist, &b.armR.bend, &b.armR.tip,
            &b.legL.flex, &b.legL.abd, &b.legL.twist, &b.legL.bend, &b.legL.tip,
            &b.legR.flex, &b.legR.abd, &b.legR.twist, &b.legR.bend, &b.legR.tip};
}

Body Blend(Body a, Body b, double t) {
    Body r;
    auto fa = Fields(a), fb = Fields(b), fr = Fields(r);
    for (int i = 0; i < kBodyFields; ++i) *fr[size_t(i)] = Lerp(*fa[size_t(i)], *fb[size_t(i)], t);
    return r;
}

void SetArm(Pose& p, int upper, const Limb& l, double s) {
    p.joint[size_t(upper)] = {-l.flex, s * l.abd, -s * l.twist};
    p.joint[size_t(upper + 1)] = {-l.bend, 0, 0};
    p.joint[size_t(upper + 2)] = {-l.tip, 0, 0};
}

void SetLeg(Pose& p, int thigh, const Limb& l, double s) {
    p.joint[size_t(thigh)] = {-l.flex, s * l.abd, -s * l.twist};
    p.joint[size_t(thigh + 1)] = {l.bend, 0, 0};
    p.joint[size_t(thigh + 2)] = {-l.tip, 0, 0};
}

Pose ToPose(const Body& b) {
    Pose p;
    p.offset = {b.x, b.y, b.z};
    p.joint[kRoot] = {b.pitch, b.roll, b.yaw};
    p.joint[kSpine] = {b.lean * 0.5, -b.side * 0.5, b.twist * 0.5};
    p.joint[kChest] = {b.lean * 0.5, -b.side * 0.5, b.twist * 0.5};
    p.joint[kNeck] = {b.nod * 0.4, -b.tilt * 0.4, b.turn * 0.4};
    p.joint[kHead] = {b.nod * 0.6, -b.tilt * 0.6, b.turn * 0.6};
    SetArm(p, kUpperArmL, b.armL, 1.0);
    SetArm(p, kUpperArmR, b.armR, -1.0);
    SetLeg(p, kThighL, b.legL, 1.0);
    SetLeg(p, kThighR, b.legR, -1.0);
    return p;
}

// The relaxed standing pose every animation starts from.
Body Relaxed() {
    Body b;
    b.armL = {4, 8, 0, 12, 4};
    b.armR = {4, 8, 0, 12, 4};
    b.legL = {0, 3, 0, 2, 0};
    b.legR = {0, 3, 0, 2, 0};
    return b;
}

// Sampling of a list of key poses at frame f, easing between keys.
struct Key {
    double frame;
    Body body;
};

Body Sample(const std::vector<Key>& keys, double f) {
    if (f <= keys.front().frame) return keys.front().body;
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        if (f <= keys[i + 1].frame) {
            double t = (f - keys[i].frame) / (keys[i + 1].frame - keys[i].frame);
            return Blend(keys[i].body, keys[i + 1].body, Smooth(t));
        }
    }
    return keys.back().body;
}

// ---- The animations ----------------------------------------------------

Body Stand(int f) {
    double ph = 2.0 * kPi * f / 40.0;
    Body b = Relaxed();
    b.lean = 1.5 * Sin(ph * 2.0);           // breathing
    b.y = 0.35 * Sin(ph);                   // weight moves from foot to foot
    b.roll = -1.2 * Sin(ph);
    b.side = 1.2 * Sin(ph);
    b.turn = 10.0 * Sin(ph + 0.6);          // looks about
    b.nod = -2.0 + 2.0 * Sin(ph * 2.0 + 1.0);
    b.armL.flex = 4 + 3 * Sin(ph + 1.0);
    b.armR.flex = 4 - 3 * Sin(ph + 1.0);
    b.armL.bend = 12 + 3 * Sin(ph * 2.0);
    b.armR.bend = 12 + 3 * Sin(ph * 2.0);
    b.legL.abd = 3 - 1.2 * Sin(ph);
    b.legR.abd = 3 + 1.2 * Sin(ph);
    return b;
}

void Ground(Body& b);

// Turns the feet level with the ground for the leg angles and body pitch.
void FlatFeet(Body& b) {
    b.legL.tip = b.pitch - b.legL.flex + b.legL.bend;
    b.legR.tip = b.pitch - b.legR.flex + b.legR.bend;
}

Body RunCycle(double ph, bool crouched) {
    Body b;
    double s = Sin(ph), c = Cos(ph);
    if (!crouched) {
        auto knee = [](double q) {
            double k = Cos(q - 0.3);
            return 22.0 + 88.0 * (k > 0 ? k : 0.0);
        };
        b.pitch = 4;
        b.lean = 14;
        b.z = -1.2 + 0.8 * Cos(2.0 * ph);
        b.nod = -10;
        b.twist = -12 * s;
        b.legL = {14 + 40 * s, 3, 0, knee(ph), 12 * c};
        b.legR = {14 - 40 * s, 3, 0, knee(ph + kPi), -12 * c};
        b.armL = {-38 * s + 5, 12, 10, 95 + 15 * s, 5};
        b.armR = {38 * s + 5, 12, 10, 95 - 15 * s, 5};
    } else {
        b.pitch = 8;
        b.lean = 18;
        b.nod = -22;
        b.twist = -8 * s;
        b.legL = {92 + 22 * s, 6, 0, 122 + 14 * (c > 0 ? c : 0.0), 0};
        b.legR = {92 - 22 * s, 6, 0, 122 + 14 * (-c > 0 ? -c : 0.0), 0};
        FlatFeet(b);
        b.armL = {40 - 20 * s, 12, 0, 60, 10};
        b.armR = {40 + 20 * s, 12, 0, 60, 10};
    }
    return b;
}

Body Guard() {
    Body b = Relaxed();
    b.legL = {18, 4, 0, 20, 0};
    b.legR = {-10, 6, 0, 16, 0};
    b.z = -0.5;
    b.armL = {40, 20, 30, 110, 0};
    b.armR = {30, 22, 30, 120, 0};
    b.lean = 6;
    return b;
}

std::vector<Key> AttackKeys() {
    Body guard = Guard();
    Body wind = guard;
    wind.twist = -30;
    wind.armR = {-10, 25, 30, 125, 0};
    wind.lean = 2;
    Body punch = guard;
    punch.twist = 28;
    punch.lean = 12;
    punch.turn = -8;
    punch.armR = {88, 8, 10, 4, 0};
    punch.armL = {20, 20, 30, 120, 0};
    punch.legR.flex = -16;
    return {{0, guard}, {2.2, wind}, {3.6, punch}, {5.0, punch}, {7.0, guard}};
}

std::vector<Key> CrouchAttackKeys() {
    std::vector<Key> k = AttackKeys();
    for (Key& key : k) {
        Body& b = key.body;
        b.pitch = 8;
        b.lean += 12;
        b.nod = -12;
        b.legL = {100, 6, 0, 124, 0};
        b.legR = {84, 6, 0, 128, 0};
        FlatFeet(b);
    }
    k.back().frame = 8.0;
    return k;
}

Body Crouched(int f) {
    double ph = 2.0 * kPi * f / 19.0;
    Body b;
    b.pitch = 8;
    b.lean = 18 + 2 * Sin(ph);
    b.nod = -22 + 3 * Sin(ph + 1.0);
    b.turn = 10 * Sin(ph);
    b.legL = {96, 8, 0, 126, 0};
    b.legR = {90, 8, 0, 128, 0};
    FlatFeet(b);
    b.armL = {42, 12, 10, 55 + 5 * Sin(ph), 10};
    b.armR = {42, 12, 10, 55 + 5 * Sin(ph), 10};
    Ground(b);
    return b;
}

std::vector<Key> PainKeys(int which, bool crouched) {
    Body base = crouched ? Crouched(0) : Relaxed();
    Body hit = base;
    if (which == 1) {  // a blow to the chest: thrown back, arms fly out
        hit.lean = -18;
        hit.pitch = -6;
        hit.x = -1.2;
        hit.nod = -18;
        hit.armL = {20, 45, 0, 40, 0};
        hit.armR = {20, 45, 0, 40, 0};
        if (!crouched) hit.legR = {-12, 4, 0, 14, 0};
    } else if (which == 2) {  // a blow to the stomach: doubled over
        hit.lean = 34;
        hit.nod = 16;
        hit.z = base.z - 1.5;
        hit.armL = {35, 0, 35, 110, 10};
        hit.armR = {35, 0, 35, 110, 10};
        if (!crouched) {
            hit.legL = {20, 4, 0, 28, 0};
            hit.legR = {20, 4, 0, 28, 0};
        }
    } else {  // a blow to the side of the head: knocked sideways, hand to head
        hit.side = -16;
        hit.roll = 6;
        hit.tilt = -22;
        hit.turn = -20;
        hit.armL = {60, 55, 40, 140, 20};
        hit.armR = {8, 30, 0, 20, 0};
        hit.y = -0.8;
    }
    return {{0, base}, {1, hit}, {2, Blend(base, hit, 0.6)}, {3, Blend(base, hit, 0.15)}};
}

std::vector<Key> JumpKeys() {
    Body crouch = Relaxed();
    crouch.pitch = 6;
    crouch.lean = 22;
    crouch.nod = -15;
    crouch.legL = crouch.legR = {70, 4, 0, 100, 0};
    FlatFeet(crouch);
    crouch.armL = crouch.armR = {-40, 12, 0, 20, 0};
    Body push = Relaxed();
    push.z = 4;
    push.pitch = 4;
    push.legL = push.legR = {-5, 3, 0, 10, 30};
    push.armL = push.armR = {150, 15, 0, 20, 0};
    Body air = Relaxed();
    air.z = 9.5;
    air.legL = air.legR = {40, 6, 0, 70, -10};
    air.armL = air.armR = {110, 25, 0, 30, 0};
    Body land = crouch;
    land.armL = land.armR = {45, 25, 0, 40, 0};
    return {{0, crouch}, {1, push}, {2.3, air}, {3.3, air}, {4.3, land}, {5, Blend(land, Relaxed(), 0.6)}};
}

Body Flip(int f) {
    // A back somersault: crouch, spring up, turn over backwards tucked, land.
    Body b = Relaxed();
    if (f == 0) {
        b.pitch = 6;
        b.lean = 20;
        b.legL = b.legR = {70, 4, 0, 100, 0};
        FlatFeet(b);
        b.armL = b.armR = {-45, 12, 0, 20, 0};
        return b;
    }
    if (f == 1) {
        b.z = 5;
        b.pitch = -15;
        b.legL = b.legR = {0, 3, 0, 5, 30};
        b.armL = b.armR = {165, 12, 0, 10, 0};
        return b;
    }
    if (f >= 10) {
        double t = f == 10 ? 0.0 : 1.0;
        Body land = Relaxed();
        land.pitch = 6;
        land.lean = 16;
        land.legL = land.legR = {60, 4, 0, 90, 0};
        FlatFeet(land);
        land.armL = land.armR = {70, 35, 0, 20, 0};
        return Blend(land, Relaxed(), t * 0.7);
    }
    double t = (f - 1) / 8.0;  // 2..9: turning over
    b.pitch = -15 - 345 * t;
    b.z = 5 + 14 * Sin(kPi * t);
    b.x = -6 * t;
    double tuck = Sin(kPi * t);
    tuck = tuck * (2.0 - tuck);
    b.legL = b.legR = {115 * tuck, 6, 0, 140 * tuck, 0};
    b.armL = b.armR = {Lerp(165, 55, tuck), 15, 0, 100 * tuck, 0};
    b.lean = 25 * tuck;
    b.nod = 30 * tuck;
    return b;
}

std::vector<Key> SaluteKeys() {
    Body att = Relaxed();
    att.armL = {2, 4, 0, 6, 0};
    att.armR = {2, 4, 0, 6, 0};
    att.legL = att.legR = {0, 1, 0, 0, 0};
    Body up = att;
    up.armR = {40, 68, -20, 140, 10};
    up.nod = -4;
    return {{0, att}, {3, up}, {7.5, up}, {10, att}};
}

Body Taunt(int f) {
    // Left hand on the hip, chin up, the right hand beckoning "come on".
    Body b = Relaxed();
    b.armL = {-15, 40, 10, 110, -20};
    b.legL = {6, 6, 0, 4, 0};
    b.legR = {-4, 8, 10, 4, 0};
    b.side = 3;
    b.nod = -10;
    b.tilt = 6;
    double in = Smooth(f / 4.0);
    double out = Smooth((16 - f) / 3.0);
    double w = in < out ? in : out;
    double beck = 0.5 - 0.5 * Cos(2.0 * kPi * (f - 3) / 4.0);
    Limb reach = {70, 20, -60, 40 + 70 * beck, -20 + 40 * beck};
    b.armR = {Lerp(4, reach.flex, w), Lerp(8, reach.abd, w), Lerp(0, reach.twist, w),
              Lerp(12, reach.bend, w), Lerp(4, reach.tip, w)};
    b.twist = 8 * w;
    return b;
}

Body Wave(int f) {
    Body b = Relaxed();
    double in = Smooth(f / 2.5);
    double out = Smooth((10 - f) / 2.5);
    double w = in < out ? in : out;
    double sway = Sin(2.0 * kPi * (f - 2) / 3.0);
    Limb up = {20, 120, -80, 50 + 25 * sway, 10};
    b.armR = {Lerp(4, up.flex, w), Lerp(8, up.abd, w), Lerp(0, up.twist, w), Lerp(12, up.bend, w), Lerp(4, up.tip, w)};
    b.side = 4 * w;
    b.tilt = -5 * w;
    b.turn = -6 * w;
    return b;
}

std::vector<Key> PointKeys() {
    Body rest = Relaxed();
    Body aim = rest;
    aim.armR = {88, 18, 0, 2, -6};
    aim.twist = -14;
    aim.turn = -22;
    aim.legR.flex = 6;
    Body jab = aim;
    jab.armR.flex = 80;
    jab.lean = 4;
    return {{0, rest}, {3.5, aim}, {5.5, jab}, {7, aim}, {8.5, aim}, {11, rest}};
}

std::vector<Key> DeathKeys(int which) {
    Body rest = Relaxed();
    if (which == 1) {  // shot in the chest: falls flat on the back
        Body hit = rest;
        hit.lean = -20;
        hit.nod = -25;
        hit.armL = hit.armR = {30, 50, 0, 30, 0};
        hit.x = -1.5;
        Body fall = hit;
        fall.pitch = -50;
        fall.z = -8;
        fall.x = -6;
        fall.legL = fall.legR = {30, 8, 0, 50, 0};
        Body down = rest;
        down.pitch = -90;
        down.z = -21;
        down.x = -10;
        down.nod = -10;
        down.armL = down.armR = {40, 70, 0, 20, 0};
        down.legL = {10, 12, 0, 10, 20};
        down.legR = {15, 8, 0, 25, 20};
        return {{0, rest}, {1, hit}, {3, fall}, {4.6, down}, {5, down}};
    }
    if (which == 2) {  // doubles up, drops to the knees, falls on the face
        Body bend = rest;
        bend.lean = 30;
        bend.nod = 20;
        bend.armL = bend.armR = {40, 5, 35, 110, 0};
        bend.legL = bend.legR = {20, 4, 0, 30, 0};
        Body kneel = bend;
        kneel.z = -10;
        kneel.legL = kneel.legR = {10, 6, 0, 100, -20};
        Body down = rest;
        down.pitch = 90;
        down.z = -21;
        down.x = 7;
        down.nod = -20;
        down.turn = 40;
        down.armL = {150, 30, 0, 30, 0};
        down.armR = {10, 20, 0, 10, 0};
        down.legL = down.legR = {0, 8, 0, 10, -40};
        return {{0, rest}, {1.2, bend}, {2.6, kneel}, {4.4, down}, {5, down}};
    }
    if (which == 3) {  // spun round, the legs give way, falls on the side
        Body spin = rest;
        spin.yaw = 70;
        spin.side = 15;
        spin.armL = {20, 60, 0, 30, 0};
        spin.armR = {60, 40, 0, 50, 0};
        spin.nod = -20;
        Body sag = spin;
        sag.yaw = 130;
        sag.z = -7;
        sag.legL = sag.legR = {40, 6, 0, 80, -10};
        sag.lean = 20;
        Body down = rest;
        down.yaw = 160;
        down.roll = 88;
        down.z = -20.5;
        down.y = -9;
        down.lean = 10;
        down.legL = {30, 6, 0, 40, 0};
        down.legR = {15, 4, 0, 20, 0};
        down.armL = {60, 10, 0, 40, 0};
        down.armR = {85, 0, 0, 20, 0};
        return {{0, rest}, {1.5, spin}, {3.5, sag}, {6.5, down}, {7, down}};
    }
    // From a crouch: topples over forward onto the side.
    Body start = Crouched(0);
    Body tip = start;
    tip.pitch = 40;
    tip.roll = 20;
    tip.nod = 20;
    tip.armL = tip.armR = {60, 30, 0, 30, 0};
    Body down = start;
    down.pitch = 20;
    down.roll = 85;
    down.z = -20;
    down.y = -7;
    down.armL = {50, 10, 0, 40, 0};
    down.armR = {70, 0, 0, 30, 0};
    down.legL = {60, 6, 0, 70, 0};
    down.legR = {45, 6, 0, 60, 0};
    down.nod = 10;
    return {{0, start}, {1.5, tip}, {3.6, down}, {4, down}};
}

const std::vector<AnimInfo> kAnims = {
    {"stand", 0, 40},   {"run", 40, 6},      {"attack", 46, 8},    {"pain1", 54, 4},
    {"pain2", 58, 4},   {"pain3", 62, 4},    {"jump", 66, 6},      {"flip", 72, 12},
    {"salute", 84, 11}, {"taunt", 95, 17},   {"wave", 112, 11},    {"point", 123, 12},
    {"crstand", 135, 19}, {"crwalk", 154, 6}, {"crattack", 160, 9}, {"crpain", 169, 4},
    {"crdeath", 173, 5}, {"death1", 178, 6}, {"death2", 184, 6},  {"death3", 190, 8},
};

Body BodyFor(const std::string& anim, int f) {
    if (anim == "stand") return Stand(f);
    if (anim == "run") return RunCycle(2.0 * kPi * f / 6.0, false);
    if (anim == "attack") return Sample(AttackKeys(), f);
    if (anim == "pain1") return Sample(PainKeys(1, false), f);
    if (anim == "pain2") return Sample(PainKeys(2, false), f);
    if (anim == "pain3") return Sample(PainKeys(3, false), f);
    if (anim == "jump") return Sample(JumpKeys(), f);
    if (anim == "flip") return Flip(f);
    if (anim == "salute") return Sample(SaluteKeys(), f);
    if (anim == "taunt") return Taunt(f);
    if (anim == "wave") return Wave(f);
    if (anim == "point") return Sample(PointKeys(), f);
    if (anim == "crstand") return Crouched(f);
    if (anim == "crwalk") return RunCycle(2.0 * kPi * f / 6.0, true);
    if (anim == "crattack") return Sample(CrouchAttackKeys(), f);
    if (anim == "crpain") return Sample(PainKeys(1, true), f);
    if (anim == "crdeath") return Sample(DeathKeys(0), f);
    if (anim == "death1") return Sample(DeathKeys(1), f);
    if (anim == "death2") return Sample(DeathKeys(2), f);
    return Sample(DeathKeys(3), f);
}

}  // namespace

const std::vector<AnimInfo>& Animations() { return kAnims; }

namespace {

// Whether a frame of an animation stands on the ground: then the body is
// moved up or down until the lowest point of a sole touches z = -24.
bool Grounded(const std::string& anim, int f) {
    if (anim == "jump") return f == 0 || f >= 4;
    if (anim == "flip") return f == 0 || f >= 10;
    if (anim.compare(0, 5, "death") == 0 || anim == "crdeath") return f == 0;
    return true;
}

void Ground(Body& b) {
    std::array<Xform, kBoneCount> w = SolvePose(ToPose(b));
    double lowest = 1e9;
    for (int foot : {kFootL, kFootR}) {
        Vec3 j = BoneJoint(foot);
        for (double x : {-2.0, 1.0, 5.4}) {
            Vec3 p = w[size_t(foot)].Apply(Vec3{x, j.y, -24.0} - j);
            if (p.z < lowest) lowest = p.z;
        }
    }
    b.z = b.z + (-24.0 - lowest);
}

}  // namespace

std::vector<AnimFrame> AllFrames(const std::function<double(const Pose&)>& lowestPoint) {
    std::vector<AnimFrame> out;
    for (const AnimInfo& a : kAnims) {
        for (int f = 0; f < a.count; ++f) {
            char name[16];
            std::snprintf(name, sizeof name, "%s%02d", a.name, f + 1);
            Body b = BodyFor(a.name, f);
            if (Grounded(a.name, f)) Ground(b);
            // Nothing goes through the floor; a body that has fallen lies on it.
            double low = lowestPoint(ToPose(b));
            bool fallen = (std::string(a.name).compare(0, 5, "death") == 0 || a.name == std::string("crdeath")) &&
                          f + 2 >= a.count;
            if (low < -24.0 || fallen) b.z = b.z + (-24.0 - low);
            out.push_back(AnimFrame{name, ToPose(b)});
        }
    }
    return out;
}

}  // namespace art
