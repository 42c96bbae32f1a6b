// Measures the library against the bare platform work it wraps:
//  1. QI_CreateGLTextureFromFileEX on a 1024 x 512 JPEG against decoding the
//     same file straight through the Windows Imaging Component;
//  2. the demo's four overlay lines against a glClear and the presentation of
//     a 512 x 512 view (QI_UpdateGLWindow: a buffer swap, or under Wine the
//     copy of the frame from the view's hidden surface).
// Usage: orvane_bench [picture.jpg]; without a file it writes its own JPEG.
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>
#include <GL/gl.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "orvane.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

template <class T>
void Release(T*& p) {
    if (p) p->Release();
    p = nullptr;
}

// A 1024 x 512 picture with smooth shading and fine detail, as a JPEG.
bool WriteJpeg(const wchar_t* path) {
    const UINT width = 1024, height = 512, stride = width * 3;
    std::vector<BYTE> pixels(size_t(stride) * height);
    unsigned seed = 12345;
    for (UINT y = 0; y < height; ++y)
        for (UINT x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = int((seed >> 16) & 31) - 16;
            BYTE* p = &pixels[size_t(y) * stride + x * 3];
            p[0] = BYTE(std::clamp(int(x * 255 / width) + noise, 0, 255));
            p[1] = BYTE(std::clamp(int(y * 255 / height) + noise, 0, 255));
            p[2] = BYTE(std::clamp(int(((x ^ y) & 63) * 4) + noise, 0, 255));
        }
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IPropertyBag2* options = nullptr;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
              SUCCEEDED(factory->CreateStream(&stream)) &&
              SUCCEEDED(stream->InitializeFromFilename(path, GENERIC_WRITE)) &&
              SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatJpeg, nullptr, &encoder)) &&
              SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
              SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) &&
              SUCCEEDED(frame->Initialize(options)) && SUCCEEDED(frame->SetSize(width, height)) &&
              SUCCEEDED(frame->SetPixelFormat(&format)) && IsEqualGUID(format, GUID_WICPixelFormat24bppBGR) &&
              SUCCEEDED(frame->WritePixels(height, stride, UINT(pixels.size()), pixels.data())) &&
              SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    Release(options);
    Release(frame);
    Release(encoder);
    Release(stream);
    Release(factory);
    return ok;
}

// The same decode with nothing around it: top-down rows into a fresh buffer.
bool BareDecode(const wchar_t* path) {
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICFormatConverter* converter = nullptr;
    UINT width = 0, height = 0;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
              SUCCEEDED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ,
                                                           WICDecodeMetadataCacheOnDemand, &decoder)) &&
              SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(frame->GetSize(&width, &height)) &&
              SUCCEEDED(factory->CreateFormatConverter(&converter)) &&
              SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppRGBA, WICBitmapDitherTypeNone,
                                              nullptr, 0.0, WICBitmapPaletteTypeCustom));
    if (ok) {
        const UINT bytes = width * height * 4;
        void* buffer = CoTaskMemAlloc(bytes);
        ok = buffer && SUCCEEDED(converter->CopyPixels(nullptr, width * 4, bytes, static_cast<BYTE*>(buffer)));
        CoTaskMemFree(buffer);
    }
    Release(converter);
    Release(frame);
    Release(decoder);
    Release(factory);
    return ok;
}

void BenchPictures(const std::string& path) {
    std::wstring wide(path.begin(), path.end());
    const int rounds = 30;
    std::vector<double> library, bare;
    int32_t width = 0, height = 0;
    for (int i = 0; i < rounds + 2; ++i) {   // two warm-up rounds
        // Alternate which goes first, so neither gains from the other's caching.
        unsigned char* pixels = nullptr;
        double t0 = 0, t1 = 0, t2 = 0, t3 = 0;
        bool a = false, b = false;
        for (int k = 0; k < 2; ++k) {
            if ((i + k) % 2 == 0) {
                t0 = Now();
                a = QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0) != 0;
                t1 = Now();
                CoTaskMemFree(pixels);
            } else {
                t2 = Now();
                b = BareDecode(wide.c_str());
                t3 = Now();
            }
        }
        if (!a || !b) {
            printf("picture: decoding %s failed (library %d, bare %d)\n", path.c_str(), a, b);
            return;
        }
        if (i >= 2) {
            library.push_back(t1 - t0);
            bare.push_back(t3 - t2);
        }
    }
    const double l = Median(library), w = Median(bare);
    printf("picture %dx%d JPEG, median of %d:\n", width, height, rounds);
    printf("  QI_CreateGLTextureFromFileEX  %8.3f ms\n", l);
    printf("  bare WIC decode               %8.3f ms\n", w);
    printf("  library overhead              %+7.1f %%   (target at most 25 %%)\n", (l / w - 1.0) * 100.0);
}

