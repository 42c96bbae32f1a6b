// Internal: what md2ex says through the debug-output channel (see
// win32/report.h), one line each: "md2ex: <item>: <path>: <why>".
#pragma once

#include "report.h"

namespace md2ex {

inline constexpr char kModelUnreadable[] = "model unreadable";   // path: cannot be opened, too large, ...
inline constexpr char kModelRefused[] = "model refused";         // path: the check failed (md2::ErrorName)

inline void Report(const char* item, const char* path, const char* why) {
    win32::Report("md2ex", item, path, why);
}

}  // namespace md2ex
