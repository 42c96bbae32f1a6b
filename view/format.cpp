#include "format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kMaxDecimals = 40;

// The text, moved right behind spaces to the mask's length as far as the
// buffer holds.
MaskedText PadLeft(std::string_view text, std::size_t width) {
    MaskedText padded;
    const std::size_t target = std::min(width, MaskedText::kMaxLength);
    for (std::size_t i = text.size(); i < target; ++i) padded.Append(" ");
    padded.Append(text);
    return padded;
}

}  // namespace

MaskedText FormatMasked(double value, std::string_view mask) {
    const std::size_t point = mask.find('.');
    int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(std::count(mask.begin() + point + 1, mask.end(), '#'));
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;

    if (std::isnan(value)) return PadLeft("NaN", mask.size());
    if (std::isinf(value)) return PadLeft(value < 0 ? "-Inf" : "Inf", mask.size());

    char text[kMaskedCapacity];
    std::size_t length = 0;
    if (value < 0) text[length++] = '-';
    // The C runtime's fixed notation (MinGW's own, not the system's: it
    // rounds the exact binary value, ties to even, in the "C" locale the
    // program never changes). The buffer holds the widest result.
    const int digits = std::snprintf(text + length, sizeof text - length, "%.*f", decimals, std::fabs(value));
    if (digits > 0) length += std::min(static_cast<std::size_t>(digits), sizeof text - 1 - length);
    if (point != std::string_view::npos && decimals == 0 && length < sizeof text - 1) text[length++] = '.';
    return PadLeft({text, length}, mask.size());
}

NumberString NumberText(std::int64_t value) {
    char text[24];
    char* end = text;
    if (value >= 0) *end++ = ' ';
    end = std::to_chars(end, text + sizeof text, value).ptr;
    return NumberString({text, static_cast<std::size_t>(end - text)});
}
