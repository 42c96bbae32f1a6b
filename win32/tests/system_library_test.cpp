// The system-library loader and the memory of thrown exceptions, in a real
// Windows process.
#include <windows.h>

#include <delayimp.h>
#include <malloc.h>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

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

// The memory of a thrown exception (win32/exception_memory.cpp) holds the
// runtime's record in front of the object: thrown and caught many times, no
// record may reach outside its block into the heap around it.
TEST(ExceptionMemory, ThrownObjectsAndTheirRecordsStayInTheirBlocks) {
    struct Payload {
        char bytes[200];
    };
    int caught = 0;
    for (int i = 0; i < 300; ++i) {
        std::vector<char*> around;
        for (int k = 0; k < 4; ++k) around.push_back(new char[64 + 32 * k]());
        try {
            if (i % 2) throw std::runtime_error("an error with a text");
            throw Payload{};
        } catch (const std::runtime_error&) {
            ++caught;
        } catch (const Payload&) {
            ++caught;
        }
        for (char* block : around) {
            for (int b = 0; b < 64; ++b) ASSERT_EQ(block[b], 0) << "a neighbour's byte " << b << " after throw " << i;
            delete[] block;
        }
    }
    EXPECT_EQ(caught, 300);
    EXPECT_EQ(_heapchk(), _HEAPOK);
}
