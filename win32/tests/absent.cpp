// A library that no system folder holds, placed beside the tests: the
// system-library loader must never load it.
#include <windows.h>

extern "C" __declspec(dllexport) int AbsentCall() { return 1; }
