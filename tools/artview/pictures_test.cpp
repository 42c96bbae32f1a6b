// The committed pictures and icon: sizes, transparency where the program
// relies on it, and a readable top-left corner of the background.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> px;  // RGBA
    uint8_t At(int x, int y, int c) const { return px[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(c)]; }
};

Picture Load(const char* name) {
    Picture p;
    int ch = 0;
    std::string path = std::string(ART_RESOURCES) + "/Resource/" + name;
    unsigned char* data = stbi_load(path.c_str(), &p.w, &p.h, &ch, 4);
    if (data) p.px.assign(data, data + size_t(p.w) * size_t(p.h) * 4);
    stbi_image_free(data);
    return p;
}

TEST(Pictures, HaveTheSizesTheProgramDrawsThemAt) {
    struct {
        const char* name;
        int w, h;
    } expected[] = {{"Background.jpg", 1024, 512}, {"Sydney.png", 512, 256},
                    {"Clock_09_92.png", 92, 92}, {"Orvane.png", 124, 45}};
    for (const auto& e : expected) {
        Picture p = Load(e.name);
        EXPECT_EQ(p.w, e.w) << e.name;
        EXPECT_EQ(p.h, e.h) << e.name;
    }
}

TEST(Pictures, ClockAndLogoStandOnTransparency) {
    Picture clock = Load("Clock_09_92.png");
    ASSERT_EQ(clock.w, 92);
    for (auto [x, y] : {std::pair{0, 0}, {91, 0}, {0, 91}, {91, 91}}) EXPECT_EQ(clock.At(x, y, 3), 0);
    EXPECT_EQ(clock.At(46, 46, 3), 255);
    EXPECT_GT(clock.At(46, 60, 0), 200);  // a light dial under the hands, and no hands drawn
    EXPECT_GT(clock.At(60, 46, 0), 200);
    Picture logo = Load("Orvane.png");
    ASSERT_EQ(logo.w, 124);
    int opaque = 0, clear = 0;
    for (size_t i = 3; i < logo.px.size(); i += 4) {
        if (logo.px[i] == 255) ++opaque;
        if (logo.px[i] == 0) ++clear;
    }
    EXPECT_GT(clear, 124 * 45 / 3);
    EXPECT_GT(opaque, 124 * 45 / 10);
}

// The overlay's pale yellow text (247, 225, 125) needs a dark field behind it.
TEST(Pictures, BackgroundIsDarkAboveAndGroundBelow) {
    Picture bg = Load("Background.jpg");
    ASSERT_EQ(bg.w, 1024);
    auto luma = [&](int x, int y) { return 0.3 * bg.At(x, y, 0) + 0.59 * bg.At(x, y, 1) + 0.11 * bg.At(x, y, 2); };
    double topLeft = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 200; x < 520; ++x) topLeft += luma(x, y);
    topLeft /= 80.0 * 320.0;
    EXPECT_LT(topLeft, 80.0);  // text luma is about 220
    // Sky above is bluer than the ground below, which is greener.
    EXPECT_GT(bg.At(512, 20, 2), bg.At(512, 20, 1));
    EXPECT_GT(bg.At(100, 480, 1), bg.At(100, 480, 2));
}

TEST(Icon, IsOne32x32SixteenColourImageWithAMask) {
    std::ifstream in(std::string(ART_RESOURCES) + "/program.ico", std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(b.size(), 6u + 16u + 40u + 64u + 512u + 128u);
    auto u16 = [&](size_t at) { return b[at] | b[at + 1] << 8; };
    auto u32 = [&](size_t at) { return uint32_t(u16(at)) | uint32_t(u16(at + 2)) << 16; };
    EXPECT_EQ(u16(2), 1);             // an icon
    EXPECT_EQ(u16(4), 1);             // one image
    EXPECT_EQ(b[6], 32);
    EXPECT_EQ(b[7], 32);
    EXPECT_EQ(b[8], 16);
    EXPECT_EQ(u32(18), 22u);          // image offset
    EXPECT_EQ(u32(14), b.size() - 22);
    EXPECT_EQ(u32(22 + 8), 64u);      // colour and mask halves
    EXPECT_EQ(u16(22 + 14), 4);       // four bits a pixel
    // The corners are transparent in the mask, the centre is not.
    const size_t mask = 22 + 40 + 64 + 512;
    EXPECT_EQ(b[mask] & 0x80, 0x80);
    EXPECT_EQ(b[mask + 16 * 4 + 2] & 0x80, 0);
}

}  // namespace
