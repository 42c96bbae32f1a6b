// Builds MD2 files in memory for the tests, the fuzzing seeds and the
// benchmark. Sections are written in the usual order: skins, texture
// coordinates, triangles, frames, GL commands.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace md2test {

// The header's 17 fields, in file order.
enum Field {
    kIdent, kVersion, kSkinWidth, kSkinHeight, kFrameSize, kNumSkins, kNumVertices,
    kNumTexCoords, kNumTriangles, kNumGlCommands, kNumFrames, kOfsSkins, kOfsTexCoords,
    kOfsTriangles, kOfsFrames, kOfsGlCommands, kOfsEnd
};

// Table indices of the six axis directions (file axes).
constexpr std::uint8_t kNormalPlusX = 52, kNormalMinusX = 143, kNormalPlusY = 32,
                       kNormalMinusY = 104, kNormalPlusZ = 5, kNormalMinusZ = 84;

// The table entry nearest to a direction given in file axes.
inline std::uint8_t NearestNormal(double x, double y, double z) {
    static const float table[162][3] = {
#include "normals.inc"
    };
    int best = 0;
    double bestDot = -2.0;
    for (int i = 0; i < 162; ++i) {
        const double dot = table[i][0] * x + table[i][1] * y + table[i][2] * z;
        if (dot > bestDot) {
            bestDot = dot;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

struct Vertex {
    std::uint8_t x, y, z, normal;
};

struct Frame {
    float scale[3] = {1, 1, 1};
    float translate[3] = {0, 0, 0};
    std::string name = "frame";
    std::vector<Vertex> vertices;
};

struct Triangle {
    std::uint16_t vertex[3];
    std::uint16_t texCoord[3];
};

struct Blueprint {
    std::int32_t skinWidth = 64, skinHeight = 64;
    std::vector<std::string> skins;
    std::vector<std::array<std::int16_t, 2>> texCoords;
    std::vector<Triangle> triangles;
    std::vector<Frame> frames;
    std::vector<std::int32_t> glCommands;
};

inline void PutI32(std::vector<std::uint8_t>& out, std::size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i));
}

inline std::int32_t GetI32(const std::vector<std::uint8_t>& in, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(in[at + i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

inline void SetField(std::vector<std::uint8_t>& file, Field f, std::int32_t v) { PutI32(file, 4 * f, v); }
inline std::int32_t GetField(const std::vector<std::uint8_t>& file, Field f) { return GetI32(file, 4 * f); }

inline void Append16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void Append32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void AppendF(std::vector<std::uint8_t>& out, float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Append32(out, bits);
}

inline void AppendText(std::vector<std::uint8_t>& out, const std::string& text, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

inline std::vector<std::uint8_t> Build(const Blueprint& s) {
    const std::int32_t vertices = s.frames.empty() ? 0 : static_cast<std::int32_t>(s.frames[0].vertices.size());
    std::vector<std::uint8_t> out(68, 0);
    std::memcpy(out.data(), "IDP2", 4);
    SetField(out, kVersion, 8);
    SetField(out, kSkinWidth, s.skinWidth);
    SetField(out, kSkinHeight, s.skinHeight);
    SetField(out, kFrameSize, 40 + 4 * vertices);
    SetField(out, kNumSkins, static_cast<std::int32_t>(s.skins.size()));
    SetField(out, kNumVertices, vertices);
    SetField(out, kNumTexCoords, static_cast<std::int32_t>(s.texCoords.size()));
    SetField(out, kNumTriangles, static_cast<std::int32_t>(s.triangles.size()));
    SetField(out, kNumGlCommands, static_cast<std::int32_t>(s.glCommands.size()));
    SetField(out, kNumFrames, static_cast<std::int32_t>(s.frames.size()));

    SetField(out, kOfsSkins, static_cast<std::int32_t>(out.size()));
    for (const auto& skin : s.skins) AppendText(out, skin, 64);
    SetField(out, kOfsTexCoords, static_cast<std::int32_t>(out.size()));
    for (const auto& st : s.texCoords) {
        Append16(out, static_cast<std::uint16_t>(st[0]));
        Append16(out, static_cast<std::uint16_t>(st[1]));
    }
    SetField(out, kOfsTriangles, static_cast<std::int32_t>(out.size()));
    for (const auto& t : s.triangles) {
        for (auto v : t.vertex) Append16(out, v);
        for (auto v : t.texCoord) Append16(out, v);
    }
    SetField(out, kOfsFrames, static_cast<std::int32_t>(out.size()));
    for (const auto& f : s.frames) {
        for (float v : f.scale) AppendF(out, v);
        for (float v : f.translate) AppendF(out, v);
        AppendText(out, f.name, 16);
        for (const auto& v : f.vertices) {
            out.push_back(v.x);
            out.push_back(v.y);
            out.push_back(v.z);
            out.push_back(v.normal);
        }
    }
    SetField(out, kOfsGlCommands, static_cast<std::int32_t>(out.size()));
    for (auto c : s.glCommands) Append32(out, static_cast<std::uint32_t>(c));
    SetField(out, kOfsEnd, static_cast<std::int32_t>(out.size()));
    return out;
}

// A square facing the character's front (+x in the file), 2 units wide and
// high, in two frames: the second lies 4 units higher. Skin 64 x 64: the
// square's top edge maps to picture row 0, its bottom edge to row 64.
// Vertices: 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left, as the
// viewer in front of it sees them (the character's left is +y, the viewer's
// right).
inline Blueprint Square() {
    Blueprint s;
    s.skins = {"models/square/skin.pcx"};
    s.texCoords = {{0, 0}, {64, 0}, {64, 64}, {0, 64}};
    // Clockwise as seen from the front, the format's usual winding.
    s.triangles = {{{0, 1, 2}, {0, 1, 2}}, {{0, 2, 3}, {0, 2, 3}}};
    for (int f = 0; f < 2; ++f) {
        Frame frame;
        frame.name = "stand" + std::to_string(f + 1);
        frame.scale[0] = frame.scale[1] = frame.scale[2] = 1.0f;
        frame.translate[0] = 0.0f;
        frame.translate[1] = -1.0f;
        frame.translate[2] = -1.0f + 4.0f * f;
        const std::uint8_t n = kNormalPlusX;
        frame.vertices = {{0, 0, 2, n}, {0, 2, 2, n}, {0, 2, 0, n}, {0, 0, 0, n}};
        s.frames.push_back(frame);
    }
    s.glCommands = {4, 0, 0, 0, 0, 0};  // one strip header and a terminator, not used
    return s;
}

// A closed cube around the origin, 2 units wide, with normals pointing out,
// its faces wound clockwise seen from outside, or counter-clockwise.
inline Blueprint Cube(bool clockwise) {
    Blueprint s;
    s.texCoords = {{0, 0}};
    Frame frame;
    frame.scale[0] = frame.scale[1] = frame.scale[2] = 2.0f;
    frame.translate[0] = frame.translate[1] = frame.translate[2] = -1.0f;
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t x = i & 1, y = (i >> 1) & 1, z = (i >> 2) & 1;
        frame.vertices.push_back({x, y, z, NearestNormal(x - 0.5, y - 0.5, z - 0.5)});
    }
    s.frames.push_back(frame);
    // Each face clockwise seen from outside.
    const std::uint16_t faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1},
                                       {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
    for (const auto& q : faces) {
        Triangle a{{q[0], q[1], q[2]}, {0, 0, 0}}, b{{q[0], q[2], q[3]}, {0, 0, 0}};
        if (!clockwise) {
            std::swap(a.vertex[1], a.vertex[2]);
            std::swap(b.vertex[1], b.vertex[2]);
        }
        s.triangles.push_back(a);
        s.triangles.push_back(b);
    }
    return s;
}

// A character-sized body of revolution: `rings` x `segments` vertices on a
// closed surface, with a texture seam down its back, animated over `frames`
// frames (a sway and a breath). Used for benchmarks and fuzzing seeds.
inline Blueprint Body(int rings, int segments, int frames) {
    Blueprint s;
    s.skinWidth = 256;
    s.skinHeight = 256;
    s.skins = {"models/body/skin.pcx"};
    for (int r = 0; r < rings; ++r)
        for (int g = 0; g <= segments; ++g)
            s.texCoords.push_back({static_cast<std::int16_t>(g * 255 / segments),
                                   static_cast<std::int16_t>(r * 255 / (rings - 1))});
    const auto vertex = [&](int r, int g) { return static_cast<std::uint16_t>(r * segments + g % segments); };
    const auto coord = [&](int r, int g) { return static_cast<std::uint16_t>(r * (segments + 1) + g); };
    for (int r = 0; r + 1 < rings; ++r) {
        for (int g = 0; g < segments; ++g) {
            s.triangles.push_back({{vertex(r, g), vertex(r + 1, g), vertex(r + 1, g + 1)},
                                   {coord(r, g), coord(r + 1, g), coord(r + 1, g + 1)}});
            s.triangles.push_back({{vertex(r, g), vertex(r + 1, g + 1), vertex(r, g + 1)},
                                   {coord(r, g), coord(r + 1, g + 1), coord(r, g + 1)}});
        }
    }
    const double pi = 3.14159265358979323846;
    for (int f = 0; f < frames; ++f) {
        Frame frame;
        frame.name = "run" + std::to_string(f % 100);
        frame.scale[0] = frame.scale[1] = 32.0f / 255.0f;
        frame.scale[2] = 56.0f / 255.0f;
        frame.translate[0] = frame.translate[1] = -16.0f;
        frame.translate[2] = -24.0f;
        const double phase = 2 * pi * f / frames;
        for (int r = 0; r < rings; ++r) {
            const double height = double(r) / (rings - 1);
            const double radius = 0.25 + 0.2 * std::sin(pi * height) * (1.0 + 0.1 * std::sin(phase));
            for (int g = 0; g < segments; ++g) {
                const double a = 2 * pi * g / segments;
                const double sway = 0.05 * std::sin(phase + height * 3);
                const auto pack = [](double v) { return static_cast<std::uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 255)); };
                frame.vertices.push_back({pack(0.5 + radius * std::cos(a) + sway),
                                          pack(0.5 + radius * std::sin(a)), pack(height),
                                          NearestNormal(std::cos(a), std::sin(a), 0.0)});
            }
        }
        s.frames.push_back(frame);
    }
    return s;
}

}  // namespace md2test
