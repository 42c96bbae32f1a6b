#include "optional_calls.h"

namespace win32 {
namespace {

template <typename F>
F Look(const char* dll, const char* name) {
    HMODULE module = GetModuleHandleA(dll);
    return reinterpret_cast<F>(module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr);
}

OptionalCalls LookUp() {
    OptionalCalls calls{};
    calls.setDefaultDllDirectories = Look<decltype(calls.setDefaultDllDirectories)>("kernel32.dll", "SetDefaultDllDirectories");
    calls.getDpiForWindow = Look<decltype(calls.getDpiForWindow)>("user32.dll", "GetDpiForWindow");
    calls.getDpiForSystem = Look<decltype(calls.getDpiForSystem)>("user32.dll", "GetDpiForSystem");
    calls.getSystemMetricsForDpi = Look<decltype(calls.getSystemMetricsForDpi)>("user32.dll", "GetSystemMetricsForDpi");
    calls.adjustWindowRectExForDpi =
        Look<decltype(calls.adjustWindowRectExForDpi)>("user32.dll", "AdjustWindowRectExForDpi");
    return calls;
}

const OptionalCalls kCalls = LookUp();

}  // namespace

const OptionalCalls& Optional() { return kCalls; }

}  // namespace win32
