#include "pictures.h"

#include <cmath>
#include <cstdint>

#include "detmath.h"

namespace art {
namespace {

// Height of a hill line at column x: a few slow waves plus gentle noise.
double HillLine(double x, double base, double amp, uint32_t seed) {
    return base - amp * (0.55 * Sin(x * 0.0061 + seed) * 0.5 + 0.5 * Fractal(x / 170.0, seed * 0.37, 4, seed));
}

Color Sky(double x, double y, double horizon) {
    const Color top = Rgb(22, 28, 56), mid = Rgb(74, 64, 104), low = Rgb(214, 132, 96), rim = Rgb(246, 184, 112);
    double t = Clamp(y / horizon, 0.0, 1.0);
    Color c = t < 0.55 ? Mix(top, mid, Smooth(t / 0.55))
            : t < 0.88 ? Mix(mid, low, Smooth((t - 0.55) / 0.33))
                       : Mix(low, rim, Smooth((t - 0.88) / 0.12));
    // The upper left stays darkest, for the text written over it.
    double shade = 1.0 - 0.3 * (1.0 - x / 1024.0) * (1.0 - t);
    c = Scale(c, shade);
    // A warm glow around the low sun, right of the middle.
    double dx = (x - 700.0) / 260.0, dy = (y - horizon) / 120.0;
    double glow = 1.0 - Clamp(std::sqrt(dx * dx + dy * dy), 0.0, 1.0);
    c = Mix(c, Rgb(255, 206, 130), 0.55 * glow * glow);
    // Long thin clouds, lit from below, fewer on the left.
    double band = Step(90.0, 150.0, y) * (1.0 - Step(230.0, 275.0, y));
    double n = Fractal(x / 260.0, y / 26.0, 4, 11u);
    double cloud = Step(0.52, 0.7, n) * band * (0.35 + 0.65 * x / 1024.0);
    c = Mix(c, Mix(Rgb(140, 100, 130), Rgb(240, 170, 140), t), 0.5 * cloud);
    return c;
}

}  // namespace

Image Background() {
    const int W = 1024, H = 512;
    const double horizon = 300.0;
    Image img(W, H);
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            double px = x + 0.5, py = y + 0.5;
            Color c = Sky(px, py, horizon);
            // The sun's disc, half behind the far hills.
            double sx = (px - 700.0), sy = (py - 286.0);
            double sun = 1.0 - Step(17.0, 19.0, std::sqrt(sx * sx + sy * sy));
            c = Mix(c, Rgb(255, 232, 170), sun);
            // Far hills in the haze, then nearer green ones.
            double far = HillLine(px, horizon + 4.0, 34.0, 3u);
            double farCover = Clamp(py - far + 0.5, 0.0, 1.0);
            Color farCol = Mix(Rgb(92, 70, 100), Rgb(120, 86, 104), Clamp((py - far) / 40.0, 0.0, 1.0));
            c = Mix(c, farCol, farCover);
            double nearLine = HillLine(px + 400.0, horizon + 22.0, 26.0, 9u);
            double nearCover = Clamp(py - nearLine + 0.5, 0.0, 1.0);
            double depth = Clamp((py - horizon) / double(H - horizon), 0.0, 1.0);
            Color ground = Mix(Rgb(44, 66, 40), Rgb(88, 122, 56), Smooth(depth));
            // Rows of the fields running off to the horizon, and a sandy path.
            double rows = Sin(520.0 / (py - horizon + 12.0));
            ground = Scale(ground, 0.94 + 0.06 * rows);
            double grain = Fractal(px / 40.0, py / 12.0, 3, 21u);
            ground = Scale(ground, 0.9 + 0.2 * grain);
            double pathHalf = 2.0 + (py - horizon) * 0.24;
            double pathX = 470.0 + (py - horizon) * 0.3 + 26.0 * Sin((py - horizon) / 38.0);
            double onPath = 1.0 - Step(pathHalf - 1.0, pathHalf + 1.0, std::fabs(px - pathX));
            ground = Mix(ground, Mix(Rgb(112, 100, 74), Rgb(160, 140, 100), depth),
                         0.75 * onPath * Step(horizon + 24.0, horizon + 44.0, py));
            c = Mix(c, ground, nearCover);
            c.a = 1.0;
            img.Set(x, y, c);
        }
    }
    return img;
}

namespace {

void DrawMask(Image& img, const TextMask& m, int x0, int y0, const Color& c) {
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) {
            double a = m.At(x, y);
            if (a > 0.0) img.Blend(x0 + x, y0 + y, c, a);
        }
}

}  // namespace

