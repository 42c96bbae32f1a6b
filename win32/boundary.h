// The edge of our code: window procedures, exported calls, start-up steps and
// callbacks that Windows or a program calls. An exception must not cross it
// (unwinding into a frame of user32, gdi32, opengl32 or of the program ends
// the process), so each runs its body through Guard or GuardMessage: a
// failure is named on the debug output,
//     <module>: out of memory: <where>      (or "unexpected failure")
// and the call gives its failure result instead; the next call works as ever.
#pragma once

#include <windows.h>

namespace win32 {

inline constexpr char kOutOfMemory[] = "out of memory";
inline constexpr char kUnexpected[] = "unexpected failure";

// Makes this thread's record of exceptions in flight, so that its first
// throw needs no memory (see exception_globals.cpp); quick once made, and
// when memory is short the thread goes on without one.
void PrepareThread() noexcept;

// Names the exception being handled (call it only inside a catch block).
void ReportEscape(const char* module, const char* where) noexcept;

// body() or, when it throws, failed().
template <typename Body, typename Failed>
auto Shield(const char* module, const char* where, Body&& body, Failed&& failed) noexcept -> decltype(body()) {
    PrepareThread();
    try {
        return body();
    } catch (...) {
        ReportEscape(module, where);
    }
    return failed();
}

// body() or, when it throws, failed.
template <typename Result, typename Body>
Result Guard(const char* module, const char* where, Result failed, Body&& body) noexcept {
    return Shield(module, where, [&]() -> Result { return body(); }, [&] { return failed; });
}

// body() for a step without a result: when it throws, the step is left out.
template <typename Body>
void Guard(const char* module, const char* where, Body&& body) noexcept {
    Shield(module, where, [&] { body(); }, [] {});
}

// A window procedure's result when its handling of message failed: the
// window's creation fails, a paint is dropped (its region validated, so that
// it is not asked for again at once), anything else counts as handled.
LRESULT FailedMessage(HWND window, UINT message) noexcept;

// A window procedure's body(), or FailedMessage when it throws.
template <typename Body>
LRESULT GuardMessage(const char* module, const char* where, HWND window, UINT message, Body&& body) noexcept {
    return Shield(module, where, [&]() -> LRESULT { return body(); },
                  [&] { return FailedMessage(window, message); });
}

}  // namespace win32
