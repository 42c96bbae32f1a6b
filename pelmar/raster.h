// Anti-aliased drawing into 32-bit pixel buffers in premultiplied BGRA order
// (the layout of a top-down 32 bpp DIB section): clock hands, caption
// glyphs, gradients and the colouring of text masks.
#pragma once

#include <cstdint>

namespace pelmar {

struct Canvas {
    uint32_t* pixels;   // width * height, rows top to bottom
    int width;
    int height;
};

// ARGB (straight alpha) to premultiplied.
uint32_t Premultiply(uint32_t argb);

// Source-over of a straight-alpha ARGB colour at coverage 0..1.
void Blend(uint32_t& dst, uint32_t argb, double coverage);

void FillPixels(Canvas c, int x, int y, int w, int h, uint32_t argb);
// Opaque vertical gradient from top to bottom colour over the rows given.
void FillGradient(Canvas c, int x, int y, int w, int h, uint32_t top, uint32_t bottom);

// A line from (x0,y0) to (x1,y1) with round ends, halfWidth pixels either
// side of its axis, edges smoothed over one pixel. Coordinates are in
// pixels with (0,0) the top-left corner of the top-left pixel.
void DrawSegment(Canvas c, double x0, double y0, double x1, double y1, double halfWidth,
                 uint32_t argb);
void FillDisc(Canvas c, double cx, double cy, double radius, uint32_t argb);
void DrawRing(Canvas c, double cx, double cy, double radius, double halfWidth, uint32_t argb);

// Colours a text mask: mask pixels hold coverage in their green byte
// (white text drawn on black); each covered pixel of c takes argb at that
// coverage. mask has c's size.
void ApplyTextMask(Canvas c, const uint32_t* mask, uint32_t argb);

// Angles of the clock hands in degrees, clockwise from twelve o'clock.
struct HandAngles {
    double hour;
    double minute;
    double second;
};
HandAngles AnglesFor(int hour, int minute, int second);

struct ClockColours {
    uint32_t hands;    // hour and minute hands
    uint32_t second;   // second hand
    uint32_t cap;      // the hub over the hands' pivot
};
// The three hands around (cx, cy) for a face of the given radius.
void DrawClockHands(Canvas c, double cx, double cy, double radius, HandAngles a, ClockColours colours);
// A plain face for when no face picture could be read.
void DrawPlainFace(Canvas c, double cx, double cy, double radius, uint32_t dial, uint32_t marks);

enum class Glyph { Minimize, Maximize, Restore, Close };
// A caption-button glyph centred in the box given, about size pixels wide;
// its strokes are scale pixels wide (the display's DPI / 96).
void DrawGlyph(Canvas c, Glyph g, int x, int y, int w, int h, int size, uint32_t argb, double scale = 1.0);

}  // namespace pelmar
