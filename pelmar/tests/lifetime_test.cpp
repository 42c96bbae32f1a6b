// The engine's windows under hostile neighbours: a parent that destroys a
// child while it is being created, and system libraries of the same name
// planted beside the program (this test runs from a folder that holds
// a stand-in, see planted/).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "pelmar.h"

// Counts frees of a block that is already free while gWatch is on; every
// allocation of this program passes through here.
namespace {
bool gWatch = false;
int gDoubleFrees = 0;
void* gFreed[256];
int gFreedCount = 0;

void Forget(void* p) {
    for (int i = 0; i < gFreedCount; ++i)
        if (gFreed[i] == p) gFreed[i] = gFreed[--gFreedCount];
}
}  // namespace

void* operator new(std::size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (!p) throw std::bad_alloc();
    if (gWatch) Forget(p);
    return p;
}
namespace {
void Release(void* p) {
    if (!p) return;
    if (gWatch) {
        for (int i = 0; i < gFreedCount; ++i)
            if (gFreed[i] == p) {
                ++gDoubleFrees;
                return;   // not handed to the heap a second time
            }
        if (gFreedCount < 256) gFreed[gFreedCount++] = p;
    }
    std::free(p);
}
}  // namespace
void operator delete(void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }

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
