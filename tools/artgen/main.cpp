// artgen: makes every picture and the model the program shows, from code.
//   artgen FONT.ttf OUTDIR
// writes OUTDIR/Resource/{Background.jpg, Sydney.png, Sydney.md2,
// Clock_09_92.png, Orvane.png} and OUTDIR/program.ico. The same inputs give
// the same bytes on every run.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "anims.h"
#include "body.h"
#include "md2write.h"
#include "pictures.h"
#include "text.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(out);
}

bool Report(bool ok, const std::string& path) {
    if (!ok) std::fprintf(stderr, "artgen: could not write %s\n", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: artgen FONT.ttf OUTDIR\n");
        return 2;
    }
    art::Font bold;
    if (!bold.Load(argv[1])) {
        std::fprintf(stderr, "artgen: cannot load font %s\n", argv[1]);
        return 2;
    }
    const std::string out = argv[2];
    const std::string res = out + "/Resource";
    std::error_code ec;
    std::filesystem::create_directories(res, ec);

    bool ok = true;
    art::Mesh mesh = art::BuildMesh();
    auto lowest = [&mesh](const art::Pose& pose) {
        double low = 1e9;
        for (const art::Vec3& p : art::PoseVertices(mesh, pose)) low = p.z < low ? p.z : low;
        return low;
    };
    const std::vector<art::AnimFrame> frames = art::AllFrames(lowest);
    ok &= Report(art::PaintSkin().WritePng(res + "/Sydney.png"), res + "/Sydney.png");
    ok &= Report(WriteFile(res + "/Sydney.md2", art::BuildMd2(mesh, frames, "Sydney.png")),
                 res + "/Sydney.md2");
    ok &= Report(art::Background().WriteJpg(res + "/Background.jpg", 90), res + "/Background.jpg");
    ok &= Report(art::ClockFace(bold).WritePng(res + "/Clock_09_92.png"), res + "/Clock_09_92.png");
    ok &= Report(art::Logo(bold).WritePng(res + "/Orvane.png"), res + "/Orvane.png");
    ok &= Report(WriteFile(out + "/program.ico", art::ProgramIcon()), out + "/program.ico");
    std::printf("artgen: %zu vertices, %zu triangles, %zu frames\n", mesh.verts.size(), mesh.tris.size(),
                frames.size());
    return ok ? 0 : 1;
}
