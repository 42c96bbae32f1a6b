// The overlay's two number-to-text conversions. Pure functions: the "C"
// locale always (the program never sets another), no state, no Win32, no
// memory: each text is returned in a fixed buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fixed_text.h"

// Room for the widest masked number: a minus sign, the 309 integer digits of
// the largest double, the point and kMaxDecimals (40) decimals, and the
// terminating zero.
inline constexpr std::size_t kMaskedCapacity = 1 + 309 + 1 + 40 + 1;
using MaskedText = memory::Text<kMaskedCapacity>;

// A 64-bit number's sign place and up to 19 digits.
using NumberString = memory::Text<24>;

// Lays value out by a mask of '#' digit places with at most one '.'.
// The magnitude is rounded to the mask's decimals (at most 40) on its exact
// binary value, ties to even; a minus sign is kept for any value below zero
// (also when it rounds to zero) but never for negative zero. Shorter texts
// are padded on the left with spaces to the mask's length (a mask longer
// than the buffer pads only as far as it holds); longer ones grow, never cut.
// NaN gives "NaN", infinities "Inf" and "-Inf" (padded the same way).
MaskedText FormatMasked(double value, std::string_view mask);

// A blank for zero and positive numbers or a minus sign, then the digits.
// 64 bits wide, so that a difference of two 32-bit numbers fits.
NumberString NumberText(std::int64_t value);
