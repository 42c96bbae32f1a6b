// The three libraries loaded, used as a host uses them and unloaded again
// and again: a plain console program that links none of them, loads each
// from its own folder with LoadLibraryA and finds its calls by their
// undecorated names. For each library, after a few warm-up cycles (one-time
// costs of the system's own libraries, which stay loaded, do not count), N
// cycles (1000 unless "--cycles N") must leave every figure exactly as it
// was: free TLS slots, kernel handles, GDI and USER objects and committed
// private memory; every unload must take the module out of the process, and
// no exception may be raised while the cycles run.
//
//   cycles_host [--cycles N] [--resources <folder of the model, skin, pictures>]
//
// Prints one line of figures per library, "FAIL: ..." for each check that
// fails; exit code 0 when all hold, 1 otherwise.
#include <windows.h>
#include <GL/gl.h>
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2
#endif
#include <psapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gl_window.h"
#include "md2ex.h"
#include "library_host.h"
#include "object_count.h"
#include "orvane.h"
#include "pelmar.h"

namespace {

constexpr int kWarmUpCycles = 5;
// A full use (views, text, models, skinned windows) on the first cycle and
// every kFullEvery-th; the cycles between load the library, make one cheap
// call and unload it (about 1 ms under Wine). A full use takes 13 to 40 ms
// under Wine (a view makes and frees a GL context), so 1000 of them would
// take 13 to 40 s per library; this way each library's cycles take a few
// seconds.
constexpr int kFullEvery = 50;
constexpr long kTlsReserve = 64;
constexpr int kWidth = 160, kHeight = 64;
constexpr char kHostClass[] = "CyclesHost";

int g_failures = 0;

void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Fail(const char* format, ...) {
    ++g_failures;
    std::printf("FAIL: ");
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
}

// Every exception raised in the process while the cycles run, by code,
// counted by a vectored handler that runs before any other and lets each go
// on its way. Text written to the debug output is raised as an exception for
// a debugger to take (DBG_PRINTEXCEPTION_C); orvane names the renderer and
// the way frames are shown there at the first view of each load, so those
// are counted apart, as lines written, and are no fault.
struct Raised {
    DWORD code;
    LONG count;
};
Raised g_raised[16];
LONG g_exceptions = 0, g_debugLines = 0;
volatile LONG g_counting = 0;

LONG CALLBACK CountException(EXCEPTION_POINTERS* info) {
    if (!g_counting) return EXCEPTION_CONTINUE_SEARCH;
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    const bool debugOutput = code == DBG_PRINTEXCEPTION_C || code == DBG_PRINTEXCEPTION_WIDE_C;
    InterlockedIncrement(debugOutput ? &g_debugLines : &g_exceptions);
    for (Raised& r : g_raised) {
        const LONG was = InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&r.code), LONG(code), 0);
        if (was == 0 || DWORD(was) == code) {
            InterlockedIncrement(&r.count);
            break;
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

// A crash ends the run at once, saying where, rather than waiting for a
// debugger.
const char* g_running = "setting up";

LONG WINAPI Crashed(EXCEPTION_POINTERS* info) {
    std::printf("FAIL: %s: unhandled exception 0x%08lX at %p\n", g_running,
                static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode),
                info->ExceptionRecord->ExceptionAddress);
    TerminateProcess(GetCurrentProcess(), 1);
    return EXCEPTION_EXECUTE_HANDLER;
}

// Where the libraries are (the program's own folder) and where the model,
// the skin and the pictures are.
char g_folder[MAX_PATH];
char g_resources[MAX_PATH];

bool InFolder(char (&path)[MAX_PATH], const char* folder, const char* name) {
    return std::snprintf(path, MAX_PATH, "%s%s", folder, name) < MAX_PATH;
}

// orvane: the view class registered, a view in a window of ours with a font,
// a frame with text drawn and shown, the view anchored; then all destroyed.
bool UseOrvane(HMODULE m) {
    const auto loadDll = FIND(m, QI_LoadDLL);
    const auto registerClass = FIND(m, RegisterOrvaneClass);
    const auto glDC = FIND(m, QI_GetGLDC);
    const auto build = FIND(m, QI_BuildGLfont);
    const auto remove = FIND(m, QI_DeleteGLFont);
    const auto draw = FIND(m, QI_DrawGLText);
    const auto resize = FIND(m, QI_ResizeGLWindow);
    const auto update = FIND(m, QI_UpdateGLWindow);
    const auto anchor = FIND(m, QI_SetAnchorMode);
    if (!loadDll || !registerClass || !glDC || !build || !remove || !draw || !resize || !update || !anchor)
        return false;
    if (!loadDll(nullptr) || !registerClass()) return false;
    HWND host = HostWindow(kHostClass, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kWidth, kHeight);
    HWND view = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, host, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    GLFontRecord font{};
    std::strcpy(font.FontName, "Arial");
    font.FontHeight = 16;
    font.FontWeight = 400;
    bool ok = view && build(glDC(view), &font) == 1 && resize(view);
    if (ok) {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ok = draw(view, &font, 4, 4, "cycle", 0xFFFFFFFF) == 1 && update(view) && anchor(view, 5);
    }
    remove(&font);
    if (host) DestroyWindow(host);
    Pump();
    return ok;
}

bool TouchOrvane(HMODULE m) {
    const auto colour = FIND(m, QD_ColorARGB);
    return colour && colour(255, RGB(1, 2, 3)) == 0xFF010203;
}

// md2ex: the model loaded, drawn once in the context current on this thread
// (ours, made before the cycles), and freed.
bool UseMd2ex(HMODULE m) {
    const auto load = FIND(m, MD2_Load);
    const auto frames = FIND(m, MD2_GetFrameCount);
    const auto draw = FIND(m, MD2_Draw);
    const auto remove = FIND(m, MD2_Delete);
    char model[MAX_PATH];
    if (!load || !frames || !draw || !remove || !InFolder(model, g_resources, "Sydney.md2")) return false;
    if (!load(1, model, 0, 256, 256)) return false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glScalef(0.02f, 0.02f, 0.02f);
    const bool drawn = frames(1) > 1 && draw(1, 1.5f) != 0;
    return remove(1) && drawn;
}

bool TouchMd2ex(HMODULE m) {
    const auto frames = FIND(m, MD2_GetFrameCount);
    return frames && frames(1) == 0;
}

// pelmar: the engine started with the skin, a window of ours skinned with a
// clock, a picture and a skinned label (font, frame, tooltip, anchor),
// painted, then destroyed.
bool UsePelmar(HMODULE m) {
    const auto init = FIND(m, skInitEngine);
    const auto skin = FIND(m, skSkinWindow);
    const auto border = FIND(m, skBorder);
    const auto clock = FIND(m, skClockCtrl);
    const auto anchor = FIND(m, skSetAnchorCtrl);
    const auto tip = FIND(m, skCreateToolTip);
    const auto skinChild = FIND(m, skSkinChildCtrl);
    const auto labelFont = FIND(m, skSetLabelFont);
    const auto picture = FIND(m, skStaticImage);
    char skinFile[MAX_PATH], face[MAX_PATH], image[MAX_PATH];
    if (!init || !skin || !border || !clock || !anchor || !tip || !skinChild || !labelFont || !picture ||
        !InFolder(skinFile, g_resources, "Scarlet.sks") || !InFolder(face, g_resources, "Clock_09_92.png") ||
        !InFolder(image, g_resources, "Orvane.png"))
        return false;
    if (!init(skinFile, nullptr)) return false;
    HWND window = HostWindow(kHostClass, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 240);
    HWND label = CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 100, 150, 80, 20, window, nullptr,
                                 nullptr, nullptr);
    const bool ok = window && label && skin(window, nullptr) &&
                    clock(window, face, 10, 10, 0, 0, 1, 0xFF000000, 0xFFFF0000, 0) &&
                    picture(window, image, 120, 10, 40, 40, 2) && skinChild(label, 0) &&
                    labelFont(label, "Arial", 14, 0xFF202020, 1) && border(label, 98, 148, 84, 24, 0, 2) &&
                    tip(label, "tip") && anchor(label, 3);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    if (window) DestroyWindow(window);
    Pump();
    return ok;
}

