// A small software renderer for previews: textured, Gouraud-lit triangles
// with a depth buffer, in an orthographic view.
#pragma once

#include <cstdint>
#include <vector>

#include "md2file.h"

namespace artview {

struct Canvas {
    int width, height;
    std::vector<uint8_t> rgb;
    std::vector<float> depth;
    Canvas(int w, int h);
    void Fill(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b);
    void Put(int x, int y, uint8_t r, uint8_t g, uint8_t b);
    bool WritePng(const char* path) const;
};

struct Texture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

struct Camera {
    float spin = 0, tilt = 0;   // degrees about the GL y axis, then the x axis
    float centreX = 0, centreY = 0;  // pixel where the GL origin lands
    float pixelsPerUnit = 1;
    int clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;
    // Light the figure as the program's fixed lighting does (one light above,
    // left and behind, yellow with a negative blue, ambient 0.3 plus the
    // global 0.2), instead of the neutral preview light.
    bool programLight = false;
};

// Draws one stored frame: the decoded positions (GL axes), lit by the
// normals the file stores.
void DrawFrame(Canvas& c, const Md2& m, const Texture& skin, size_t frame, const Camera& cam);

}  // namespace artview
