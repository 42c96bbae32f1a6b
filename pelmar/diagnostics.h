// What the engine reports through the debug-output channel (win32::Report),
// one line each:
//     pelmar: <item>: <detail>
#pragma once

namespace pelmar::diagnostics {

inline constexpr char kModule[] = "pelmar";

// A skin file named to skInitEngine that is not found or cannot be read
// ("<name>: <why>"); the built-in look applies.
inline constexpr char kSkinFile[] = "skin file";
// A skin file longer than the engine reads ("<file>: <why>").
inline constexpr char kSkinCut[] = "skin file cut";
// A line of a skin file that is skipped ("<file>:<line>: <why>").
inline constexpr char kSkinLine[] = "skin line skipped";
// Skipped lines past those listed one by one ("<file>: <count> more").
inline constexpr char kSkinLinesMore[] = "skin lines skipped";
// A picture that cannot be decoded or is over the size caps.
inline constexpr char kPicture[] = "picture refused";

}  // namespace pelmar::diagnostics
