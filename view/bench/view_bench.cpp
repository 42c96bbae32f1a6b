// Frame cost of the real scene in a 512 x 512 view: RenderFrame against the
// floor of this scene, a frame of just clear, background quad and present.
// Beside the model as MD2_Draw draws it: the same drawing without culling
// on the CPU, and the same model drawn the two classic ways, in immediate
// mode (blended every frame) and from display lists (one per stored frame).
// Usage: view_bench [frames per batch]   (default 200); VIEW_BENCH_SAMPLES=N
// in the environment makes the view multisampled.
#include <windows.h>
#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "draw.h"
#include "md2ex.h"
#include "model.h"
#include "opengl.h"
#include "orvane.h"
#include "render.h"
#include "scene_state.h"
#include "setup.h"

namespace {

constexpr int Size = 512;
constexpr int Batches = 7;

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

void FloorFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();
    QI_UpdateGLWindow(Scene.GLView);
}

// The floor, then the model placed as RenderFrame places it and drawn by draw().
template <void (*draw)()>
void ModelPart() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();
    glTranslatef(Scene.PosX, Scene.PosY, Scene.PosZ);
    glRotatef(Scene.TiltAngle, 1.0f, 0.0f, 0.0f);
    glRotatef(Scene.SpinAngle, 0.0f, 1.0f, 0.0f);
    glScalef(0.025f, 0.025f, 0.025f);
    draw();
    QI_UpdateGLWindow(Scene.GLView);
}

// The model file, decoded here for the comparisons.
md2::Model g_model;
md2::DrawBuffers g_buffers;
std::vector<GLuint> g_lists;   // display list of stored frame i

std::size_t g_sent = 0;  // triangles the CPU cull kept in the model batches' pose

void Ours() { MD2_Draw(1, Scene.AnimFrame); }

void CountSent() {
    GLfloat modelview[16], projection[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    md2::Blend(g_model, Scene.AnimFrame, g_buffers.pose.data());
    g_sent = md2::FacingTriangles(g_model, g_buffers.pose.data(), modelview, projection, g_buffers.facing.data()) / 3;
}
void OursWithoutCpuCull() { md2::Draw(g_model, Scene.TextureTable[1].GLTexture, Scene.AnimFrame, g_buffers, false); }

// The state MD2_Draw draws in, for the classic draws.
void BeginClassic() {
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT);
    glEnable(GL_NORMALIZE);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(g_model.counterClockwise ? GL_CCW : GL_CW);
    glBindTexture(GL_TEXTURE_2D, Scene.TextureTable[1].GLTexture);
}

void Triangles(const float* pose) {
    glBegin(GL_TRIANGLES);
    for (const std::uint16_t i : g_model.indices) {
        const float* v = pose + std::size_t(i) * md2::kPoseStride;
        glNormal3fv(v + 3);
        glTexCoord2fv(&g_model.texCoords[std::size_t(i) * 2]);
        glVertex3fv(v);
    }
    glEnd();
}

void Immediate() {
    md2::Blend(g_model, Scene.AnimFrame, g_buffers.pose.data());
    BeginClassic();
    Triangles(g_buffers.pose.data());
    glPopAttrib();
}

void DisplayList() {
    BeginClassic();
    const int frame = static_cast<int>(Scene.AnimFrame) - 1;
    glCallList(g_lists[static_cast<std::size_t>(frame) % g_lists.size()]);
    glPopAttrib();
}

bool LoadComparisonModel() {
    const TextureEntry& skin = Scene.TextureTable[1];
    std::FILE* f = std::fopen(skin.FileName, "rb");   // the model's path by now
    if (!f) return false;
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[65536];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(f);
    if (md2::Load(bytes.data(), bytes.size(), skin.Width, skin.Height, g_model) != md2::Error::None) return false;
    if (!g_buffers.Size(g_model)) return false;
    for (int frame = 0; frame < g_model.frameCount; ++frame) {
        md2::Blend(g_model, static_cast<float>(frame + 1), g_buffers.pose.data());
        const GLuint list = glGenLists(1);
        glNewList(list, GL_COMPILE);
        Triangles(g_buffers.pose.data());
        glEndList();
        g_lists.push_back(list);
    }
    return !g_lists.empty();
}

void TextPart() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    DrawBackground();
    for (int line = 0; line < 4; ++line)
        QI_DrawGLText(Scene.GLView, &Scene.OverlayFont, 9, 10 + 10 * line, "Horizontal  0.00", Scene.OverlayColor);
    QI_UpdateGLWindow(Scene.GLView);
}

void FullFrame() {
    RenderFrame();
    // The animation moves on as in the program, so frame blending is measured.
    Scene.AnimFrame += 0.25f;
    if (Scene.AnimFrame > static_cast<float>(Scene.FrameCount)) Scene.AnimFrame = 1.0f;
}

// Milliseconds per frame of one batch.
// CPU milliseconds of this thread and of the whole process (the renderer's
// own threads included) so far.
struct CpuTimes {
    double thread = 0.0, process = 0.0;
};

CpuTimes CpuNow() {
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    FILETIME created, exited, kernel, user;
    CpuTimes now;
    if (GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) now.thread = ms(kernel) + ms(user);
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) now.process = ms(kernel) + ms(user);
    return now;
}

CpuTimes g_cpu;   // per frame, of the last batch

