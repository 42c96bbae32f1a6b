// The built pelmar.dll exports every call under its plain name.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(PelmarDll, ExportsEveryCallUndecorated) {
    HMODULE dll = LoadLibraryA("pelmar.dll");
    ASSERT_NE(dll, nullptr);
    for (const char* name : {"skInitEngine", "skSkinWindow", "skBorder", "skClockCtrl", "skSetAnchorCtrl",
                             "skCreateToolTip", "skSkinChildCtrl", "skARGB", "skSetLabelFont", "skStaticImage",
                             "skInitEngineW", "skClockCtrlW", "skStaticImageW"})
        EXPECT_NE(GetProcAddress(dll, name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(dll, "skARGB@16"), nullptr);

    using Argb = uint32_t(WINAPI*)(int32_t, int32_t, int32_t, int32_t);
    using Init = int32_t(WINAPI*)(const char*, const char*);
    auto argb = reinterpret_cast<Argb>(reinterpret_cast<void*>(GetProcAddress(dll, "skARGB")));
    auto init = reinterpret_cast<Init>(reinterpret_cast<void*>(GetProcAddress(dll, "skInitEngine")));
    ASSERT_TRUE(argb && init);
    EXPECT_EQ(argb(200, 255, 255, 255), 0xC8FFFFFFu);
    EXPECT_NE(init("Scarlet.sks", nullptr), 0);
    EXPECT_NE(init("NoSuchSkin.sks", nullptr), 0);
    FreeLibrary(dll);
}

}  // namespace
