// Writes the character as an MD2 model file (little-endian, version 8).
#pragma once

#include <string>
#include <vector>

#include "anims.h"
#include "body.h"

namespace art {

// The file's bytes: header, one skin name, texture co-ordinates, triangles,
// frames (vertices packed to bytes with a per-frame scale and offset, light
// normal indices into the standard table) and GL commands.
std::vector<unsigned char> BuildMd2(const Mesh& mesh, const std::vector<AnimFrame>& frames,
                                    const std::string& skinName);

// Index of the standard normal nearest to n (the first of equals).
int NearestNormal(Vec3 n);

}  // namespace art
