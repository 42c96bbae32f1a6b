#include "body.h"

#include <cmath>

#include "detmath.h"

namespace art {
namespace {

constexpr int kSkinW = 512, kSkinH = 256;
constexpr int kPad = 3;  // texels painted beyond each part's area, against bleeding

enum Part { kPartTorso, kPartHead, kPartArm, kPartHand, kPartThumb, kPartLeg, kPartFoot, kPartTail };

struct RingDef {
    double s, a, b, ca;   // place on the axis, half extents along front and side, shift to front
    int b0, b1;           // bones and the weight of the second
    double w1;
    double bump;          // extra push to the front on the front column (the nose)
};

struct TubeDef {
    Part part;
    Vec3 origin, axis, front, side;
    int segs;
    double square;        // 0 round cross-section, 1 box-like
    int x0, y0, x1, y1;   // its area of the skin
    std::vector<RingDef> rings;  // the first and the last are the poles
};

RingDef Ring(double s, double a, double b, double ca, int b0, int b1 = -1, double w1 = 0.0,
             double bump = 0.0) {
    return RingDef{s, a, b, ca, b0, b1 < 0 ? b0 : b1, w1, bump};
}

double Sgn(double v) { return v < 0.0 ? -1.0 : 1.0; }

Vec3 RingPoint(const TubeDef& t, double s, double a, double b, double ca, double theta) {
    double c = Cos(theta), n = Sin(theta);
    double ex = Lerp(c, Sgn(c) * std::sqrt(std::fabs(c)), t.square);
    double ey = Lerp(n, Sgn(n) * std::sqrt(std::fabs(n)), t.square);
    return t.origin + t.axis * s + t.front * (ca + a * ex) + t.side * (b * ey);
}

Vec3 RingPoint(const TubeDef& t, const RingDef& r, double theta) {
    return RingPoint(t, r.s, r.a, r.b, r.ca, theta);
}

double ColumnTheta(int j, int segs) { return -kPi + 2.0 * kPi * double(j) / double(segs); }

TubeDef Finish(TubeDef t) {
    t.axis = Normalize(t.axis);
    t.front = Normalize(t.front - t.axis * Dot(t.front, t.axis));
    t.side = Normalize(t.side - t.axis * Dot(t.side, t.axis) - t.front * Dot(t.side, t.front));
    return t;
}

int MirrorBone(int b) {
    switch (b) {
        case kUpperArmL: return kUpperArmR;
        case kForearmL: return kForearmR;
        case kHandL: return kHandR;
        case kThighL: return kThighR;
        case kShinL: return kShinR;
        case kFootL: return kFootR;
        default: return b;
    }
}

TubeDef Mirror(TubeDef t) {
    t.origin.y = -t.origin.y;
    t.axis.y = -t.axis.y;
    t.front.y = -t.front.y;
    t.side.y = -t.side.y;
    for (RingDef& r : t.rings) {
        r.b0 = MirrorBone(r.b0);
        r.b1 = MirrorBone(r.b1);
    }
    return t;
}

// The body parts of the left side and the middle, in rest pose.
std::vector<TubeDef> LeftAndMiddle() {
    const Vec3 X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};
    const double sy = BoneJoint(kUpperArmL).y, hy = BoneJoint(kThighL).y;
    std::vector<TubeDef> t;

    t.push_back({kPartTorso, {0, 0, 0}, Z, X, Y, 14, 0.25, 2, 2, 226, 126, {
        Ring(0.6, 0, 0, 0, kRoot),
        Ring(1.4, 2.4, 3.2, 0.0, kRoot),
        Ring(3.4, 3.1, 4.6, -0.2, kRoot),
        Ring(6.0, 2.9, 4.4, -0.1, kRoot),
        Ring(8.6, 2.5, 3.8, 0.0, kRoot, kSpine, 0.5),
        Ring(11.5, 2.6, 3.9, 0.1, kSpine),
        Ring(14.5, 3.0, 4.3, 0.3, kSpine, kChest, 0.5),
        Ring(17.0, 3.2, 4.5, 0.35, kChest),
        Ring(19.5, 2.9, 4.8, 0.1, kChest),
        Ring(21.3, 2.3, 4.4, -0.1, kChest),
        Ring(22.4, 1.7, 2.5, -0.1, kChest),
        Ring(22.9, 0, 0, -0.1, kChest)}});

