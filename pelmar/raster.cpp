#include "raster.h"

#include <algorithm>
#include <cmath>

namespace pelmar {
namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t Channel(uint32_t v, int shift) { return (v >> shift) & 0xFF; }

// A segment along the direction of degrees (clockwise from twelve o'clock),
// from `from` to `to` pixels away from (cx, cy); negative reaches behind it.
void Spoke(Canvas c, double cx, double cy, double degrees, double from, double to, double halfWidth, uint32_t argb) {
    const double rad = degrees * kPi / 180.0;
    const double ux = std::sin(rad), uy = -std::cos(rad);
    DrawSegment(c, cx + ux * from, cy + uy * from, cx + ux * to, cy + uy * to, halfWidth, argb);
}

}  // namespace

uint32_t Premultiply(uint32_t argb) {
    const uint32_t a = Channel(argb, 24);
    const uint32_t r = (Channel(argb, 16) * a + 127) / 255;
    const uint32_t g = (Channel(argb, 8) * a + 127) / 255;
    const uint32_t b = (Channel(argb, 0) * a + 127) / 255;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void Blend(uint32_t& dst, uint32_t argb, double coverage) {
    if (coverage <= 0.0) return;
    if (coverage > 1.0) coverage = 1.0;
    const double a = Channel(argb, 24) / 255.0 * coverage;
    if (a <= 0.0) return;
    const double keep = 1.0 - a;
    auto mix = [&](int shift) {
        const double v = Channel(argb, shift) * a + Channel(dst, shift) * keep;
        return static_cast<uint32_t>(std::lround(std::min(255.0, v)));
    };
    const double outA = 255.0 * a + Channel(dst, 24) * keep;
    dst = (static_cast<uint32_t>(std::lround(std::min(255.0, outA))) << 24) | (mix(16) << 16) |
          (mix(8) << 8) | mix(0);
}

void FillPixels(Canvas c, int x, int y, int w, int h, uint32_t argb) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(c.width, x + w), y1 = std::min(c.height, y + h);
    const bool opaque = Channel(argb, 24) == 255;
    for (int row = y0; row < y1; ++row) {
        uint32_t* p = c.pixels + static_cast<long>(row) * c.width;
        for (int col = x0; col < x1; ++col) {
            if (opaque) p[col] = argb;
            else Blend(p[col], argb, 1.0);
        }
    }
}

void FillGradient(Canvas c, int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
    if (h <= 0) return;
    for (int i = 0; i < h; ++i) {
        const double t = h > 1 ? static_cast<double>(i) / (h - 1) : 0.0;
        auto mix = [&](int shift) {
            return static_cast<uint32_t>(std::lround(Channel(top, shift) * (1 - t) + Channel(bottom, shift) * t));
        };
        FillPixels(c, x, y + i, w, 1, 0xFF000000u | (mix(16) << 16) | (mix(8) << 8) | mix(0));
    }
}

void DrawSegment(Canvas c, double x0, double y0, double x1, double y1, double halfWidth,
                 uint32_t argb) {
    const double reach = halfWidth + 1.0;
    const int left = std::max(0, static_cast<int>(std::floor(std::min(x0, x1) - reach)));
    const int right = std::min(c.width - 1, static_cast<int>(std::ceil(std::max(x0, x1) + reach)));
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y0, y1) - reach)));
    const int bottom = std::min(c.height - 1, static_cast<int>(std::ceil(std::max(y0, y1) + reach)));
    const double dx = x1 - x0, dy = y1 - y0;
    const double lengthSq = dx * dx + dy * dy;
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            const double px = col + 0.5, py = row + 0.5;
            double t = lengthSq > 0 ? ((px - x0) * dx + (py - y0) * dy) / lengthSq : 0.0;
            t = std::clamp(t, 0.0, 1.0);
            const double ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
            const double coverage = halfWidth + 0.5 - std::sqrt(ex * ex + ey * ey);
            if (coverage > 0) Blend(c.pixels[static_cast<long>(row) * c.width + col], argb, coverage);
        }
    }
}

void FillDisc(Canvas c, double cx, double cy, double radius, uint32_t argb) {
    DrawSegment(c, cx, cy, cx, cy, radius, argb);
}

