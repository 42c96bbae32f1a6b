#include "report.h"

#include <windows.h>

namespace win32 {

void Report(const char* module, const char* item, const std::string& detail) {
    std::string line;
    try {
        line.append(module ? module : "?").append(": ").append(item ? item : "?");
        if (!detail.empty()) line.append(": ").append(detail);
        line.push_back('\n');
    } catch (...) {
        return;   // out of memory: nothing to say it with
    }
    OutputDebugStringA(line.c_str());
}

}  // namespace win32
