#include "md2write.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "detmath.h"

namespace art {
namespace {

const double kNormals[162][3] = {
#include "normals.inc"  // md2ex's table
};

class Writer {
public:
    void I32(int32_t v) {
        uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(u >> (8 * i)));
    }
    void I16(int v) {
        uint16_t u = uint16_t(int16_t(v));
        bytes.push_back(uint8_t(u));
        bytes.push_back(uint8_t(u >> 8));
    }
    void F32(float f) {
        uint32_t u;
        std::memcpy(&u, &f, 4);
        I32(int32_t(u));
    }
    void U8(int v) { bytes.push_back(uint8_t(v)); }
    void Text(const std::string& s, size_t size) {
        for (size_t i = 0; i < size; ++i) bytes.push_back(i < s.size() && i + 1 < size ? uint8_t(s[i]) : 0);
    }
    void PatchI32(size_t at, int32_t v) {
        uint32_t u = uint32_t(v);
        for (int i = 0; i < 4; ++i) bytes[at + size_t(i)] = uint8_t(u >> (8 * i));
    }
    std::vector<unsigned char> bytes;
};

}  // namespace

int NearestNormal(Vec3 n) {
    int best = 0;
    double bestDot = -2.0;
    for (int i = 0; i < 162; ++i) {
        double d = n.x * kNormals[i][0] + n.y * kNormals[i][1] + n.z * kNormals[i][2];
        if (d > bestDot) {
            bestDot = d;
            best = i;
        }
    }
    return best;
}

std::vector<unsigned char> BuildMd2(const Mesh& mesh, const std::vector<AnimFrame>& frames,
                                    const std::string& skinName) {
    const int numXyz = int(mesh.verts.size());
    const int frameSize = 40 + 4 * numXyz;
    int glcmdCount = 1;  // the closing zero
    for (const MeshCmd& c : mesh.cmds) glcmdCount += 1 + 3 * int(c.items.size());

    const int ofsSkins = 68;
    const int ofsSt = ofsSkins + 64;
    const int ofsTris = ofsSt + 4 * int(mesh.st.size());
    const int ofsFrames = ofsTris + 12 * int(mesh.tris.size());
    const int ofsGlcmds = ofsFrames + frameSize * int(frames.size());
    const int ofsEnd = ofsGlcmds + 4 * glcmdCount;

    Writer w;
    w.I32(0x32504449);  // "IDP2"
    w.I32(8);
    w.I32(mesh.skinWidth);
    w.I32(mesh.skinHeight);
    w.I32(frameSize);
    w.I32(1);
    w.I32(numXyz);
    w.I32(int(mesh.st.size()));
    w.I32(int(mesh.tris.size()));
    w.I32(glcmdCount);
    w.I32(int(frames.size()));
    w.I32(ofsSkins);
    w.I32(ofsSt);
    w.I32(ofsTris);
    w.I32(ofsFrames);
    w.I32(ofsGlcmds);
    w.I32(ofsEnd);
    w.Text(skinName, 64);
    for (const auto& st : mesh.st) {
        w.I16(st[0]);
        w.I16(st[1]);
    }
    for (const MeshTri& t : mesh.tris) {
        for (int i = 0; i < 3; ++i) w.I16(t.v[i]);
        for (int i = 0; i < 3; ++i) w.I16(t.t[i]);
    }
    for (const AnimFrame& f : frames) {
        std::vector<Vec3> pos = PoseVertices(mesh, f.pose);
        std::vector<Vec3> nrm = VertexNormals(mesh, pos);
        Vec3 lo = pos[0], hi = pos[0];
        for (const Vec3& p : pos) {
            lo = {p.x < lo.x ? p.x : lo.x, p.y < lo.y ? p.y : lo.y, p.z < lo.z ? p.z : lo.z};
            hi = {p.x > hi.x ? p.x : hi.x, p.y > hi.y ? p.y : hi.y, p.z > hi.z ? p.z : hi.z};
        }
        float scale[3], translate[3];
        double l[3] = {lo.x, lo.y, lo.z}, h[3] = {hi.x, hi.y, hi.z};
        for (int i = 0; i < 3; ++i) {
            double span = h[i] - l[i];
            scale[i] = float((span > 1e-6 ? span : 1e-6) / 255.0);
            translate[i] = float(l[i]);
        }
        for (float v : scale) w.F32(v);
        for (float v : translate) w.F32(v);
        w.Text(f.name, 16);
        for (size_t k = 0; k < pos.size(); ++k) {
            double c[3] = {pos[k].x, pos[k].y, pos[k].z};
            for (int i = 0; i < 3; ++i) {
                double q = std::floor((c[i] - double(translate[i])) / double(scale[i]) + 0.5);
                w.U8(int(Clamp(q, 0.0, 255.0)));
            }
            w.U8(NearestNormal(nrm[k]));
        }
    }
    const double sw = mesh.skinWidth, sh = mesh.skinHeight;
    for (const MeshCmd& c : mesh.cmds) {
        int n = int(c.items.size());
        w.I32(c.fan ? -n : n);
        for (const auto& it : c.items) {
            const auto& st = mesh.st[size_t(it[1])];
            w.F32(float(st[0] / sw));
            w.F32(float(st[1] / sh));
            w.I32(it[0]);
        }
    }
    w.I32(0);
    return w.bytes;
}

}  // namespace art
