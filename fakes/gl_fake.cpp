// Stand-ins for the OpenGL entry points the 3D view calls. The view is built
// against <GL/gl.h>, whose functions are imported from opengl32.dll through
// "__imp__name@bytes" pointers; this file defines those pointers, so a test
// that links it instead of opengl32 records every GL call.
#include <windows.h>
#include <GL/gl.h>

#include <string>

#include "recorder.h"

using fake::NumF;
using fake::Record;
using fake::Set;
using std::to_string;

namespace {

std::string Enum(GLenum value) {
    switch (value) {
    case GL_TEXTURE_2D: return "GL_TEXTURE_2D";
    case GL_LESS: return "GL_LESS";
    case GL_DEPTH_TEST: return "GL_DEPTH_TEST";
    case GL_SMOOTH: return "GL_SMOOTH";
    case GL_PERSPECTIVE_CORRECTION_HINT: return "GL_PERSPECTIVE_CORRECTION_HINT";
    case GL_NICEST: return "GL_NICEST";
    case GL_SRC_ALPHA: return "GL_SRC_ALPHA";
    case GL_ONE_MINUS_SRC_ALPHA: return "GL_ONE_MINUS_SRC_ALPHA";
    case GL_BLEND: return "GL_BLEND";
    case GL_LINE_SMOOTH: return "GL_LINE_SMOOTH";
    case GL_LIGHT0: return "GL_LIGHT0";
    case GL_LIGHT1: return "GL_LIGHT1";
    case GL_DIFFUSE: return "GL_DIFFUSE";
    case GL_AMBIENT: return "GL_AMBIENT";
    case GL_POSITION: return "GL_POSITION";
    case GL_FRONT: return "GL_FRONT";
    case GL_FRONT_AND_BACK: return "GL_FRONT_AND_BACK";
    case GL_SPECULAR: return "GL_SPECULAR";
    case GL_SHININESS: return "GL_SHININESS";
    case GL_EMISSION: return "GL_EMISSION";
    case GL_LIGHTING: return "GL_LIGHTING";
    case GL_AMBIENT_AND_DIFFUSE: return "GL_AMBIENT_AND_DIFFUSE";
    case GL_COLOR_MATERIAL: return "GL_COLOR_MATERIAL";
    case GL_QUADS: return "GL_QUADS";
    case GL_TEXTURE_MAG_FILTER: return "GL_TEXTURE_MAG_FILTER";
    case GL_TEXTURE_MIN_FILTER: return "GL_TEXTURE_MIN_FILTER";
    case GL_LINEAR: return "GL_LINEAR";
    case GL_RGBA: return "GL_RGBA";
    case GL_UNSIGNED_BYTE: return "GL_UNSIGNED_BYTE";
    default: return to_string(value);
    }
}

std::string Floats(const GLfloat* values, int count) {
    if (!values) return "null";
    std::string text = "[";
    for (int i = 0; i < count; ++i) text.append(i ? "," : "").append(NumF(values[i]));
    return text + "]";
}

std::string Names(GLsizei count, const GLuint* names) {
    if (!names) return "null";
    std::string text = "[";
    for (GLsizei i = 0; i < count; ++i) text.append(i ? "," : "").append(to_string(names[i]));
    return text + "]";
}

int MaterialValueCount(GLenum pname) { return pname == GL_SHININESS ? 1 : 4; }

void WINAPI Clear(GLbitfield mask) { Record("glClear", {fake::Hex(static_cast<std::uint32_t>(mask))}); }
void WINAPI LoadIdentity() { Record("glLoadIdentity", {}); }
void WINAPI BindTexture(GLenum target, GLuint name) { Record("glBindTexture", {Enum(target), to_string(name)}); }
void WINAPI Begin(GLenum mode) { Record("glBegin", {Enum(mode)}); }
void WINAPI End() { Record("glEnd", {}); }
void WINAPI TexCoord2f(GLfloat s, GLfloat t) { Record("glTexCoord2f", {NumF(s), NumF(t)}); }
void WINAPI Vertex3f(GLfloat x, GLfloat y, GLfloat z) { Record("glVertex3f", {NumF(x), NumF(y), NumF(z)}); }
void WINAPI Translatef(GLfloat x, GLfloat y, GLfloat z) { Record("glTranslatef", {NumF(x), NumF(y), NumF(z)}); }
void WINAPI Rotatef(GLfloat a, GLfloat x, GLfloat y, GLfloat z) {
    Record("glRotatef", {NumF(a), NumF(x), NumF(y), NumF(z)});
}
void WINAPI Scalef(GLfloat x, GLfloat y, GLfloat z) { Record("glScalef", {NumF(x), NumF(y), NumF(z)}); }
void WINAPI PushMatrix() { Record("glPushMatrix", {}); }
void WINAPI PopMatrix() { Record("glPopMatrix", {}); }
void WINAPI Enable(GLenum cap) { Record("glEnable", {Enum(cap)}); }
void WINAPI Disable(GLenum cap) { Record("glDisable", {Enum(cap)}); }
void WINAPI DepthFunc(GLenum func) { Record("glDepthFunc", {Enum(func)}); }
void WINAPI ShadeModel(GLenum mode) { Record("glShadeModel", {Enum(mode)}); }
void WINAPI Hint(GLenum target, GLenum mode) { Record("glHint", {Enum(target), Enum(mode)}); }
void WINAPI BlendFunc(GLenum s, GLenum d) { Record("glBlendFunc", {Enum(s), Enum(d)}); }
void WINAPI Lightfv(GLenum light, GLenum pname, const GLfloat* v) {
    Record("glLightfv", {Enum(light), Enum(pname), Floats(v, 4)});
}
void WINAPI Materialfv(GLenum face, GLenum pname, const GLfloat* v) {
    Record("glMaterialfv", {Enum(face), Enum(pname), Floats(v, MaterialValueCount(pname))});
}
void WINAPI Materialf(GLenum face, GLenum pname, GLfloat v) { Record("glMaterialf", {Enum(face), Enum(pname), NumF(v)}); }
void WINAPI ColorMaterial(GLenum face, GLenum mode) { Record("glColorMaterial", {Enum(face), Enum(mode)}); }
void WINAPI Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { Record("glColor4f", {NumF(r), NumF(g), NumF(b), NumF(a)}); }
void WINAPI DeleteTextures(GLsizei n, const GLuint* names) { Record("glDeleteTextures", {to_string(n), Names(n, names)}); }
void WINAPI GenTextures(GLsizei n, GLuint* names) {
    for (GLsizei i = 0; names && i < n; ++i) names[i] = Set().nextTextureName++;
    Record("glGenTextures", {to_string(n), Names(n, names)});
}
GLenum WINAPI GetError() {
    GLenum error = GL_NO_ERROR;
    if (!Set().glErrors.empty()) {
        error = Set().glErrors.front();
        Set().glErrors.pop_front();
    }
    Record("glGetError", {to_string(error)});
    return error;
}
void WINAPI TexParameteri(GLenum target, GLenum pname, GLint value) {
    Record("glTexParameteri", {Enum(target), Enum(pname), Enum(static_cast<GLenum>(value))});
}
void WINAPI TexImage2D(GLenum target, GLint level, GLint internal, GLsizei width, GLsizei height, GLint border,
                       GLenum format, GLenum type, const void* pixels) {
    Record("glTexImage2D", {Enum(target), to_string(level), to_string(internal), to_string(width),
                            to_string(height), to_string(border), Enum(format), Enum(type),
                            pixels ? "pixels" : "null"});
}

}  // namespace

