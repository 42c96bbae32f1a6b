// Turns the pictures named by a run of texture entries into OpenGL textures.
#pragma once

#include "helpers.h"
#include "orvane.h"

// The entry's file name, read as if its 260 bytes ended in a zero.
win32::Path EntryFileName(const TextureEntry& entry);

// Loads the pictures of count consecutive entries from first, updating each
// entry's GLTexture, Width and Height in place. Entry i receives the i-th
// generated texture name; an entry whose picture does not load is left
// without one (name, width and height 0), and so is one whose upload OpenGL
// refuses, which is named on the debug output
// ("view: texture refused: <path>: OpenGL error ..."). Names the entries already hold are
// deleted first (a reload). OpenGL errors left pending before a call are
// cleared, not taken for that call's own.
// A count below 1 or a null first entry does nothing.
// False when memory has run out: nothing was done and the entries are as
// they were.
bool LoadTextures(TextureEntry* first, int count);
