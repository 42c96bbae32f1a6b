#include "setup.h"

#include <windows.h>
#include <GL/gl.h>

#include <cstring>
#include <string_view>

#include "helpers.h"
#include "md2ex.h"
#include "report.h"
#include "scene_state.h"
#include "textures.h"
#include "trace.h"

namespace {

// The program's name on the debug output.
constexpr char kProgram[] = "orvane_demo";

// Stores folder and name into a 260-byte file name field, cut to 259
// characters.
void StoreFileName(TextureEntry& entry, std::string_view folder, std::string_view name) {
    win32::Path path(folder);
    path.Append(name);
    std::memset(entry.FileName, 0, sizeof entry.FileName);
    std::memcpy(entry.FileName, path.c_str(), path.size());
}

// The file name's own extension becomes to when it is exactly from (case
// sensitive); the folders of the path are left as they are.
void ReplaceExtension(TextureEntry& entry, std::string_view from, std::string_view to) {
    const win32::Path name = EntryFileName(entry);
    const std::string_view path = name.view();
    const std::size_t slash = path.find_last_of("\\/");
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    if (path.size() - nameStart < from.size() || !path.ends_with(from)) return;
    std::string_view stem = path;
    stem.remove_suffix(from.size());
    StoreFileName(entry, stem, to);
}

}  // namespace

void PrepareScene() {
    orvane_trace::Step step("app", "scene");
    win32::Path program;
    // Without the program's own path the pictures are looked for from the
    // current folder, as for a bare program name.
    if (!win32::ProgramPath(program))
        win32::Report(kProgram, "scene", nullptr, "no program path: resources looked for in the current folder");
    PrepareSceneFrom(program.c_str());
}

void PrepareSceneFrom(const char* programPath) {
    const std::string_view program = programPath ? programPath : "";
    const std::size_t slash = program.find_last_of("\\/");
    const std::string_view folder(program.data(), slash == std::string_view::npos ? 0 : slash + 1);
    // A folder too long for a path is cut, and its files are then not found.
    Scene.ResourceDir.Assign(folder);
    Scene.ResourceDir.Append("Resource\\");
    const std::string_view resources = Scene.ResourceDir;

    // Short of memory for the table or the textures' work, the rest of the
    // scene's preparation is left out.
    TextureList& table = Scene.TextureTable;
    if (!table.Dimension(2)) {
        win32::ReportOutOfMemory(kProgram, "scene");
        return;
    }
    table[0].Id = 1;
    StoreFileName(table[0], resources, "Background.jpg");
    table[1].Id = 2;
    StoreFileName(table[1], resources, "Sydney.png");

    {
        orvane_trace::Step step("app", "textures");
        if (!LoadTextures(table.First(), table.Count())) {
            win32::ReportOutOfMemory(kProgram, "scene");
            return;
        }
    }

    // From entry 1 on, the picture's name becomes its model's name: only the
    // file's own ".png" changes, never a folder that happens to contain it.
    for (int i = 1; i <= table.HighIndex(); ++i) ReplaceExtension(table[i], ".png", ".md2");
    SetupScene();
}

void SetupScene() {
    ResetScene();
    glEnable(GL_TEXTURE_2D);
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_LINE_SMOOTH);

    // The diffuse blue is negative (-0.8): the light takes blue away from the
    // lit side, giving it a warm tint. The material's specular matches it.
    const GLfloat diffuse[4] = {1.0f, 1.0f, -0.8f, 1.0f};
    const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
    const GLfloat position[4] = {-50.0f, 150.0f, -100.0f, 1.0f};
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_POSITION, position);

    // No emission is set: the material keeps GL's default (0, 0, 0, 1). Any
    // emission of its own would light the model regardless of the light and
    // wash out its skin.
    const GLfloat specular[4] = {1.0f, 1.0f, -0.8f, 1.0f};
    const GLfloat shininess[1] = {5.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_SHININESS, shininess);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);

    // Model 1 belongs to entry 1; without that entry there is no model file.
    if (Scene.TextureTable.HighIndex() >= 1) {
        const TextureEntry& skin = Scene.TextureTable[1];
        MD2_Load(1, EntryFileName(skin).c_str(), skin.GLTexture, skin.Width, skin.Height);
    }
    Scene.FrameCount = MD2_GetFrameCount(1);
    Scene.AnimFrame = 1.0f;
}
