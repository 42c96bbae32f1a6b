// Start-up trace of the program and its libraries: with ORVANE_TRACE=1 in
// the environment, each traced step reports on the debug output
//     orvane-trace <module> <step>: at <ms> ms, took <ms> ms
// where "at" counts from the process's creation. Otherwise a step costs one
// test of a flag read once as the module starts.
#pragma once

namespace orvane_trace {

// Whether ORVANE_TRACE=1, read once as the module starts.
bool Enabled();
// The performance counter in milliseconds.
double Milliseconds();
// Writes the step's line (see above).
void Report(const char* module, const char* step, double took);

// Times the scope it lives in; a null step reports nothing.
class Step {
public:
    Step(const char* module, const char* step)
        : module_(module), step_(step), start_(step && Enabled() ? Milliseconds() : 0.0) {}
    ~Step() {
        if (step_ && Enabled()) Report(module_, step_, Milliseconds() - start_);
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

private:
    const char* module_;
    const char* step_;
    double start_;
};

}  // namespace orvane_trace
