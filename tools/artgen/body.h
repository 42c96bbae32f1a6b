// The character: a skinned mesh of closed tubes around the skeleton, its
// texture co-ordinates, its GL strip and fan lists, and the painted skin.
#pragma once

#include <array>
#include <vector>

#include "image.h"
#include "skeleton.h"

namespace art {

struct MeshVertex {
    Vec3 rest;  // rest-pose position
    int bone0 = kRoot, bone1 = kRoot;
    double w1 = 0.0;  // weight of bone1; bone0 gets 1 - w1
};

struct MeshTri {
    int v[3];  // vertex indices
    int t[3];  // texture-coordinate indices
};

// One GL command: a triangle strip or fan over (vertex, texture coordinate).
struct MeshCmd {
    bool fan = false;
    std::vector<std::array<int, 2>> items;
};

struct Mesh {
    int skinWidth = 0, skinHeight = 0;
    std::vector<MeshVertex> verts;
    std::vector<std::array<int, 2>> st;  // skin pixels from the top-left
    std::vector<MeshTri> tris;            // front faces wound clockwise
    std::vector<MeshCmd> cmds;
};

Mesh BuildMesh();
Image PaintSkin();

// Positions of every vertex in a pose, and their unit normals.
std::vector<Vec3> PoseVertices(const Mesh& mesh, const Pose& pose);
std::vector<Vec3> VertexNormals(const Mesh& mesh, const std::vector<Vec3>& pos);

}  // namespace art
