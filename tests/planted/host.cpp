// A host program that never restricts where libraries are looked for and
// imports no OpenGL, with a stand-in opengl32.dll planted beside it (the
// test tells Wine to prefer DLL files on disk for that name, as Windows does
// for a library that is not one of its known ones). It loads orvane.dll by
// name, makes a view and draws text in it: the stand-in must not be loaded,
// and the process's opengl32.dll must be the system folder's. Exit code 0
// when it holds.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "orvane.h"

namespace {

template <typename F>
F Export(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool Fail(const char* what) {
    std::printf("FAILED: %s\n", what);
    return false;
}

bool Run() {
    HMODULE orvane = LoadLibraryA("orvane.dll");
    if (!orvane) return Fail("orvane.dll beside the host could not be loaded");
    auto registerClass = Export<decltype(&RegisterOrvaneClass)>(orvane, "RegisterOrvaneClass");
    auto getDc = Export<decltype(&QI_GetGLDC)>(orvane, "QI_GetGLDC");
    auto buildFont = Export<decltype(&QI_BuildGLfont)>(orvane, "QI_BuildGLfont");
    auto drawText = Export<decltype(&QI_DrawGLText)>(orvane, "QI_DrawGLText");
    auto update = Export<decltype(&QI_UpdateGLWindow)>(orvane, "QI_UpdateGLWindow");
    auto deleteFont = Export<decltype(&QI_DeleteGLFont)>(orvane, "QI_DeleteGLFont");
    if (!registerClass || !getDc || !buildFont || !drawText || !update || !deleteFont)
        return Fail("orvane.dll lacks an export");
    if (!registerClass()) return Fail("RegisterOrvaneClass");
    HWND view = CreateWindowExA(0, "QOPENGLCTRL", "planted", WS_POPUP | WS_VISIBLE, 0, 0, 160, 80, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!view || !getDc(view)) return Fail("no view with an OpenGL context");
    GLFontRecord font{};
    std::strcpy(font.FontName, "Arial");
    font.FontHeight = 16;
    font.FontWeight = 400;
    const bool drawn = buildFont(getDc(view), &font) && drawText(view, &font, 4, 4, "planted", 0xFFFFFFFF) &&
                       update(view);
    deleteFont(&font);
    DestroyWindow(view);
    if (!drawn) return Fail("text was not drawn");

    // Whatever the search order, the one opengl32.dll in the process is the system's.
    char want[MAX_PATH], have[MAX_PATH] = {};
    GetSystemDirectoryA(want, MAX_PATH);
    lstrcatA(want, "\\opengl32.dll");
    HMODULE gl = GetModuleHandleA("opengl32.dll");
    if (!gl || !GetModuleFileNameA(gl, have, MAX_PATH) || lstrcmpiA(have, want) != 0) {
        std::printf("opengl32.dll in the process: %s\n", have);
        return Fail("the process's opengl32.dll is not the system folder's");
    }
    char marker[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, marker, MAX_PATH);
    char* slash = std::strrchr(marker, '\\');
    if (!length || !slash) return Fail("no program path");
    std::strcpy(slash + 1, "opengl32.dll.loaded");
    if (GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES) return Fail("the planted opengl32.dll was loaded");
    FreeLibrary(orvane);
    return true;
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!Run()) return 1;
    std::printf("the view drew with the system's opengl32.dll; the planted one was not loaded\n");
    return 0;
}
