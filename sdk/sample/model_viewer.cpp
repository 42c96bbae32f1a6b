// model_viewer: an animated MD2 model in an OpenGL view, in a window dressed
// by the skin engine. Uses the three Orvane libraries only through their
// headers and import libraries.
//
//   model_viewer.exe [--samples N] <model.md2> [skin picture]
//
// The skin picture defaults to the model's path with ".png" in place of its
// extension. The view asks for N samples of multisampling (4 unless told,
// 0 for none) and a swap interval of 1, and its text line says what the
// driver gave. Drag with the left mouse button to turn the model; the mouse
// wheel zooms. Exit code 0 after a normal close, 1 when the window cannot be
// made or the model cannot be loaded.
#include <windows.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "md2ex.h"
#include "orvane.h"
#include "pelmar.h"

namespace {

constexpr char kClassName[] = "OrvaneModelViewer";
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kMargin = 10;          // between the client area's edges and the view
constexpr int kViewId = 1;
constexpr UINT_PTR kTimerId = 1;
constexpr int kSlot = 1;             // md2ex slot of the model
constexpr float kFramesPerSecond = 10.0f;

// OpenGL's functions, taken once from opengl32.dll in the system folder
// before the first GL call (LoadOpenGL). The program imports none of them:
// Windows looks for a library that is not one of its known ones, opengl32
// among them, beside the program first, static imports included.
#define SAMPLE_GL_FUNCTIONS(X)                                                                          \
    X(glBindTexture) X(glClear) X(glClearColor) X(glColor4f) X(glColorMaterial) X(glDeleteTextures)    \
    X(glEnable) X(glGenTextures) X(glLightfv) X(glLoadIdentity) X(glPixelStorei) X(glRotatef)          \
    X(glScalef) X(glShadeModel) X(glTexImage2D) X(glTexParameteri) X(glTranslatef)
struct OpenGL {
#define SAMPLE_GL_MEMBER(name) decltype(&::name) name = nullptr;
    SAMPLE_GL_FUNCTIONS(SAMPLE_GL_MEMBER)
#undef SAMPLE_GL_MEMBER
};
OpenGL gl;

struct Viewer {
    HWND window = nullptr;
    HWND view = nullptr;
    WNDPROC viewProc = nullptr;      // the view control's own procedure
    GLuint texture = 0;
    int frameCount = 0;
    float frame = 1.0f;
    float spin = -30.0f;
    DWORD lastTick = 0;
    int dragX = 0;
    bool dragging = false;
    GLFontRecord font{};
    char caption[64] = {};
    char format[64] = {};            // what the view got, for its text line
    int samples = 4;                 // asked for with --samples
};
Viewer g;

// Decodes a picture with the view library and uploads it as a GL texture.
GLuint LoadTexture(const char* path, int32_t* width, int32_t* height) {
    unsigned char* pixels = nullptr;
    if (!QI_CreateGLTextureFromFileEX(path, width, height, &pixels, 0)) return 0;
    GLuint name = 0;
    gl.glGenTextures(1, &name);
    gl.glBindTexture(GL_TEXTURE_2D, name);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    gl.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    // Rows come bottom row first, as glTexImage2D expects them.
    gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, *width, *height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    CoTaskMemFree(pixels);
    return name;
}

void SetUpGL() {
    gl.glEnable(GL_DEPTH_TEST);
    gl.glEnable(GL_TEXTURE_2D);
    gl.glShadeModel(GL_SMOOTH);
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    const GLfloat diffuse[4] = {0.9f, 0.9f, 0.85f, 1.0f};
    const GLfloat position[4] = {-1.0f, 2.0f, 3.0f, 0.0f};   // a light from the front left, above
    gl.glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    gl.glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    gl.glLightfv(GL_LIGHT0, GL_POSITION, position);
    gl.glEnable(GL_LIGHT0);
    gl.glEnable(GL_LIGHTING);
    gl.glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    gl.glEnable(GL_COLOR_MATERIAL);
    gl.glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void Render() {
    if (!g.view) return;
    QI_ResizeGLWindow(g.view);   // makes the view's context current, fits the projection
    gl.glClearColor(0.10f, 0.12f, 0.16f, 1.0f);
    gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    gl.glLoadIdentity();
    gl.glTranslatef(0.0f, -0.1f, -2.2f);
    gl.glRotatef(10.0f, 1.0f, 0.0f, 0.0f);
    gl.glRotatef(g.spin, 0.0f, 1.0f, 0.0f);
    gl.glScalef(0.025f, 0.025f, 0.025f);   // model units to view units
    MD2_Draw(kSlot, g.frame);
    if (g.font.ListBase) {
        char line[160];
        std::snprintf(line, sizeof line, "%s  frame %d / %d  %s", g.caption, static_cast<int>(g.frame),
                      g.frameCount, g.format);
        QI_DrawGLText(g.view, &g.font, 8, 6, line, QD_ColorARGB(255, RGB(240, 236, 220)));
    }
    QI_UpdateGLWindow(g.view);
}

void Step() {
    const DWORD now = GetTickCount();
    const float seconds = static_cast<float>(now - g.lastTick) / 1000.0f;
    g.lastTick = now;
    if (g.frameCount < 1) return;
    g.frame += seconds * kFramesPerSecond;
    while (g.frame >= static_cast<float>(g.frameCount) + 1.0f) g.frame -= static_cast<float>(g.frameCount);
}

// The view's mouse input: a left drag turns the model, the wheel zooms.
LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        g.dragging = true;
        g.dragX = static_cast<short>(LOWORD(lParam));
        SetCapture(window);
        break;
    case WM_MOUSEMOVE:
        if (g.dragging) {
            const int x = static_cast<short>(LOWORD(lParam));
            g.spin += static_cast<float>(x - g.dragX) * 0.5f;
            g.dragX = x;
            Render();
        }
        break;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        g.dragging = false;
        if (message == WM_LBUTTONUP) ReleaseCapture();
        break;
    case WM_MOUSEWHEEL: {
        const int zoom = QI_GetGLzoom(window) - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 5;
        QI_SetGLzoom(window, zoom < 10 ? 10 : zoom > 120 ? 120 : zoom);
        Render();
        break;
    }
    default:
        break;
    }
    return CallWindowProcA(g.viewProc, window, message, wParam, lParam);
}

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        Step();
        Render();
        return 0;
    case WM_SIZE:
        Render();   // the anchored view has its new size already
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        EndPaint(window, &paint);
        Render();
        return 0;
    }
    case WM_DESTROY:
        KillTimer(window, kTimerId);
        if (g.view) {
            QI_ResizeGLWindow(g.view);   // the view's context current for the deletions
            QI_DeleteGLFont(&g.font);
            if (g.texture) gl.glDeleteTextures(1, &g.texture);
        }
        MD2_Delete(kSlot);
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The skin picture beside the model: the model's path with ".png".
void DefaultSkin(const char* model, char* out, size_t size) {
    std::snprintf(out, size, "%s", model);
    char* dot = std::strrchr(out, '.');
    char* slash = std::strrchr(out, '\\');
    if (!slash) slash = std::strrchr(out, '/');
    if (!dot || (slash && dot < slash)) dot = out + std::strlen(out);
    if (static_cast<size_t>(dot - out) + 5 <= size) std::strcpy(dot, ".png");
}

