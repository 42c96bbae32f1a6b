// The program with recording stand-ins in place of its three libraries and
// OpenGL, for the two start-up failures real libraries cannot be made to
// show: DOUBLE_VIEW_CLASS=0 makes the view class fail to register,
// DOUBLE_SKIN=0 makes the skin engine fail to start. Never shipped.
#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "program.h"
#include "recorder.h"

namespace {
bool Is(const char* name, const char* value) {
    const char* set = std::getenv(name);
    return set && !std::strcmp(set, value);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    fake::Reset();
    if (Is("DOUBLE_VIEW_CLASS", "0")) fake::Set().registerResult = 0;
    if (Is("DOUBLE_SKIN", "0")) fake::Set().initResult = 0;
    ProcessStart();
}
