// Text set in a TrueType font at generation time, as a coverage mask.
#pragma once

#include <string>
#include <vector>

namespace art {

struct TextMask {
    int width = 0, height = 0;
    std::vector<double> cover;  // 0..1, row by row
    double At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0.0;
        return cover[size_t(y) * size_t(width) + size_t(x)];
    }
};

class Font {
public:
    bool Load(const std::string& path);
    // The text at a pixel height (ascent to descent), tightly cropped to its ink.
    TextMask Render(const std::string& text, double pixelHeight) const;

private:
    std::vector<unsigned char> data_;
};

}  // namespace art