    t.push_back({kPartHead, {0, 0, 0}, Z, X, Y, 14, 0.0, 232, 2, 386, 110, {
        Ring(21.6, 0, 0, 0, kNeck),
        Ring(22.0, 1.35, 1.35, 0.0, kNeck),
        Ring(23.3, 1.4, 1.4, 0.1, kNeck),
        Ring(24.2, 1.6, 1.55, 0.25, kNeck, kHead, 0.5),
        Ring(24.7, 2.4, 2.0, 0.9, kHead),
        Ring(25.6, 3.1, 2.6, 0.6, kHead),
        Ring(26.8, 3.5, 2.95, 0.35, kHead, -1, 0.0, 0.75),
        Ring(28.1, 3.75, 3.15, 0.15, kHead, -1, 0.0, 0.3),
        Ring(29.5, 3.8, 3.2, 0.0, kHead),
        Ring(30.8, 3.4, 2.9, -0.15, kHead),
        Ring(31.7, 2.4, 2.1, -0.2, kHead),
        Ring(32.1, 0, 0, -0.2, kHead)}});

    t.push_back({kPartTail, {-3.2, 0, 29.8}, {-1.8, 0, -6.0}, {-1, 0, 0}, Y, 8, 0.0, 336, 132, 368, 190, {
        Ring(-0.4, 0, 0, 0, kHead),
        Ring(0.0, 0.9, 0.9, 0, kHead),
        Ring(0.8, 1.0, 1.0, 0, kHead),
        Ring(2.5, 1.15, 1.05, 0, kHead),
        Ring(4.5, 0.95, 0.85, 0, kHead),
        Ring(5.8, 0.55, 0.5, 0, kHead),
        Ring(6.4, 0, 0, 0, kHead)}});

    t.push_back({kPartArm, {0, sy, 0}, Z, X, Y, 10, 0.0, 2, 132, 122, 252, {
        Ring(22.5, 0, 0, 0, kUpperArmL),
        Ring(22.1, 1.0, 1.0, 0, kUpperArmL),
        Ring(21.3, 1.55, 1.55, 0, kUpperArmL),
        Ring(19.3, 1.5, 1.45, 0, kUpperArmL),
        Ring(16.0, 1.3, 1.25, 0, kUpperArmL),
        Ring(13.0, 1.15, 1.1, 0, kUpperArmL),
        Ring(11.2, 1.1, 1.05, 0, kUpperArmL, kForearmL, 0.5),
        Ring(9.5, 1.15, 1.05, -0.05, kUpperArmL, kForearmL, 0.85),
        Ring(7.0, 1.05, 0.95, 0, kForearmL),
        Ring(4.5, 0.85, 0.75, 0, kForearmL),
        Ring(3.2, 0.75, 0.62, 0, kForearmL),
        Ring(2.8, 0, 0, 0, kForearmL)}});

    t.push_back({kPartHand, {0, sy, 0}, Z, X, Y, 8, 0.35, 224, 132, 288, 190, {
        Ring(3.4, 0, 0, 0, kHandL),
        Ring(3.0, 0.85, 0.6, 0, kHandL),
        Ring(2.0, 1.2, 0.6, 0, kHandL),
        Ring(0.6, 1.25, 0.55, 0, kHandL),
        Ring(-0.6, 1.15, 0.48, 0, kHandL),
        Ring(-1.7, 0.95, 0.4, 0, kHandL),
        Ring(-2.0, 0.6, 0.3, 0, kHandL),
        Ring(-2.25, 0, 0, 0, kHandL)}});

    t.push_back({kPartThumb, {0.85, sy - 0.25, 1.9}, {0.6, -0.2, -2.0}, X, Y, 6, 0.0, 294, 132, 330, 160, {
        Ring(-0.3, 0, 0, 0, kHandL),
        Ring(0.0, 0.42, 0.38, 0, kHandL),
        Ring(1.0, 0.38, 0.33, 0, kHandL),
        Ring(1.9, 0.3, 0.27, 0, kHandL),
        Ring(2.2, 0, 0, 0, kHandL)}});