// Milliseconds per frame of one batch.
double Batch(void (*frame)(), int frames) {
    glFinish();
    const CpuTimes cpu = CpuNow();
    const double start = Now();
    for (int i = 0; i < frames; ++i) frame();
    glFinish();
    const double ms = (Now() - start) * 1000.0 / frames;
    const CpuTimes end = CpuNow();
    g_cpu = {(end.thread - cpu.thread) / frames, (end.process - cpu.process) / frames};
    Pump();
    return ms;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    // The drawing copied in here calls OpenGL through this program's own table.
    if (!RegisterOrvaneClass() || !win32::gl::Load()) return 1;
    // A child view in a borderless host, as the program has it (under Wine
    // its frames are copied from a hidden surface).
    HWND host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, Size, Size, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    // VIEW_BENCH_SAMPLES=N asks the view for N samples of multisampling.
    OrvaneViewFormat format{};
    format.Size = sizeof format;
    if (const char* samples = std::getenv("VIEW_BENCH_SAMPLES")) format.Samples = std::atoi(samples);
    Scene.GLView = CreateWindowExA(0, "QOPENGLCTRL", "", WS_CHILD | WS_VISIBLE, 0, 0, Size, Size, host, nullptr,
                                   GetModuleHandleA(nullptr), &format);
    if (!Scene.GLView) return 1;
    OrvaneViewFormat got{};
    got.Size = sizeof got;
    QI_GetViewFormat(Scene.GLView, &got);
    std::printf("view with %d samples, %s\n", static_cast<int>(got.Samples),
                QI_GetGLDC(Scene.GLView) && WindowFromDC(QI_GetGLDC(Scene.GLView)) == Scene.GLView
                    ? "frames swapped in the view" : "frames copied from a hidden surface");
    std::strcpy(Scene.OverlayFont.FontName, "Arial");
    Scene.OverlayFont.FontHeight = 10;
    Scene.OverlayFont.FontWeight = 700;
    PrepareScene();
    QI_BuildGLfont(QI_GetGLDC(Scene.GLView), &Scene.OverlayFont);
    RECT client{};
    GetClientRect(Scene.GLView, &client);
    std::printf("view %ldx%ld, %s\n", client.right, client.bottom,
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    std::printf("background texture %u (%dx%d), skin texture %u, model frames %d\n", Scene.TextureTable[0].GLTexture,
                Scene.TextureTable[0].Width, Scene.TextureTable[0].Height, Scene.TextureTable[1].GLTexture,
                Scene.FrameCount);
    const bool complete = Scene.TextureTable[0].GLTexture && Scene.TextureTable[1].GLTexture && Scene.FrameCount > 0 &&
                          LoadComparisonModel();
    if (!complete) {
        std::printf("scene incomplete: artwork missing\n");
        return 2;
    }

    // VIEW_BENCH_ONLY=ours|unculled|floor runs that batch alone, for a profiler.
    if (const char* only = std::getenv("VIEW_BENCH_ONLY")) {
        SetZoom(50);
        void (*frame)() = !std::strcmp(only, "ours") ? ModelPart<Ours>
                          : !std::strcmp(only, "unculled") ? ModelPart<OursWithoutCpuCull> : FloorFrame;
        for (int b = 0; b < Batches; ++b) {
            const double ms = Batch(frame, frames);
            std::printf("%s %.3f ms/frame; CPU %.3f ms on this thread, %.3f ms in all\n", only, ms, g_cpu.thread,
                        g_cpu.process);
        }
        return 0;
    }
    // Batches of the two kinds take turns, so a busy machine slows both alike.
    std::vector<double> full, floor, model, unculled, immediate, lists, text;
    // CPU per frame of the same batches: this thread, and the whole process.
    std::vector<double> floorMain, floorAll, modelMain, modelAll, unculledMain, unculledAll;
    SetZoom(51);
    Batch(FullFrame, frames / 4 + 1);  // warm-up
    for (int b = 0; b < Batches; ++b) {
        full.push_back(Batch(FullFrame, frames));
        SetZoom(50);  // the background's own projection, as inside a frame
        floor.push_back(Batch(FloorFrame, frames));
        floorMain.push_back(g_cpu.thread);
        floorAll.push_back(g_cpu.process);
        model.push_back(Batch(ModelPart<Ours>, frames));
        modelMain.push_back(g_cpu.thread);
        modelAll.push_back(g_cpu.process);
        unculled.push_back(Batch(ModelPart<OursWithoutCpuCull>, frames));
        unculledMain.push_back(g_cpu.thread);
        unculledAll.push_back(g_cpu.process);
        immediate.push_back(Batch(ModelPart<Immediate>, frames));
        lists.push_back(Batch(ModelPart<DisplayList>, frames));
        text.push_back(Batch(TextPart, frames));
        SetZoom(51);
    }
    const double f = Median(full), base = Median(floor);
    std::printf("RenderFrame       %8.3f ms/frame (median of %d batches of %d)\n", f, Batches, frames);
    std::printf("floor (clear, background quad, present) %8.3f ms/frame\n", base);
    std::printf("  floor + model only %8.3f ms/frame; floor + four text lines only %8.3f ms/frame\n",
                Median(model), Median(text));
    Batch(ModelPart<CountSent>, 1);
    std::printf("  floor + model without culling on the CPU %8.3f ms/frame (the cull sends %zu of %zu triangles)\n",
                Median(unculled), g_sent, g_model.indices.size() / 3);
    std::printf("  floor + model in immediate mode %8.3f ms/frame; from display lists %8.3f ms/frame\n",
                Median(immediate), Median(lists));
    std::printf("  CPU per frame on the drawing thread: floor %.3f, + model %.3f, + model without culling on the CPU "
                "%.3f ms; in all threads (the renderer's included) %.3f, %.3f, %.3f ms\n",
                Median(floorMain), Median(modelMain), Median(unculledMain), Median(floorAll), Median(modelAll),
                Median(unculledAll));
    std::printf("ratio %.3f\n", f / base);
    QI_DeleteGLFont(&Scene.OverlayFont);
    QI_DestroyTexture(Scene.TextureTable.First(), Scene.TextureTable.Count());
    DestroyWindow(host);
    return 0;
}
