// Windows' own libraries, loaded from the system folder only: never a file
// of the same name beside the program, in the current folder or on the
// path. Each module imports statically only the system's known libraries
// (the KnownDLLs, which Windows always takes from the system folder) and our
// own; every other system library is imported late (delay-load, see
// cmake/SystemLibraries.cmake) and resolved here at its first call. A
// library missing from the system folder makes its first call fail as a
// missing import does: the delay-load helper then ends the process.
#pragma once

#include <windows.h>

namespace win32 {

// From here on every load by bare name in the process searches the system
// folder only, where the system offers that (from Windows 8, and 7 with its
// update); elsewhere nothing changes. The program does this first of all.
void RestrictLibrarySearch() noexcept;

// A system library by its bare name ("opengl32.dll"), from the system
// folder. A name the active activation context redirects (the common
// controls of the version a manifest binds) loads as redirected. Null when
// missing, or for a name with a folder in it.
HMODULE LoadSystemLibrary(const char* name) noexcept;

// A function of a system library so loaded, which stays loaded; null when
// either is missing.
FARPROC SystemFunction(const char* dll, const char* function) noexcept;

}  // namespace win32
