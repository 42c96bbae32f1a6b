// Test helpers: a zeroed scene and an empty call log before every test.
#pragma once

#include <string>
#include <vector>

#include "recorder.h"
#include "scene_state.h"

inline void FreshScene() {
    Scene = SceneState{};
    fake::Reset();
}

inline std::size_t CountCalls(const std::string& name) {
    std::size_t count = 0;
    for (const fake::Call& call : fake::Calls()) count += call.name == name;
    return count;
}