// The import pointers, named as the linker looks them up.
#define GL_IMPORT(name, bytes, function)                                              \
    extern "C" {                                                                      \
    extern void* fake_imp_##name __asm__("__imp__" #name "@" #bytes);                 \
    void* fake_imp_##name = reinterpret_cast<void*>(&function);                       \
    }

GL_IMPORT(glClear, 4, Clear)
GL_IMPORT(glLoadIdentity, 0, LoadIdentity)
GL_IMPORT(glBindTexture, 8, BindTexture)
GL_IMPORT(glBegin, 4, Begin)
GL_IMPORT(glEnd, 0, End)
GL_IMPORT(glTexCoord2f, 8, TexCoord2f)
GL_IMPORT(glVertex3f, 12, Vertex3f)
GL_IMPORT(glTranslatef, 12, Translatef)
GL_IMPORT(glRotatef, 16, Rotatef)
GL_IMPORT(glScalef, 12, Scalef)
GL_IMPORT(glPushMatrix, 0, PushMatrix)
GL_IMPORT(glPopMatrix, 0, PopMatrix)
GL_IMPORT(glEnable, 4, Enable)
GL_IMPORT(glDisable, 4, Disable)
GL_IMPORT(glDepthFunc, 4, DepthFunc)
GL_IMPORT(glShadeModel, 4, ShadeModel)
GL_IMPORT(glHint, 8, Hint)
GL_IMPORT(glBlendFunc, 8, BlendFunc)
GL_IMPORT(glLightfv, 12, Lightfv)
GL_IMPORT(glMaterialfv, 12, Materialfv)
GL_IMPORT(glMaterialf, 12, Materialf)
GL_IMPORT(glColorMaterial, 8, ColorMaterial)
GL_IMPORT(glColor4f, 16, Color4f)
GL_IMPORT(glDeleteTextures, 8, DeleteTextures)
GL_IMPORT(glGenTextures, 8, GenTextures)
GL_IMPORT(glGetError, 0, GetError)
GL_IMPORT(glTexParameteri, 12, TexParameteri)
GL_IMPORT(glTexImage2D, 36, TexImage2D)
