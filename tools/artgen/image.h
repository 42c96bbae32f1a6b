// An RGBA picture with straight (not premultiplied) alpha, drawn into with
// anti-aliased coverage, and written as PNG or JPEG.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

struct Color {
    double r = 0, g = 0, b = 0, a = 1;  // 0..1
};

Color Rgb(int r, int g, int b, double a = 1.0);
Color Mix(const Color& x, const Color& y, double t);
Color Scale(const Color& c, double k);  // rgb times k, alpha kept

class Image {
public:
    Image(int width, int height, Color fill = Color{0, 0, 0, 0});
    int Width() const { return w_; }
    int Height() const { return h_; }
    Color Get(int x, int y) const;
    void Set(int x, int y, const Color& c);
    // Source-over compositing of c with its alpha times coverage.
    void Blend(int x, int y, const Color& c, double coverage = 1.0);
    // Covers every pixel whose sub-samples (n x n grid) fall inside the shape;
    // colorAt gives the colour at a pixel centre.
    void FillShape(const std::function<bool(double, double)>& inside,
                   const std::function<Color(double, double)>& colorAt, int n = 4);
    std::vector<uint8_t> Bytes(int channels) const;  // 8-bit, rounded
    bool WritePng(const std::string& path) const;
    bool WriteJpg(const std::string& path, int quality) const;

private:
    int w_, h_;
    std::vector<Color> px_;
};

}  // namespace art
