// A stand-in for a system library, planted beside a test program under that
// library's name: the engine must never load it.
#include <windows.h>

extern "C" __declspec(dllexport) int PlantedMarker() { return 1; }
