#include "helpers.h"

#include <cstring>

#include "report.h"

namespace win32 {

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&ThisModule), &module);
    return module;
}

namespace {

// Fills `path` through call(buffer, size), which gives the path's length as
// GetModuleFileNameW and GetShortPathNameW do; false when it fails.
template <typename Call>
bool FillWidePath(Call call, memory::Buffer<wchar_t>& path) {
    if (!path.Resize(MAX_PATH)) return false;
    for (;;) {
        const DWORD length = call(path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return false;
        if (length < path.size()) return path.Resize(length);
        if (path.size() >= 32768 || !path.Resize(length > path.size() ? length : path.size() * 2)) return false;
    }
}

// The wide path in the process's ANSI code page; false when that code page
// cannot spell every character of it (it would then name another file) or
// it does not fit.
bool AnsiSpelling(const memory::Buffer<wchar_t>& wide, Path& ansi) {
    ansi.Clear();
    const int length = static_cast<int>(wide.size());
    if (length == 0 || static_cast<std::size_t>(length) > Path::kMaxLength) return false;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), length, ansi.Room(),
                                          static_cast<int>(Path::kMaxLength), nullptr, nullptr);
    if (bytes <= 0) return false;
    ansi.Written(static_cast<std::size_t>(bytes));
    wchar_t back[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), bytes, back, MAX_PATH) != length ||
        std::memcmp(back, wide.data(), sizeof(wchar_t) * static_cast<std::size_t>(length)) != 0) {
        ansi.Clear();
        return false;
    }
    return true;
}

}  // namespace

bool ProgramPath(Path& path) {
    path.Clear();
    memory::Buffer<wchar_t> wide;
    if (!FillWidePath([](wchar_t* to, DWORD size) { return GetModuleFileNameW(nullptr, to, size); }, wide)) return false;
    if (AnsiSpelling(wide, path)) return true;
    // A folder with letters outside the ANSI code page (a system that does
    // not honour the manifest's UTF-8 code page): its short 8.3 form, which
    // is ASCII on a volume that keeps short names.
    if (!wide.Append(L'\0')) return false;
    memory::Buffer<wchar_t> shortPath;
    return FillWidePath([&](wchar_t* to, DWORD size) { return GetShortPathNameW(wide.data(), to, size); }, shortPath) &&
           AnsiSpelling(shortPath, path);
}

bool ProgramFolder(WidePath& folder) {
    folder.Clear();
    memory::Buffer<wchar_t> wide;
    if (!FillWidePath([](wchar_t* to, DWORD size) { return GetModuleFileNameW(nullptr, to, size); }, wide)) return false;
    std::size_t slash = wide.size();
    while (slash > 0 && wide.data()[slash - 1] != L'\\' && wide.data()[slash - 1] != L'/') --slash;
    if (slash == 0 || !folder.Assign({wide.data(), slash})) {
        folder.Clear();
        return false;
    }
    return true;
}

const wchar_t* AnsiToWide(const char* text, memory::Buffer<wchar_t>& wide, const char* module, const char* call) {
    wide.Clear();
    if (!text) return nullptr;
    // Never below 1 for a zero-terminated text: the zero counts.
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n > 0 && wide.Resize(static_cast<std::size_t>(n)) &&
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n) == n)
        return wide.data();
    wide.Clear();
    ReportOutOfMemory(module, call);
    return nullptr;
}

PathText PathForReport(const wchar_t* path) {
    PathText text;
    if (!path) return text;
    // The first MAX_PATH - 1 characters at most (3 bytes each in UTF-8),
    // never half of a surrogate pair.
    std::size_t length = wcsnlen(path, MAX_PATH - 1);
    if (length == MAX_PATH - 1 && IS_HIGH_SURROGATE(path[length - 1])) --length;
    const int bytes = length ? WideCharToMultiByte(CP_UTF8, 0, path, static_cast<int>(length), text.Room(),
                                                   static_cast<int>(PathText::kMaxLength), nullptr, nullptr)
                             : 0;
    text.Written(bytes > 0 ? static_cast<std::size_t>(bytes) : 0);
    return text;
}

bool ProgramFolder(Path& folder) {
    if (!ProgramPath(folder)) return false;
    const std::size_t slash = folder.view().find_last_of("\\/");
    if (slash == std::string_view::npos) {
        folder.Clear();
        return false;
    }
    folder.Truncate(slash + 1);
    return true;
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
ReadResult ReadStart(const wchar_t* path, std::size_t most, bool wholeOnly, Bytes& bytes) {
    bytes.Clear();
    HANDLE file = path ? CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
        if (!bytes.Resize(static_cast<std::size_t>(size < most ? size : most)) ||
            !ReadAll(file, reinterpret_cast<char*>(bytes.data()), bytes.size()))
            result = ReadResult::Failed;
        if (result != ReadResult::Ok) bytes.Clear();
    }
    CloseHandle(file);
    return result;
}

}  // namespace

ReadResult ReadWholeFile(const wchar_t* path, std::size_t cap, memory::Buffer<std::uint8_t>& bytes) {
    return ReadStart(path, cap, true, bytes);
}

ReadResult ReadFileHead(const wchar_t* path, std::size_t limit, memory::Buffer<char>& text) {
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

}  // namespace win32
