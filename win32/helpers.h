// Small Win32 pieces shared by the program and the three libraries, linked
// statically into each ("this module" is whichever one links it).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace win32 {

// The module (DLL or program) this code is linked into.
HINSTANCE ThisModule();

// The running program's full path, however long, in the ANSI code page; a
// path that code page cannot spell comes in its short 8.3 form. Empty when
// it cannot be had, or spelled either way.
std::string ProgramPath();
// The folder of ProgramPath() with its trailing backslash, or empty.
std::string ProgramFolder();

// Registers the class wc describes, or finds it registered before (by another
// call, or a thread that won the race) with the same window procedure. Its
// atom, or 0 when it cannot be registered or the name is taken by a class of
// another procedure.
ATOM RegisterClassOnce(const WNDCLASSEXA& wc);

enum class ReadResult { Ok, Missing, TooLarge, Failed };

// Reads a whole file of at most `cap` bytes. A larger file is not read
// (TooLarge); on any result but Ok `bytes` is empty. The path is ANSI text
// in the process's code page.
ReadResult ReadWholeFile(const char* path, std::size_t cap, std::vector<std::uint8_t>& bytes);
// Reads at most `limit` bytes from the start of a file of any size.
ReadResult ReadFileHead(const char* path, std::size_t limit, std::string& text);
const char* ReadResultName(ReadResult result);

// A window's whole text.
std::string WindowText(HWND window);

// An ARGB colour 0xAARRGGBB as a Windows COLORREF (0x00BBGGRR).
constexpr COLORREF ArgbToColorref(std::uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

}  // namespace win32
