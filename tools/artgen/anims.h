// The character's 198 animation frames: the standard player set.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "skeleton.h"

namespace art {

struct AnimFrame {
    std::string name;  // e.g. "stand01"
    Pose pose;
};

struct AnimInfo {
    const char* name;
    int first, count;
};

const std::vector<AnimInfo>& Animations();
// Every frame in order. lowestPoint gives the lowest height of the body in a
// pose; frames are lifted so that nothing goes below the floor (z = -24).
std::vector<AnimFrame> AllFrames(const std::function<double(const Pose&)>& lowestPoint);

}  // namespace art
