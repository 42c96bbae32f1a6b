// The library's entry point: nothing to do. The library keeps nothing of
// the process's beyond its models, which MD2_Free gives back.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
