// Pictures: decoded pixels and row order, refusal of bad files, and the
// pixel buffer's ownership.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <GL/gl.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "debug_output.h"
#include "gl_window.h"
#include "orvane.h"
#include "picture.h"
#include "png_writer.h"
#include "test_window.h"

namespace {

using orvane_test::Png;

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "orvane_test_" + std::to_string(GetCurrentProcessId()) + "_" + name;
}

std::string WriteFile(const char* name, const std::vector<unsigned char>& bytes) {
    const std::string path = TempPath(name);
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

std::vector<unsigned char> ReadFile(const std::string& path) {
    std::vector<unsigned char> bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        unsigned char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        fclose(f);
    }
    return bytes;
}

// The test data copied beside the test program.
std::string DataPath(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    return path.substr(0, path.find_last_of("\\/") + 1) + "orvane_test_data\\" + name;
}

// Counts the COM task allocator's live blocks while it is registered.
class AllocationCounter : public IMallocSpy {
public:
    long live = 0;
    SIZE_T largest = 0;   // the largest single allocation asked for
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        if (id == IID_IUnknown || id == IID_IMallocSpy) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override {
        largest = std::max(largest, size);
        return size;
    }
    void* STDMETHODCALLTYPE PostAlloc(void* actual) override {
        if (actual) ++live;
        return actual;
    }
    void* STDMETHODCALLTYPE PreFree(void* request, BOOL) override {
        if (request) --live;
        return request;
    }
    void STDMETHODCALLTYPE PostFree(BOOL) override {}
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* request, SIZE_T size, void** newRequest, BOOL) override {
        *newRequest = request;
        return size;
    }
    void* STDMETHODCALLTYPE PostRealloc(void* actual, BOOL) override { return actual; }
    void* STDMETHODCALLTYPE PreGetSize(void* request, BOOL) override { return request; }
    SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
    void* STDMETHODCALLTYPE PreDidAlloc(void* request, BOOL) override { return request; }
    int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int actual) override { return actual; }
    void STDMETHODCALLTYPE PreHeapMinimize() override {}
    void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

class Pictures : public testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    static void TearDownTestSuite() { CoUninitialize(); }
};

// A 3 x 2 picture: top row red, green, blue (opaque); bottom row white at
// alpha 128, black at alpha 0, grey at alpha 255.
const std::vector<std::vector<unsigned char>> kRows = {
    {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255},
    {255, 255, 255, 128, 0, 0, 0, 0, 90, 90, 90, 255},
};

TEST_F(Pictures, PngWithAlphaDecodesExactlyBottomRowFirst) {
    const std::string path = WriteFile("rgba.png", Png(3, 2, kRows));
    int32_t width = -1, height = -1;
    unsigned char* pixels = nullptr;
    ASSERT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 1);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);
    const std::vector<unsigned char> got(pixels, pixels + 24);
    std::vector<unsigned char> expected = kRows[1];
    expected.insert(expected.end(), kRows[0].begin(), kRows[0].end());
    EXPECT_EQ(got, expected);
    CoTaskMemFree(pixels);
    DeleteFileA(path.c_str());
}

TEST_F(Pictures, JpegDecodesToItsColoursBottomRowFirst) {
    // 16 x 16 in four quadrants: red top-left, green top-right, blue
    // bottom-left, white bottom-right.
    int32_t width = 0, height = 0;
    unsigned char* pixels = nullptr;
    ASSERT_EQ(QI_CreateGLTextureFromFileEX(DataPath("quads.jpg").c_str(), &width, &height, &pixels, 0), 1);
    ASSERT_EQ(width, 16);
    ASSERT_EQ(height, 16);
    struct Probe {
        int x, row;   // row counted from the first delivered row
        unsigned char r, g, b;
    };
    const Probe probes[] = {{2, 2, 0, 0, 255},    {13, 2, 255, 255, 255}, {2, 13, 255, 0, 0},
                            {13, 13, 0, 255, 0},  {0, 0, 0, 0, 255},      {15, 15, 0, 255, 0}};
    for (const Probe& p : probes) {
        const unsigned char* px = pixels + (size_t(p.row) * 16 + p.x) * 4;
        EXPECT_NEAR(px[0], p.r, 3) << p.x << "," << p.row;
        EXPECT_NEAR(px[1], p.g, 3) << p.x << "," << p.row;
        EXPECT_NEAR(px[2], p.b, 3) << p.x << "," << p.row;
        EXPECT_EQ(px[3], 255);
    }
    CoTaskMemFree(pixels);
}

