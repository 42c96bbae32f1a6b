// The engine's windows under hostile neighbours: a parent that destroys a
// child while it is being created, and system libraries of the same name
// planted beside the program (this test runs from a folder that holds
// a stand-in, see planted/).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "pelmar.h"
#include "redirect_import.h"

// Counts frees of a block that is already free while gWatch is on: the
// program's (and so the engine's) imports of the C runtime's malloc and free
// pass through here.
namespace {
bool gWatch = false;
int gDoubleFrees = 0;
void* gFreed[256];
int gFreedCount = 0;
void*(__cdecl* gMalloc)(size_t) = nullptr;
void(__cdecl* gFree)(void*) = nullptr;

void* __cdecl WatchedMalloc(size_t size) {
    void* p = gMalloc(size);
    if (gWatch)   // a block handed out again is no longer free
        for (int i = 0; i < gFreedCount; ++i)
            if (gFreed[i] == p) gFreed[i] = gFreed[--gFreedCount];
    return p;
}

void __cdecl WatchedFree(void* p) {
    if (!p) return;
    if (gWatch) {
        for (int i = 0; i < gFreedCount; ++i)
            if (gFreed[i] == p) {
                ++gDoubleFrees;
                return;   // not handed to the heap a second time
            }
        if (gFreedCount < 256) gFreed[gFreedCount++] = p;
    }
    gFree(p);
}

bool WatchFrees() {
    HMODULE program = GetModuleHandleA(nullptr);
    return RedirectImport(program, "msvcrt.dll", "malloc", WatchedMalloc, &gMalloc) &&
           RedirectImport(program, "msvcrt.dll", "free", WatchedFree, &gFree);
}
}  // namespace

namespace pelmar {
namespace {

LRESULT CALLBACK KillingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PARENTNOTIFY && LOWORD(wParam) == WM_CREATE) DestroyWindow(reinterpret_cast<HWND>(lParam));
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(PelmarLifetime, AChildDestroyedWhileBeingCreatedFreesItsStateOnce) {
    ASSERT_NE(skInitEngine(nullptr, nullptr), 0);
    WNDCLASSA wc{};
    wc.lpfnWndProc = KillingParent;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PelmarKillingParent";
    RegisterClassA(&wc);
    HWND parent = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    ASSERT_NE(parent, nullptr);
    ASSERT_TRUE(WatchFrees());
    gWatch = true;
    HWND clock = skClockCtrl(parent, "", 0, 0, 0, 0, 1, 0, 0, 0);
    HWND picture = skStaticImage(parent, "", 0, 0, 10, 10, 2);
    gWatch = false;
    EXPECT_EQ(gDoubleFrees, 0);
    EXPECT_FALSE(clock && IsWindow(clock));
    EXPECT_FALSE(picture && IsWindow(picture));
    DestroyWindow(parent);
}

std::string LoadedFrom(const char* dll) {
    HMODULE module = GetModuleHandleA(dll);
    char path[MAX_PATH] = {};
    if (module) GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

TEST(PelmarLifetime, SystemLibrariesComeFromTheSystemFolderNotFromBesideTheProgram) {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    ASSERT_NE(skInitEngine(nullptr, nullptr), 0);
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    skSkinWindow(window, "Close");
    skCreateToolTip(window, "tip");
    const std::string from = LoadedFrom("dwmapi.dll");
    ASSERT_FALSE(from.empty()) << "dwmapi.dll was never loaded";
    EXPECT_EQ(_strnicmp(from.c_str(), folder, std::strlen(folder)), 0) << "dwmapi.dll from " << from;
    DestroyWindow(window);
}

}  // namespace
}  // namespace pelmar
