// The steps after decoding (pictures::CopyUpright), with the system's imaging
// component and with stand-ins for the parts whose behaviour on Windows
// Wine's own do not show: a flip-rotator that asks its source for one pixel
// at a time, and a scaler that averages the channels as they are stored.
#include <windows.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <vector>

#include "exif.h"
#include "wic.h"

namespace {

using Microsoft::WRL::ComPtr;

// IUnknown with counted references; deleted at the last release.
template <class Interface>
class Object : public Interface {
public:
    virtual ~Object() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
        const bool source = std::is_base_of_v<IWICBitmapSource, Interface> && id == IID_IWICBitmapSource;
        if (id == IID_IUnknown || id == __uuidof(Interface) || source) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG references_ = 1;
};

// What every stand-in source answers alike; CopyPixels checks the rectangle
// and the buffer, and hands each line to CopyLine.
template <class Interface>
class Source : public Object<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetSize(UINT* width, UINT* height) override {
        *width = width_;
        *height = height_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPixelFormat(WICPixelFormatGUID* format) override {
        *format = format_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetResolution(double* x, double* y) override {
        *x = *y = 96.0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyPalette(IWICPalette*) override { return WINCODEC_ERR_PALETTEUNAVAILABLE; }
    HRESULT STDMETHODCALLTYPE CopyPixels(const WICRect* rect, UINT stride, UINT size, BYTE* buffer) override {
        const WICRect all{0, 0, INT(width_), INT(height_)};
        const WICRect r = rect ? *rect : all;
        if (r.X < 0 || r.Y < 0 || r.Width < 0 || r.Height < 0 || r.X + r.Width > all.Width ||
            r.Y + r.Height > all.Height || stride < UINT(r.Width) * 4 ||
            (r.Height > 0 && size < stride * UINT(r.Height - 1) + UINT(r.Width) * 4))
            return E_INVALIDARG;
        for (INT y = 0; y < r.Height; ++y)
            if (const HRESULT hr = CopyLine(r.X, r.Y + y, r.Width, buffer + std::size_t(y) * stride); FAILED(hr))
                return hr;
        return S_OK;
    }

protected:
    virtual HRESULT CopyLine(INT x, INT y, INT count, BYTE* out) = 0;
    UINT width_ = 0, height_ = 0;
    WICPixelFormatGUID format_ = GUID_WICPixelFormat32bppRGBA;
};

// A stored picture of RGBA pixels that counts the reads of each of its lines.
class CountingSource : public Source<IWICBitmapSource> {
public:
    CountingSource(UINT width, UINT height, std::vector<std::uint32_t> pixels)
        : pixels_(std::move(pixels)), reads_(height) {
        width_ = width;
        height_ = height;
    }
    const std::vector<int>& Reads() const { return reads_; }

private:
    HRESULT CopyLine(INT x, INT y, INT count, BYTE* out) override {
        ++reads_[std::size_t(y)];
        std::memcpy(out, &pixels_[std::size_t(y) * width_ + std::size_t(x)], std::size_t(count) * 4);
        return S_OK;
    }
    std::vector<std::uint32_t> pixels_;
    std::vector<int> reads_;
};

// A flip-rotator as Windows' own is documented: each pixel asked of its
// source alone. Turns clockwise, then mirrors.
class PixelRotator : public Source<IWICBitmapFlipRotator> {
public:
    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, WICBitmapTransformOptions options) override {
        source_ = source;
        options_ = options;
        source->GetPixelFormat(&format_);
        source->GetSize(&sourceWidth_, &sourceHeight_);
        const bool quarter = (options & 1) != 0;
        width_ = quarter ? sourceHeight_ : sourceWidth_;
        height_ = quarter ? sourceWidth_ : sourceHeight_;
        return S_OK;
    }

private:
    HRESULT CopyLine(INT x, INT y, INT count, BYTE* out) override {
        for (INT i = 0; i < count; ++i) {
            INT u = x + i, v = y;
            if (options_ & WICBitmapTransformFlipHorizontal) u = INT(width_) - 1 - u;
            if (options_ & WICBitmapTransformFlipVertical) v = INT(height_) - 1 - v;
            const INT right = INT(sourceWidth_) - 1, bottom = INT(sourceHeight_) - 1;
            WICRect at{u, v, 1, 1};
            switch (options_ & 3) {
                case WICBitmapTransformRotate90: at.X = v, at.Y = bottom - u; break;
                case WICBitmapTransformRotate180: at.X = right - u, at.Y = bottom - v; break;
                case WICBitmapTransformRotate270: at.X = right - v, at.Y = u; break;
                default: break;
            }
            if (const HRESULT hr = source_->CopyPixels(&at, 4, 4, out + std::size_t(i) * 4); FAILED(hr)) return hr;
        }
        return S_OK;
    }
    ComPtr<IWICBitmapSource> source_;
    int options_ = 0;
    UINT sourceWidth_ = 0, sourceHeight_ = 0;
};

// A scaler that averages each byte of the source pixels it covers, as
// Windows' Fant and cubic filters mix channels whatever they mean. Whole
// ratios only.
class AveragingScaler : public Source<IWICBitmapScaler> {
public:
    HRESULT STDMETHODCALLTYPE Initialize(IWICBitmapSource* source, UINT width, UINT height,
                                         WICBitmapInterpolationMode) override {
        source_ = source;
        source->GetPixelFormat(&format_);
        source->GetSize(&sourceWidth_, &sourceHeight_);
        width_ = width;
        height_ = height;
        return sourceWidth_ % width == 0 && sourceHeight_ % height == 0 ? S_OK : E_INVALIDARG;
    }

private:
    HRESULT CopyLine(INT x, INT y, INT count, BYTE* out) override {
        const UINT fx = sourceWidth_ / width_, fy = sourceHeight_ / height_;
        std::vector<BYTE> lines(std::size_t(sourceWidth_) * 4 * fy);
        const WICRect band{0, INT(UINT(y) * fy), INT(sourceWidth_), INT(fy)};
        if (const HRESULT hr = source_->CopyPixels(&band, sourceWidth_ * 4, UINT(lines.size()), lines.data());
            FAILED(hr))
            return hr;
        for (INT i = 0; i < count; ++i)
            for (int c = 0; c < 4; ++c) {
                unsigned sum = 0;
                for (UINT dy = 0; dy < fy; ++dy)
                    for (UINT dx = 0; dx < fx; ++dx) sum += lines[(dy * sourceWidth_ + UINT(x + i) * fx + dx) * 4 + c];
                out[i * 4 + c] = BYTE((sum + fx * fy / 2) / (fx * fy));
            }
        return S_OK;
    }
    ComPtr<IWICBitmapSource> source_;
    UINT sourceWidth_ = 0, sourceHeight_ = 0;
};

// The system's imaging component with the flip-rotator and the scaler as
// Windows has them; what CopyUpright has no use for is refused.
class WindowsLikeFactory : public Object<IWICImagingFactory> {
public:
    explicit WindowsLikeFactory(IWICImagingFactory* system) : system_(system) {}
    HRESULT STDMETHODCALLTYPE CreateFormatConverter(IWICFormatConverter** out) override {
        return system_->CreateFormatConverter(out);
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapScaler(IWICBitmapScaler** out) override {
        *out = new AveragingScaler;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateBitmapFlipRotator(IWICBitmapFlipRotator** out) override {
        *out = new PixelRotator;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFilename(LPCWSTR, const GUID*, DWORD, WICDecodeOptions,
                                                        IWICBitmapDecoder**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDecoderFromStream(IStream*, const GUID*, WICDecodeOptions,
                                                      IWICBitmapDecoder**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDecoderFromFileHandle(ULONG_PTR, const GUID*, WICDecodeOptions,
                                                          IWICBitmapDecoder**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateComponentInfo(REFCLSID, IWICComponentInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDecoder(REFGUID, const GUID*, IWICBitmapDecoder**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateEncoder(REFGUID, const GUID*, IWICBitmapEncoder**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreatePalette(IWICPalette**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmapClipper(IWICBitmapClipper**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateStream(IWICStream**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateColorContext(IWICColorContext**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateColorTransformer(IWICColorTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmap(UINT, UINT, REFWICPixelFormatGUID, WICBitmapCreateCacheOption,
                                           IWICBitmap**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromSource(IWICBitmapSource*, WICBitmapCreateCacheOption,
                                                     IWICBitmap**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromSourceRect(IWICBitmapSource*, UINT, UINT, UINT, UINT,
                                                         IWICBitmap**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromMemory(UINT, UINT, REFWICPixelFormatGUID, UINT, UINT, BYTE*,
                                                     IWICBitmap**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromHBITMAP(HBITMAP, HPALETTE, WICBitmapAlphaChannelOption,
                                                      IWICBitmap**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBitmapFromHICON(HICON, IWICBitmap**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateComponentEnumerator(DWORD, DWORD, IEnumUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromDecoder(IWICBitmapDecoder*,
                                                                   IWICFastMetadataEncoder**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateFastMetadataEncoderFromFrameDecode(IWICBitmapFrameDecode*,
                                                                       IWICFastMetadataEncoder**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateQueryWriter(REFGUID, const GUID*, IWICMetadataQueryWriter**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateQueryWriterFromReader(IWICMetadataQueryReader*, const GUID*,
                                                          IWICMetadataQueryWriter**) override {
        return E_NOTIMPL;
    }

private:
    ComPtr<IWICImagingFactory> system_;
};

class CopyUpright : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_IWICImagingFactory,
                                               reinterpret_cast<void**>(system_.GetAddressOf()))));
        windowsLike_.Attach(new WindowsLikeFactory(system_.Get()));
    }
    void TearDown() override {
        system_.Reset();
        windowsLike_.Reset();
        CoUninitialize();
    }
    struct Factory {
        const char* name;
        IWICImagingFactory* factory;
    };
    std::vector<Factory> Factories() const {
        return {{"system's", system_.Get()}, {"Windows-like", windowsLike_.Get()}};
    }

private:
    ComPtr<IWICImagingFactory> system_, windowsLike_;
};

// A line read once per pixel makes the work grow with the square of the
// picture's side; a filter may read a line once for each of its taps.
TEST_F(CopyUpright, ReadsEachStoredLineABoundedNumberOfTimesInEveryOrientation) {
    constexpr UINT kWidth = 64, kHeight = 48;
    constexpr int kMostReads = 4;
    for (const Factory& f : Factories())
        for (int orientation = 1; orientation <= 8; ++orientation)
            for (UINT shrink : {1u, 2u}) {
                SCOPED_TRACE(std::string(f.name) + " orientation " + std::to_string(orientation) + " shrunk " +
                             std::to_string(shrink));
                ComPtr<CountingSource> source;
                source.Attach(new CountingSource(kWidth, kHeight, std::vector<std::uint32_t>(kWidth * kHeight)));
                const bool swap = exif::SwapsSides(orientation);
                const UINT w = (swap ? kHeight : kWidth) / shrink, h = (swap ? kWidth : kHeight) / shrink;
                const pictures::PictureSize upright{w, h};
                std::vector<std::uint32_t> pixels(std::size_t(upright.width) * upright.height);
                EXPECT_EQ(pictures::CopyUpright(f.factory, source.Get(), orientation, upright,
                                             GUID_WICPixelFormat32bppRGBA, pixels.data()),
                          S_OK);
                const std::vector<int>& reads = source->Reads();
                EXPECT_LE(*std::max_element(reads.begin(), reads.end()), kMostReads);
            }
}

// An opaque red square inside a fully transparent black border, halved: the
// edge pixels the filter mixes of both stay red, with less alpha.
TEST_F(CopyUpright, ResamplingKeepsTheColourOfEdgesBesideTransparency) {
    constexpr UINT kSide = 8;
    std::vector<std::uint32_t> stored(kSide * kSide, 0);
    for (UINT y = 1; y + 1 < kSide; ++y)
        for (UINT x = 1; x + 1 < kSide; ++x) stored[y * kSide + x] = 0xFF0000FF;   // R, G, B, A in memory
    struct Format {
        const char* name;
        const WICPixelFormatGUID& format;
        int red;   // the red byte of a pixel
    };
    const Format formats[] = {{"RGBA", GUID_WICPixelFormat32bppRGBA, 0}, {"BGRA", GUID_WICPixelFormat32bppBGRA, 2}};
    for (const Factory& f : Factories())
        for (const Format& format : formats) {
            SCOPED_TRACE(std::string(f.name) + " " + format.name);
            ComPtr<CountingSource> source;
            source.Attach(new CountingSource(kSide, kSide, stored));
            std::vector<BYTE> pixels(kSide / 2 * kSide / 2 * 4);
            ASSERT_EQ(pictures::CopyUpright(f.factory, source.Get(), 1, {kSide / 2, kSide / 2}, format.format,
                                         pixels.data()),
                      S_OK);
            for (std::size_t i = 0; i < pixels.size(); i += 4) {
                if (pixels[i + 3] == 0) continue;   // a transparent pixel's colour is free
                SCOPED_TRACE("pixel " + std::to_string(i / 4) + " alpha " + std::to_string(pixels[i + 3]));
                EXPECT_GE(int(pixels[i + std::size_t(format.red)]), 253);
                EXPECT_LE(int(pixels[i + 1]), 2);
                EXPECT_LE(int(pixels[i + 2 - std::size_t(format.red)]), 2);
            }
        }
}

}  // namespace
