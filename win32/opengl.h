// OpenGL for the libraries, through one table of entry points filled from
// opengl32.dll in the system folder (never a file of that name beside the
// host program). Sources include this header instead of <GL/gl.h>; each GL
// call below then goes through the table, whose entries are the system's
// own functions, called directly, so arguments travel as the compiler
// passes them on every architecture (float arguments in registers on x64).
//
// Every export that makes OpenGL calls calls Load first (a view's creation,
// the model, text and picture calls): the table is filled once per module
// and stays filled while the module is loaded.
#pragma once

#include <windows.h>
#include <GL/gl.h>

#include <cstddef>

// Every OpenGL 1.1 function the libraries call.
#define WIN32_GL_ENTRIES(X)                                                                                    \
    X(glBegin) X(glBindTexture) X(glBitmap) X(glBlendFunc) X(glCallLists) X(glClear) X(glColor4f)            \
    X(glColor4ub) X(glCullFace) X(glDeleteLists) X(glDeleteTextures) X(glDisable) X(glDisableClientState)    \
    X(glDrawElements) X(glEnable) X(glEnableClientState) X(glEnd) X(glEndList) X(glFinish) X(glFlush)        \
    X(glFrontFace) X(glGenLists) X(glGenTextures) X(glGetError) X(glGetFloatv) X(glGetIntegerv)             \
    X(glGetString) X(glIsList) X(glIsTexture) X(glListBase) X(glLoadIdentity) X(glLoadMatrixd)              \
    X(glMatrixMode) X(glNewList) X(glNormalPointer) X(glOrtho) X(glPixelStorei) X(glPolygonMode)            \
    X(glPopAttrib) X(glPopClientAttrib) X(glPopMatrix) X(glPushAttrib) X(glPushClientAttrib)                \
    X(glPushMatrix) X(glRasterPos2i) X(glReadBuffer) X(glReadPixels) X(glTexCoord2f) X(glTexCoordPointer)   \
    X(glTexEnvi) X(glTexImage2D) X(glTexParameteri) X(glVertex2f) X(glVertexPointer) X(glViewport)          \
    X(wglCreateContext) X(wglDeleteContext) X(wglGetCurrentContext) X(wglGetCurrentDC) X(wglGetProcAddress) \
    X(wglMakeCurrent) X(wglUseFontBitmapsA)

namespace win32::gl {

struct Entries {
#define WIN32_GL_MEMBER(name) decltype(&::name) name;
    WIN32_GL_ENTRIES(WIN32_GL_MEMBER)
#undef WIN32_GL_MEMBER
};

// The table: null until Load has filled it.
extern Entries entries;

// Loads opengl32.dll from the system folder and fills the table, once per
// module (any thread; later calls only answer); true when the library and
// every function of the table are there. When false, no entry may be
// called: the caller refuses to draw. A view calls this before its first
// pixel-format call, because gdi32 loads "opengl32.dll" by bare name for
// those unless a module of that name is loaded already.
bool Load() noexcept;

// The table emptied, so that the next Load fills it again (tests).
void ResetForTest() noexcept;

// Each entry's name and the address it now holds (tests); the number of
// entries, of which the first `capacity` are written.
struct EntryView {
    const char* name;
    const void* address;
};
std::size_t ListEntries(EntryView* out, std::size_t capacity) noexcept;

}  // namespace win32::gl

