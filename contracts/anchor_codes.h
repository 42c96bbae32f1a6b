// Anchoring codes shared by orvane.dll (QI_SetAnchorMode) and pelmar.dll
// (skSetAnchorCtrl): both libraries give a code the same meaning.
#pragma once

namespace anchor {

enum class Rule { Keep, Stretch, Far, Centre };   // Far = right or bottom edge

struct Code {
    Rule horizontal;
    Rule vertical;
};

// Code n is kTable[n - 1]; 0 means "no anchor".
inline constexpr Code kTable[] = {
    {Rule::Keep, Rule::Keep},        // 1
    {Rule::Far, Rule::Keep},         // 2  follows the right edge
    {Rule::Keep, Rule::Far},         // 3  follows the bottom edge
    {Rule::Stretch, Rule::Keep},     // 4
    {Rule::Stretch, Rule::Stretch},  // 5  keeps all four margins
    {Rule::Keep, Rule::Stretch},     // 6
    {Rule::Stretch, Rule::Far},      // 7
    {Rule::Far, Rule::Stretch},      // 8
    {Rule::Far, Rule::Far},          // 9  follows the bottom-right corner
    {Rule::Centre, Rule::Keep},      // 10
    {Rule::Centre, Rule::Centre},    // 11
    {Rule::Keep, Rule::Centre},      // 12
    {Rule::Centre, Rule::Far},       // 13
    {Rule::Far, Rule::Centre},       // 14
    {Rule::Stretch, Rule::Centre},   // 15
    {Rule::Centre, Rule::Stretch},   // 16
};
inline constexpr int kCount = static_cast<int>(sizeof(kTable) / sizeof(kTable[0]));

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

}  // namespace anchor