TEST_F(Pictures, BadFilesReturnZeroAndLeaveNothingAllocated) {
    const std::vector<unsigned char> good = Png(3, 2, kRows);
    const std::vector<unsigned char> jpeg = ReadFile(DataPath("quads.jpg"));
    ASSERT_FALSE(jpeg.empty());
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    const std::vector<Case> cases = {
        {"empty.png", {}},
        {"text.png", {'h', 'e', 'l', 'l', 'o', '\n'}},
        {"signature.png", std::vector<unsigned char>(good.begin(), good.begin() + 8)},
        {"header.png", std::vector<unsigned char>(good.begin(), good.begin() + 33)},
        {"cut.png", std::vector<unsigned char>(good.begin(), good.end() - 30)},
        {"short.png", Png(3, 2, {kRows[0]})},                         // one row of two
        {"huge.png", Png(0x10000, 0x10000, kRows)},                   // 16 GiB of pixels
        {"overflow.png", Png(0x40000001, 1, kRows)},                  // 4 x width wraps
        {"zero.png", Png(0, 2, kRows)},
        {"header.jpg", std::vector<unsigned char>(jpeg.begin(), jpeg.begin() + 20)},
        {"cut.jpg", std::vector<unsigned char>(jpeg.begin(), jpeg.end() - 10)},   // inside the scan
    };
    AllocationCounter counter;
    ASSERT_EQ(CoRegisterMallocSpy(&counter), S_OK);
    for (const Case& c : cases) {
        const std::string path = WriteFile(c.name, c.bytes);
        int32_t width = 7, height = 7;
        unsigned char* pixels = nullptr;
        const long before = counter.live;
        EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 0) << c.name;
        EXPECT_EQ(pixels, nullptr) << c.name;
        EXPECT_EQ(width, 0) << c.name;
        EXPECT_EQ(height, 0) << c.name;
        EXPECT_EQ(counter.live, before) << c.name;
        DeleteFileA(path.c_str());
    }
    const std::string dir = TempPath("");
    for (const char* path : {"", "no\\such\\file.png", dir.c_str()}) {
        int32_t width = 7, height = 7;
        unsigned char* pixels = nullptr;
        EXPECT_EQ(QI_CreateGLTextureFromFileEX(path, &width, &height, &pixels, 0), 0) << path;
        EXPECT_EQ(pixels, nullptr);
    }
    CoRevokeMallocSpy();
}

// The most memory this process has touched so far (Wine reports the current
// private bytes as their peak; the working set's peak is a true one).
SIZE_T PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PeakWorkingSetSize;
}