bool TouchPelmar(HMODULE m) {
    const auto argb = FIND(m, skARGB);
    return argb && argb(255, 1, 2, 3) == 0xFF010203;
}

// Free TLS slots: every free slot taken until none is left, then all given
// back (the first free index alone would not see a slot kept past a lower
// one given back).
long FreeTlsSlots() {
    static DWORD taken[4096];
    long count = 0;
    for (DWORD slot; count < long(sizeof taken / sizeof *taken) && (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;)
        taken[count++] = slot;
    for (long i = 0; i < count; ++i) TlsFree(taken[i]);
    return count;
}

struct Figures {
    long tls, handles, gdi, user;
    long long memory;
};

Figures Measure() {
    Pump();
    Figures f;
    f.tls = FreeTlsSlots();
    f.handles = long(objects::Handles());
    f.gdi = long(objects::Gdi());
    f.user = long(objects::User());
    f.memory = Committed();
    return f;
}

struct Library {
    const char* name;
    bool (*use)(HMODULE);
    bool (*touch)(HMODULE);
};

// One cycle: loaded from our folder, used (fully or with one cheap call),
// unloaded; false when it is not loaded. Counts failed uses and unloads that
// leave the module in the process (a thread of the library may hold it a
// little longer: it has 5 s).
bool Cycle(const Library& library, bool full, int& failedUses, int& stayed) {
    char path[MAX_PATH];
    HMODULE module = InFolder(path, g_folder, library.name) ? LoadLibraryA(path) : nullptr;
    if (!module) return false;
    if (!(full ? library.use : library.touch)(module)) ++failedUses;
    FreeLibrary(module);
    for (int i = 0; i < 500 && GetModuleHandleA(library.name); ++i) Sleep(10);
    if (GetModuleHandleA(library.name)) ++stayed;
    return true;
}

void Run(const Library& library, int cycles) {
    g_running = library.name;
    const LONG exceptionsBefore = g_exceptions, debugLinesBefore = g_debugLines;
    g_counting = 1;
    int failedUses = 0, stayed = 0, done = 0;
    for (int i = 0; i < kWarmUpCycles; ++i)
        if (!Cycle(library, true, failedUses, stayed)) {
            g_counting = 0;
            return Fail("%s: not loaded", library.name);
        }
    const Figures before = Measure();
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    bool loaded = true;
    while (done < cycles) {
        const bool full = done % kFullEvery == 0;
        if (!(loaded = Cycle(library, full, failedUses, stayed))) break;
        ++done;
        // A library that keeps a TLS slot each time takes the process's last
        // ones long before N cycles, and then cannot load (or ends the
        // process): stop short of that.
        if (full && FreeTlsSlots() < kTlsReserve) break;
    }
    QueryPerformanceCounter(&end);
    g_counting = 0;
    const Figures after = Measure();
    const LONG exceptions = g_exceptions - exceptionsBefore, debugLines = g_debugLines - debugLinesBefore;
    const double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
    std::printf(
        "%s: %d cycles (%d of full use) in %.1f s; free TLS slots %ld -> %ld, handles %ld -> %ld, "
        "GDI %ld -> %ld, USER %ld -> %ld, private bytes %lld -> %lld; exceptions %ld, debug lines %ld\n",
        library.name, done, (done + kFullEvery - 1) / kFullEvery, seconds, before.tls, after.tls, before.handles,
        after.handles, before.gdi, after.gdi, before.user, after.user, before.memory, after.memory, long(exceptions),
        long(debugLines));
    const char* n = library.name;
    if (!loaded)
        Fail("%s: not loaded at cycle %d", n, done + 1);
    else if (done < cycles)
        Fail("%s: stopped after %d cycles, with only %ld TLS slots left", n, done, after.tls);
    if (failedUses) Fail("%s: %d cycles failed their work", n, failedUses);
    if (stayed) Fail("%s: %d unloads left the module loaded", n, stayed);
    if (after.tls != before.tls) Fail("%s: %ld TLS slots kept", n, before.tls - after.tls);
    if (after.handles != before.handles) Fail("%s: %ld handles left behind", n, after.handles - before.handles);
    if (after.gdi != before.gdi) Fail("%s: %ld GDI objects left behind", n, after.gdi - before.gdi);
    if (after.user != before.user) Fail("%s: %ld USER objects left behind", n, after.user - before.user);
    if (after.memory != before.memory)
        Fail("%s: %lld bytes of private memory left behind", n, after.memory - before.memory);
    if (exceptions) Fail("%s: %ld exceptions raised", n, long(exceptions));
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    int cycles = 1000;
    const char* resources = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--cycles") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            cycles = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--resources") == 0 && i + 1 < argc)
            resources = argv[++i];
        else {
            std::printf("usage: cycles_host [--cycles N (1 or more)] [--resources <folder>]\n");
            return 1;
        }
    }
    const DWORD length = GetModuleFileNameA(nullptr, g_folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Fail("the program's path"), 1;
    if (char* last = std::strrchr(g_folder, '\\')) last[1] = 0;
    const bool named = resources ? std::snprintf(g_resources, MAX_PATH, "%s\\", resources) < MAX_PATH
                                 : InFolder(g_resources, g_folder, "Resource\\");
    if (!named) return Fail("the resources' path is too long"), 1;

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    if (!RegisterClassA(&wc)) return Fail("the host's window class"), 1;
    Measure();  // the counting's own one-time costs
    SetUnhandledExceptionFilter(Crashed);
    AddVectoredExceptionHandler(1, CountException);

    Run({"orvane.dll", UseOrvane, TouchOrvane}, cycles);
    {
        TestGLWindow gl("CyclesGL", kWidth, kHeight);
        if (!gl.Ready())
            Fail("md2ex: no GL context to draw in");
        else
            Run({"md2ex.dll", UseMd2ex, TouchMd2ex}, cycles);
    }
    Run({"pelmar.dll", UsePelmar, TouchPelmar}, cycles);

    for (const Raised& r : g_raised)
        if (r.count)
            std::printf("exception 0x%08lX raised %ld times\n", static_cast<unsigned long>(r.code), long(r.count));
    std::printf("%s\n", g_failures ? "FAILED" : "passed");
    return g_failures ? 1 : 0;
}
