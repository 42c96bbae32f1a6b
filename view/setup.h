// Start-up preparation of the scene: the texture table, its pictures, the
// OpenGL state every frame relies on, and the model.
#pragma once

// Prepares ResourceDir and TextureTable from the program's own path, loads
// the two pictures, turns entry 1's name into the model file's name and runs
// SetupScene. Called once, with the view's GL context current.
void PrepareScene();

// The same from a given program path (what GetModuleFileNameA reports).
void PrepareSceneFrom(const char* programPath);

// Resets the view values, sets lighting, material, blending and depth state,
// loads model 1 with entry 1's texture and sets FrameCount and AnimFrame.
void SetupScene();