TEST_F(Pictures, PicturesOverTheSizeLimitAreRefusedFromTheirHeaderAtOnce) {
    std::vector<unsigned char> bigJpeg = ReadFile(DataPath("quads.jpg"));
    ASSERT_GT(bigJpeg.size(), 200u);
    ASSERT_GT(ReadFile(DataPath("huge.png")).size(), 200000u);
    for (size_t i = 2; i + 8 < bigJpeg.size(); ++i)
        if (bigJpeg[i] == 0xFF && (bigJpeg[i + 1] == 0xC0 || bigJpeg[i + 1] == 0xC2)) {
            bigJpeg[i + 5] = 0x40, bigJpeg[i + 6] = 0x00, bigJpeg[i + 7] = 0x40, bigJpeg[i + 8] = 0x00;
            break;
        }
    const std::vector<std::pair<const char*, std::vector<unsigned char>>> cases = {
        {"side16384.png", ReadFile(DataPath("huge.png"))},   // 255 KB, valid, 16384 x 16384 grey
        {"pixels.png", Png(4097, 4097, {})},   // each side allowed, not their product
        {"side16384.jpg", bigJpeg},
    };
    for (const auto& [name, bytes] : cases) {
        const std::string path = WriteFile(name, bytes);
        const SIZE_T peakBefore = PeakWorkingSet();
        AllocationCounter counter;
        ASSERT_EQ(CoRegisterMallocSpy(&counter), S_OK);
        int32_t width = 7, height = 7;
        unsigned char* pixels = nullptr;
        EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 0) << name;
        CoRevokeMallocSpy();
        EXPECT_EQ(pixels, nullptr) << name;
        // Nothing of the picture's pixel size (64 MiB and more) was asked for or touched.
        EXPECT_LT(counter.largest, SIZE_T(16) << 20) << name;
        EXPECT_LT(PeakWorkingSet() - peakBefore, SIZE_T(16) << 20) << name;
        DeleteFileA(path.c_str());
    }
}

TEST_F(Pictures, EachRefusalIsNamedOnceWithItsFileAndReason) {
    DebugOutput output;
    ASSERT_TRUE(output.Ready());
    const std::string text = WriteFile("words.png", {'h', 'e', 'l', 'l', 'o', '\n'});
    const std::string huge = DataPath("huge.png");
    const std::string missing = TempPath("missing.png");
    const std::pair<std::string, std::string> cases[] = {
        {text, "cannot be decoded (HRESULT 0x"},
        {huge, "16384 x 16384 is over the size caps"},
        {missing, "cannot be decoded (HRESULT 0x80070002)"},
    };
    for (const auto& [path, why] : cases) {
        int32_t width = 0, height = 0;
        unsigned char* pixels = nullptr;
        EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 0);
        const auto lines = output.LinesStartingWith("orvane: picture refused: " + path + ": ");
        ASSERT_EQ(lines.size(), 1u) << path;
        EXPECT_NE(lines[0].find(why), std::string::npos) << lines[0];
    }
    DeleteFileA(text.c_str());
}

TEST_F(Pictures, NullArgumentsAreRefused) {
    const std::string path = WriteFile("args.png", Png(3, 2, kRows));
    int32_t width = 0, height = 0;
    unsigned char* pixels = nullptr;
    EXPECT_EQ(QI_CreateGLTextureFromFileEX(nullptr, &width, &height, &pixels, 0), 0);
    EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), nullptr, &height, &pixels, 0), 0);
    EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, nullptr, &pixels, 0), 0);
    EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, nullptr, 0), 0);
    EXPECT_EQ(pixels, nullptr);
    DeleteFileA(path.c_str());
}

TEST_F(Pictures, BufferIsTheCallersFromTheTaskAllocatorAndAReusedOneIsFreed) {
    const std::string path = WriteFile("own.png", Png(3, 2, kRows));
    AllocationCounter counter;
    ASSERT_EQ(CoRegisterMallocSpy(&counter), S_OK);
    int32_t width = 0, height = 0;
    unsigned char* pixels = nullptr;
    ASSERT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 1);
    EXPECT_EQ(counter.live, 1);   // the caller's buffer, and nothing else
    // Loading again through the same pointer releases the first buffer.
    ASSERT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 1);
    EXPECT_EQ(counter.live, 1);
    // A failed load into it too.
    EXPECT_EQ(QI_CreateGLTextureFromFileEX("missing.png", &width, &height, &pixels, 0), 0);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(counter.live, 0);
    CoRevokeMallocSpy();
    DeleteFileA(path.c_str());
}

