// A host program that uses the three libraries as any program would: it links
// none of them, loads each from its own folder with LoadLibraryA and finds
// every call by its undecorated name. Checks:
//   - 50 load/use/unload cycles of each library leave no GDI object, window,
//     window class or handle behind (growth measured from cycle 10 to 50, so
//     one-time costs of the system's own libraries do not count);
//   - orvane.dll loaded again at another address makes and draws views;
//   - deleting a font of another view (destroyed, or alive but not current)
//     spares the current view's text;
//   - of two threads making the skin engine's first call at the same moment
//     exactly one gets the engine (1,000 rounds, pelmar loaded afresh for
//     each, in a process of their own: the program runs itself with --race).
// Prints every failure and the figures measured; exit code 0 when all pass.
#include <windows.h>
#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "md2ex.h"
#include "library_host.h"
#include "object_count.h"
#include "orvane.h"
#include "pelmar.h"

namespace {

// Committed private memory a cycle may leave on average: heap noise, well
// below the runtime's exception pool (17 KB on x86, 73 KB on x64) that an
// unload once left behind.
constexpr long kMemoryNoisePerCycle = 2048;

constexpr int kCycles = 50, kSteadyFrom = 10;
constexpr int kRaceRounds = 1000;
constexpr int kWidth = 160, kHeight = 64;
constexpr char kHostClass[] = "LibraryHost";

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    if (ok) return;
    ++g_failures;
    std::printf("FAIL: %s\n", what.c_str());
}

