#include "raster.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>

namespace artview {

Canvas::Canvas(int w, int h)
    : width(w), height(h), rgb(size_t(w) * size_t(h) * 3, 0), depth(size_t(w) * size_t(h), -1e30f) {}

void Canvas::Put(int x, int y, uint8_t r, uint8_t g, uint8_t b) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    rgb[i] = r;
    rgb[i + 1] = g;
    rgb[i + 2] = b;
}

void Canvas::Fill(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b) {
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Put(x, y, r, g, b);
}

bool Canvas::WritePng(const char* path) const {
    return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) != 0;
}

namespace {

struct V {
    float x, y, z, s, t, light[3];
};

void Sample(const Texture& tex, float s, float t, float out[3]) {
    if (tex.width <= 0) {
        out[0] = out[1] = out[2] = 0.8f;
        return;
    }
    float fx = s * tex.width - 0.5f, fy = t * tex.height - 0.5f;
    int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
    float ax = fx - x0, ay = fy - y0;
    for (int ch = 0; ch < 3; ++ch) {
        float acc = 0;
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx) {
                int x = std::clamp(x0 + dx, 0, tex.width - 1), y = std::clamp(y0 + dy, 0, tex.height - 1);
                float w = (dx ? ax : 1 - ax) * (dy ? ay : 1 - ay);
                acc += w * tex.rgba[(size_t(y) * size_t(tex.width) + size_t(x)) * 4 + size_t(ch)] / 255.0f;
            }
        out[ch] = acc;
    }
}

void Triangle(Canvas& c, const Texture& tex, const V& a, const V& b, const V& d, const Camera& cam) {
    float area = (b.x - a.x) * (d.y - a.y) - (b.y - a.y) * (d.x - a.x);
    if (std::fabs(area) < 1e-6f) return;
    int x0 = std::max(cam.clipX0, int(std::floor(std::min({a.x, b.x, d.x}))));
    int x1 = std::min(cam.clipX1 - 1, int(std::ceil(std::max({a.x, b.x, d.x}))));
    int y0 = std::max(cam.clipY0, int(std::floor(std::min({a.y, b.y, d.y}))));
    int y1 = std::min(cam.clipY1 - 1, int(std::ceil(std::max({a.y, b.y, d.y}))));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float px = x + 0.5f, py = y + 0.5f;
            float w0 = ((b.x - px) * (d.y - py) - (b.y - py) * (d.x - px)) / area;
            float w1 = ((d.x - px) * (a.y - py) - (d.y - py) * (a.x - px)) / area;
            float w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            float z = w0 * a.z + w1 * b.z + w2 * d.z;
            size_t i = size_t(y) * size_t(c.width) + size_t(x);
            if (z <= c.depth[i]) continue;
            c.depth[i] = z;
            float col[3];
            Sample(tex, w0 * a.s + w1 * b.s + w2 * d.s, w0 * a.t + w1 * b.t + w2 * d.t, col);
            uint8_t out[3];
            for (int ch = 0; ch < 3; ++ch) {
                float l = w0 * a.light[ch] + w1 * b.light[ch] + w2 * d.light[ch];
                out[ch] = uint8_t(std::clamp(col[ch] * l, 0.0f, 1.0f) * 255.0f + 0.5f);
            }
            c.Put(x, y, out[0], out[1], out[2]);
        }
}

}  // namespace

void DrawFrame(Canvas& c, const Md2& m, const Texture& skin, size_t frame, const Camera& cam) {
    const md2::Model& model = m.model;
    if (frame >= size_t(model.frameCount)) return;
    const float d2r = 3.14159265f / 180.0f;
    float cs = std::cos(cam.spin * d2r), ss = std::sin(cam.spin * d2r);
    float ct = std::cos(cam.tilt * d2r), st = std::sin(cam.tilt * d2r);
    auto view = [&](const float* p) {
        float X = p[0], Y = p[1], Z = p[2];
        float x1 = X * cs + Z * ss, z1 = -X * ss + Z * cs;  // about y
        float y2 = Y * ct - z1 * st, z2 = Y * st + z1 * ct;  // about x
        return std::array<float, 3>{x1, y2, z2};
    };
    // A light from the upper left, in front of the figure; or the program's.
    float L[3] = {-0.45f, 0.6f, 0.66f};
    if (cam.programLight) {
        const float p[3] = {-50.0f, 150.25f, -98.0f};  // light position less the model's place
        float len = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        for (int i = 0; i < 3; ++i) L[i] = p[i] / len;
    }
    const float* pose = model.Pose(int(frame));
    std::vector<V> vs(size_t(model.drawCount));
    for (size_t i = 0; i < vs.size(); ++i) {
        const int v = FileVertex(model, int(i));
        auto p = view(pose + size_t(v) * md2::kPoseStride);
        auto n = view(TableNormal(m, int(frame), v).data());
        float diff = std::max(0.0f, n[0] * L[0] + n[1] * L[1] + n[2] * L[2]);
        // The skin is sampled from its top row, GL texture space from its bottom.
        const float s = model.texCoords[2 * i], t = 1.0f - model.texCoords[2 * i + 1];
        vs[i] = V{cam.centreX + p[0] * cam.pixelsPerUnit, cam.centreY - p[1] * cam.pixelsPerUnit, p[2], s, t,
                  {0.42f + 0.75f * diff, 0.42f + 0.75f * diff, 0.42f + 0.75f * diff}};
        if (cam.programLight) {
            vs[i].light[0] = vs[i].light[1] = std::min(1.0f, 0.5f + diff);
            vs[i].light[2] = std::max(0.0f, 0.5f - 0.8f * diff);
        }
    }
    for (size_t i = 0; i + 2 < model.indices.size(); i += 3)
        Triangle(c, skin, vs[model.indices[i]], vs[model.indices[i + 1]], vs[model.indices[i + 2]], cam);
}

}  // namespace artview
