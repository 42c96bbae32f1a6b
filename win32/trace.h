// Start-up trace of the program and its libraries: with ORVANE_TRACE=1 in
// the environment, each traced step reports on the debug output
//     orvane-trace <module> <step>: at <ms> ms, took <ms> ms
// where "at" counts from the process's creation. Otherwise a step costs one
// test of a cached flag. Header only: each module has its own copy.
#pragma once

#include <windows.h>

#include <stdio.h>

namespace orvane_trace {

inline bool Enabled() {
    static const bool on = [] {
        char value[4] = {};
        return GetEnvironmentVariableA("ORVANE_TRACE", value, sizeof value) == 1 && value[0] == '1';
    }();
    return on;
}

inline double Milliseconds() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / perMs;
}

// Milliseconds since the process was created, for ordering the steps of all
// modules on one time line.
inline double SinceProcessStart() {
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0.0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(static_cast<long long>(ticks(now) - ticks(created))) / 10000.0;
}

// Times the scope it lives in; a null step reports nothing.
class Step {
public:
    Step(const char* module, const char* step)
        : module_(module), step_(step), start_(step && Enabled() ? Milliseconds() : 0.0) {}
    ~Step() {
        if (!step_ || !Enabled()) return;
        const double took = Milliseconds() - start_;
        char line[160];
        snprintf(line, sizeof line, "orvane-trace %s %s: at %.1f ms, took %.2f ms\n", module_, step_,
                 SinceProcessStart(), took);
        OutputDebugStringA(line);
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    const char* module_;
    const char* step_;
    double start_;
};

}  // namespace orvane_trace
