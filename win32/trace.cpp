#include "trace.h"

#include <windows.h>

#include <stdio.h>

namespace orvane_trace {
namespace {

bool ReadEnabled() {
    char value[4] = {};
    return GetEnvironmentVariableA("ORVANE_TRACE", value, sizeof value) == 1 && value[0] == '1';
}

double ReadCountsPerMs() {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
}

const bool kEnabled = ReadEnabled();
const double kCountsPerMs = ReadCountsPerMs();

// Milliseconds since the process was created, for ordering the steps of all
// modules on one time line.
double SinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(static_cast<long long>(ticks(now) - ticks(created))) / 10000.0;
}

}  // namespace

bool Enabled() { return kEnabled; }

double Milliseconds() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / kCountsPerMs;
}

void Report(const char* module, const char* step, double took) {
    char line[160];
    snprintf(line, sizeof line, "orvane-trace %s %s: at %.1f ms, took %.2f ms\n", module, step, SinceProcessStart(),
             took);
    OutputDebugStringA(line);
}

}  // namespace orvane_trace
