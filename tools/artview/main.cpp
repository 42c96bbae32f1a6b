// artview: draws previews of the generated character without Wine.
//   artview RESOURCE_DIR FONT.ttf SHEET.png CLOSEUP.png [ANIMATION]
// SHEET shows four frames of every animation from the front and the side;
// CLOSEUP the first standing frame large from four sides, or with an
// animation's name every frame of it from the front, the side and above.
#include <stb/stb_image.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "anims.h"
#include "md2file.h"
#include "raster.h"
#include "text.h"

using namespace artview;

namespace {

void Label(Canvas& c, const art::Font& font, const std::string& text, int x, int y, double size) {
    art::TextMask m = font.Render(text, size);
    for (int j = 0; j < m.height; ++j)
        for (int i = 0; i < m.width; ++i) {
            double a = m.At(i, j);
            if (a <= 0) continue;
            size_t k = (size_t(y + j) * size_t(c.width) + size_t(x + i)) * 3;
            if (x + i >= c.width || y + j >= c.height) continue;
            for (int ch = 0; ch < 3; ++ch) c.rgb[k + size_t(ch)] = uint8_t(c.rgb[k + size_t(ch)] * (1 - a) + 30 * a);
        }
}

void Cell(Canvas& c, int x0, int y0, int size, const Md2& m, const Texture& skin, size_t frame,
          float spin, float tilt, float unitsAcross, float centreZ = 4.0f, bool programLight = false) {
    for (int y = y0; y < y0 + size; ++y) {
        uint8_t g = uint8_t(235 - (y - y0) * 40 / size);
        c.Fill(x0, y, x0 + size, y + 1, g, g, uint8_t(g + 6 > 255 ? 255 : g + 6));
    }
    Camera cam;
    cam.spin = spin;
    cam.tilt = tilt;
    cam.pixelsPerUnit = size / unitsAcross;
    cam.centreX = x0 + size * 0.5f;
    cam.centreY = y0 + size * 0.5f + centreZ * cam.pixelsPerUnit;
    cam.clipX0 = x0;
    cam.clipY0 = y0;
    cam.clipX1 = x0 + size;
    cam.clipY1 = y0 + size;
    cam.programLight = programLight;
    // The ground line under the feet (z = -24).
    int gy = int(cam.centreY + 24.0f * cam.pixelsPerUnit);
    if (tilt == 0.0f) c.Fill(x0 + 2, gy, x0 + size - 2, gy + 1, 150, 150, 160);
    DrawFrame(c, m, skin, frame, cam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: artview RESOURCE_DIR FONT.ttf SHEET.png CLOSEUP.png [ANIMATION]\n");
        return 2;
    }
    std::string dir = argv[1];
    std::ifstream in(dir + "/Sydney.md2", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Md2 model;
    std::string error;
    if (!LoadMd2(std::move(bytes), model, error)) {
        std::fprintf(stderr, "artview: Sydney.md2: %s\n", error.c_str());
        return 1;
    }
    Texture skin;
    int ch = 0;
    unsigned char* px = stbi_load((dir + "/Sydney.png").c_str(), &skin.width, &skin.height, &ch, 4);
    if (!px) {
        std::fprintf(stderr, "artview: cannot read Sydney.png\n");
        return 1;
    }
    skin.rgba.assign(px, px + size_t(skin.width) * size_t(skin.height) * 4);
    stbi_image_free(px);
    art::Font font;
    if (!font.Load(argv[2])) {
        std::fprintf(stderr, "artview: cannot load font\n");
        return 1;
    }

    const auto& anims = art::Animations();
    const int cell = 128, labelW = 96, per = 4;
    Canvas sheet(labelW + cell * per * 2 + 8, int(anims.size()) * cell + 24);
    sheet.Fill(0, 0, sheet.width, sheet.height, 250, 250, 250);
    Label(sheet, font, "front", labelW + cell * per / 2 - 20, 4, 14);
    Label(sheet, font, "side", labelW + 8 + cell * per * 3 / 2 - 16, 4, 14);
    for (size_t a = 0; a < anims.size(); ++a) {
        int y = 24 + int(a) * cell;
        char text[64];
        std::snprintf(text, sizeof text, "%s", anims[a].name);
        Label(sheet, font, text, 6, y + cell / 2 - 14, 15);
        std::snprintf(text, sizeof text, "%d-%d", anims[a].first, anims[a].first + anims[a].count - 1);
        Label(sheet, font, text, 6, y + cell / 2 + 6, 11);
        // Frame the row on the height (GL y) the animation reaches.
        float top = -24.0f;
        for (int f = anims[a].first; f < anims[a].first + anims[a].count && f < model.model.frameCount; ++f)
            for (int v = 0; v < model.model.vertexCount; ++v)
                top = std::max(top, model.model.Pose(f)[v * md2::kPoseStride + 1]);
        float centreZ = std::max(4.0f, (top - 24.0f) * 0.5f);
        for (int k = 0; k < per; ++k) {
            size_t f = size_t(anims[a].first + (anims[a].count - 1) * k / (per - 1));
            Cell(sheet, labelW + k * cell, y, cell - 2, model, skin, f, 0, 0, 84, centreZ);
            Cell(sheet, labelW + 8 + (per + k) * cell, y, cell - 2, model, skin, f, 90, 0, 84, centreZ);
        }
    }
    bool ok = sheet.WritePng(argv[3]);

    if (argc == 6) {
        for (const art::AnimInfo& a : anims) {
            if (a.name != std::string(argv[5])) continue;
            const int size = 220;
            Canvas all(a.count * size, 3 * size);
            for (int f = 0; f < a.count; ++f) {
                const float spins[3] = {0, 90, 45};
                for (int v = 0; v < 3; ++v)
                    Cell(all, f * size, v * size, size - 2, model, skin, size_t(a.first + f), spins[v],
                         v == 2 ? 35.0f : 0.0f, 74);
                char text[24];
                std::snprintf(text, sizeof text, "%d", a.first + f);
                Label(all, font, text, f * size + 4, 2, 12);
            }
            return all.WritePng(argv[4]) && ok ? 0 : 1;
        }
        std::fprintf(stderr, "artview: no animation %s\n", argv[5]);
        return 1;
    }
    Canvas close(7 * 320, 340);
    close.Fill(0, 0, close.width, close.height, 250, 250, 250);
    const float spins[4] = {0, -30, 90, 180};
    const char* names[4] = {"front", "as the program starts (spin -30, tilt 5)", "side", "back"};
    for (int i = 0; i < 4; ++i) {
        Cell(close, i * 320 + 2, 20, 316, model, skin, 0, spins[i], i == 1 ? 5.0f : 0.0f, 62);
        Label(close, font, names[i], i * 320 + 8, 2, 13);
    }
    Cell(close, 4 * 320 + 2, 20, 316, model, skin, 0, -20, 0, 14, 28);
    Label(close, font, "face", 4 * 320 + 8, 2, 13);
    Cell(close, 5 * 320 + 2, 20, 316, model, skin, 0, 200, 10, 14, 28);
    Label(close, font, "back of the head", 5 * 320 + 8, 2, 13);
    Cell(close, 6 * 320 + 2, 20, 316, model, skin, 0, -30, 5, 62, 4, true);
    Label(close, font, "in the program's yellow light", 6 * 320 + 8, 2, 13);
    ok = close.WritePng(argv[4]) && ok;
    return ok ? 0 : 1;
}
