// Reads what the release tests check from inside Wine. Prints "key value" lines.
//   release_probe version <file>   the file's version resource
//   release_probe window <class>   the top-level window of that class: title, client area
//   release_probe close <class>    asks that window to close
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int Version(const char* path) {
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) {
        std::printf("resource 0\n");
        return 1;
    }
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path, 0, size, data.data())) {
        std::printf("resource 0\n");
        return 1;
    }
    std::printf("resource 1\n");
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(data.data(), "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        const auto part = [](DWORD value, int shift) { return static_cast<unsigned>((value >> shift) & 0xFFFF); };
        std::printf("fixed_file %u.%u.%u.%u\n", part(fixed->dwFileVersionMS, 16), part(fixed->dwFileVersionMS, 0),
                    part(fixed->dwFileVersionLS, 16), part(fixed->dwFileVersionLS, 0));
        std::printf("fixed_product %u.%u.%u.%u\n", part(fixed->dwProductVersionMS, 16),
                    part(fixed->dwProductVersionMS, 0), part(fixed->dwProductVersionLS, 16),
                    part(fixed->dwProductVersionLS, 0));
        std::printf("file_type %lu\n", static_cast<unsigned long>(fixed->dwFileType));
    }
    // The strings of the first translation the resource lists.
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 4) return 1;
    const auto* translation = static_cast<const WORD*>(value);
    const char* names[] = {"FileDescription", "FileVersion", "ProductName", "ProductVersion",
                           "OriginalFilename", "LegalCopyright"};
    for (const char* name : names) {
        char query[96];
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
        if (VerQueryValueA(data.data(), query, &value, &length) && length > 0)
            std::printf("%s %s\n", name, static_cast<const char*>(value));
    }
    return 0;
}

int Window(const char* className) {
    HWND window = FindWindowA(className, nullptr);
    if (!window) {
        std::printf("found 0\n");
        return 1;
    }
    char title[300] = {};
    GetWindowTextA(window, title, sizeof title);
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("found 1\nvisible %d\ntitle %s\n", IsWindowVisible(window) ? 1 : 0, title);
    std::printf("client %ld %ld %ld %ld\n", origin.x, origin.y, client.right, client.bottom);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    if (!std::strcmp(argv[1], "version")) return Version(argv[2]);
    if (!std::strcmp(argv[1], "window")) return Window(argv[2]);
    if (!std::strcmp(argv[1], "close")) {
        HWND window = FindWindowA(argv[2], nullptr);
        return window && PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    return 2;
}