void DrawRing(Canvas c, double cx, double cy, double radius, double halfWidth, uint32_t argb) {
    const double reach = radius + halfWidth + 1.0;
    const int left = std::max(0, static_cast<int>(cx - reach));
    const int right = std::min(c.width - 1, static_cast<int>(cx + reach));
    const int top = std::max(0, static_cast<int>(cy - reach));
    const int bottom = std::min(c.height - 1, static_cast<int>(cy + reach));
    for (int row = top; row <= bottom; ++row) {
        for (int col = left; col <= right; ++col) {
            const double d = std::hypot(col + 0.5 - cx, row + 0.5 - cy);
            const double coverage = halfWidth + 0.5 - std::fabs(d - radius);
            if (coverage > 0) Blend(c.pixels[static_cast<long>(row) * c.width + col], argb, coverage);
        }
    }
}

void ApplyTextMask(Canvas c, const uint32_t* mask, uint32_t argb) {
    const long count = static_cast<long>(c.width) * c.height;
    for (long i = 0; i < count; ++i) {
        const uint32_t coverage = Channel(mask[i], 8);
        if (coverage) Blend(c.pixels[i], argb, coverage / 255.0);
    }
}

HandAngles AnglesFor(int hour, int minute, int second) {
    hour = ((hour % 12) + 12) % 12;
    minute = std::clamp(minute, 0, 59);
    second = std::clamp(second, 0, 59);
    return {hour * 30.0 + minute * 0.5 + second / 120.0, minute * 6.0 + second * 0.1, second * 6.0};
}

void DrawClockHands(Canvas c, double cx, double cy, double radius, HandAngles a, ClockColours colours) {
    const double w = std::max(1.0, radius / 46.0);   // 1 on the 92-pixel face
    Spoke(c, cx, cy, a.hour, -radius * 0.10, radius * 0.50, 2.0 * w, colours.hands);
    Spoke(c, cx, cy, a.minute, -radius * 0.10, radius * 0.74, 1.4 * w, colours.hands);
    Spoke(c, cx, cy, a.second, -radius * 0.20, radius * 0.82, 0.6 * w, colours.second);
    FillDisc(c, cx, cy, 3.0 * w, colours.cap);
    FillDisc(c, cx, cy, 1.2 * w, colours.second);
}

void DrawPlainFace(Canvas c, double cx, double cy, double radius, uint32_t dial, uint32_t marks) {
    FillDisc(c, cx, cy, radius - 1.0, dial);
    DrawRing(c, cx, cy, radius - 1.5, 1.0, marks);
    for (int i = 0; i < 12; ++i)
        Spoke(c, cx, cy, i * 30.0, radius * (i % 3 == 0 ? 0.74 : 0.82), radius * 0.90, i % 3 == 0 ? 1.2 : 0.6, marks);
}

void DrawGlyph(Canvas c, Glyph g, int x, int y, int w, int h, int size, uint32_t argb, double scale) {
    // Work on pixel centres so one-pixel strokes land on whole pixels.
    const double l = x + (w - size) / 2 + 0.5, t = y + (h - size) / 2 + 0.5;
    const double r = l + size - 1, b = t + size - 1;
    const double pen = 0.5 * scale, step = std::round(scale);
    auto line = [&](double ax, double ay, double bx, double by, double hw) {
        DrawSegment(c, ax, ay, bx, by, hw, argb);
    };
    switch (g) {
    case Glyph::Minimize: line(l, b - step, r, b - step, pen); break;
    case Glyph::Maximize:
        line(l, t, r, t, pen); line(l, t + step, r, t + step, pen);
        line(l, t, l, b, pen); line(r, t, r, b, pen); line(l, b, r, b, pen);
        break;
    case Glyph::Restore: {
        const double o = std::max(2.0, std::round(size / 4.0));
        line(l + o, t, r, t, pen); line(r, t, r, b - o, pen);          // back window
        line(l + o, t, l + o, t + o, pen); line(r - o, b - o, r, b - o, pen);
        line(l, t + o, r - o, t + o, pen); line(l, t + o, l, b, pen);  // front window
        line(r - o, t + o, r - o, b, pen); line(l, b, r - o, b, pen);
        break;
    }
    case Glyph::Close:
        line(l, t, r, b, 0.75 * scale);
        line(l, b, r, t, 0.75 * scale);
        break;
    }
}

}  // namespace pelmar