// "Orvane <version>" from the view library's version text.
void VersionCaption() {
    BSTR version = QI_Version();
    char text[32] = {};
    if (version) {
        WideCharToMultiByte(CP_ACP, 0, version, static_cast<int>(SysStringLen(version)), text,
                            sizeof text - 1, nullptr, nullptr);
        SysFreeString(version);
    }
    std::snprintf(g.caption, sizeof g.caption, "Orvane %s", text);
}

int Run(HINSTANCE instance, int show, const char* model, const char* skin) {
    if (!RegisterOrvaneClass()) return 1;
    QI_LoadDLL(nullptr);

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExA(&windowClass)) return 1;

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    VersionCaption();
    const char* fileName = model;
    for (const char* c = model; *c; ++c)
        if (*c == '\\' || *c == '/' || *c == ':') fileName = c + 1;
    char title[MAX_PATH + 64];
    std::snprintf(title, sizeof title, "%s model viewer - %s", g.caption, fileName);
    g.window = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                               (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                               nullptr, instance, nullptr);
    if (!g.window) return 1;

    // The view fills the client area but for a margin, and keeps doing so.
    // Smooth edges and no tearing where the driver has them: the view steps
    // down to what it can have and says what it got.
    const int viewWidth = kClientWidth - 2 * kMargin, viewHeight = kClientHeight - 2 * kMargin;
    OrvaneViewFormat format{};
    format.Size = sizeof format;
    format.Samples = g.samples;
    format.SwapInterval = 1;
    g.view = CreateWindowExA(0, "QOPENGLCTRL", "Model", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, kMargin,
                             kMargin, viewWidth, viewHeight, g.window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kViewId)), instance, &format);
    if (!g.view) {
        DestroyWindow(g.window);
        return 1;
    }
    OrvaneViewFormat got{};
    got.Size = sizeof got;
    if (QI_GetViewFormat(g.view, &got))
        std::snprintf(g.format, sizeof g.format, "%d samples, swap interval %d", static_cast<int>(got.Samples),
                      static_cast<int>(got.SwapInterval));
    g.viewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g.view, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewProc)));
    QI_SetAnchorMode(g.view, 5);

    // The skin engine dresses the window and draws a frame round the view.
    if (skInitEngine("Scarlet.sks", nullptr)) {
        skSkinWindow(g.window, nullptr);
        skBorder(g.view, kMargin - 2, kMargin - 2, viewWidth + 4, viewHeight + 4, 0, 2);
    }

    // The view's GL context is current: textures, model and font go into it.
    SetUpGL();
    int32_t skinWidth = 0, skinHeight = 0;
    g.texture = LoadTexture(skin, &skinWidth, &skinHeight);
    if (!MD2_Load(kSlot, model, g.texture, skinWidth, skinHeight)) {
        MessageBoxA(g.window, "The model could not be loaded.", kClassName, MB_OK | MB_ICONERROR);
        DestroyWindow(g.window);
        return 1;
    }
    g.frameCount = MD2_GetFrameCount(kSlot);
    std::strcpy(g.font.FontName, "Arial");
    g.font.FontHeight = 16;
    g.font.FontWeight = 700;
    QI_BuildGLfont(QI_GetGLDC(g.view), &g.font);

    ShowWindow(g.window, show);
    g.lastTick = GetTickCount();
    SetTimer(g.window, kTimerId, 15, nullptr);

    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

