#include "helpers.h"

namespace win32 {

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

namespace {

// Fills a wide path through call(buffer, size), which gives the path's length
// as GetModuleFileNameW and GetShortPathNameW do; empty when it fails.
template <typename Call>
std::wstring WidePath(Call call) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = call(path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return path.substr(0, length);
        if (path.size() >= 32768) return {};
        path.resize(length > path.size() ? length : path.size() * 2);
    }
}

// The path in the process's ANSI code page, or empty when that code page
// cannot spell every character of it (it would then name another file).
std::string AnsiSpelling(const std::wstring& wide) {
    const int length = static_cast<int>(wide.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string ansi(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.data(), bytes, nullptr, nullptr);
    std::wstring back(wide.size(), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, ansi.data(), bytes, back.data(), length) != length || back != wide) return {};
    return ansi;
}

}  // namespace

std::string ProgramPath() {
    const std::wstring path =
        WidePath([](wchar_t* to, DWORD size) { return GetModuleFileNameW(nullptr, to, size); });
    if (path.empty()) return {};
    if (std::string ansi = AnsiSpelling(path); !ansi.empty()) return ansi;
    // A folder with letters outside the ANSI code page (a system that does
    // not honour the manifest's UTF-8 code page): its short 8.3 form, which
    // is ASCII on a volume that keeps short names.
    return AnsiSpelling(
        WidePath([&](wchar_t* to, DWORD size) { return GetShortPathNameW(path.c_str(), to, size); }));
}

std::string ProgramFolder() {
    const std::string path = ProgramPath();
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

ATOM RegisterClassOnce(const WNDCLASSEXA& wc) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        WNDCLASSEXA existing{};
        existing.cbSize = sizeof existing;
        if (const ATOM atom = static_cast<ATOM>(GetClassInfoExA(wc.hInstance, wc.lpszClassName, &existing)))
            return existing.lpfnWndProc == wc.lpfnWndProc ? atom : 0;
        if (attempt == 0)
            if (const ATOM atom = RegisterClassExA(&wc)) return atom;
    }
    return 0;
}

namespace {

// Reads exactly `count` bytes into `to`.
bool ReadAll(HANDLE file, char* to, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(count - done > 0x10000000 ? 0x10000000 : count - done);
        if (!ReadFile(file, to + done, want, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

// Reads at most `most` bytes from the start of a file into `bytes`; with
// `wholeOnly` a larger file is not read at all. On any result but Ok `bytes`
// is empty.
template <class Bytes>
ReadResult ReadStart(const char* path, std::size_t most, bool wholeOnly, Bytes& bytes) {
    bytes.clear();
    HANDLE file = path ? CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr)
                       : INVALID_HANDLE_VALUE;
    if (file == INVALID_HANDLE_VALUE) return ReadResult::Missing;
    LARGE_INTEGER large{};
    ReadResult result = ReadResult::Ok;
    if (!GetFileSizeEx(file, &large) || large.QuadPart < 0) {
        result = ReadResult::Failed;
    } else if (const auto size = static_cast<std::uint64_t>(large.QuadPart); wholeOnly && size > most) {
        result = ReadResult::TooLarge;
    } else {
        try {
            bytes.resize(static_cast<std::size_t>(size < most ? size : most));
            if (!ReadAll(file, reinterpret_cast<char*>(bytes.data()), bytes.size())) result = ReadResult::Failed;
        } catch (...) {
            result = ReadResult::Failed;
        }
        if (result != ReadResult::Ok) bytes.clear();
    }
    CloseHandle(file);
    return result;
}

}  // namespace

ReadResult ReadWholeFile(const char* path, std::size_t cap, std::vector<std::uint8_t>& bytes) {
    return ReadStart(path, cap, true, bytes);
}

ReadResult ReadFileHead(const char* path, std::size_t limit, std::string& text) {
    return ReadStart(path, limit, false, text);
}

const char* ReadResultName(ReadResult result) {
    switch (result) {
    case ReadResult::Ok: return "read";
    case ReadResult::Missing: return "cannot be opened";
    case ReadResult::TooLarge: return "too large";
    case ReadResult::Failed: return "cannot be read";
    }
    return "?";
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return text;
}

}  // namespace win32