// A PNG whose header declares 16384 x 16384 pixels (1 GiB decoded): refused
// from its header, before any decoding.
void BenchRefusal() {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "orvane_bench_oversize.png";
    static const unsigned char kHeader[33] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D',
                                              'R', 0, 0, 0x40, 0, 0, 0, 0x40, 0, 8, 6, 0, 0, 0, 0, 0, 0, 0};
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(kHeader, 1, sizeof kHeader, f);
        fclose(f);
    }
    std::vector<double> times;
    for (int i = 0; i < 32; ++i) {
        int32_t width = 0, height = 0;
        unsigned char* pixels = nullptr;
        const double t0 = Now();
        const int32_t ok = QI_CreateGLTextureFromFileEX(path.c_str(), &width, &height, &pixels, 0);
        const double t1 = Now();
        CoTaskMemFree(pixels);
        if (ok) {
            printf("refusal: the over-size picture was decoded\n");
            break;
        }
        if (i >= 2) times.push_back(t1 - t0);
    }
    DeleteFileA(path.c_str());
    if (!times.empty()) printf("  over-size picture refused      %8.3f ms   (target under 50 ms)\n", Median(times));
}

void BenchOverlay() {
    RegisterOrvaneClass();
    // A child view in a host, as programs have it (under Wine its frames
    // are copied from a hidden surface).
    HWND host = CreateWindowExA(0, "STATIC", "bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 512, 512,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND view = CreateWindowExA(0, "QOPENGLCTRL", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 512, 512, host, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!view) {
        printf("overlay: no view\n");
        return;
    }
    QI_ResizeGLWindow(view);
    // The demo's state: lit, textured, blended, colour-tracked, depth-tested.
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHTING);
    glEnable(GL_COLOR_MATERIAL);
    GLFontRecord font{};
    strcpy(font.FontName, "Arial");
    font.FontHeight = 10;
    font.FontWeight = 700;
    QI_BuildGLfont(QI_GetGLDC(view), &font);
    const uint32_t colour = QD_ColorARGB(255, RGB(247, 225, 125));
    const char* lines[4] = {"Horizontal  0.00", "Vertical 11.75", "Zoom 49", "Frame  1 / 198"};
    const int xs[4] = {9, 25, 39, 33};

    // Frames with and without the overlay, alternating; the overlay's cost is
    // the difference of their medians.
    const int rounds = 400;
    std::vector<double> plain, withText, submit;
    for (int i = 0; i < 2 * (rounds + 20); ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        const bool drawText = i % 2 == 1;
        const double t0 = Now();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const double t1 = Now();
        if (drawText)
            for (int k = 0; k < 4; ++k)
                QI_DrawGLText(view, &font, xs[k], 10 + k * font.FontHeight, lines[k], colour);
        const double t2 = Now();
        QI_UpdateGLWindow(view);
        const double t3 = Now();
        if (i < 40) continue;
        (drawText ? withText : plain).push_back(t3 - t0);
        if (drawText) submit.push_back(t2 - t1);
    }
    const double p = Median(plain), t = Median(withText), o = t - p;
    printf("overlay on a 512x512 view, median of %d frames each:\n", rounds);
    printf("  glClear + present             %8.3f ms\n", p);
    printf("  glClear + 4 lines + present   %8.3f ms\n", t);
    printf("  four lines' calls alone       %8.3f ms\n", Median(submit));
    printf("  overlay / clear-and-present   %7.1f %%   (target at most 10 %%)\n", o / p * 100.0);
    QI_DeleteGLFont(&font);
    DestroyWindow(host);
}

}  // namespace

int main(int argc, char** argv) {
    CoInitialize(nullptr);
    std::string path;
    if (argc > 1) {
        path = argv[1];
    } else {
        char dir[MAX_PATH];
        GetTempPathA(MAX_PATH, dir);
        path = std::string(dir) + "orvane_bench_1024x512.jpg";
        const std::wstring wide(path.begin(), path.end());
        if (!WriteJpeg(wide.c_str())) {
            printf("could not write %s\n", path.c_str());
            return 1;
        }
    }
    BenchPictures(path);
    BenchRefusal();
    BenchOverlay();
    if (argc <= 1) DeleteFileA(path.c_str());
    CoUninitialize();
    return 0;
}