Image ClockFace(const Font& bold) {
    const double cx = 46.0, cy = 46.0;
    Image img(92, 92);
    auto radius = [&](double x, double y) { return std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)); };
    // Bezel: a dark ring, lighter towards the upper left like brushed metal.
    img.FillShape([&](double x, double y) { return radius(x, y) <= 45.5; },
                  [&](double x, double y) {
                      double t = Clamp(((x - cx) + (y - cy)) / 90.0 + 0.5, 0.0, 1.0);
                      return Mix(Rgb(196, 198, 204), Rgb(46, 46, 52), t);
                  });
    img.FillShape([&](double x, double y) { return radius(x, y) <= 42.0; },
                  [&](double x, double y) {
                      double t = Clamp(((x - cx) + (y - cy)) / 84.0 + 0.5, 0.0, 1.0);
                      return Mix(Rgb(40, 40, 46), Rgb(150, 152, 160), t);
                  });
    // The dial: warm white, shading slightly towards its edge.
    img.FillShape([&](double x, double y) { return radius(x, y) <= 40.0; },
                  [&](double x, double y) {
                      double r = radius(x, y) / 40.0;
                      return Mix(Rgb(250, 247, 238), Rgb(222, 216, 200), r * r);
                  });
    // Sixty minute marks and twelve heavier hour marks.
    struct Mark {
        double dx, dy, r0, r1, half;
    };
    std::vector<Mark> marks;
    for (int k = 0; k < 60; ++k) {
        double a = 2.0 * kPi * k / 60.0;
        bool hour = k % 5 == 0;
        marks.push_back({Sin(a), -Cos(a), hour ? 30.5 : 35.0, 38.0, hour ? 1.25 : 0.45});
    }
    img.FillShape(
        [&](double x, double y) {
            double px = x - cx, py = y - cy;
            for (const Mark& m : marks) {
                double along = px * m.dx + py * m.dy;
                double across = px * m.dy - py * m.dx;
                if (along >= m.r0 && along <= m.r1 && std::fabs(across) <= m.half) return true;
            }
            return false;
        },
        [&](double, double) { return Rgb(44, 44, 52); }, 6);
    // Numerals at twelve, three, six and nine.
    struct Num {
        const char* text;
        double a;
    } nums[] = {{"12", 0.0}, {"3", 90.0}, {"6", 180.0}, {"9", 270.0}};
    for (const Num& n : nums) {
        TextMask m = bold.Render(n.text, 13.0);
        double x = cx + 22.5 * SinD(n.a) - m.width / 2.0;
        double y = cy - 22.5 * CosD(n.a) - m.height / 2.0;
        DrawMask(img, m, int(std::floor(x + 0.5)), int(std::floor(y + 0.5)), Rgb(52, 50, 58));
    }
    return img;
}

Image Logo(const Font& bold) {
    const int W = 124, H = 45;
    TextMask m;
    for (double size = 44.0; size > 10.0; size -= 1.0) {
        m = bold.Render("Orvane", size);
        if (m.width <= 112 && m.height <= 33) break;
    }
    const int x0 = (W - m.width) / 2, y0 = 3 + (33 - m.height) / 2;
    auto cover = [&](int x, int y) { return m.At(x - x0, y - y0); };
    Image img(W, H);
    // Soft shadow down and to the right.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double s = 0.0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) s = s + cover(x - 2 + dx, y - 2 + dy);
            if (s > 0.0) img.Blend(x, y, Rgb(0, 0, 0, 0.5), s / 9.0);
        }
    // A dark outline about a pixel and a half wide.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double o = 0.0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    double d = std::sqrt(double(dx * dx + dy * dy));
                    double w = Clamp(2.0 - d, 0.0, 1.0);
                    double v = cover(x + dx, y + dy) * w;
                    if (v > o) o = v;
                }
            if (o > 0.0) img.Blend(x, y, Rgb(26, 24, 28), o);
        }
    // The letters: white at the top to warm silver at the foot.
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double a = cover(x, y);
            if (a <= 0.0) continue;
            double t = Clamp(double(y - y0) / double(m.height), 0.0, 1.0);
            img.Blend(x, y, Mix(Rgb(255, 255, 255), Rgb(206, 200, 192), t), a);
        }
    // A gold rule under the word, fading at its ends.
    for (int x = 8; x < W - 8; ++x) {
        double t = double(x - 8) / double(W - 17);
        double fade = Smooth(t * 5.0) * Smooth((1.0 - t) * 5.0);
        img.Blend(x, H - 6, Rgb(26, 24, 28), fade);
        img.Blend(x, H - 5, Rgb(236, 190, 72), fade);
        img.Blend(x, H - 4, Rgb(184, 132, 40), fade);
        img.Blend(x, H - 3, Rgb(26, 24, 28), fade * 0.8);
    }
    return img;
}

