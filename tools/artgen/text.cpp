#include "text.h"

#include <stb/stb_truetype.h>

#include <cmath>
#include <fstream>
#include <iterator>

namespace art {

bool Font::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    stbtt_fontinfo info;
    return !data_.empty() && stbtt_InitFont(&info, data_.data(), 0) != 0;
}

TextMask Font::Render(const std::string& text, double pixelHeight) const {
    TextMask mask;
    stbtt_fontinfo info;
    if (data_.empty() || !stbtt_InitFont(&info, data_.data(), 0)) return mask;
    float scale = stbtt_ScaleForPixelHeight(&info, float(pixelHeight));
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &gap);
    int baseline = int(std::ceil(ascent * scale));
    int lineHeight = baseline + int(std::ceil(-descent * scale)) + 2;

    // Lay the glyphs out on a canvas wide enough for them, then crop.
    int canvasW = int(text.size()) * int(pixelHeight + 2) + 8;
    std::vector<double> canvas(size_t(canvasW) * size_t(lineHeight), 0.0);
    float penX = 2.0f;
    for (size_t i = 0; i < text.size(); ++i) {
        int cp = (unsigned char)text[i];
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&info, cp, &advance, &lsb);
        int x0, y0, x1, y1;
        float shift = penX - std::floor(penX);
        stbtt_GetCodepointBitmapBoxSubpixel(&info, cp, scale, scale, shift, 0.0f, &x0, &y0, &x1, &y1);
        int gw = x1 - x0, gh = y1 - y0;
        if (gw > 0 && gh > 0) {
            std::vector<unsigned char> g(size_t(gw) * size_t(gh));
            stbtt_MakeCodepointBitmapSubpixel(&info, g.data(), gw, gh, gw, scale, scale, shift, 0.0f, cp);
            int ox = int(std::floor(penX)) + x0, oy = baseline + y0;
            for (int y = 0; y < gh; ++y)
                for (int x = 0; x < gw; ++x) {
                    int cx = ox + x, cy = oy + y;
                    if (cx < 0 || cy < 0 || cx >= canvasW || cy >= lineHeight) continue;
                    double& d = canvas[size_t(cy) * size_t(canvasW) + size_t(cx)];
                    double v = g[size_t(y) * size_t(gw) + size_t(x)] / 255.0;
                    d = d + v > 1.0 ? 1.0 : d + v;
                }
        }
        penX += float(advance) * scale;
        if (i + 1 < text.size())
            penX += float(stbtt_GetCodepointKernAdvance(&info, cp, (unsigned char)text[i + 1])) * scale;
    }
    int minX = canvasW, minY = lineHeight, maxX = -1, maxY = -1;
    for (int y = 0; y < lineHeight; ++y)
        for (int x = 0; x < canvasW; ++x)
            if (canvas[size_t(y) * size_t(canvasW) + size_t(x)] > 0.0) {
                if (x < minX) minX = x;
                if (x > maxX) maxX = x;
                if (y < minY) minY = y;
                if (y > maxY) maxY = y;
            }
    if (maxX < 0) return mask;
    mask.width = maxX - minX + 1;
    mask.height = maxY - minY + 1;
    mask.cover.resize(size_t(mask.width) * size_t(mask.height));
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            mask.cover[size_t(y) * size_t(mask.width) + size_t(x)] =
                canvas[size_t(y + minY) * size_t(canvasW) + size_t(x + minX)];
    return mask;
}

}  // namespace art
