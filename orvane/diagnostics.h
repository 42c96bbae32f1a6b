// Internal: what orvane says through the debug-output channel (see
// win32/report.h), one line each: "orvane: <item>: <subject>: <why>".
#pragma once

#include "report.h"

namespace orvane {

// A picture file refused: its path, and the size over the caps or WIC's HRESULT.
inline constexpr char kPictureRefused[] = "picture refused";
// A view without OpenGL: its window, and which step failed (with the error).
inline constexpr char kNoContext[] = "no OpenGL context";
// Once per view when its context is made: its window, and the path its
// frames take ("native": SwapBuffers in the view; "surface": a hidden
// top-level window whose frames are copied onto the view).
inline constexpr char kPresentation[] = "presentation";

inline void Report(const char* item, const char* subject, const char* why) {
    win32::Report("orvane", item, subject, why);
}

}  // namespace orvane
