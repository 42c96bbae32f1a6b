#include "engine.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "common_controls.h"
#include "diagnostics.h"
#include "dpi.h"
#include "helpers.h"
#include "parts.h"
#include "trace.h"

namespace pelmar {
namespace {

// Caption fonts kept at once, a few displays' worth. Fonts are selected only
// while a frame paints, so when a scale past these is seen the kept ones go
// and the new one starts the list again.
constexpr std::size_t kCaptionFontSlots = 8;
// Faces whose look-up is remembered; past that, a face is looked up each
// time it is asked for.
constexpr std::size_t kFaceSlots = 16;

struct CaptionFontSlot {
    int dpi;
    HFONT font;
};

struct FaceSlot {
    FaceName face, fallback;   // as asked for
    FaceName found;            // the installed face they resolve to
};

// The system's colours the high-contrast look is made of.
constexpr int kSystemColours[] = {COLOR_WINDOW,          COLOR_WINDOWTEXT,          COLOR_WINDOWFRAME,
                                  COLOR_ACTIVECAPTION,   COLOR_INACTIVECAPTION,     COLOR_CAPTIONTEXT,
                                  COLOR_INACTIVECAPTIONTEXT, COLOR_ACTIVEBORDER,    COLOR_INACTIVEBORDER,
                                  COLOR_HIGHLIGHT,       COLOR_HIGHLIGHTTEXT,       COLOR_GRAYTEXT,
                                  COLOR_INFOBK,          COLOR_INFOTEXT};
constexpr std::size_t kSystemColourCount = sizeof kSystemColours / sizeof kSystemColours[0];

struct Context {
    std::atomic<DWORD> thread{0};   // the engine's thread, once claimed
    Skin skin;
    // High contrast: the seam as read at the last start, the state now, and
    // the look drawn meanwhile with the system's colours it was made of.
    bool contrastSeam = false;
    bool highContrast = false;
    Skin contrastSkin;
    uint32_t systemColours[kSystemColourCount] = {};
    win32::WidePath path;   // of the skin file read; empty for the built-in look
    ParseReport report;
    TimeSource time = nullptr;
    CaptionFontSlot captionFonts[kCaptionFontSlots] = {};   // of the current skin, made at first use
    std::size_t captionFontCount = 0;
    HBRUSH background = nullptr;   // in backgroundColour
    uint32_t backgroundColour = 0;
    FaceSlot faces[kFaceSlots];
    std::size_t faceCount = 0;
};

// Made when the library is loaded (see orvane's Library for why).
Context g_context;

Context& Engine() { return g_context; }

void DropCaptionFonts(Context& e) {
    for (std::size_t i = 0; i < e.captionFontCount; ++i) DeleteObject(e.captionFonts[i].font);
    e.captionFontCount = 0;
}

bool FileExists(const wchar_t* path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A bare file name is looked for beside the executable, then in the
// Resource folder beside it; a name with a folder is taken as given.
// False, with path empty, when there is no such file.
bool FindSkinFile(std::wstring_view name, win32::WidePath& path) {
    if (!name.empty()) {
        if (name.find_first_of(L"\\/:") != std::wstring_view::npos) {
            if (path.Assign(name) && FileExists(path.c_str())) return true;
        } else if (win32::WidePath folder; win32::ProgramFolder(folder)) {
            for (const wchar_t* under : {L"", L"Resource\\"})
                if (path.Assign(folder) && path.Append(under) && path.Append(name) && FileExists(path.c_str()))
                    return true;
        }
    }
    path.Clear();
    return false;
}

int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Reads the skin file found for name into the context, and reports what
// of it is not taken.
void ReadSkin(Context& e, const wchar_t* name) {
    using namespace diagnostics;
    win32::WidePath path;
    if (!FindSkinFile(name, path)) return Report(kSkinFile, win32::PathForReport(name).c_str(), "not found");
    const win32::PathText shown = win32::PathForReport(path.c_str());
    // One byte over the limit, so the parser can tell a cut text from a
    // whole one; the room is had first, so that a read that fails is never
    // for want of memory.
    memory::Buffer<char> text;
    if (!text.Reserve(kMaxSkinBytes + 1)) return win32::ReportOutOfMemory("pelmar", __func__);
    const win32::ReadResult read = win32::ReadFileHead(path.c_str(), kMaxSkinBytes + 1, text);
    if (read != win32::ReadResult::Ok) return Report(kSkinFile, shown.c_str(), win32::ReadResultName(read));
    e.report = ParseSkin({text.data(), text.size()}, e.skin);
    e.path = path;
    char why[64];
    if (e.report.cut) {
        std::snprintf(why, sizeof why, "only the first %u bytes are read", static_cast<unsigned>(kMaxSkinBytes));
        Report(kSkinCut, shown.c_str(), why);
    }
    for (const SkippedLine& skipped : e.report.Listed()) {
        char where[win32::PathText::kMaxLength + 16];
        std::snprintf(where, sizeof where, "%s:%d", shown.c_str(), skipped.line);
        Report(kSkinLine, where, skipped.why);
    }
    const int unlisted = e.report.skipped - static_cast<int>(e.report.listed);
    if (unlisted > 0) {
        std::snprintf(why, sizeof why, "%d more", unlisted);
        Report(kSkinLinesMore, shown.c_str(), why);
    }
}

bool FontInstalled(std::string_view face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(lf.lfFaceName, face.data(), face.size());
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

FaceName ResolveFace(std::string_view face, std::string_view fallback) {
    Context& e = Engine();
    for (std::size_t i = 0; i < e.faceCount; ++i)
        if (e.faces[i].face == face && e.faces[i].fallback == fallback) return e.faces[i].found;
    orvane_trace::Step step("pelmar", "font lookup");
    FaceName found(face.empty() ? fallback : face);
    using namespace std::string_view_literals;
    for (std::string_view candidate : {face, fallback, "Tahoma"sv, "Segoe UI"sv, "Arial"sv, "Liberation Sans"sv,
                                       "DejaVu Sans"sv, "MS Sans Serif"sv}) {
        if (FontInstalled(candidate)) {
            found.Assign(candidate);
            break;
        }
    }
    // Only a question that fits a slot whole is remembered.
    if (e.faceCount < kFaceSlots) {
        FaceSlot& slot = e.faces[e.faceCount];
        if (slot.face.Assign(face) && slot.fallback.Assign(fallback)) {
            slot.found = found;
            ++e.faceCount;
        }
    }
    return found;
}

bool SeamAsksForHighContrast() {
    char value[4] = {};
    return GetEnvironmentVariableA("PELMAR_HIGH_CONTRAST", value, sizeof value) == 1 && value[0] == '1';
}

bool SystemHighContrast() {
    HIGHCONTRASTA hc{sizeof(hc), 0, nullptr};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

// The skin with its colours replaced by the system's, each by the one
// Windows itself draws that part in: captions in the caption colours with
// their text, frames in the border colours, a hot or pressed caption button
// highlighted, the client area, labels and frames round children as a
// window's content with its frame colour, tooltips as info tips.
Skin SystemColoured(const Skin& skin) {
    using win32::SystemColour;
    Skin c = skin;
    c.captionTop = c.captionBottom = SystemColour(COLOR_ACTIVECAPTION);
    c.captionInactiveTop = c.captionInactiveBottom = SystemColour(COLOR_INACTIVECAPTION);
    c.captionText = c.glyph = SystemColour(COLOR_CAPTIONTEXT);
    c.captionTextInactive = c.glyphInactive = SystemColour(COLOR_INACTIVECAPTIONTEXT);
    c.accent = c.frameOutline = c.border = c.labelBorder = SystemColour(COLOR_WINDOWFRAME);
    c.frame = SystemColour(COLOR_ACTIVEBORDER);
    c.frameInactive = SystemColour(COLOR_INACTIVEBORDER);
    c.glyphHover = SystemColour(COLOR_HIGHLIGHTTEXT);
    c.buttonHover = c.buttonPressed = c.closeHover = c.closePressed = SystemColour(COLOR_HIGHLIGHT);
    c.background = c.labelTop = c.labelBottom = SystemColour(COLOR_WINDOW);
    c.tooltipBackground = SystemColour(COLOR_INFOBK);
    c.tooltipText = SystemColour(COLOR_INFOTEXT);
    c.clockCap = SystemColour(COLOR_WINDOWTEXT);
    return c;
}

// True when the look changed.
bool ReadSystemLook(Context& e) {
    const bool on = e.contrastSeam || SystemHighContrast();
    bool changed = on != e.highContrast;
    e.highContrast = on;
    for (std::size_t i = 0; i < kSystemColourCount; ++i) {
        const uint32_t now = win32::SystemColour(kSystemColours[i]);
        changed = changed || (on && now != e.systemColours[i]);
        e.systemColours[i] = now;
    }
    if (on) e.contrastSkin = SystemColoured(e.skin);
    return changed;
}

}  // namespace

bool StartEngine(const wchar_t* skinFile) {
    Context& e = Engine();
    // One step claims the engine for this thread: of two threads making the
    // first call at once, the second finds it taken and is refused.
    const DWORD self = GetCurrentThreadId();
    DWORD owner = 0;
    const bool claimed = e.thread.compare_exchange_strong(owner, self);
    if (!claimed && owner != self) return false;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    win32::cc::InitCommonControlsEx(&icc);
    if (!RegisterEngineClasses()) {
        if (claimed) e.thread = 0;   // no engine was started: a later call may try again
        return false;
    }

    e.skin = Skin{};
    e.path.Clear();
    e.report = {};
    DropCaptionFonts(e);
    // A file that cannot be read (or memory short for reading it) leaves the
    // built-in look.
    if (skinFile && *skinFile) ReadSkin(e, skinFile);
    e.contrastSeam = SeamAsksForHighContrast();
    ReadSystemLook(e);
    return true;
}

bool EnsureStarted() {
    const DWORD owner = Engine().thread;
    return owner ? owner == GetCurrentThreadId() : StartEngine(nullptr);
}

void StopEngine() noexcept {
    Context& e = Engine();
    DropCaptionFonts(e);
    if (e.background) DeleteObject(e.background);
    e.background = nullptr;
    UnregisterEngineClasses();
}

bool OnEngineThread(HWND window) { return window && GetWindowThreadProcessId(window, nullptr) == Engine().thread; }

const Skin& CurrentSkin() { return Engine().highContrast ? Engine().contrastSkin : Engine().skin; }
SkinSource CurrentSource() { return Engine().path.empty() ? SkinSource::BuiltIn : SkinSource::File; }
const win32::WidePath& CurrentSkinPath() { return Engine().path; }
const ParseReport& CurrentReport() { return Engine().report; }

bool HighContrast() { return Engine().highContrast; }
bool FollowSystemLook() { return ReadSystemLook(Engine()); }
void SetHighContrastSeam(bool on) { Engine().contrastSeam = on; }

SystemInk CurrentSystemInk() {
    using win32::SystemColour;
    return {SystemColour(COLOR_WINDOWTEXT), SystemColour(COLOR_GRAYTEXT), SystemColour(COLOR_WINDOW),
            SystemColour(COLOR_HIGHLIGHT)};
}

void SetTimeSource(TimeSource source) { Engine().time = source; }

void Now(SYSTEMTIME* now) {
    if (Engine().time) Engine().time(now);
    else GetLocalTime(now);
}

HFONT CreateSkinFont(std::string_view face, std::string_view fallback, int pixelHeight, bool bold, bool antialias,
                     bool cellHeight) {
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
    for (std::size_t i = 0; i < e.captionFontCount; ++i)
        if (e.captionFonts[i].dpi == dpi) return e.captionFonts[i].font;
    HFONT font = CreateSkinFont(e.skin.captionFont, "Tahoma", win32::dpi::Scale(e.skin.captionFontSize, dpi),
                                e.skin.captionFontBold, true);
    if (!font) return nullptr;
    if (e.captionFontCount == kCaptionFontSlots) DropCaptionFonts(e);
    e.captionFonts[e.captionFontCount++] = {dpi, font};
    return font;
}

HBRUSH BackgroundBrush() {
    Context& e = Engine();
    const uint32_t colour = CurrentSkin().background;
    if (!e.background || e.backgroundColour != colour) {
        if (e.background) DeleteObject(e.background);
        e.background = CreateSolidBrush(win32::ArgbToColorref(colour));
        e.backgroundColour = colour;
    }
    return e.background;
}

}  // namespace pelmar
