// The executable resources and the Resource folder, checked through the
// Windows calls the program itself makes.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <string>

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInRes;
    WORD id;
};
struct GroupIconDir {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

std::string ResourceText(LPCSTR name, LPCSTR type) {
    HRSRC r = FindResourceA(nullptr, name, type);
    if (!r) return {};
    HGLOBAL g = LoadResource(nullptr, r);
    const char* p = static_cast<const char*>(LockResource(g));
    return p ? std::string(p, SizeofResource(nullptr, r)) : std::string();
}

std::string ResourceFolder() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1) + RESOURCE_REL;
}

TEST(ProgramIcon, GroupHoldsOne32x32SixteenColourImage) {
    HRSRC r = FindResourceA(nullptr, "PROGRAM", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(r, nullptr);
    ASSERT_GE(SizeofResource(nullptr, r), sizeof(GroupIconDir));
    auto* dir = static_cast<const GroupIconDir*>(LockResource(LoadResource(nullptr, r)));
    ASSERT_NE(dir, nullptr);
    EXPECT_EQ(dir->type, 1);
    ASSERT_EQ(dir->count, 1);
    EXPECT_EQ(dir->entries[0].width, 32);
    EXPECT_EQ(dir->entries[0].height, 32);
    EXPECT_EQ(dir->entries[0].colorCount, 16);
    EXPECT_EQ(dir->entries[0].bitCount, 4);
}

TEST(ProgramIcon, LoadsAsTheClassIcon) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "PROGRAM");
    ASSERT_NE(icon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 32);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
}

TEST(Manifest, AsksForCommonControlsSix) {
    std::string m = ResourceText(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_FALSE(m.empty());
    EXPECT_NE(m.find("manifestVersion=\"1.0\""), std::string::npos);
    EXPECT_NE(m.find("version=\"1.0.0.0\" processorArchitecture=\"*\""), std::string::npos);
    const char* dependency =
        "type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
        "processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" language=\"*\"";
    EXPECT_NE(m.find(dependency), std::string::npos);
}

// The manifest as the program carries it, read from the built file.
std::string ProgramManifest() {
    const std::string path = ResourceFolder() + "..\\orvane_demo.exe";
    HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!program) return {};
    std::string text;
    if (HRSRC r = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)))
        if (const char* p = static_cast<const char*>(LockResource(LoadResource(program, r))))
            text.assign(p, SizeofResource(program, r));
    FreeLibrary(program);
    return text;
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Sharp at every display scale, from Windows Vista to 11, without the UAC
// file and registry redirection, and still only the common controls.
TEST(Manifest, ProgramDeclaresDpiAwarenessSystemsAndLevel) {
    const std::string m = ProgramManifest();
    ASSERT_FALSE(m.empty());
    const char* required[] = {
        "<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">PerMonitorV2, "
        "PerMonitor</dpiAwareness>",
        "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true/pm</dpiAware>",
        "<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>",
        "<supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>",   // Vista
        "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",   // 7
        "<supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>",   // 8
        "<supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>",   // 8.1
        "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",   // 10 and 11
    };
    for (const char* part : required) EXPECT_EQ(Count(m, part), 1u) << part;
    EXPECT_EQ(Count(m, "<supportedOS "), 5u);
    EXPECT_EQ(Count(m, "<dependency>"), 1u);
    EXPECT_EQ(Count(m, "<dependentAssembly>"), 1u);
    EXPECT_EQ(Count(m, "name=\"Microsoft.Windows.Common-Controls\""), 1u);
}

// WIC decodes every picture of the Resource folder at its intended size.
TEST(ResourceFolder, PicturesDecodeAtTheirSizes) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    IWICImagingFactory* factory = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                           IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))));
    struct {
        const char* name;
        UINT width, height;
    } pictures[] = {{"Background.jpg", 1024, 512}, {"Sydney.png", 512, 256},
                    {"Clock_09_92.png", 92, 92},    {"Orvane.png", 124, 45}};
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        std::string path = ResourceFolder() + p.name;
        wchar_t wide[MAX_PATH];
        ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH), 0);
        IWICBitmapDecoder* decoder = nullptr;
        HRESULT hr = factory->CreateDecoderFromFilename(wide, nullptr, GENERIC_READ,
                                                        WICDecodeMetadataCacheOnLoad, &decoder);
        ASSERT_TRUE(SUCCEEDED(hr)) << std::hex << hr << " " << path;
        IWICBitmapFrameDecode* frame = nullptr;
        ASSERT_TRUE(SUCCEEDED(decoder->GetFrame(0, &frame)));
        UINT w = 0, h = 0;
        frame->GetSize(&w, &h);
        EXPECT_EQ(w, p.width);
        EXPECT_EQ(h, p.height);
        frame->Release();
        decoder->Release();
    }
    factory->Release();
    CoUninitialize();
}

TEST(ResourceFolder, HoldsTheModel) {
    std::string path = ResourceFolder() + "Sydney.md2";
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    char magic[4] = {};
    DWORD got = 0;
    ReadFile(f, magic, 4, &got, nullptr);
    CloseHandle(f);
    EXPECT_EQ(std::string(magic, got), "IDP2");
}

}  // namespace