std::string Folder() {
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

HMODULE Load(const char* name) { return LoadLibraryA((Folder() + name).c_str()); }

// Unloads and waits until the module is really gone (a thread of the library
// may hold it a little longer).
bool Unload(HMODULE module, const char* name) {
    FreeLibrary(module);
    for (int i = 0; i < 500 && GetModuleHandleA(name); ++i) Sleep(10);
    return GetModuleHandleA(name) == nullptr;
}

// The class names of this thread's windows whose class the module registered.
using Classes = std::vector<std::string>;

BOOL CALLBACK AddClass(HWND window, LPARAM found) {
    auto* classes = reinterpret_cast<std::pair<HMODULE, Classes*>*>(found);
    char name[256] = {};
    if (reinterpret_cast<HMODULE>(GetClassLongPtrA(window, GCLP_HMODULE)) == classes->first &&
        GetClassNameA(window, name, sizeof name))
        classes->second->push_back(name);
    return TRUE;
}

BOOL CALLBACK AddClassAndChildren(HWND window, LPARAM found) {
    AddClass(window, found);
    EnumChildWindows(window, AddClass, found);
    return TRUE;
}

void CollectClasses(HMODULE module, Classes& classes) {
    std::pair<HMODULE, Classes*> found{module, &classes};
    EnumThreadWindows(GetCurrentThreadId(), AddClassAndChildren, reinterpret_cast<LPARAM>(&found));
}

struct Orvane {
    explicit Orvane(HMODULE m)
        : loadDll(FIND(m, QI_LoadDLL)), registerClass(FIND(m, RegisterOrvaneClass)), glDC(FIND(m, QI_GetGLDC)),
          build(FIND(m, QI_BuildGLfont)), remove(FIND(m, QI_DeleteGLFont)), draw(FIND(m, QI_DrawGLText)),
          resize(FIND(m, QI_ResizeGLWindow)), update(FIND(m, QI_UpdateGLWindow)), anchor(FIND(m, QI_SetAnchorMode)) {}
    bool Complete() const { return loadDll && registerClass && glDC && build && remove && draw && resize && update && anchor; }
    decltype(&QI_LoadDLL) loadDll;
    decltype(&RegisterOrvaneClass) registerClass;
    decltype(&QI_GetGLDC) glDC;
    decltype(&QI_BuildGLfont) build;
    decltype(&QI_DeleteGLFont) remove;
    decltype(&QI_DrawGLText) draw;
    decltype(&QI_ResizeGLWindow) resize;
    decltype(&QI_UpdateGLWindow) update;
    decltype(&QI_SetAnchorMode) anchor;
};

// A visible host with a view control covering it, whose context is current
// once made; a font built in that context.
struct View {
    explicit View(const Orvane& o) : host(HostWindow(kHostClass, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, kWidth, kHeight)) {
        view = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, kWidth, kHeight, host,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
        context = wglGetCurrentContext();
        std::strcpy(font.FontName, "Arial");
        font.FontHeight = 20;
        font.FontWeight = 700;
        built = view && o.build(o.glDC(view), &font) == 1;
    }
    ~View() { Destroy(); }
    void Destroy() {
        if (host) DestroyWindow(host);
        host = nullptr;
    }
    HWND host, view;
    HGLRC context;
    GLFontRecord font{};
    bool built;
};

// Draws text in white on a black frame of the view and counts the lit pixels
// of the back buffer.
int TextPixels(const Orvane& o, HWND view, GLFontRecord* font) {
    if (!o.resize(view)) return -1;
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (o.draw(view, font, 4, 4, "Host text", 0xFFFFFFFF) != 1) return -1;
    glFinish();
    std::vector<unsigned char> rgba(size_t(kWidth) * kHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4) lit += rgba[i] || rgba[i + 1] || rgba[i + 2];
    return lit;
}

// A view with a font, text drawn and presented, the view anchored.
bool UseOrvane(HMODULE m, Classes& classes) {
    const Orvane o(m);
    if (!o.Complete()) return false;
    o.loadDll(nullptr);
    if (!o.registerClass()) return false;
    View v(o);
    const bool ok = v.built && TextPixels(o, v.view, &v.font) > 0 && o.update(v.view) && o.anchor(v.view, 5);
    CollectClasses(m, classes);
    o.remove(&v.font);
    return ok;
}

// A model loaded and drawn in the view's context (current), then freed.
bool UseMd2ex(HMODULE m, const Orvane& o, HWND view) {
    const auto load = FIND(m, MD2_Load);
    const auto draw = FIND(m, MD2_Draw);
    const auto remove = FIND(m, MD2_Delete);
    if (!load || !draw || !remove || !o.resize(view)) return false;
    const std::string model = Folder() + "Resource\\Sydney.md2";
    if (!load(1, model.c_str(), 0, 256, 256)) return false;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(0, 0, -80);
    const bool drawn = draw(1, 1.5f) != 0;
    return remove(1) && drawn && o.update(view);
}

// A skinned top-level window with every kind of thing the engine adds to one.
bool UsePelmar(HMODULE m, Classes& classes) {
    const auto init = FIND(m, skInitEngine);
    const auto skin = FIND(m, skSkinWindow);
    const auto border = FIND(m, skBorder);
    const auto clock = FIND(m, skClockCtrl);
    const auto anchor = FIND(m, skSetAnchorCtrl);
    const auto tip = FIND(m, skCreateToolTip);
    const auto skinChild = FIND(m, skSkinChildCtrl);
    const auto labelFont = FIND(m, skSetLabelFont);
    const auto picture = FIND(m, skStaticImage);
    if (!init || !skin || !border || !clock || !anchor || !tip || !skinChild || !labelFont || !picture) return false;
    if (!init(nullptr, nullptr)) return false;
    HWND window = HostWindow(kHostClass, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 320, 240);
    HWND plain = CreateWindowExA(0, "STATIC", "plain", WS_CHILD | WS_VISIBLE, 10, 150, 80, 20, window, nullptr,
                                 nullptr, nullptr);
    HWND label = CreateWindowExA(0, "STATIC", "label", WS_CHILD | WS_VISIBLE, 100, 150, 80, 20, window, nullptr,
                                 nullptr, nullptr);
    const bool ok = window && plain && label && skin(window, nullptr) &&
                    clock(window, "", 10, 10, 0, 0, 1, 0xFF000000, 0xFFFF0000, 0) &&
                    picture(window, "", 120, 10, 40, 40, 2) && skinChild(label, 0) &&
                    labelFont(label, "Arial", 14, 0xFF202020, 1) && border(label, 98, 148, 84, 24, 0, 2) &&
                    tip(plain, "tip") && anchor(plain, 3);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    CollectClasses(m, classes);
    if (window) DestroyWindow(window);
    Pump();
    return ok;
}

struct Counts {
    long gdi, windows, handles, memory;
};

Counts Measure() {
    return {long(objects::Gdi()), long(objects::User()), long(objects::Handles()), long(Committed())};
}

// kCycles times: load, use(module, classes), unload; then nothing of the
// library may stay: not the module, not a class it registered, no object.
template <typename Use>
void Cycles(const char* name, Use use) {
    Counts steady{}, last{};
    int failedUses = 0, stayed = 0;
    std::string classesLeft;
    for (int cycle = 1; cycle <= kCycles; ++cycle) {
        HMODULE module = Load(name);
        if (!module) return Check(false, std::string(name) + ": not loaded");
        Classes classes;
        if (!use(module, classes)) ++failedUses;
        if (!Unload(module, name)) ++stayed;
        for (const std::string& c : classes) {
            WNDCLASSEXA wc{};
            wc.cbSize = sizeof wc;
            if (GetClassInfoExA(module, c.c_str(), &wc) && classesLeft.find(c) == std::string::npos)
                classesLeft += " " + c;
        }
        if (cycle == kSteadyFrom) steady = Measure();
    }
    last = Measure();
    const Counts growth{last.gdi - steady.gdi, last.windows - steady.windows, last.handles - steady.handles,
                        last.memory - steady.memory};
    std::printf("%s: growth over cycles %d to %d: %ld GDI objects, %ld windows, %ld handles, %ld bytes\n", name,
                kSteadyFrom, kCycles, growth.gdi, growth.windows, growth.handles, growth.memory);
    const std::string what = std::string(name) + ": ";
    Check(failedUses == 0, what + std::to_string(failedUses) + " cycles failed their work");
    Check(stayed == 0, what + std::to_string(stayed) + " unloads left the module loaded");
    Check(classesLeft.empty(), what + "window classes left registered after unloading:" + classesLeft);
    Check(growth.gdi == 0, what + "GDI objects left behind");
    Check(growth.windows == 0, what + "windows left behind");
    Check(growth.handles == 0, what + "handles left behind");
    Check(growth.memory <= kMemoryNoisePerCycle * (kCycles - kSteadyFrom), what + "memory left behind");
}

// After an unload, the old base address is taken, so the next load must go
// elsewhere; the class registration, views and text must work there.
void ReloadElsewhere() {
    HMODULE first = Load("orvane.dll");
    Classes classes;
    Check(first && UseOrvane(first, classes), "orvane: first load works");
    if (!first || !Unload(first, "orvane.dll")) return Check(false, "orvane: first load not unloaded");
    void* held = VirtualAlloc(first, 0x10000, MEM_RESERVE, PAGE_NOACCESS);
    Check(held == first, "orvane: the old base is held");
    HMODULE second = Load("orvane.dll");
    std::printf("orvane: loaded at %p, again at %p\n", static_cast<void*>(first), static_cast<void*>(second));
    Check(second && second != first, "orvane: loaded again elsewhere");
    Check(second && Orvane(second).registerClass() != 0, "orvane: the view class registers after a reload");
    Check(second && UseOrvane(second, classes), "orvane: a view draws text after a reload");
    if (second) Unload(second, "orvane.dll");
    if (held) VirtualFree(held, 0, MEM_RELEASE);
}

// View B draws text while a font of view A (destroyed, or alive but not
// current) is deleted: B's text stays, and A's lists, when A is alive, go.
void FontOfAnotherView() {
    HMODULE m = Load("orvane.dll");
    const Orvane o(m);
    if (!m || !o.Complete() || !o.registerClass()) return Check(false, "orvane: loaded for the font check");
    for (const bool destroyA : {true, false}) {
        const std::string which = destroyA ? "destroyed" : "alive";
        View a(o);
        View b(o);
        Check(a.built && b.built, "fonts: both views have a font");
        const GLuint aBase = a.font.ListBase;
        if (destroyA) a.Destroy();
        const int before = TextPixels(o, b.view, &b.font);
        Check(o.remove(&a.font) == 1, "fonts: the other view's font is deleted");
        Check(wglGetCurrentContext() == b.context, "fonts (" + which + "): B stays current");
        const int after = TextPixels(o, b.view, &b.font);
        std::printf("fonts (%s view A): B's text pixels %d before deleting A's font, %d after\n", which.c_str(),
                    before, after);
        Check(before > 0 && after == before, "fonts (" + which + "): B's text survives A's font");
        if (!destroyA) {
            o.resize(a.view);
            Check(!glIsList(aBase), "fonts: the alive view's lists are freed");
        }
    }
    Unload(m, "orvane.dll");
}

struct Racer {
    volatile LONG* ready;   // racers about to wait for the start
    HANDLE go;
    decltype(&skInitEngine) init;
    int32_t result;
};

DWORD WINAPI RaceThread(void* racer) {
    auto* r = static_cast<Racer*>(racer);
    InterlockedIncrement(r->ready);
    WaitForSingleObject(r->go, INFINITE);
    r->result = r->init(nullptr, nullptr);
    return 0;
}

// One race: pelmar loaded afresh (its engine unclaimed), two new threads,
// each kept to a processor of its own and released by one event, make its
// first call; then it is unloaded. True when exactly one of them got the
// engine. Measured under Wine with a claim made as a check and then a store:
// new threads on two processors meet inside it more often than threads kept
// from round to round, threads on one processor or threads released by
// spinning (these never did).
bool RaceRound() {
    HMODULE m = Load("pelmar.dll");
    const auto init = m ? FIND(m, skInitEngine) : nullptr;
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!init || !go) return false;
    volatile LONG ready = 0;
    Racer racers[2] = {{&ready, go, init, -1}, {&ready, go, init, -1}};
    HANDLE threads[2];
    for (int i = 0; i < 2; ++i) {
        threads[i] = CreateThread(nullptr, 0, RaceThread, &racers[i], 0, nullptr);
        if (!threads[i]) return false;
        SetThreadAffinityMask(threads[i], DWORD_PTR(1) << i);   // refused on one processor: no matter
    }
    while (ready < 2) Sleep(0);
    SetEvent(go);
    WaitForMultipleObjects(2, threads, TRUE, 30000);
    for (HANDLE t : threads) CloseHandle(t);
    CloseHandle(go);
    const int engines = (racers[0].result != 0) + (racers[1].result != 0);
    return Unload(m, "pelmar.dll") && engines == 1;
}

