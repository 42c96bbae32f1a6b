#include "format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace {

// Longest fixed text of a double: 309 integer digits, the point, the decimals.
constexpr int kMaxDecimals = 40;
constexpr std::size_t kFixedCapacity = 320 + kMaxDecimals;

std::string PadLeft(std::string text, std::size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

}  // namespace

std::string FormatMasked(double value, std::string_view mask) {
    const std::size_t point = mask.find('.');
    int decimals =
        point == std::string_view::npos ? 0 : static_cast<int>(std::ranges::count(mask.substr(point + 1), '#'));
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;

    if (std::isnan(value)) return PadLeft("NaN", mask.size());
    if (std::isinf(value)) return PadLeft(value < 0 ? "-Inf" : "Inf", mask.size());

    std::string text(value < 0 ? "-" : "");
    // to_chars with a fixed precision rounds the exact binary value, ties to even.
    std::array<char, kFixedCapacity> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(),
                                      std::fabs(value), std::chars_format::fixed, decimals);
    text.append(digits.data(), result.ptr);
    if (point != std::string_view::npos && decimals == 0) text.push_back('.');
    return PadLeft(std::move(text), mask.size());
}

std::string NumberText(std::int64_t value) {
    std::string text = std::to_string(value);
    if (value >= 0) text.insert(text.begin(), ' ');
    return text;
}
