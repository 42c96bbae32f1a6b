#include "report.h"

#include <windows.h>

namespace win32 {
namespace {

// Appends text to the line, cutting what does not fit.
void Append(char* line, std::size_t size, std::size_t& used, const char* text) {
    for (; text && *text && used + 1 < size; ++text) line[used++] = *text;
    line[used] = '\0';
}

}  // namespace

void Report(const char* module, const char* item, const char* subject, const char* why) noexcept {
    // No allocation: the line must also be said when memory has run out.
    char line[1024];
    std::size_t used = 0;
    line[0] = '\0';
    Append(line, sizeof line - 1, used, module ? module : "?");
    Append(line, sizeof line - 1, used, ": ");
    Append(line, sizeof line - 1, used, item ? item : "?");
    if (subject) {
        Append(line, sizeof line - 1, used, ": ");
        Append(line, sizeof line - 1, used, subject);
    }
    if (why && *why) {
        Append(line, sizeof line - 1, used, ": ");
        Append(line, sizeof line - 1, used, why);
    }
    line[used++] = '\n';
    line[used] = '\0';
    OutputDebugStringA(line);
}

}  // namespace win32
