#include "report.h"

#include <windows.h>

#include <string>

namespace win32 {

void Report(const char* module, const char* item, const char* subject, const char* why) noexcept {
    std::string line;
    try {
        line.append(module ? module : "?").append(": ").append(item ? item : "?");
        if (subject) line.append(": ").append(subject);
        if (why && *why) line.append(": ").append(why);
        line.push_back('\n');
    } catch (...) {
        return;   // out of memory: nothing to say it with
    }
    OutputDebugStringA(line.c_str());
}

}  // namespace win32
