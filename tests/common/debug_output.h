// Captures what this process writes with OutputDebugStringA while an object
// lives. OutputDebugStringA first raises DBG_PRINTEXCEPTION_C with the text
// for a debugger; a vectored handler that continues the exception takes the
// text in the writing thread, before the call returns, and the string then
// goes nowhere else. Nothing is shared with other processes: the debug-output
// buffer of a viewer (DBWIN_BUFFER and its events) would be the session's,
// and a writer in a parallel test would wait up to 10 s for it once a
// capture ended. One capture at a time per process.
#pragma once

#include <windows.h>

#include <string.h>

#include <mutex>
#include <string>
#include <vector>

class DebugOutput {
public:
    DebugOutput() {
        Current() = this;
        handler_ = AddVectoredExceptionHandler(1, &DebugOutput::Take);
    }
    ~DebugOutput() {
        if (handler_) RemoveVectoredExceptionHandler(handler_);
        Current() = nullptr;
    }
    DebugOutput(const DebugOutput&) = delete;
    DebugOutput& operator=(const DebugOutput&) = delete;

    bool Ready() const { return handler_ != nullptr; }

    // The lines written so far, without their line feeds.
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> hold(lock_);
        return lines_;
    }

    // The lines written so far that start with prefix.
    std::vector<std::string> LinesStartingWith(const std::string& prefix) {
        std::vector<std::string> found;
        for (const std::string& line : Lines())
            if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
        return found;
    }

private:
    static DebugOutput*& Current() {
        static DebugOutput* current = nullptr;
        return current;
    }

    static LONG CALLBACK Take(EXCEPTION_POINTERS* exception) {
        const EXCEPTION_RECORD* record = exception->ExceptionRecord;
        DebugOutput* self = Current();
        if (!self || record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2)
            return EXCEPTION_CONTINUE_SEARCH;
        const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
        try {
            std::string line(text ? text : "", text ? strnlen(text, record->ExceptionInformation[0]) : 0);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            std::lock_guard<std::mutex> hold(self->lock_);
            self->lines_.push_back(std::move(line));
        } catch (...) {   // out of memory: the line is lost, the writer goes on
        }
        return EXCEPTION_CONTINUE_EXECUTION;
    }

    PVOID handler_ = nullptr;
    std::mutex lock_;
    std::vector<std::string> lines_;
};
