// The overlay's two number-to-text conversions. Pure functions: no locale,
// no state, no Win32.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Lays value out by a mask of '#' digit places with at most one '.'.
// The magnitude is rounded to the mask's decimals on its exact binary value,
// ties to even; a minus sign is kept for any value below zero (also when it
// rounds to zero) but never for negative zero. Shorter texts are padded on
// the left with spaces to the mask's length; longer ones grow, never cut.
// NaN gives "NaN", infinities "Inf" and "-Inf" (padded the same way).
std::string FormatMasked(double value, std::string_view mask);

// A blank for zero and positive numbers or a minus sign, then the digits.
// 64 bits wide, so that a difference of two 32-bit numbers fits.
std::string NumberText(std::int64_t value);
