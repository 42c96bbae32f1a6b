// What the engine reports through the debug output (win32::Report), one
// line each as "pelmar: <item>: <detail>".
#pragma once

#include "report.h"

namespace pelmar::diagnostics {

inline constexpr char kSkinFile[] = "skin file";               // <name>: not found, or cannot be read
inline constexpr char kSkinCut[] = "skin file cut";            // <file>: read up to the size limit
inline constexpr char kSkinLine[] = "skin line skipped";       // <file>:<line>: <why>
inline constexpr char kSkinLinesMore[] = "skin lines skipped"; // <file>: <count> more, past those listed
inline constexpr char kPicture[] = "picture refused";          // <file>: <why>
inline constexpr char kPictureNote[] = "picture";              // <file>: what its decoding passed over

inline void Report(const char* item, const char* subject, const char* why) {
    win32::Report("pelmar", item, subject, why);
}

}  // namespace pelmar::diagnostics
