#include "scene_state.h"

SceneState Scene{};

void ResetScene() {
    Scene.PosX = 0.0f;
    Scene.PosY = -0.25f;
    Scene.PosZ = -2.0f;
    Scene.TiltAngle = 5.0f;
    Scene.SpinAngle = -30.0f;
    Scene.OffsetUnit = 2.0f;
}
