#include "image.h"

#include <stb/stb_image_write.h>

#include "detmath.h"

namespace art {

Color Rgb(int r, int g, int b, double a) { return Color{r / 255.0, g / 255.0, b / 255.0, a}; }

Color Mix(const Color& x, const Color& y, double t) {
    return Color{Lerp(x.r, y.r, t), Lerp(x.g, y.g, t), Lerp(x.b, y.b, t), Lerp(x.a, y.a, t)};
}

Color Scale(const Color& c, double k) { return Color{c.r * k, c.g * k, c.b * k, c.a}; }

Image::Image(int width, int height, Color fill)
    : w_(width), h_(height), px_(size_t(width) * size_t(height), fill) {}

Color Image::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return Color{0, 0, 0, 0};
    return px_[size_t(y) * size_t(w_) + size_t(x)];
}

void Image::Set(int x, int y, const Color& c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    px_[size_t(y) * size_t(w_) + size_t(x)] = c;
}

void Image::Blend(int x, int y, const Color& c, double coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_) return;
    Color& d = px_[size_t(y) * size_t(w_) + size_t(x)];
    double sa = Clamp(c.a * coverage, 0.0, 1.0);
    double oa = sa + d.a * (1.0 - sa);
    if (oa <= 0.0) {
        d = Color{0, 0, 0, 0};
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1.0 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1.0 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1.0 - sa)) / oa;
    d.a = oa;
}

void Image::FillShape(const std::function<bool(double, double)>& inside,
                      const std::function<Color(double, double)>& colorAt, int n) {
    for (int y = 0; y < h_; ++y) {
        for (int x = 0; x < w_; ++x) {
            int hits = 0;
            for (int sy = 0; sy < n; ++sy)
                for (int sx = 0; sx < n; ++sx)
                    if (inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n)) ++hits;
            if (hits == 0) continue;
            Blend(x, y, colorAt(x + 0.5, y + 0.5), double(hits) / double(n * n));
        }
    }
}

static uint8_t To8(double v) { return uint8_t(std::floor(Clamp(v, 0.0, 1.0) * 255.0 + 0.5)); }

std::vector<uint8_t> Image::Bytes(int channels) const {
    std::vector<uint8_t> out;
    out.reserve(px_.size() * size_t(channels));
    for (const Color& c : px_) {
        out.push_back(To8(c.r));
        out.push_back(To8(c.g));
        out.push_back(To8(c.b));
        if (channels == 4) out.push_back(To8(c.a));
    }
    return out;
}

bool Image::WritePng(const std::string& path) const {
    std::vector<uint8_t> b = Bytes(4);
    return stbi_write_png(path.c_str(), w_, h_, 4, b.data(), w_ * 4) != 0;
}

bool Image::WriteJpg(const std::string& path, int quality) const {
    std::vector<uint8_t> b = Bytes(3);
    return stbi_write_jpg(path.c_str(), w_, h_, 3, b.data(), quality) != 0;
}

}  // namespace art