#ifndef WIN32_GL_TABLE_ONLY
#define WIN32_GL_CALL(name) (::win32::gl::entries.name)
#define glBegin WIN32_GL_CALL(glBegin)
#define glBindTexture WIN32_GL_CALL(glBindTexture)
#define glBitmap WIN32_GL_CALL(glBitmap)
#define glBlendFunc WIN32_GL_CALL(glBlendFunc)
#define glCallLists WIN32_GL_CALL(glCallLists)
#define glClear WIN32_GL_CALL(glClear)
#define glColor4f WIN32_GL_CALL(glColor4f)
#define glColor4ub WIN32_GL_CALL(glColor4ub)
#define glCullFace WIN32_GL_CALL(glCullFace)
#define glDeleteLists WIN32_GL_CALL(glDeleteLists)
#define glDeleteTextures WIN32_GL_CALL(glDeleteTextures)
#define glDisable WIN32_GL_CALL(glDisable)
#define glDisableClientState WIN32_GL_CALL(glDisableClientState)
#define glDrawElements WIN32_GL_CALL(glDrawElements)
#define glEnable WIN32_GL_CALL(glEnable)
#define glEnableClientState WIN32_GL_CALL(glEnableClientState)
#define glEnd WIN32_GL_CALL(glEnd)
#define glEndList WIN32_GL_CALL(glEndList)
#define glFinish WIN32_GL_CALL(glFinish)
#define glFlush WIN32_GL_CALL(glFlush)
#define glFrontFace WIN32_GL_CALL(glFrontFace)
#define glGenLists WIN32_GL_CALL(glGenLists)
#define glGenTextures WIN32_GL_CALL(glGenTextures)
#define glGetError WIN32_GL_CALL(glGetError)
#define glGetFloatv WIN32_GL_CALL(glGetFloatv)
#define glGetIntegerv WIN32_GL_CALL(glGetIntegerv)
#define glGetString WIN32_GL_CALL(glGetString)
#define glIsList WIN32_GL_CALL(glIsList)
#define glIsTexture WIN32_GL_CALL(glIsTexture)
#define glListBase WIN32_GL_CALL(glListBase)
#define glLoadIdentity WIN32_GL_CALL(glLoadIdentity)
#define glLoadMatrixd WIN32_GL_CALL(glLoadMatrixd)
#define glMatrixMode WIN32_GL_CALL(glMatrixMode)
#define glNewList WIN32_GL_CALL(glNewList)
#define glNormalPointer WIN32_GL_CALL(glNormalPointer)
#define glOrtho WIN32_GL_CALL(glOrtho)
#define glPixelStorei WIN32_GL_CALL(glPixelStorei)
#define glPolygonMode WIN32_GL_CALL(glPolygonMode)
#define glPopAttrib WIN32_GL_CALL(glPopAttrib)
#define glPopClientAttrib WIN32_GL_CALL(glPopClientAttrib)
#define glPopMatrix WIN32_GL_CALL(glPopMatrix)
#define glPushAttrib WIN32_GL_CALL(glPushAttrib)
#define glPushClientAttrib WIN32_GL_CALL(glPushClientAttrib)
#define glPushMatrix WIN32_GL_CALL(glPushMatrix)
#define glRasterPos2i WIN32_GL_CALL(glRasterPos2i)
#define glReadBuffer WIN32_GL_CALL(glReadBuffer)
#define glReadPixels WIN32_GL_CALL(glReadPixels)
#define glTexCoord2f WIN32_GL_CALL(glTexCoord2f)
#define glTexCoordPointer WIN32_GL_CALL(glTexCoordPointer)
#define glTexEnvi WIN32_GL_CALL(glTexEnvi)
#define glTexImage2D WIN32_GL_CALL(glTexImage2D)
#define glTexParameteri WIN32_GL_CALL(glTexParameteri)
#define glVertex2f WIN32_GL_CALL(glVertex2f)
#define glVertexPointer WIN32_GL_CALL(glVertexPointer)
#define glViewport WIN32_GL_CALL(glViewport)
#define wglCreateContext WIN32_GL_CALL(wglCreateContext)
#define wglDeleteContext WIN32_GL_CALL(wglDeleteContext)
#define wglGetCurrentContext WIN32_GL_CALL(wglGetCurrentContext)
#define wglGetCurrentDC WIN32_GL_CALL(wglGetCurrentDC)
#define wglGetProcAddress WIN32_GL_CALL(wglGetProcAddress)
#define wglMakeCurrent WIN32_GL_CALL(wglMakeCurrent)
#define wglUseFontBitmapsA WIN32_GL_CALL(wglUseFontBitmapsA)
#endif