    t.push_back({kPartLeg, {0, hy, 0}, Z, X, Y, 10, 0.1, 392, 2, 502, 126, {
        Ring(6.6, 0, 0, 0, kThighL),
        Ring(6.1, 1.6, 1.6, 0, kThighL),
        Ring(5.0, 2.4, 2.4, 0, kThighL),
        Ring(2.0, 2.55, 2.4, 0.1, kThighL),
        Ring(-2.5, 2.15, 2.0, 0.1, kThighL),
        Ring(-6.5, 1.75, 1.65, 0.15, kThighL),
        Ring(-9.0, 1.65, 1.6, 0.25, kThighL, kShinL, 0.5),
        Ring(-11.0, 1.65, 1.55, -0.05, kThighL, kShinL, 0.85),
        Ring(-13.5, 1.8, 1.6, -0.3, kShinL),
        Ring(-17.0, 1.35, 1.25, -0.1, kShinL),
        Ring(-20.0, 1.05, 1.0, 0, kShinL),
        Ring(-21.6, 1.0, 0.95, 0, kShinL),
        Ring(-22.0, 0, 0, 0, kShinL)}});

    // The shoe runs along x; its front vector is up, its centre height is ca.
    t.push_back({kPartFoot, {0, hy, 0}, X, Z, Y, 10, 0.45, 128, 132, 218, 190, {
        Ring(-2.5, 0, 0, -22.7, kFootL),
        Ring(-2.2, 1.25, 1.15, -22.75, kFootL),
        Ring(-1.2, 1.6, 1.35, -22.45, kFootL),
        Ring(0.5, 1.55, 1.45, -22.5, kFootL),
        Ring(2.5, 1.2, 1.6, -22.8, kFootL),
        Ring(4.5, 0.95, 1.5, -23.05, kFootL),
        Ring(5.8, 0.7, 1.2, -23.25, kFootL),
        Ring(6.3, 0, 0, -23.3, kFootL)}});

