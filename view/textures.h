// Turns the pictures named by a run of texture entries into OpenGL textures.
#pragma once

#include "orvane.h"

// Loads the pictures of count consecutive entries from first, updating each
// entry's GLTexture, Width and Height in place. Entry i receives the i-th
// generated texture name; an entry whose picture does not load keeps its old
// values. Names the entries already hold are deleted first (a reload).
// A count below 1 or a null first entry does nothing.
void LoadTextures(TextureEntry* first, int count);
