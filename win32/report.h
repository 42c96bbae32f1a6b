// How a library says why it refused something, or which way it chose, where
// a developer can see it: one line through the debug-output channel
// (OutputDebugStringA, which a debugger or a debug-output viewer shows and
// Wine prints with WINEDEBUG=+debugstr):
//     <module>: <item>: <subject>: <why>
// (the subject is a file or a window; either part may be left out). Each
// library names its items in one list. Users see nothing.
#pragma once

namespace win32 {

// Builds the line without letting an exception out.
void Report(const char* module, const char* item, const char* subject, const char* why) noexcept;

}  // namespace win32
