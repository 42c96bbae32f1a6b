#include "engine.h"

#include <commctrl.h>

#include <atomic>
#include <map>
#include <utility>

#include "boundary.h"
#include "diagnostics.h"
#include "dpi.h"
#include "helpers.h"
#include "parts.h"
#include "trace.h"

namespace pelmar {
namespace {

struct Context {
    std::atomic<DWORD> thread{0};   // the engine's thread, once claimed
    Skin skin;
    std::string path;   // of the skin file read; empty for the built-in look
    ParseReport report;
    TimeSource time = nullptr;
    std::map<int, HFONT> captionFonts;   // of the current skin by DPI, made at first use
    HBRUSH background = nullptr;   // in backgroundColour
    uint32_t backgroundColour = 0;
    // Faces looked up in the system's font list, once per face and fallback.
    std::map<std::pair<std::string, std::string>, std::string> faces;
};

// Made when the library is loaded (see orvane's Library for why).
Context g_context;

Context& Engine() { return g_context; }

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A bare file name is looked for beside the executable, then in the
// Resource folder beside it; a name with a folder is taken as given.
// Empty when there is no such file.
std::string FindSkinFile(const std::string& name) {
    if (name.empty()) return std::string();
    if (name.find_first_of("\\/:") != std::string::npos) return FileExists(name) ? name : std::string();
    const std::string folder = win32::ProgramFolder();
    for (const std::string& candidate : {folder + name, folder + "Resource\\" + name})
        if (FileExists(candidate)) return candidate;
    return std::string();
}

int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Reads the skin file found for name into the context, and reports what
// of it is not taken.
void ReadSkin(Context& e, const std::string& name) {
    using namespace diagnostics;
    const std::string path = FindSkinFile(name);
    if (path.empty()) return Report(kSkinFile, name.c_str(), "not found");
    // One byte over the limit, so the parser can tell a cut text from a
    // whole one.
    std::string text;
    const win32::ReadResult read = win32::ReadFileHead(path.c_str(), kMaxSkinBytes + 1, text);
    if (read != win32::ReadResult::Ok)
        return Report(kSkinFile, path.c_str(), win32::ReadResultName(read));
    e.report = ParseSkin(text, e.skin);
    e.path = path;
    if (e.report.cut)
        Report(kSkinCut, path.c_str(), ("only the first " + std::to_string(kMaxSkinBytes) + " bytes are read").c_str());
    for (const SkippedLine& skipped : e.report.lines)
        Report(kSkinLine, (path + ":" + std::to_string(skipped.line)).c_str(), skipped.why);
    const int unlisted = e.report.skipped - static_cast<int>(e.report.lines.size());
    if (unlisted > 0) Report(kSkinLinesMore, path.c_str(), (std::to_string(unlisted) + " more").c_str());
}

bool FontInstalled(const std::string& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

std::string ResolveFace(const std::string& face, const std::string& fallback) {
    auto& known = Engine().faces;
    if (const auto it = known.find({face, fallback}); it != known.end()) return it->second;
    orvane_trace::Step step("pelmar", "font lookup");
    std::string result = face.empty() ? fallback : face;
    for (const char* candidate : {face.c_str(), fallback.c_str(), "Tahoma", "Segoe UI", "Arial", "Liberation Sans",
                                  "DejaVu Sans", "MS Sans Serif"}) {
        if (FontInstalled(candidate)) {
            result = candidate;
            break;
        }
    }
    if (known.size() < 16) known.emplace(std::pair(face, fallback), result);
    return result;
}

}  // namespace

bool StartEngine(const char* skinFile) {
    Context& e = Engine();
    // One step claims the engine for this thread: of two threads making the
    // first call at once, the second finds it taken and is refused.
    const DWORD self = GetCurrentThreadId();
    DWORD owner = 0;
    const bool claimed = e.thread.compare_exchange_strong(owner, self);
    if (!claimed && owner != self) return false;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterEngineClasses()) {
        if (claimed) e.thread = 0;   // no engine was started: a later call may try again
        return false;
    }

    e.skin = Skin{};
    e.path.clear();
    e.report = {};
    for (const auto& [dpi, font] : e.captionFonts) DeleteObject(font);
    e.captionFonts.clear();
    if (skinFile && *skinFile) {
        // Short of memory while reading it, the engine keeps the built-in look.
        bool read = false;
        win32::Guard("pelmar", "skin file", [&] {
            ReadSkin(e, skinFile);
            read = true;
        });
        if (!read) {
            e.skin = Skin{};
            e.path.clear();
            e.report = {};
        }
    }
    return true;
}

bool EnsureStarted() {
    const DWORD owner = Engine().thread;
    return owner ? owner == GetCurrentThreadId() : StartEngine(nullptr);
}

void StopEngine() noexcept {
    Context& e = Engine();
    for (const auto& [dpi, font] : e.captionFonts) DeleteObject(font);
    e.captionFonts.clear();
    if (e.background) DeleteObject(e.background);
    e.background = nullptr;
    UnregisterEngineClasses();
}

bool OnEngineThread(HWND window) { return window && GetWindowThreadProcessId(window, nullptr) == Engine().thread; }

const Skin& CurrentSkin() { return Engine().skin; }
SkinSource CurrentSource() { return Engine().path.empty() ? SkinSource::BuiltIn : SkinSource::File; }
const std::string& CurrentSkinPath() { return Engine().path; }
const ParseReport& CurrentReport() { return Engine().report; }

void SetTimeSource(TimeSource source) { Engine().time = source; }

void Now(SYSTEMTIME* now) {
    if (Engine().time) Engine().time(now);
    else GetLocalTime(now);
}

HFONT CreateSkinFont(const std::string& face, const std::string& fallback, int pixelHeight, bool bold,
                     bool antialias, bool cellHeight) {
    LOGFONTA lf{};
    const int height = pixelHeight > 0 ? pixelHeight : 12;
    lf.lfHeight = cellHeight ? height : -height;
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    lf.lfQuality = antialias ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
    lstrcpynA(lf.lfFaceName, ResolveFace(face, fallback).c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

HFONT CaptionFont(int dpi) {
    Context& e = Engine();
    if (const auto it = e.captionFonts.find(dpi); it != e.captionFonts.end()) return it->second;
    HFONT font = CreateSkinFont(e.skin.captionFont, "Tahoma", win32::dpi::Scale(e.skin.captionFontSize, dpi),
                                e.skin.captionFontBold, true);
    if (!font) return nullptr;
    // A few displays' worth; fonts are selected only while a frame paints,
    // so the old ones can go when more scales than that have been seen.
    if (e.captionFonts.size() >= 8) {
        for (const auto& [old, made] : e.captionFonts) DeleteObject(made);
        e.captionFonts.clear();
    }
    e.captionFonts.emplace(dpi, font);
    return font;
}

HBRUSH BackgroundBrush() {
    Context& e = Engine();
    if (!e.background || e.backgroundColour != e.skin.background) {
        if (e.background) DeleteObject(e.background);
        e.background = CreateSolidBrush(win32::ArgbToColorref(e.skin.background));
        e.backgroundColour = e.skin.background;
    }
    return e.background;
}

}  // namespace pelmar
