#include "shell_math.h"

#include <algorithm>
#include <cstring>

int CentredOrigin(int screenSize, int nearEdge, int farEdge) {
    // 64-bit so that no screen or rectangle value can overflow the sum.
    const long long origin = (static_cast<long long>(screenSize) - farEdge - nearEdge) / 2;
    return origin < 0 ? 0 : static_cast<int>(origin > 0x7FFFFFFF ? 0x7FFFFFFF : origin);
}

bool StepDue(std::uint32_t now, std::int32_t nextStepTick) {
    constexpr std::uint32_t kStepMs = 30;
    const std::uint32_t lastStep = static_cast<std::uint32_t>(nextStepTick) - kStepMs;
    return now - lastStep > kStepMs;
}

void MainWindowTitle(char* buffer, std::size_t size, std::string_view version) {
    if (!buffer || size == 0) return;
    std::size_t used = 0;
    for (const std::string_view part : {std::string_view("Orvane control "), version, std::string_view(" - \"3D lighting\" demo")}) {
        const std::size_t count = std::min(part.size(), size - 1 - used);
        if (count) std::memcpy(buffer + used, part.data(), count);
        used += count;
    }
    buffer[used] = '\0';
}

void CopyText(char* buffer, std::size_t size, const char* text) {
    if (!buffer || size == 0) return;
    std::size_t length = text ? std::strlen(text) : 0;
    if (length > size - 1) length = size - 1;
    if (length) std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}
