// Pictures as people bring them, through the real decoder: each kind
// decodes to its upright size, with its four corner colours and alpha where
// they belong. The pictures are written at build time by
// tools/test_pictures.py: solid quadrants, red top-left, green top-right,
// blue bottom-left, white bottom-right, unless a case says otherwise.
#include <windows.h>
#include <objbase.h>

#include <string>

#include <gtest/gtest.h>

#include "debug_output.h"
#include "orvane.h"

namespace {

struct Rgba {
    int r, g, b, a;
};

constexpr Rgba kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255},
    kBlack{0, 0, 0, 255};

struct Case {
    const char* file;
    int width, height;
    Rgba corners[4];          // top-left, top-right, bottom-left, bottom-right
    int tolerance = 0;        // per channel: what lossy coding explains
    const char* maxSide = nullptr;   // ORVANE_MAX_TEXTURE_SIZE for the call
};

std::string PicturePath(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path(exe);
    return path.substr(0, path.find_last_of("\\/") + 1) + "orvane_test_pictures\\" + name;
}

// Greys of the quadrant colours (ITU-R 601 luma, as the pictures were made).
constexpr Rgba Grey(int v, int a = 255) { return {v, v, v, a}; }

TEST(PictureKinds, EachDecodesUprightWithItsSizeCornersAndAlpha) {
    const Rgba quads[4] = {kRed, kGreen, kBlue, kWhite};
    const auto std4 = [&](const char* file, int tolerance = 0) {
        return Case{file, 64, 48, {quads[0], quads[1], quads[2], quads[3]}, tolerance};
    };
    const Case cases[] = {
        std4("progressive.jpg", 12),
        {"gray.jpg", 64, 48, {Grey(76), Grey(150), Grey(29), Grey(255)}, 12},
        std4("cmyk.jpg", 40),
        std4("orient2.jpg", 12), std4("orient3.jpg", 12), std4("orient4.jpg", 12), std4("orient5.jpg", 12),
        std4("orient6.jpg", 12), std4("orient7.jpg", 12), std4("orient8.jpg", 12),
        std4("interlaced.png"),
        {"palette_trns.png", 64, 48, {{0, 0, 0, 0}, kGreen, kBlue, kWhite}, 0},   // alpha only checked at 0
        {"gray_alpha.png", 64, 48, {Grey(76), Grey(150), Grey(29), Grey(255, 128)}, 0},
        std4("16bit.png", 1),
        {"1bit.png", 64, 48, {kBlack, kWhite, kWhite, kBlack}, 0},
        std4("bmp_as.png"), std4("gif_as.png"), std4("jpeg_as.png", 12),
        // Orientation 6's picture whose EXIF block lies: shown as stored.
        {"exif_hostile.jpg", 48, 64, {kGreen, kWhite, kRed, kBlue}, 12},
        {"wide1000x600.jpg", 1000, 600, {kRed, kGreen, kBlue, kWhite}, 12},
        // Over the longest side a texture takes: the nearest power of two
        // on each side, no side above it.
        {"side300x200.png", 128, 128, {kRed, kGreen, kBlue, kWhite}, 0, "128"},
        {"wide1000x600.jpg", 512, 512, {kRed, kGreen, kBlue, kWhite}, 12, "512"},
    };
    CoInitialize(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.maxSide ? std::string(" at most ") + c.maxSide : ""));
        SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", c.maxSide);
        int32_t width = 0, height = 0;
        unsigned char* pixels = nullptr;
        const int32_t made = QI_CreateGLTextureFromFileEX(PicturePath(c.file).c_str(), &width, &height, &pixels, 0);
        SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", nullptr);
        ASSERT_EQ(made, 1);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        if (width == c.width && height == c.height) {
            // Probes in the middle of each quadrant's outer half; rows come bottom first.
            const int xs[2] = {width / 8, width - 1 - width / 8}, ys[2] = {height / 8, height - 1 - height / 8};
            for (int k = 0; k < 4; ++k) {
                const int x = xs[k % 2], y = ys[k / 2];
                const unsigned char* p = pixels + (size_t(height - 1 - y) * width + x) * 4;
                const Rgba& want = c.corners[k];
                SCOPED_TRACE("corner " + std::to_string(k));
                EXPECT_EQ(p[3], want.a);
                if (want.a == 0) continue;   // a transparent pixel's colour is free
                EXPECT_NEAR(p[0], want.r, c.tolerance);
                EXPECT_NEAR(p[1], want.g, c.tolerance);
                EXPECT_NEAR(p[2], want.b, c.tolerance);
            }
        }
        CoTaskMemFree(pixels);
    }
    CoUninitialize();
}

TEST(PictureKinds, AHostileExifBlockIsNamedOnce) {
    DebugOutput output;
    const std::string path = PicturePath("exif_hostile.jpg");
    int32_t width = 0, height = 0;
    unsigned char* pixels = nullptr;
    CoInitialize(nullptr);
    EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 1);
    CoTaskMemFree(pixels);
    CoUninitialize();
    const auto lines = output.LinesStartingWith("orvane: picture: " + path + ": ");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("EXIF block malformed"), std::string::npos) << lines[0];
}

}  // namespace
