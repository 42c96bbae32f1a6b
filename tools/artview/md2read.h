// A strict reader of MD2 model files, for checking the generated model and
// drawing its previews. Every count, offset and index is checked before use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace artview {

struct Md2Frame {
    std::string name;
    float scale[3], translate[3];
    std::vector<std::array<uint8_t, 4>> verts;  // x, y, z, normal index
};

struct Md2GlCmd {
    bool fan = false;
    struct Item {
        float s, t;
        int32_t index;
    };
    std::vector<Item> items;
};

struct Md2Model {
    int32_t skinWidth = 0, skinHeight = 0, numXyz = 0;
    std::vector<std::string> skins;
    std::vector<std::array<int16_t, 2>> st;
    std::vector<std::array<uint16_t, 6>> tris;  // three vertex, then three st indices
    std::vector<Md2Frame> frames;
    std::vector<Md2GlCmd> cmds;
};

// Parses and validates; on failure returns false with the reason in error.
bool ReadMd2(const std::vector<uint8_t>& bytes, Md2Model& model, std::string& error);

// A vertex of a frame in file units.
std::array<float, 3> VertexPosition(const Md2Frame& f, size_t i);

// The standard light normal of an index (0..161).
std::array<float, 3> LightNormal(int index);

}  // namespace artview
