// Shows the skinned test window for a while, with the local time on the
// clock, and optionally saves a screenshot:
//   pelmar_demo [face.png logo.png] [seconds] [shot.png]
#include <windows.h>

#include <cstdlib>
#include <string>

#include "support.h"

int main(int argc, char** argv) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const char* face = argc > 2 ? argv[1] : nullptr;
    const char* logo = argc > 2 ? argv[2] : nullptr;
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 5;
    pelmar::test::Scene scene;
    if (!scene.Build("Scarlet.sks", 60, 40, face, logo)) return 1;
    pelmar::test::Pump(static_cast<DWORD>(seconds > 0 ? seconds : 1) * 1000u);
    if (argc > 4) pelmar::test::Screen().Save(argv[4]);
    return 0;
}
