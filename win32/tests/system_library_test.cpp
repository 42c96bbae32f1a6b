// The system-library loader, in a real Windows process.
#include <windows.h>

#include <delayimp.h>
#include <gtest/gtest.h>

#include "system_library.h"

#ifdef _MSC_VER
extern "C" const PfnDliHook __pfnDliNotifyHook2;
#else
extern "C" PfnDliHook __pfnDliNotifyHook2;
#endif

namespace {

constexpr char kAbsent[] = "orvane_absent.dll";   // beside this test, in no system folder

TEST(SystemLibrary, NeverLoadsALibraryBesideTheProgram) {
    // The default search finds the planted file, so it is there to be found.
    HMODULE planted = LoadLibraryA(kAbsent);
    ASSERT_NE(planted, nullptr);
    FreeLibrary(planted);

    EXPECT_EQ(win32::LoadSystemLibrary(kAbsent), nullptr);
    EXPECT_EQ(win32::SystemFunction(kAbsent, "AbsentCall"), nullptr);
    EXPECT_NE(win32::LoadSystemLibrary("msimg32.dll"), nullptr);
    EXPECT_EQ(win32::LoadSystemLibrary(".\\orvane_absent.dll"), nullptr);

    // The delay-load helper is given a module without the library's
    // functions, so that it neither searches for the name itself nor finds
    // the call.
    DelayLoadInfo info{};
    info.cb = sizeof info;
    info.szDll = kAbsent;
    const auto answer = reinterpret_cast<HMODULE>(__pfnDliNotifyHook2(dliNotePreLoadLibrary, &info));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(GetProcAddress(answer, "AbsentCall"), nullptr);
    EXPECT_EQ(GetModuleHandleA(kAbsent), nullptr);
}

}  // namespace