namespace {

const uint8_t kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                             {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                             {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                             {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

int NearestVga(const std::vector<uint8_t>& px, size_t i) {
    int best = 0, bestD = 1 << 30;
    for (int k = 0; k < 16; ++k) {
        int dr = int(px[i]) - kVga[k][0], dg = int(px[i + 1]) - kVga[k][1], db = int(px[i + 2]) - kVga[k][2];
        int d = dr * dr + dg * dg + db * db;
        if (d < bestD) {
            bestD = d;
            best = k;
        }
    }
    return best;
}

void Put16(std::vector<unsigned char>& b, int v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<unsigned char>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

std::vector<unsigned char> ProgramIcon() {
    // A red medallion with a white figure, drawn smooth, then reduced to the
    // sixteen standard colours with a one-bit transparency mask.
    Image art(32, 32);
    auto in = [](double x, double y, double cx, double cy, double r) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    };
    art.FillShape([&](double x, double y) { return in(x, y, 16, 16, 15.6); },
                  [](double, double) { return Rgb(128, 0, 0); });
    art.FillShape([&](double x, double y) { return in(x, y, 16, 16, 14.0); },
                  [](double, double) { return Rgb(255, 0, 0); });
    art.FillShape(
        [&](double x, double y) {
            if (in(x, y, 16, 8.6, 3.4)) return true;                         // head
            if (y >= 12.5 && y <= 20.5 && x >= 11.0 && x <= 21.0) {          // body
                double cut = y < 14.0 ? 14.0 - y : 0.0;                      // rounded shoulders
                return x >= 11.0 + cut && x <= 21.0 - cut;
            }
            if (y > 20.0 && y <= 27.0 && ((x >= 12.2 && x <= 15.2) || (x >= 16.8 && x <= 19.8))) return true;  // legs
            if (y >= 13.0 && y <= 19.5 && ((x >= 8.4 && x <= 10.4) || (x >= 21.6 && x <= 23.6))) return true;  // arms
            return false;
        },
        [](double, double) { return Rgb(255, 255, 255); });
    std::vector<uint8_t> px = art.Bytes(4);

    const int W = 32, H = 32, xorRow = 16, andRow = 4;
    const uint32_t imageSize = 40 + 64 + uint32_t(xorRow * H + andRow * H);
    std::vector<unsigned char> b;
    Put16(b, 0);  // icon directory
    Put16(b, 1);
    Put16(b, 1);
    b.push_back(W);  // its one entry
    b.push_back(H);
    b.push_back(16);
    b.push_back(0);
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, imageSize);
    Put32(b, 22);
    Put32(b, 40);  // bitmap header; the height counts the colour and mask halves
    Put32(b, W);
    Put32(b, H * 2);
    Put16(b, 1);
    Put16(b, 4);
    Put32(b, 0);
    Put32(b, uint32_t(xorRow * H + andRow * H));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 16);
    Put32(b, 0);
    for (const auto& c : kVga) {
        b.push_back(c[2]);
        b.push_back(c[1]);
        b.push_back(c[0]);
        b.push_back(0);
    }
    for (int y = H - 1; y >= 0; --y)  // colours, bottom row first
        for (int x = 0; x < W; x += 2) {
            int hi = 0, lo = 0;
            size_t i = (size_t(y) * W + size_t(x)) * 4;
            if (px[i + 3] >= 128) hi = NearestVga(px, i);
            if (px[i + 7] >= 128) lo = NearestVga(px, i + 4);
            b.push_back(uint8_t(hi << 4 | lo));
        }
    for (int y = H - 1; y >= 0; --y)  // mask: a set bit is transparent
        for (int x = 0; x < W; x += 8) {
            int bits = 0;
            for (int k = 0; k < 8; ++k)
                if (px[(size_t(y) * W + size_t(x + k)) * 4 + 3] < 128) bits |= 0x80 >> k;
            b.push_back(uint8_t(bits));
        }
    return b;
}

}  // namespace art
