// Drawing of a decoded model with OpenGL 1.1 vertex arrays, shared by the
// DLL and its tests.
#pragma once

#include <windows.h>
#include "opengl.h"

#include <cstdint>

#include "buffer.h"
#include "model.h"

namespace md2 {

// What a model needs per draw, sized once when it is loaded so that drawing
// allocates nothing: the blended draw arrays and the index list of the
// triangles sent to OpenGL.
struct DrawBuffers {
    memory::Buffer<float> pose;
    memory::Buffer<std::uint16_t> facing;

    // False when memory ran out (Draw then draws nothing).
    [[nodiscard]] bool Size(const Model& model) {
        return pose.Resize(static_cast<std::size_t>(model.drawCount) * kPoseStride) &&
               facing.Resize(model.indices.size());
    }
};

// Draws the model at a frame position with the current GL state, leaving
// that state as found except the bound texture. With cullOnCpu, only the
// triangles that FacingTriangles keeps are sent; OpenGL's own culling is on
// either way and judges what is sent.
void Draw(const Model& model, GLuint texture, float frame, DrawBuffers& buffers, bool cullOnCpu);

}  // namespace md2
