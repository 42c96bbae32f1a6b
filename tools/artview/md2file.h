// The generated model as the previews and checks read it: md2ex's own parser
// and decoder (the program's reading), plus the few things only they use,
// taken from the validated file itself: frame names, the stored lighting
// normals and the GL commands.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model.h"

namespace artview {

struct Md2 {
    Md2() = default;
    Md2(const Md2&) = delete;  // `file` points into `bytes`
    Md2& operator=(const Md2&) = delete;

    std::vector<std::uint8_t> bytes;
    md2::File file;
    md2::Model model;  // positions in GL axes, texture coordinates at the file's skin size
    std::vector<std::string> frameNames;
};

// Parses, checks and decodes; on failure returns false with the reason in error.
bool LoadMd2(std::vector<std::uint8_t> bytes, Md2& out, std::string& error);

// The file vertex that a draw vertex of the model shows.
int FileVertex(const md2::Model& model, int drawVertex);

// The lighting normal the file stores for a vertex of a frame, in GL axes
// like the model's positions; zero outside the model.
std::array<float, 3> TableNormal(const Md2& m, int frame, int vertex);

// GL commands: counted strips (positive) and fans (negative), ended by 0.
struct GlCommand {
    bool fan = false;
    struct Item {
        float s, t;  // picture fractions, t from the top row
        std::int32_t index;
    };
    std::vector<Item> items;
};

// Reads the GL commands strictly: each of 3 vertices or more, with vertex
// indices in range and texture coordinates inside the picture, the list
// ended by 0 exactly at the end of its section.
bool ReadGlCommands(const md2::File& file, std::vector<GlCommand>& out, std::string& error);

}  // namespace artview
