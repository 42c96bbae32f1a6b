// How a library tells a developer why it refused something, or which way it
// chose: one line on the debug output (OutputDebugStringA: a debugger or a
// debug-output viewer shows it, Wine prints it with WINEDEBUG=+debugstr),
//     <module>: <item>: <subject>: <why>
// (the subject is a file, its path in UTF-8, or a window; either part may be
// left out). Each library names its items in one list. Users see nothing.
#pragma once

namespace win32 {

// The item of a refusal made because memory has run out; the subject says
// where (the function's own name, __func__).
inline constexpr char kOutOfMemory[] = "out of memory";

// Says the line without allocating or letting an exception out; a line
// longer than about a thousand characters is cut.
void Report(const char* module, const char* item, const char* subject, const char* why) noexcept;

// "<module>: out of memory: <where>".
inline void ReportOutOfMemory(const char* module, const char* where) noexcept {
    Report(module, kOutOfMemory, where, nullptr);
}

}  // namespace win32
