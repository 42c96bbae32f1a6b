#include "textures.h"

#include <windows.h>
#include <objbase.h>
#include <GL/gl.h>

#include <stdio.h>

#include <algorithm>
#include <cstring>
#include <span>

#include "buffer.h"
#include "report.h"
#include "trace.h"

namespace {

// Takes the errors OpenGL still holds from earlier calls (the caller's), so
// that the check after the next call sees that call's alone. Bounded: a lost
// context may answer an error every time.
void ClearPendingErrors() {
    for (int i = 0; i < 32 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}  // namespace

win32::Path EntryFileName(const TextureEntry& entry) {
    return win32::Path({entry.FileName, strnlen(entry.FileName, sizeof entry.FileName - 1)});
}

bool LoadTextures(TextureEntry* first, int count) {
    if (count < 1 || !first) return true;

    // Everything allocated here, before any texture changes: short of
    // memory, the call fails with the table as it was. One block: the
    // entries' names, then room for the names no entry takes.
    memory::Buffer<GLuint> space;
    if (!space.Resize(2 * static_cast<std::size_t>(count))) return false;
    const std::span<GLuint> names(space.data(), static_cast<std::size_t>(count));
    GLuint* const unused = space.data() + count;
    GLsizei unusedCount = 0;
    for (int i = 0; i < count; ++i) names[i] = first[i].GLTexture;
    // Deleting the whole list, zeros included, is harmless: GL ignores name 0.
    if (std::ranges::any_of(names, [](GLuint name) { return name != 0; })) glDeleteTextures(count, names.data());
    ClearPendingErrors();
    glGenTextures(count, names.data());
    if (glGetError() != GL_NO_ERROR) return true;

    // The library allocates the pixels with CoTaskMemAlloc; they are ours to free.
    // Names that no entry takes are deleted at the end, so none leaks.
    unsigned char* pixels = nullptr;
    for (int i = 0; i < count; ++i) {
        TextureEntry& entry = first[i];
        if (pixels) {
            CoTaskMemFree(pixels);
            pixels = nullptr;
        }
        char path[sizeof entry.FileName];
        std::memcpy(path, entry.FileName, sizeof path - 1);
        path[sizeof path - 1] = '\0';
        int32_t width = 0, height = 0;
        bool decoded = false;
        {
            orvane_trace::Step step("app", "picture decode");
            decoded = QI_CreateGLTextureFromFileEX(path, &width, &height, &pixels, entry.LoadOption) != 0;
        }
        // A picture that does not load leaves the entry without one (its old
        // name, if any, was deleted above), as a first load that fails does.
        entry.GLTexture = decoded ? names[i] : 0;
        entry.Width = decoded ? width : 0;
        entry.Height = decoded ? height : 0;
        if (!decoded) {
            unused[unusedCount++] = names[i];
            continue;
        }
        orvane_trace::Step step("app", "texture upload");
        ClearPendingErrors();
        glBindTexture(GL_TEXTURE_2D, names[i]);
        if (glGetError() != GL_NO_ERROR) continue;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        // A picture OpenGL refused (a size it cannot take, no memory) leaves
        // the entry as a picture that did not load, and says so.
        if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
            entry.GLTexture = 0;
            entry.Width = entry.Height = 0;
            unused[unusedCount++] = names[i];
            char why[96];
            snprintf(why, sizeof why, "OpenGL error 0x%04X for %d x %d", error, static_cast<int>(width),
                     static_cast<int>(height));
            win32::Report("view", "texture refused", path, why);
        }
    }
    if (pixels) CoTaskMemFree(pixels);
    if (unusedCount > 0) glDeleteTextures(unusedCount, unused);
    return true;
}
