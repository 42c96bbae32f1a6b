// Small Win32 pieces shared by the program and the three libraries, linked
// statically into each ("this module" is whichever one links it).
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "buffer.h"
#include "fixed_text.h"

namespace win32 {

// The module (DLL or program) this code is linked into.
HINSTANCE ThisModule();

// A path as the ANSI file calls take it: at most MAX_PATH - 1 characters
// (the program declares no long-path awareness).
using Path = memory::Text<MAX_PATH>;
// The same in UTF-16, as the wide file calls take it: every file is opened
// through this form, so a name of any language can be reached.
using WidePath = memory::Text<MAX_PATH, wchar_t>;

// Text in the process's ANSI code page (CP_ACP) as UTF-16, zero-terminated
// in `wide`, for an ANSI call's wide twin. Null for null text, and null when
// memory for it has run out, which is said on the debug output as
// "<module>: out of memory: <call>".
const wchar_t* AnsiToWide(const char* text, memory::Buffer<wchar_t>& wide, const char* module, const char* call);
// A wide path in UTF-8, cut at the bound, for the diagnostics line (whose
// bytes a code page could not spell in every language).
using PathText = memory::Text<3 * MAX_PATH>;
PathText PathForReport(const wchar_t* path);

// The running program's full path in the ANSI code page; a path that code
// page cannot spell comes in its short 8.3 form. False, with `path` empty,
// when it cannot be had, spelled either way, or held in a Path.
bool ProgramPath(Path& path);
// The folder of ProgramPath() with its trailing backslash; false as above.
bool ProgramFolder(Path& folder);
// The same in UTF-16, spelled as it is (no short form needed).
bool ProgramFolder(WidePath& folder);

// Registers the class wc describes, or finds it registered before (by another
// call, or a thread that won the race) with the same window procedure. Its
// atom, or 0 when it cannot be registered or the name is taken by a class of
// another procedure.
ATOM RegisterClassOnce(const WNDCLASSEXA& wc);

enum class ReadResult { Ok, Missing, TooLarge, Failed };

// Reads a whole file of at most `cap` bytes. A larger file is not read
// (TooLarge); on any result but Ok `bytes` is empty (Failed too when memory
// for it has run out). The path is UTF-16.
ReadResult ReadWholeFile(const wchar_t* path, std::size_t cap, memory::Buffer<std::uint8_t>& bytes);
// Reads at most `limit` bytes from the start of a file of any size.
ReadResult ReadFileHead(const wchar_t* path, std::size_t limit, memory::Buffer<char>& text);
const char* ReadResultName(ReadResult result);

// A window's text, cut at the bound of `text`.
template <std::size_t N>
void WindowText(HWND window, memory::Text<N>& text) {
    const int got = GetWindowTextA(window, text.Room(), static_cast<int>(N));
    text.Written(got > 0 ? static_cast<std::size_t>(got) : 0);
}

// An ARGB colour 0xAARRGGBB as a Windows COLORREF (0x00BBGGRR).
constexpr COLORREF ArgbToColorref(std::uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// A Windows COLORREF as an opaque ARGB colour.
constexpr std::uint32_t ColorrefToArgb(COLORREF colour) {
    return 0xFF000000u | (static_cast<std::uint32_t>(GetRValue(colour)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
}

// One of the system's colours (COLOR_WINDOW, COLOR_WINDOWTEXT...) as an
// opaque ARGB colour, as the system has it now.
inline std::uint32_t SystemColour(int index) { return ColorrefToArgb(GetSysColor(index)); }

}  // namespace win32
