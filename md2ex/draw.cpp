#include "draw.h"

namespace md2 {

void Draw(const Model& m, GLuint texture, float frame, DrawBuffers& buffers, bool cullOnCpu) {
    if (buffers.pose.size() < static_cast<std::size_t>(m.drawCount) * kPoseStride ||
        buffers.facing.size() < m.indices.size())
        return;
    Blend(m, frame, buffers.pose.data());

    // Software renderers pay for every submitted triangle (transform, snapping,
    // set-up) before they cull it: the triangles turned away from the eye are
    // left out here.
    const std::uint16_t* indices = m.indices.data();
    std::size_t count = m.indices.size();
    if (cullOnCpu) {
        GLfloat modelview[16], projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        count = FacingTriangles(m, buffers.pose.data(), modelview, projection, buffers.facing.data());
        indices = buffers.facing.data();
    }

    // Enables, face culling, current normal and texture coordinate (undefined
    // after an array draw) and every client array come back as the caller had them.
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT | GL_POLYGON_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    // The caller scales the model, which scales normals too; lighting needs
    // them unit length, and blended normals are not.
    glEnable(GL_NORMALIZE);
    // A model is a closed surface: its back faces are never seen. OpenGL
    // culls them too, so it has the last word on every triangle sent.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(m.counterClockwise ? GL_CCW : GL_CW);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The current colour stays in force: no colour array.
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_INDEX_ARRAY);
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    const GLsizei stride = kPoseStride * sizeof(float);
    glVertexPointer(3, GL_FLOAT, stride, buffers.pose.data());
    glNormalPointer(GL_FLOAT, stride, buffers.pose.data() + 3);
    glTexCoordPointer(2, GL_FLOAT, 0, m.texCoords.data());
    if (count > 0) glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT, indices);
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace md2
