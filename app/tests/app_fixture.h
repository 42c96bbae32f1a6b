// Shared set-up of the shell's tests: a fresh scene and fresh fakes.
#pragma once

#include <gmock/gmock.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "recorder.h"
#include "scene_state.h"
#include "win32.h"

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        Scene = SceneState{};
    }
    void TearDown() override { Scene = SceneState{}; }

    // The log without OpenGL calls.
    static std::vector<std::string> WithoutGL() {
        std::vector<std::string> texts;
        for (const fake::Call& call : fake::Calls())
            if (call.name.rfind("gl", 0) != 0) texts.push_back(call.Text());
        return texts;
    }
    // The log of the named calls only.
    static std::vector<std::string> Only(std::set<std::string> names) {
        std::vector<std::string> texts;
        for (const fake::Call& call : fake::Calls())
            if (names.count(call.name)) texts.push_back(call.Text());
        return texts;
    }
    static int Count(const std::string& name) {
        const auto names = fake::Names();
        return static_cast<int>(std::count(names.begin(), names.end(), name));
    }
};
