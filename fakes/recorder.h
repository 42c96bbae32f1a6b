// Recording stand-ins for orvane.dll, md2ex.dll, pelmar.dll and the OpenGL
// entry points of the 3D view. Every call is appended to one log, in order,
// with its arguments; results come from Settings, which a test sets.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace fake {

struct Call {
    std::string name;
    std::vector<std::string> args;
    std::string Text() const;  // "name(a,b,c)"
};

struct Picture {
    std::int32_t width;
    std::int32_t height;
};

struct Settings {
    // orvane.dll
    std::int32_t registerResult = 1;
    std::int32_t startZoom = 51;
    std::map<HWND, std::int32_t> zoom;          // kept per view, like the library
    HDC viewDC = reinterpret_cast<HDC>(0xDC0);
    std::map<std::string, Picture> pictures;   // paths that decode; others fail
    std::int32_t leftButton = 0;               // QI_IsLButtonDown result
    std::int32_t rightButton = 0;
    std::wstring version = L"1.0.0";
    // md2ex.dll
    std::map<std::int32_t, std::int32_t> frameCounts;
    // pelmar.dll
    std::int32_t initResult = 1;
    HWND clockWindow = reinterpret_cast<HWND>(0xC10C);
    HWND imageWindow = reinterpret_cast<HWND>(0x1060);
    // OpenGL
    std::deque<unsigned> glErrors;   // glGetError pops one; GL_NO_ERROR when empty
    unsigned nextTextureName = 1;
};

// Clears the log and restores every setting to its default.
void Reset();
Settings& Set();
const std::vector<Call>& Calls();
std::vector<std::string> Texts();                           // every call as Text()
std::vector<std::string> Texts(const std::string& prefix);  // calls whose name starts so
std::vector<std::string> Names();
void Record(std::string name, std::vector<std::string> args);

// How the log spells values, for building expected calls in tests.
std::string Hex(const void* pointer);
std::string Hex(std::uint32_t value);
std::string Num(double value);     // shortest text that reads back the same double
std::string NumF(float value);     // shortest text that reads back the same float
std::string Quote(const char* text);  // "text" in double quotes, or null

}  // namespace fake
