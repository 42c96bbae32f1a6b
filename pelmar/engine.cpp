#include "engine.h"
#include "parts.h"
#include "trace.h"

#include <commctrl.h>

#include <map>
#include <vector>

namespace pelmar {
namespace {

struct EngineState {
    bool started = false;
    Skin skin;
    SkinSource source = SkinSource::BuiltIn;
    std::string path;
    ParseReport report;
    TimeSource time = nullptr;
};

EngineState& State() {
    static EngineState state;
    return state;
}

bool ReadFileText(const std::string& path, std::string& text) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok) {
        // One byte over the limit, so the parser can tell a cut text from a
        // whole one.
        const DWORD want = size.QuadPart > static_cast<LONGLONG>(kMaxSkinBytes)
                               ? static_cast<DWORD>(kMaxSkinBytes + 1)
                               : static_cast<DWORD>(size.QuadPart);
        text.assign(want, '\0');
        DWORD got = 0;
        ok = want == 0 || ReadFile(file, text.data(), want, &got, nullptr) != 0;
        text.resize(ok ? got : 0);
    }
    CloseHandle(file);
    return ok;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CALLBACK FoundFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool StartEngine(const char* skinFile) {
    EngineState& s = State();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    if (!RegisterEngineClasses()) return false;

    s.skin = Skin{};
    s.source = SkinSource::BuiltIn;
    s.path.clear();
    s.report = {};
    const std::string name = skinFile ? skinFile : "";
    if (!name.empty()) {
        const std::string path = FindSkinFile(name);
        std::string text;
        if (!path.empty() && ReadFileText(path, text)) {
            s.report = ParseSkin(text, s.skin);
            s.source = SkinSource::File;
            s.path = path;
        }
    }
    s.started = true;
    return true;
}

bool EnsureStarted() { return State().started || StartEngine(nullptr); }

const Skin& CurrentSkin() { return State().skin; }
SkinSource CurrentSource() { return State().source; }
const std::string& CurrentSkinPath() { return State().path; }
ParseReport CurrentReport() { return State().report; }

std::string ExecutableFolder() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) {
            std::string path(buffer.data(), n);
            const std::size_t slash = path.find_last_of("\\/");
            return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        }
        if (buffer.size() > 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

std::string FindSkinFile(const std::string& name) {
    if (name.empty()) return std::string();
    if (name.find_first_of("\\/:") != std::string::npos) return FileExists(name) ? name : std::string();
    const std::string folder = ExecutableFolder();
    for (const std::string& candidate : {folder + name, folder + "Resource\\" + name})
        if (FileExists(candidate)) return candidate;
    return std::string();
}

FARPROC SystemFunction(const char* dll, const char* function) {
    // One load per library for the life of the process; a library that
    // cannot be loaded is not tried again.
    static std::map<std::string, HMODULE> loaded;
    auto it = loaded.find(dll);
    if (it == loaded.end()) {
        HMODULE module = LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module) {
            // Systems that do not know the flag: the system folder's full path.
            char folder[MAX_PATH];
            const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
            if (n > 0 && n < MAX_PATH) {
                const std::string path = std::string(folder, n) + "\\" + dll;
                module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
            }
        }
        it = loaded.emplace(dll, module).first;
    }
    return it->second ? GetProcAddress(it->second, function) : nullptr;
}

HINSTANCE ModuleInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ModuleInstance), &module);
    return module;
}

void SetTimeSource(TimeSource source) { State().time = source; }

void Now(SYSTEMTIME* now) {
    if (State().time) State().time(now);
    else GetLocalTime(now);
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
    static const char* const kCommon[] = {"Tahoma", "Segoe UI", "Arial", "Liberation Sans", "DejaVu Sans",
                                          "MS Sans Serif"};
    // Every caption paint asks again for the same faces: each pair is looked
    // up in the system's font list once per process.
    struct Resolved {
        std::string face, fallback, result;
    };
    static std::vector<Resolved> known;
    for (const Resolved& r : known)
        if (r.face == face && r.fallback == fallback) return r.result;
    orvane_trace::Step step("pelmar", "font lookup");
    std::string result = face.empty() ? fallback : face;
    if (FontInstalled(face)) {
        result = face;
    } else if (FontInstalled(fallback)) {
        result = fallback;
    } else {
        for (const char* common : kCommon) {
            if (FontInstalled(common)) {
                result = common;
                break;
            }
        }
    }
    if (known.size() < 16) known.push_back({face, fallback, result});
    return result;
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

LRESULT DefaultWithoutDrawing(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
    const bool visible = (style & WS_VISIBLE) != 0;
    if (visible) SetWindowLongPtrA(window, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_VISIBLE));
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (visible) SetWindowLongPtrA(window, GWL_STYLE, GetWindowLongPtrA(window, GWL_STYLE) | WS_VISIBLE);
    return result;
}

BackBuffer::BackBuffer(HDC reference, int width, int height) : width_(width), height_(height) {
    if (width <= 0 || height <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(reference);
    if (!dc_) return;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) return;
    bits_ = static_cast<uint32_t*>(bits);
    old_ = SelectObject(dc_, bitmap_);
}

BackBuffer::~BackBuffer() {
    if (dc_ && old_) SelectObject(dc_, old_);
    if (bitmap_) DeleteObject(bitmap_);
    if (dc_) DeleteDC(dc_);
}

Canvas BackBuffer::Pixels() {
    GdiFlush();
    return {bits_, bits_ ? width_ : 0, bits_ ? height_ : 0};
}

void DrawTextArgb(BackBuffer& target, const RECT& box, const std::string& text, HFONT font, uint32_t argb,
                  UINT format) {
    if (!target.Ok() || text.empty()) return;
    BackBuffer mask(target.Dc(), target.Width(), target.Height());
    if (!mask.Ok()) return;
    // White text on black: the green byte of each pixel is its coverage.
    HGDIOBJ oldFont = SelectObject(mask.Dc(), font ? font : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(mask.Dc(), TRANSPARENT);
    SetTextColor(mask.Dc(), RGB(255, 255, 255));
    RECT r = box;
    DrawTextA(mask.Dc(), text.c_str(), static_cast<int>(text.size()), &r, format);
    SelectObject(mask.Dc(), oldFont);
    const Canvas m = mask.Pixels();
    ApplyTextMask(target.Pixels(), m.pixels, argb);
}

void BlendBitmap(HDC target, HBITMAP picture, int x, int y, int width, int height) {
    if (!picture || width <= 0 || height <= 0) return;
    HDC source = CreateCompatibleDC(target);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, picture);
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(target, x, y, width, height, source, 0, 0, width, height, blend);
    SelectObject(source, old);
    DeleteDC(source);
}

}  // namespace pelmar
