// Writes a few well-formed MD2 files into a folder: the starting corpus for
// fuzzing the parser.
#include "builder.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: md2_seeds <folder>\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    using namespace md2test;
    Blueprint seam = Square();
    seam.texCoords.push_back({32, 32});
    seam.triangles[1].texCoord[0] = 4;
    Blueprint named = Square();
    named.skins = {"a", std::string(63, 'n'), ""};
    const struct {
        const char* name;
        Blueprint plan;
    } seeds[] = {{"square.md2", Square()}, {"seam.md2", seam},        {"skins.md2", named},
                 {"cube-cw.md2", Cube(true)}, {"cube-ccw.md2", Cube(false)}, {"body.md2", Body(6, 8, 4)}};
    for (const auto& seed : seeds) {
        const auto bytes = Build(seed.plan);
        std::FILE* file = std::fopen((dir / seed.name).string().c_str(), "wb");
        if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fclose(file) != 0) {
            std::fprintf(stderr, "md2_seeds: cannot write %s\n", seed.name);
            return 1;
        }
    }
    return 0;
}
