#include "boundary.h"

#include <new>

#include "report.h"

namespace win32 {

void ReportEscape(const char* module, const char* where) noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        Report(module, kOutOfMemory, where, nullptr);
    } catch (...) {
        Report(module, kUnexpected, where, nullptr);
    }
}

LRESULT FailedMessage(HWND window, UINT message) noexcept {
    switch (message) {
    case WM_NCCREATE: return FALSE;
    case WM_CREATE: return -1;
    case WM_PAINT:
        ValidateRect(window, nullptr);
        return 0;
    default: return 0;
    }
}

}  // namespace win32