// In a fresh process (the program run with --race), the first round is the
// process's first call of pelmar. Exit code: the rounds that went wrong.
int RaceRounds() {
    // The system's libraries pelmar uses stay loaded, as in any host:
    // loaded again with pelmar each round, they would double the rounds' time.
    for (const char* name : {"ole32.dll", "comctl32.dll"}) LoadLibraryA(name);
    int wrong = 0;
    for (int i = 0; i < kRaceRounds; ++i) wrong += RaceRound() ? 0 : 1;
    return wrong;
}

void Race() {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\" --race";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    DWORD wrong = kRaceRounds;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, 120000);
        GetExitCodeProcess(pi.hProcess, &wrong);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    std::printf("race: %lu of %d rounds did not give the engine to exactly one thread\n", wrong, kRaceRounds);
    Check(wrong == 0, "race: the first call's engine goes to exactly one thread");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--race") == 0) return RaceRounds();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kHostClass;
    if (!RegisterClassA(&wc)) return 2;

    Cycles("orvane.dll", UseOrvane);
    {
        // md2ex draws in a view of orvane, loaded for all of its cycles.
        HMODULE orvane = Load("orvane.dll");
        const Orvane o(orvane);
        Check(orvane && o.Complete() && o.registerClass(), "md2ex: a view to draw in");
        {
            View v(o);
            Cycles("md2ex.dll", [&](HMODULE m, Classes&) { return UseMd2ex(m, o, v.view); });
        }
        if (orvane) Unload(orvane, "orvane.dll");
    }
    Cycles("pelmar.dll", UsePelmar);
    ReloadElsewhere();
    FontOfAnotherView();
    Race();
    std::printf("%s\n", g_failures ? "FAILED" : "passed");
    return g_failures ? 1 : 0;
}
