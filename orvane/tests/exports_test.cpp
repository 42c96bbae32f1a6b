// The DLL itself: its undecorated exports, and a view made through them by
// a program that registers nothing of its own.
#include <windows.h>
#include <objbase.h>
#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstring>

#include "presentation_path.h"
#include "unicode_folders.h"

namespace {

const char* const kExports[] = {
    "RegisterOrvaneClass", "QI_LoadDLL",        "qInstance",
    "QI_Version",          "QI_SetAnchorMode",  "QI_GetGLDC",
    "QI_BuildGLfont",      "QI_DeleteGLFont",   "QI_DrawGLText",
    "QI_CreateGLTextureFromFileEX",             "QI_DestroyTexture",
    "QI_SetGLzoom",        "QI_GetGLzoom",      "QI_ResizeGLWindow",
    "QI_UpdateGLWindow",   "QI_IsLButtonDown",  "QI_IsRButtonDown",
    "QD_ColorARGB",        "QI_GetViewFormat",  "QI_CreateGLTextureFromFileEXW",
};

TEST(Dll, ExportsEveryCallUnderItsPlainName) {
    HMODULE dll = LoadLibraryA("orvane.dll");
    ASSERT_NE(dll, nullptr);
    for (const char* name : kExports) EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(dll, "QI_SetGLzoom@8"), nullptr);
    EXPECT_EQ(GetProcAddress(dll, "_QI_SetGLzoom@8"), nullptr);
}

TEST(Dll, ProgramCreatesAViewWithItsOwnInstance) {
    HMODULE dll = LoadLibraryA("orvane.dll");
    ASSERT_NE(dll, nullptr);
    using Nullary = int(WINAPI*)();
    using Instance = HINSTANCE(WINAPI*)();
    using Zoom = int(WINAPI*)(HWND);
    auto find = [dll](const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); };
    auto registerClass = reinterpret_cast<Nullary>(find("RegisterOrvaneClass"));
    auto instance = reinterpret_cast<Instance>(find("qInstance"));
    auto getZoom = reinterpret_cast<Zoom>(find("QI_GetGLzoom"));
    ASSERT_TRUE(registerClass && instance && getZoom);
    ASSERT_NE(registerClass(), 0);
    EXPECT_EQ(instance(), dll);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    EXPECT_NE(GetClassInfoExA(instance(), "QOPENGLCTRL", &wc), 0);
    HWND view = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 64, 64,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_NE(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(getZoom(view), 51);
    DestroyWindow(view);
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
}

TEST(Dll, AChildViewPresentsTheWayThisRunAsksFor) {
    HMODULE dll = LoadLibraryA("orvane.dll");
    ASSERT_NE(dll, nullptr);
    using Nullary = int(WINAPI*)();
    using GetDC = HDC(WINAPI*)(HWND);
    using Update = int(WINAPI*)(HWND);
    auto find = [dll](const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); };
    auto registerClass = reinterpret_cast<Nullary>(find("RegisterOrvaneClass"));
    auto glDC = reinterpret_cast<GetDC>(find("QI_GetGLDC"));
    auto update = reinterpret_cast<Update>(find("QI_UpdateGLWindow"));
    ASSERT_TRUE(registerClass && glDC && update);
    ASSERT_NE(registerClass(), 0);
    HWND host = CreateWindowExA(0, "STATIC", nullptr, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 64, 64,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND view = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 64, 64, host, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(presentation_path::DrawsInItself(view, glDC(view)), presentation_path::NativeExpected());
    EXPECT_EQ(update(view), 1);
    EXPECT_EQ(wglGetCurrentDC(), glDC(view));
    DestroyWindow(host);
}

TEST(Dll, DecodesPicturesUnderFoldersNamedInLettersTheCodePageLacks) {
    ASSERT_NE(GetACP(), static_cast<UINT>(CP_UTF8)) << "in UTF-8 the ANSI call reaches these folders too";
    const auto folders = test::MakeUnicodeFolders(L"orvane_dll_test", RESOURCE_DIR, {L"Orvane.png"});
    ASSERT_EQ(folders.size(), 2u);
    HMODULE dll = LoadLibraryA("orvane.dll");
    ASSERT_NE(dll, nullptr);
    using Decode = int32_t(WINAPI*)(const char*, int32_t*, int32_t*, unsigned char**, int32_t);
    using DecodeW = int32_t(WINAPI*)(const wchar_t*, int32_t*, int32_t*, unsigned char**, int32_t);
    auto find = [dll](const char* name) { return reinterpret_cast<void*>(GetProcAddress(dll, name)); };
    auto decode = reinterpret_cast<Decode>(find("QI_CreateGLTextureFromFileEX"));
    auto decodeW = reinterpret_cast<DecodeW>(find("QI_CreateGLTextureFromFileEXW"));
    ASSERT_TRUE(decode && decodeW);
    int32_t width = 0, height = 0;
    unsigned char* expected = nullptr;
    ASSERT_EQ(decode(RESOURCE_DIR "/Orvane.png", &width, &height, &expected, 0), 1);
    for (const std::wstring& folder : folders) {
        int32_t w = 0, h = 0;
        unsigned char* pixels = nullptr;
        EXPECT_EQ(decodeW((folder + L"Orvane.png").c_str(), &w, &h, &pixels, 0), 1);
        EXPECT_TRUE(w == width && h == height && pixels &&
                    std::memcmp(pixels, expected, size_t(width) * size_t(height) * 4) == 0);
        CoTaskMemFree(pixels);
    }
    CoTaskMemFree(expected);
}

}  // namespace
