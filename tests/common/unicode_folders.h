// Folders named in Cyrillic ("Модели") and in CJK ("模型") under the
// temporary folder, each holding copies of files of the demo's Resource
// folder, for the calls that take UTF-16 paths. They prove something only
// where the ANSI code page cannot spell those names: a test program has no
// manifest asking for the UTF-8 code page, and its test checks that
// GetACP() is not CP_UTF8.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace test {

// The two folders' paths with their trailing backslash, each made (under
// %TEMP%\<tag>\) and filled with the named files of resourceDir (ANSI
// text); an empty list when any step fails.
inline std::vector<std::wstring> MakeUnicodeFolders(const wchar_t* tag, const char* resourceDir,
                                                    std::initializer_list<const wchar_t*> files) {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::wstring base = std::wstring(temp) + tag + L"\\";
    wchar_t source[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, resourceDir, -1, source, MAX_PATH)) return {};
    CreateDirectoryW(base.c_str(), nullptr);
    std::vector<std::wstring> folders;
    for (const wchar_t* name : {L"\u041c\u043e\u0434\u0435\u043b\u0438", L"\u6a21\u578b"}) {
        const std::wstring folder = base + name + L"\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* file : files)
            if (!CopyFileW((std::wstring(source) + L"\\" + file).c_str(), (folder + file).c_str(), FALSE)) return {};
        folders.push_back(folder);
    }
    return folders;
}

}  // namespace test
