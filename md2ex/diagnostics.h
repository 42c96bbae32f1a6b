// Internal: what md2ex says through the debug-output channel (see
// win32/report.h), one line each: "md2ex: <item>: <path>: <why>".
#pragma once

#include "report.h"

namespace md2ex {

// A model file that cannot be read: why (missing, over the size cap, a read
// error, no memory).
inline constexpr char kModelUnreadable[] = "model unreadable";
// A model file the reader refuses: the check it failed (md2::ErrorName).
inline constexpr char kModelRefused[] = "model refused";

inline void Report(const char* item, const char* path, const char* why) {
    win32::Report("md2ex", item, path, why);
}

}  // namespace md2ex