// A picture is sized for the context current at the call: a view's as read
// when the view's context was made (the test seam ORVANE_MAX_TEXTURE_SIZE
// with it), any other context as it is at the call.
TEST_F(Pictures, AreSizedForTheContextCurrentAtTheCall) {
    const std::vector<std::vector<unsigned char>> white(200, std::vector<unsigned char>(300 * 4, 255));
    const std::string path = WriteFile("fit.png", Png(300, 200, white));
    char seam[16] = {};   // a run on the emulated floor sets one for the whole process
    const bool kept = GetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", seam, sizeof seam) != 0;
    SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", "64");
    orvane_test::ViewWindow view(16, 16);
    SetEnvironmentVariableA("ORVANE_MAX_TEXTURE_SIZE", kept ? seam : nullptr);
    ASSERT_NE(view.view(), nullptr);
    const auto longestSide = [&] {
        int32_t width = 0, height = 0;
        unsigned char* pixels = nullptr;
        EXPECT_EQ(QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0), 1);
        CoTaskMemFree(pixels);
        return std::max(width, height);
    };
    EXPECT_EQ(longestSide(), 64);   // the view's context
    TestGLWindow host("OrvanePictureHost", 16, 16);
    ASSERT_TRUE(host.Ready());
    EXPECT_GT(longestSide(), 64);   // the host's own context
    DeleteFileA(path.c_str());
}

TEST(PictureSize, RefusesEmptyAndOverflowingSizes) {
    struct Case {
        uint32_t width, height;
        size_t bytes;
    };
    const Case cases[] = {
        {1, 1, 4},          {1024, 512, 2097152}, {0, 5, 0},          {5, 0, 0},
        {0x10000, 0x10000, 0}, {0x40000000, 1, 0},  {0xFFFFFFFF, 0xFFFFFFFF, 0},
        {0x8000, 0x3FFF, size_t(0x8000) * 0x3FFF * 4}, {0x8000, 0x4000, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(orvane::PictureBytes(c.width, c.height), c.bytes) << c.width << " x " << c.height;
}

TEST(PictureRows, FlipReversesRowOrder) {
    for (uint32_t rows : {0u, 1u, 2u, 3u, 4u}) {
        const size_t stride = 5000;   // wider than the swap's working chunk
        std::vector<unsigned char> buffer(stride * rows);
        for (size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<unsigned char>(i / stride * 7 + i % 251);
        std::vector<unsigned char> expected;
        for (uint32_t r = rows; r-- > 0;)
            expected.insert(expected.end(), buffer.begin() + r * stride, buffer.begin() + (r + 1) * stride);
        orvane::FlipRows(buffer.data(), stride, rows);
        EXPECT_EQ(buffer, expected) << rows;
    }
}

TEST(Textures, DestroyDeletesTheNonZeroNamesOfTheRun) {
    orvane_test::ViewWindow window(16, 16);
    ASSERT_NE(window.view(), nullptr);
    GLuint names[2];
    glGenTextures(2, names);
    for (GLuint n : names) {
        glBindTexture(GL_TEXTURE_2D, n);   // a name becomes a texture when first bound
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    TextureEntry entries[3] = {};
    entries[0].GLTexture = names[0];
    entries[0].Width = 64;
    entries[2].GLTexture = names[1];
    EXPECT_EQ(QI_DestroyTexture(entries, 3), 1);
    EXPECT_FALSE(glIsTexture(names[0]));
    EXPECT_FALSE(glIsTexture(names[1]));
    for (const TextureEntry& e : entries) EXPECT_EQ(e.GLTexture, 0u);
    EXPECT_EQ(entries[0].Width, 64);   // only the names change
    EXPECT_EQ(QI_DestroyTexture(entries, 0), 0);
    EXPECT_EQ(QI_DestroyTexture(entries, -1), 0);
    EXPECT_EQ(QI_DestroyTexture(nullptr, 2), 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