    for (TubeDef& d : t) d = Finish(d);
    return t;
}

bool IsPaired(Part p) { return p == kPartArm || p == kPartHand || p == kPartThumb || p == kPartLeg || p == kPartFoot; }

std::vector<TubeDef> AllTubes() {
    std::vector<TubeDef> left = LeftAndMiddle(), all;
    for (const TubeDef& t : left) {
        all.push_back(t);
        if (IsPaired(t.part)) all.push_back(Mirror(t));
    }
    return all;
}

// Skin rows of the rings: spaced by the length of the profile between them.
std::vector<int> RingRows(const TubeDef& t) {
    size_t n = t.rings.size();
    std::vector<double> cum(n, 0.0);
    for (size_t k = 1; k < n; ++k) {
        double d = 0.0;
        for (double th : {0.0, kPi / 2.0}) {
            Vec3 e = RingPoint(t, t.rings[k], th) - RingPoint(t, t.rings[k - 1], th);
            d = d + 0.5 * std::sqrt(Dot(e, e));
        }
        cum[k] = cum[k - 1] + d;
    }
    std::vector<int> rows(n);
    for (size_t k = 0; k < n; ++k)
        rows[k] = t.y0 + int(std::floor(cum[k] / cum[n - 1] * double(t.y1 - t.y0) + 0.5));
    return rows;
}

int Column(const TubeDef& t, int j) { return t.x0 + j * (t.x1 - t.x0) / t.segs; }

double SignedVolume(const Mesh& m, size_t firstTri) {
    double v = 0.0;
    for (size_t i = firstTri; i < m.tris.size(); ++i) {
        const MeshTri& tr = m.tris[i];
        Vec3 a = m.verts[size_t(tr.v[0])].rest, b = m.verts[size_t(tr.v[1])].rest,
             c = m.verts[size_t(tr.v[2])].rest;
        v = v + Dot(a, Cross(b, c));
    }
    return v / 6.0;
}

void TrianglesOf(Mesh& m, const MeshCmd& c) {
    for (size_t i = 2; i < c.items.size(); ++i) {
        std::array<int, 2> p, q, r = c.items[i];
        if (c.fan) {
            p = c.items[0];
            q = c.items[i - 1];
        } else if ((i % 2) == 0) {
            p = c.items[i - 2];
            q = c.items[i - 1];
        } else {
            p = c.items[i - 1];
            q = c.items[i - 2];
        }
        m.tris.push_back(MeshTri{{p[0], q[0], r[0]}, {p[1], q[1], r[1]}});
    }
}

void AddTube(Mesh& m, const TubeDef& t) {
    const int S = t.segs;
    const int K = int(t.rings.size());
    std::vector<int> rows = RingRows(t);
    // Vertices: the first pole, S per inner ring, the last pole.
    int base = int(m.verts.size());
    auto vertexOf = [&](int k, int j) {
        if (k == 0) return base;
        if (k == K - 1) return base + 1 + (K - 2) * S;
        return base + 1 + (k - 1) * S + (j % S);
    };
    for (int k = 0; k < K; ++k) {
        const RingDef& r = t.rings[size_t(k)];
        int count = (k == 0 || k == K - 1) ? 1 : S;
        for (int j = 0; j < count; ++j) {
            Vec3 p = RingPoint(t, r, ColumnTheta(j, S));
            if (r.bump != 0.0 && count > 1) {
                int d = j - S / 2;
                double amount = d == 0 ? 1.0 : ((d == 1 || d == -1) ? 0.2 : 0.0);
                p = p + t.front * (r.bump * amount);
            }
            m.verts.push_back(MeshVertex{p, r.b0, r.b1, r.w1});
        }
    }
    // Texture co-ordinates: S + 1 columns per inner ring, one per pole.
    int stBase = int(m.st.size());
    for (int k = 0; k < K; ++k) {
        if (k == 0 || k == K - 1) {
            m.st.push_back({(t.x0 + t.x1) / 2, rows[size_t(k)]});
            continue;
        }
        for (int j = 0; j <= S; ++j) m.st.push_back({Column(t, j), rows[size_t(k)]});
    }
    auto stOf = [&](int k, int j) {
        if (k == 0) return stBase;
        if (k == K - 1) return stBase + 1 + (K - 2) * (S + 1);
        return stBase + 1 + (k - 1) * (S + 1) + j;
    };
    // Strips between inner rings, fans around the poles; wound one way, then
    // turned over as a whole if that made the front faces counter-clockwise.
    size_t firstCmd = m.cmds.size(), firstTri = m.tris.size();
    for (int k = 1; k + 2 < K; ++k) {
        MeshCmd c;
        for (int j = 0; j <= S; ++j) {
            c.items.push_back({vertexOf(k, j), stOf(k, j)});
            c.items.push_back({vertexOf(k + 1, j), stOf(k + 1, j)});
        }
        m.cmds.push_back(c);
    }
    MeshCmd top{true, {{vertexOf(0, 0), stOf(0, 0)}}};
    for (int j = 0; j <= S; ++j) top.items.push_back({vertexOf(1, j), stOf(1, j)});
    m.cmds.push_back(top);
    MeshCmd bottom{true, {{vertexOf(K - 1, 0), stOf(K - 1, 0)}}};
    for (int j = S; j >= 0; --j) bottom.items.push_back({vertexOf(K - 2, j), stOf(K - 2, j)});
    m.cmds.push_back(bottom);
    for (size_t i = firstCmd; i < m.cmds.size(); ++i) TrianglesOf(m, m.cmds[i]);

    if (SignedVolume(m, firstTri) > 0.0) {
        m.tris.resize(firstTri);
        for (size_t i = firstCmd; i < m.cmds.size(); ++i) {
            MeshCmd& c = m.cmds[i];
            if (c.fan) {
                std::vector<std::array<int, 2>> rim(c.items.begin() + 1, c.items.end());
                for (size_t q = 0; q < rim.size(); ++q) c.items[q + 1] = rim[rim.size() - 1 - q];
            } else {
                for (size_t q = 0; q + 1 < c.items.size(); q += 2) std::swap(c.items[q], c.items[q + 1]);
            }
            TrianglesOf(m, c);
        }
    }
}

// ---- Painting ----------------------------------------------------------

const Color kSkin = Rgb(236, 182, 146);
const Color kSkinDark = Rgb(204, 142, 108);
const Color kHair = Rgb(84, 48, 26);
const Color kTop = Rgb(204, 38, 42);
const Color kTrim = Rgb(246, 204, 84);
const Color kTrousers = Rgb(164, 146, 104);
const Color kBelt = Rgb(58, 36, 22);
const Color kShoe = Rgb(96, 60, 34);
const Color kSole = Rgb(222, 212, 190);

// Soft inside test of an ellipse: 1 inside, 0 outside, smooth at the edge.
double InEllipse(double y, double z, double cy, double cz, double ry, double rz, double soft = 0.12) {
    double dy = (y - cy) / ry, dz = (z - cz) / rz;
    double d = std::sqrt(dy * dy + dz * dz);
    return 1.0 - Step(1.0 - soft, 1.0 + soft, d);
}

Color Fabric(Color c, Vec3 p, double amount) {
    double n = Fractal(p.x * 3.1 + p.y * 2.3, p.z * 3.7 + p.y * 1.3, 3, 7u);
    return Scale(c, 1.0 + (n - 0.5) * amount);
}

Color PaintFace(Vec3 p, double theta) {
    double ath = std::fabs(theta);
    double y = p.y, z = p.z;
    Color c = kSkin;
    // Neck a shade darker under the jaw.
    if (z < 24.6) c = Mix(kSkin, kSkinDark, Step(24.6, 23.6, z) * 0.6);
    if (p.x > 0.0) {
        // Cheeks.
        for (double s : {-1.0, 1.0}) c = Mix(c, Rgb(232, 140, 120), 0.35 * InEllipse(y, z, 1.75 * s, 26.4, 0.7, 0.5, 0.8));
        // Nose shading and nostrils.
        for (double s : {-1.0, 1.0}) {
            c = Mix(c, kSkinDark, 0.5 * InEllipse(y, z, 0.55 * s, 27.3, 0.18, 0.7, 0.6));
            c = Mix(c, Rgb(120, 60, 45), 0.8 * InEllipse(y, z, 0.3 * s, 26.62, 0.16, 0.09, 0.4));
        }
        // Mouth: two lips with a slight smile.
        double curve = 0.18 * (y / 1.0) * (y / 1.0);
        double mz = 25.55 + curve;
        double lips = InEllipse(y, z, 0.0, mz, 1.05, 0.32, 0.15);
        c = Mix(c, Rgb(196, 78, 78), lips);
        c = Mix(c, Rgb(110, 32, 36), InEllipse(y, z, 0.0, mz, 1.0, 0.06, 0.5) * lips);
        for (double s : {-1.0, 1.0}) {
            double ey = 1.22 * s, ez = 28.2;
            // Eye white, iris, pupil, lid line and brow.
            double white = InEllipse(y, z, ey, ez, 0.62, 0.34, 0.15);
            c = Mix(c, Rgb(248, 244, 236), white);
            double iris = InEllipse(y, z, ey, ez, 0.3, 0.3, 0.12) * white;
            c = Mix(c, Rgb(86, 118, 52), iris);
            c = Mix(c, Rgb(16, 12, 8), InEllipse(y, z, ey, ez, 0.14, 0.14, 0.2) * white);
            c = Mix(c, Rgb(40, 22, 14), InEllipse(y, z, ey, ez + 0.33, 0.7, 0.08, 0.5));
            double bz = 29.05 + 0.25 * (1.0 - ((y - ey) / 0.9) * ((y - ey) / 0.9));
            c = Mix(c, Rgb(70, 38, 20), InEllipse(y, z, ey + 0.1 * s, bz, 0.85, 0.13, 0.35));
        }
    }
    // Ears on the sides.
    if (ath > kPi * 0.38 && ath < kPi * 0.62) {
        double e = InEllipse(ath, z, kPi * 0.5, 27.3, kPi * 0.07, 1.0, 0.2);
        c = Mix(c, Rgb(226, 160, 128), e);
        c = Mix(c, Rgb(170, 100, 80), InEllipse(ath, z, kPi * 0.5, 27.3, kPi * 0.035, 0.55, 0.5) * e * 0.7);
    }
    // Hair: a fringe at the front, above the ears at the sides, down to the
    // nape at the back; strands as fine streaks.
    double front = 30.05 + 0.22 * Sin(theta * 9.0);
    double sides = 28.7;
    double back = 24.4;
    double line = ath < kPi * 0.22 ? front
                : ath < kPi * 0.38 ? Lerp(front, sides, Smooth((ath - kPi * 0.22) / (kPi * 0.16)))
                : ath < kPi * 0.53 ? sides
                : ath < kPi * 0.6 ? Lerp(sides, back, Smooth((ath - kPi * 0.53) / (kPi * 0.07)))
                : back;
    double hair = Step(line - 0.08, line + 0.08, z);
    double streak = 0.85 + 0.3 * Noise(theta * 16.0, z * 0.8, 3u);
    c = Mix(c, Scale(kHair, streak), hair);
    return c;
}

Color PaintTorso(Vec3 p, double theta) {
    double z = p.z, ay = std::fabs(p.y);
    (void)theta;
    if (z > 8.7) {
        Color c = Fabric(kTop, p, 0.10);
        // V neckline with a gold trim; skin inside it.
        if (p.x > 0.0) {
            double vz = 18.6 + 1.6 * ay;
            if (z > vz + 0.35) c = kSkin;
            else if (z > vz - 0.05) c = kTrim;
        }
        // Gold piping down the sides, and the hem.
        if (ay > 3.0 && std::fabs(p.x) < 0.35 && z < 19.0) c = kTrim;
        if (z < 9.4) c = Scale(kTop, 0.75);
        return c;
    }
    if (z > 7.3) {
        // Belt with a buckle at the front.
        Color c = kBelt;
        if (p.x > 0.0 && ay < 0.9) c = ay < 0.55 && z > 7.6 && z < 8.4 ? Scale(kBelt, 0.8) : kTrim;
        return c;
    }
    Color c = Fabric(kTrousers, p, 0.12);
    if (p.x > 0.0 && ay < 0.1 && z > 2.5) c = Scale(kTrousers, 0.6);  // fly seam
    if (p.x < 0.0 && ay > 1.0 && ay < 3.6 && z > 3.2 && z < 6.2) {  // back pockets
        bool edge = ay < 1.15 || ay > 3.45 || z < 3.35 || z > 6.05;
        if (edge) c = Scale(kTrousers, 0.65);
    }
    return c;
}

Color PaintArm(Vec3 p, double theta) {
    (void)theta;
    if (p.z > 16.4) return Fabric(kTop, p, 0.10);
    if (p.z > 15.6) return kTrim;
    Color c = kSkin;
    if (p.z < 3.6) c = Mix(c, kSkinDark, 0.3);
    return c;
}

Color PaintHand(Vec3 p, double theta) {
    (void)theta;
    Color c = Mix(kSkin, kSkinDark, Step(3.2, 2.0, p.z) * 0.15);
    // Fingers: grooves across the hand's width below the knuckles.
    if (p.z < -0.2) {
        for (double g : {-0.6, 0.0, 0.6})
            c = Mix(c, Rgb(160, 96, 72), (1.0 - Step(0.04, 0.12, std::fabs(p.x - g))) * 0.8);
    }
    // Knuckle line.
    c = Mix(c, kSkinDark, (1.0 - Step(0.05, 0.2, std::fabs(p.z + 0.3))) * 0.5);
    return c;
}

Color PaintLeg(Vec3 p, double theta) {
    double z = p.z;
    if (z < -20.6) return kShoe;
    Color c = Fabric(kTrousers, p, 0.12);
    if (z < -19.6) return Scale(kTrousers, 0.78);  // turned-up hem
    // Red stripe down the outer side, matching the top.
    double d = std::fabs(theta - kPi / 2.0);
    if (d < 0.16) c = Scale(kTop, 0.9);
    // Knee crease.
    if (p.x > 0.0) c = Mix(c, Scale(kTrousers, 0.75), (1.0 - Step(0.1, 0.5, std::fabs(z + 9.3))) * 0.6);
    return c;
}

Color PaintFoot(Vec3 p, double theta) {
    (void)theta;
    double rel = p.z;
    if (rel < -23.4) return kSole;
    Color c = kShoe;
    // Toe cap and heel counter a shade darker, laces on the instep.
    if (p.x > 3.6 || p.x < -1.4) c = Scale(kShoe, 0.8);
    if (p.x > 0.4 && p.x < 3.4 && rel > -21.9 && std::fabs(p.y - BoneJoint(kFootL).y) < 0.8) {
        double f = p.x * 2.0 - std::floor(p.x * 2.0);
        c = f < 0.45 ? Rgb(236, 230, 214) : Scale(kShoe, 0.7);
    }
    if (rel < -23.15) c = Mix(c, kSole, 0.6);  // welt
    return c;
}

Color PaintTail(double s) {
    if (s < 0.75) return Rgb(196, 30, 40);  // hair tie
    return kHair;
}

Color PaintAt(const TubeDef& t, Vec3 p, double theta, double s) {
    switch (t.part) {
        case kPartTorso: return PaintTorso(p, theta);
        case kPartHead: return PaintFace(p, theta);
        case kPartArm: return PaintArm(p, theta);
        case kPartHand:
        case kPartThumb: return PaintHand(p, theta);
        case kPartLeg: return PaintLeg(p, theta);
        case kPartFoot: return PaintFoot(p, theta);
        case kPartTail: {
            Color c = PaintTail(s);
            return s < 0.75 ? c : Scale(c, 0.85 + 0.3 * Noise(theta * 8.0, s * 1.5, 5u));
        }
    }
    return kSkin;
}

void PaintTube(Image& img, const TubeDef& t) {
    std::vector<int> rows = RingRows(t);
    size_t n = t.rings.size();
    for (int py = t.y0 - kPad; py < t.y1 + kPad; ++py) {
        for (int px = t.x0 - kPad; px < t.x1 + kPad; ++px) {
            double u = Clamp((px + 0.5 - t.x0) / double(t.x1 - t.x0), 0.0, 1.0);
            double theta = -kPi + 2.0 * kPi * u;
            double v = Clamp(py + 0.5, double(rows[0]), double(rows[n - 1]));
            size_t k = 0;
            while (k + 2 < n && v > double(rows[k + 1])) ++k;
            double span = double(rows[k + 1] - rows[k]);
            double f = span > 0.0 ? Clamp((v - rows[k]) / span, 0.0, 1.0) : 0.0;
            const RingDef& r0 = t.rings[k];
            const RingDef& r1 = t.rings[k + 1];
            double s = Lerp(r0.s, r1.s, f);
            Vec3 p = RingPoint(t, s, Lerp(r0.a, r1.a, f), Lerp(r0.b, r1.b, f), Lerp(r0.ca, r1.ca, f), theta);
            Color c = PaintAt(t, p, theta, s);
            c.a = 1.0;
            img.Set(px, py, c);
        }
    }
}

}  // namespace

