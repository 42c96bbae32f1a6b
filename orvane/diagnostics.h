// Internal: what orvane says through the debug-output channel (see
// win32/report.h), one line each: "orvane: <item>: <subject>: <why>".
#pragma once

#include "report.h"

namespace orvane {

inline constexpr char kPictureRefused[] = "picture refused";   // path: size over the caps, or HRESULT
inline constexpr char kPictureNote[] = "picture";                 // path: what its decoding passed over
inline constexpr char kRenderer[] = "renderer";                  // vendor, renderer and version, once
inline constexpr char kNoContext[] = "no OpenGL context";      // view: the step that failed, error
inline constexpr char kPresentation[] = "presentation";        // view: "native" or "surface", once
inline constexpr char kFormatNote[] = "view format";            // view: what of its request it did not get
inline constexpr char kGlDebug[] = "gl debug";                  // view: a message of its debug context

inline void Report(const char* item, const char* subject, const char* why) {
    win32::Report("orvane", item, subject, why);
}

}  // namespace orvane
