#include "md2read.h"

#include <cstring>

namespace artview {
namespace {

const float kNormals[162][3] = {
#include "../../md2ex/normals.inc"
};

struct Cursor {
    const std::vector<uint8_t>& b;
    bool Has(size_t at, size_t n) const { return at <= b.size() && n <= b.size() - at; }
    int32_t I32(size_t at) const {
        uint32_t u = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                     uint32_t(b[at + 3]) << 24;
        int32_t v;
        std::memcpy(&v, &u, 4);
        return v;
    }
    int16_t I16(size_t at) const {
        uint16_t u = uint16_t(b[at] | b[at + 1] << 8);
        int16_t v;
        std::memcpy(&v, &u, 2);
        return v;
    }
    float F32(size_t at) const {
        int32_t v = I32(at);
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    // A fixed-size text field that must hold its terminating zero.
    bool Text(size_t at, size_t size, std::string& out) const {
        const uint8_t* p = b.data() + at;
        const void* zero = std::memchr(p, 0, size);
        if (!zero) return false;
        out.assign(reinterpret_cast<const char*>(p), size_t(static_cast<const uint8_t*>(zero) - p));
        return true;
    }
};

bool Fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

}  // namespace

bool ReadMd2(const std::vector<uint8_t>& bytes, Md2Model& m, std::string& error) {
    Cursor c{bytes};
    m = Md2Model{};
    if (!c.Has(0, 68)) return Fail(error, "file shorter than the header");
    if (c.I32(0) != 0x32504449) return Fail(error, "not IDP2");
    if (c.I32(4) != 8) return Fail(error, "version is not 8");
    int32_t h[17];
    for (int i = 0; i < 17; ++i) h[i] = c.I32(size_t(i) * 4);
    const int32_t skinW = h[2], skinH = h[3], frameSize = h[4], numSkins = h[5], numXyz = h[6],
                  numSt = h[7], numTris = h[8], numGl = h[9], numFrames = h[10];
    const int32_t ofsSkins = h[11], ofsSt = h[12], ofsTris = h[13], ofsFrames = h[14],
                  ofsGl = h[15], ofsEnd = h[16];
    if (skinW <= 0 || skinH <= 0 || skinW > 4096 || skinH > 4096) return Fail(error, "bad skin size");
    if (numSkins < 0 || numSkins > 32) return Fail(error, "bad skin count");
    if (numXyz < 3 || numXyz > 2048) return Fail(error, "bad vertex count");
    if (numSt < 1 || numSt > 32768) return Fail(error, "bad st count");
    if (numTris < 1 || numTris > 4096) return Fail(error, "bad triangle count");
    if (numFrames < 1 || numFrames > 512) return Fail(error, "bad frame count");
    if (numGl < 1 || numGl > 1 << 20) return Fail(error, "bad GL command count");
    if (frameSize != 40 + 4 * numXyz) return Fail(error, "frame size does not match vertex count");
    if (ofsEnd < 0 || size_t(ofsEnd) != bytes.size()) return Fail(error, "end offset is not the file size");
    struct Block {
        int32_t ofs;
        size_t size;
        const char* what;
    } blocks[] = {{ofsSkins, size_t(numSkins) * 64, "skins"},
                  {ofsSt, size_t(numSt) * 4, "texture co-ordinates"},
                  {ofsTris, size_t(numTris) * 12, "triangles"},
                  {ofsFrames, size_t(numFrames) * size_t(frameSize), "frames"},
                  {ofsGl, size_t(numGl) * 4, "GL commands"}};
    for (const Block& b : blocks)
        if (b.ofs < 68 || !c.Has(size_t(b.ofs), b.size)) return Fail(error, std::string(b.what) + " outside the file");

    m.skinWidth = skinW;
    m.skinHeight = skinH;
    m.numXyz = numXyz;
    for (int32_t i = 0; i < numSkins; ++i) {
        std::string name;
        if (!c.Text(size_t(ofsSkins) + size_t(i) * 64, 64, name)) return Fail(error, "skin name not terminated");
        m.skins.push_back(name);
    }
    for (int32_t i = 0; i < numSt; ++i) {
        size_t at = size_t(ofsSt) + size_t(i) * 4;
        m.st.push_back({c.I16(at), c.I16(at + 2)});
    }
    for (int32_t i = 0; i < numTris; ++i) {
        size_t at = size_t(ofsTris) + size_t(i) * 12;
        std::array<uint16_t, 6> t;
        for (int k = 0; k < 6; ++k) t[size_t(k)] = uint16_t(c.I16(at + size_t(k) * 2));
        for (int k = 0; k < 3; ++k) {
            if (t[size_t(k)] >= numXyz) return Fail(error, "triangle vertex index out of range");
            if (t[size_t(k) + 3] >= numSt) return Fail(error, "triangle st index out of range");
        }
        m.tris.push_back(t);
    }
    for (int32_t i = 0; i < numFrames; ++i) {
        size_t at = size_t(ofsFrames) + size_t(i) * size_t(frameSize);
        Md2Frame f;
        for (int k = 0; k < 3; ++k) {
            f.scale[k] = c.F32(at + size_t(k) * 4);
            f.translate[k] = c.F32(at + 12 + size_t(k) * 4);
            if (!(f.scale[k] == f.scale[k]) || !(f.translate[k] == f.translate[k]))
                return Fail(error, "frame scale or offset is not a number");
        }
        if (!c.Text(at + 24, 16, f.name)) return Fail(error, "frame name not terminated");
        for (int32_t v = 0; v < numXyz; ++v) {
            size_t p = at + 40 + size_t(v) * 4;
            std::array<uint8_t, 4> vert = {bytes[p], bytes[p + 1], bytes[p + 2], bytes[p + 3]};
            if (vert[3] >= 162) return Fail(error, "light normal index out of range");
            f.verts.push_back(vert);
        }
        m.frames.push_back(f);
    }
    // GL commands: counted strips (positive) and fans (negative), ended by 0.
    size_t at = size_t(ofsGl), end = size_t(ofsGl) + size_t(numGl) * 4;
    for (;;) {
        if (at + 4 > end) return Fail(error, "GL commands not terminated");
        int32_t n = c.I32(at);
        at += 4;
        if (n == 0) break;
        Md2GlCmd cmd;
        cmd.fan = n < 0;
        int64_t count = n < 0 ? -int64_t(n) : int64_t(n);
        if (count < 3) return Fail(error, "GL command with fewer than 3 vertices");
        if (int64_t(end - at) < count * 12) return Fail(error, "GL command runs past its block");
        for (int64_t k = 0; k < count; ++k) {
            Md2GlCmd::Item it{c.F32(at), c.F32(at + 4), c.I32(at + 8)};
            at += 12;
            if (it.index < 0 || it.index >= numXyz) return Fail(error, "GL command vertex index out of range");
            if (!(it.s >= 0.0f && it.s <= 1.0f && it.t >= 0.0f && it.t <= 1.0f))
                return Fail(error, "GL command texture co-ordinate outside 0..1");
            cmd.items.push_back(it);
        }
        m.cmds.push_back(cmd);
    }
    if (at != end) return Fail(error, "data after the GL commands' end");
    return true;
}

std::array<float, 3> VertexPosition(const Md2Frame& f, size_t i) {
    const auto& v = f.verts[i];
    return {v[0] * f.scale[0] + f.translate[0], v[1] * f.scale[1] + f.translate[1],
            v[2] * f.scale[2] + f.translate[2]};
}

std::array<float, 3> LightNormal(int index) {
    if (index < 0 || index >= 162) return {0, 0, 1};
    return {kNormals[index][0], kNormals[index][1], kNormals[index][2]};
}

}  // namespace artview