Mesh BuildMesh() {
    Mesh m;
    m.skinWidth = kSkinW;
    m.skinHeight = kSkinH;
    for (const TubeDef& t : AllTubes()) AddTube(m, t);
    return m;
}

Image PaintSkin() {
    Image img(kSkinW, kSkinH, Rgb(40, 40, 40));
    for (const TubeDef& t : LeftAndMiddle()) PaintTube(img, t);
    return img;
}

std::vector<Vec3> PoseVertices(const Mesh& mesh, const Pose& pose) {
    std::array<Xform, kBoneCount> world = SolvePose(pose);
    std::vector<Vec3> out;
    out.reserve(mesh.verts.size());
    for (const MeshVertex& v : mesh.verts) {
        Vec3 a = world[size_t(v.bone0)].Apply(v.rest - BoneJoint(v.bone0));
        if (v.w1 == 0.0 || v.bone1 == v.bone0) {
            out.push_back(a);
            continue;
        }
        Vec3 b = world[size_t(v.bone1)].Apply(v.rest - BoneJoint(v.bone1));
        out.push_back(a * (1.0 - v.w1) + b * v.w1);
    }
    return out;
}

std::vector<Vec3> VertexNormals(const Mesh& mesh, const std::vector<Vec3>& pos) {
    std::vector<Vec3> sum(pos.size());
    for (const MeshTri& t : mesh.tris) {
        Vec3 a = pos[size_t(t.v[0])], b = pos[size_t(t.v[1])], c = pos[size_t(t.v[2])];
        // Clockwise front faces: (c - a) x (b - a) points outwards.
        Vec3 n = Cross(c - a, b - a);
        for (int i = 0; i < 3; ++i) sum[size_t(t.v[i])] = sum[size_t(t.v[i])] + n;
    }
    for (Vec3& n : sum) n = Normalize(n);
    return sum;
}

}  // namespace art