// A Windows library from the system folder only, never a file of its name
// beside the program.
HMODULE SystemLibrary(const char* name) {
    if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // Systems that do not know the flag: the system folder's full path.
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + 1 + std::strlen(name) >= MAX_PATH) return nullptr;
    std::snprintf(path + length, MAX_PATH - length, "\\%s", name);
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// Fills the table; false when opengl32.dll or one of its functions is missing.
bool LoadOpenGL() {
    HMODULE module = SystemLibrary("opengl32.dll");
    if (!module) return false;
#define SAMPLE_GL_LOAD(name)                                                                            \
    gl.name = reinterpret_cast<decltype(gl.name)>(reinterpret_cast<void*>(GetProcAddress(module, #name))); \
    if (!gl.name) return false;
    SAMPLE_GL_FUNCTIONS(SAMPLE_GL_LOAD)
#undef SAMPLE_GL_LOAD
    return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // First of all: every later load by bare name searches the system folder
    // only (where the system offers that).
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    if (auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories"))))
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!LoadOpenGL()) {
        MessageBoxA(nullptr, "OpenGL (opengl32.dll) is missing from the system folder.", kClassName, MB_OK);
        return 1;
    }
    int first = 1;   // the first argument after the options
    if (__argc >= 3 && std::strcmp(__argv[1], "--samples") == 0) {
        g.samples = std::atoi(__argv[2]);
        first = 3;
    }
    if (__argc <= first) {
        MessageBoxA(nullptr, "Usage: model_viewer [--samples N] <model.md2> [skin picture]", kClassName, MB_OK);
        return 1;
    }
    const char* model = __argv[first];
    char skin[MAX_PATH];
    if (__argc > first + 1)
        std::snprintf(skin, sizeof skin, "%s", __argv[first + 1]);
    else
        DefaultSkin(model, skin, sizeof skin);

    CoInitialize(nullptr);
    const int code = Run(instance, show, model, skin);
    CoUninitialize();
    return code;
}
