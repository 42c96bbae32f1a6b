// Where an anchored child goes as its parent's client area changes size: each
// code of anchor_codes.h as a rule for each axis, and the rule's arithmetic.
// Platform-neutral (also built and tested on the host).
#pragma once

#include "anchor_codes.h"

namespace anchoring {

enum class Rule { Keep, Stretch, Far, Centre };   // Far = right or bottom edge

struct Code {
    Rule horizontal;
    Rule vertical;
};

// Code n is kTable[n - 1]; 0 (ANCHOR_NONE) means "no anchor".
inline constexpr Code kTable[] = {
    {Rule::Keep, Rule::Keep},       // ANCHOR_KEEP_KEEP
    {Rule::Far, Rule::Keep},        // ANCHOR_FAR_KEEP
    {Rule::Keep, Rule::Far},        // ANCHOR_KEEP_FAR
    {Rule::Stretch, Rule::Keep},    // ANCHOR_STRETCH_KEEP
    {Rule::Stretch, Rule::Stretch}, // ANCHOR_STRETCH_STRETCH
    {Rule::Keep, Rule::Stretch},    // ANCHOR_KEEP_STRETCH
    {Rule::Stretch, Rule::Far},     // ANCHOR_STRETCH_FAR
    {Rule::Far, Rule::Stretch},     // ANCHOR_FAR_STRETCH
    {Rule::Far, Rule::Far},         // ANCHOR_FAR_FAR
    {Rule::Centre, Rule::Keep},     // ANCHOR_CENTRE_KEEP
    {Rule::Centre, Rule::Centre},   // ANCHOR_CENTRE_CENTRE
    {Rule::Keep, Rule::Centre},     // ANCHOR_KEEP_CENTRE
    {Rule::Centre, Rule::Far},      // ANCHOR_CENTRE_FAR
    {Rule::Far, Rule::Centre},      // ANCHOR_FAR_CENTRE
    {Rule::Stretch, Rule::Centre},  // ANCHOR_STRETCH_CENTRE
    {Rule::Centre, Rule::Stretch},  // ANCHOR_CENTRE_STRETCH
};
inline constexpr int kCount = static_cast<int>(sizeof(kTable) / sizeof(kTable[0]));
static_assert(kCount == ANCHOR_CENTRE_STRETCH, "one rule pair for each code");

inline constexpr bool Valid(int code) { return code >= 1 && code <= kCount; }

// Position and size of a child along one axis after the parent's extent
// changed from oldExtent to newExtent. start/size are the child's values at
// the time the code was set, taken against oldExtent.
struct Span {
    int start;
    int size;
};
inline constexpr Span Place(Rule rule, Span at, int oldExtent, int newExtent) {
    const int delta = newExtent - oldExtent;
    switch (rule) {
    case Rule::Keep: return at;
    case Rule::Stretch: {
        const int size = at.size + delta;
        return {at.start, size < 0 ? 0 : size};
    }
    case Rule::Far: return {at.start + delta, at.size};
    case Rule::Centre: {
        // keep the child's centre at the same fraction of the extent
        const int centre2 = 2 * at.start + at.size;   // twice the centre
        if (oldExtent <= 0) return {(newExtent - at.size) / 2, at.size};
        const long long scaled = static_cast<long long>(centre2) * newExtent / oldExtent;
        return {static_cast<int>((scaled - at.size) / 2), at.size};
    }
    }
    return at;
}

}  // namespace anchoring
