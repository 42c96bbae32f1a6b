#include "support.h"

#include "object_count.h"

#include <commctrl.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <thread>

#include "helpers.h"
#include "pelmar.h"

namespace pelmar::test {

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG msg;
    do {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

Screen::Screen() {
    width_ = GetSystemMetrics(SM_CXSCREEN);
    height_ = GetSystemMetrics(SM_CYSCREEN);
    pixels_.assign(static_cast<std::size_t>(width_) * height_, 0);
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* p = static_cast<const uint32_t*>(bits);
    for (std::size_t i = 0; i < pixels_.size(); ++i) pixels_[i] = p[i] & 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

uint32_t Screen::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0xFFFFFFFF;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

uint32_t Screen::AtClient(HWND window, int x, int y) const {
    POINT p{x, y};
    ClientToScreen(window, &p);
    return At(p.x, p.y);
}

uint32_t Screen::AtWindow(HWND window, int x, int y) const {
    RECT r{};
    GetWindowRect(window, &r);
    return At(r.left + x, r.top + y);
}

void Screen::SaveIfAsked(const char* name) const {
    const char* folder = std::getenv("PELMAR_SHOTS");
    if (folder && *folder) Save(std::string(folder) + "\\" + name);
}

bool Screen::Save(const std::string& path) const {
    std::vector<uint32_t> argb(pixels_.size());
    for (std::size_t i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000u | pixels_[i];
    return WritePng(path, width_, height_, argb);
}

int Red(uint32_t rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
int Green(uint32_t rgb) { return static_cast<int>((rgb >> 8) & 0xFF); }
int Blue(uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

int Distance(uint32_t a, uint32_t b) {
    const int dr = std::abs(Red(a) - Red(b)), dg = std::abs(Green(a) - Green(b)), db = std::abs(Blue(a) - Blue(b));
    return std::max(dr, std::max(dg, db));
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    bool ok = false;
    std::wstring wide(path.begin(), path.end());
    do {
        if (FAILED(CoCreateInstance(CLSID_WICImagingFactory1, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                    reinterpret_cast<void**>(&factory))))
            break;
        if (FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(wide.c_str(), GENERIC_WRITE)))
            break;
        if (FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
            FAILED(encoder->Initialize(stream, WICBitmapEncoderNoCache)))
            break;
        if (FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr))) break;
        if (FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height)))) break;
        WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
        if (FAILED(frame->SetPixelFormat(&format)) || format != GUID_WICPixelFormat32bppBGRA) break;
        std::vector<uint32_t> copy = argb;
        if (FAILED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * 4,
                                      static_cast<UINT>(copy.size() * 4), reinterpret_cast<BYTE*>(copy.data()))))
            break;
        ok = SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    } while (false);
    if (frame) frame->Release();
    if (encoder) encoder->Release();
    if (stream) stream->Release();
    if (factory) factory->Release();
    CoUninitialize();
    return ok;
}

namespace {

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        in.mi.dx = static_cast<LONG>((x * 65536LL + GetSystemMetrics(SM_CXSCREEN) / 2) / GetSystemMetrics(SM_CXSCREEN));
        in.mi.dy = static_cast<LONG>((y * 65536LL + GetSystemMetrics(SM_CYSCREEN) / 2) / GetSystemMetrics(SM_CYSCREEN));
    }
    SendInput(1, &in, sizeof(in));
}

}  // namespace

void Perform(const std::vector<Step>& steps) {
    volatile LONG done = 0;
    std::thread helper([&] {
        for (const Step& step : steps) {
            switch (step.kind) {
            case Step::Move: SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, step.x, step.y); break;
            case Step::Down: SendMouse(MOUSEEVENTF_LEFTDOWN); break;
            case Step::Up: SendMouse(MOUSEEVENTF_LEFTUP); break;
            case Step::KeyDown:
            case Step::KeyUp: {
                INPUT in{};
                in.type = INPUT_KEYBOARD;
                in.ki.wVk = step.key;
                in.ki.dwFlags = step.kind == Step::KeyUp ? KEYEVENTF_KEYUP : 0;
                SendInput(1, &in, sizeof(in));
                break;
            }
            case Step::Wait: Sleep(static_cast<DWORD>(step.x)); break;
            case Step::Run: if (step.run) step.run(); break;
            }
            Sleep(40);
        }
        InterlockedExchange(&done, 1);
    });
    while (!InterlockedCompareExchange(&done, 0, 0)) Pump(10);
    helper.join();
    Pump(50);
}

void MoveMouse(int x, int y) { Perform({{Step::Move, x, y}}); }

void Click(int x, int y) {
    // Moved twice: under Wine a late pointer event from the previous place
    // can otherwise land after the first move.
    Perform({{Step::Move, x, y}, {Step::Wait, 100}, {Step::Move, x, y}, {Step::Down}, {Step::Up}});
}

void Drag(int fromX, int fromY, int toX, int toY) {
    Perform({{Step::Move, fromX, fromY},
             {Step::Down},
             {Step::Move, (fromX + toX) / 2, (fromY + toY) / 2},
             {Step::Move, toX, toY},
             {Step::Wait, 100},   // let the pointer settle before the release
             {Step::Move, toX, toY},
             {Step::Up}});
}

void KeyCombo(std::initializer_list<WORD> keys) {
    std::vector<Step> steps;
    for (WORD k : keys) steps.push_back({Step::KeyDown, 0, 0, k});
    for (auto it = keys.end(); it != keys.begin();) steps.push_back({Step::KeyUp, 0, 0, *--it});
    Perform(steps);
}

DWORD GdiObjects() { return objects::Gdi(); }

DWORD UserObjects() { return objects::User(); }

// --- the program-like window ---

namespace {

constexpr char kMainClass[] = "PelmarTestMain";
constexpr char kViewClass[] = "PelmarTestView";

LRESULT CALLBACK MainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* scene = reinterpret_cast<Scene*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_PAINT: {
        // As the program: validate, draw nothing in the main window itself.
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_CLOSE:
        if (scene) ++scene->closeRequests;
        return 0;   // the tests count close requests and keep the window
    case WM_NCMOUSEMOVE:
        if (scene && wParam < std::size(scene->nonClientMoves)) ++scene->nonClientMoves[wParam];
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HBRUSH brush = CreateSolidBrush(RGB(Red(Scene::kViewColour), Green(Scene::kViewColour), Blue(Scene::kViewColour)));
        FillRect(dc, &ps.rcPaint, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc{};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.lpszClassName = kMainClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = ViewProc;
    wc.hIcon = nullptr;
    wc.style = CS_OWNDC;
    wc.lpszClassName = kViewClass;
    RegisterClassA(&wc);
}

// A clock face: a light disc with a dark rim, transparent around it.
void MakeFace(const std::string& path) {
    const int n = 92;
    std::vector<uint32_t> px(n * n, 0);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double d = std::hypot(x + 0.5 - 46.0, y + 0.5 - 46.0);
            if (d < 42.0) px[y * n + x] = 0xFF000000u | Scene::kFaceColour;
            else if (d < 45.0) px[y * n + x] = 0xFF301A1C;
        }
    WritePng(path, n, n, px);
}

// A logo: a solid block whose left 24 columns fade in from transparent.
void MakeLogo(const std::string& path) {
    const int w = 124, h = 45;
    std::vector<uint32_t> px(w * h, 0);
    for (int y = 4; y < h - 4; ++y)
        for (int x = 0; x < w - 4; ++x) {
            const uint32_t a = x < 24 ? static_cast<uint32_t>(x * 255 / 24) : 255u;
            px[y * w + x] = (a << 24) | Scene::kLogoColour;
        }
    WritePng(path, w, h, px);
}

}  // namespace

std::string ProgramFolder() {
    win32::Path folder;
    win32::ProgramFolder(folder);
    return std::string(folder.view());
}

std::string Scene::FacePath() { return ProgramFolder() + "pelmar_test_face.png"; }
std::string Scene::LogoPath() { return ProgramFolder() + "pelmar_test_logo.png"; }

bool Scene::Build(const char* skinFile, int x, int y, const char* facePicture, const char* logoPicture) {
    RegisterOnce();
    // The pointer away from where the window will be, so nothing starts
    // hovered.
    MoveMouse(GetSystemMetrics(SM_CXSCREEN) - 4, GetSystemMetrics(SM_CYSCREEN) - 4);
    MakeFace(FacePath());
    MakeLogo(LogoPath());
    const std::string facePath = facePicture ? facePicture : FacePath();
    const std::string logoPath = logoPicture ? logoPicture : LogoPath();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    RECT r{0, 0, 668, 532};
    AdjustWindowRect(&r, style, FALSE);
    HINSTANCE inst = GetModuleHandleA(nullptr);
    main = CreateWindowExA(0, kMainClass, "Pelmar skin test", style, x, y, r.right - r.left, r.bottom - r.top,
                           nullptr, nullptr, inst, nullptr);
    if (!main) return false;
    SetWindowLongPtrA(main, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    view = CreateWindowExA(0, kViewClass, nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 512, 512, main,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)), inst, nullptr);
    trackbar = CreateWindowExA(0, TRACKBAR_CLASSA, nullptr, WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_AUTOTICKS, 537,
                               457, 120, 16, main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(-103)), inst, nullptr);
    // The GL control library's anchoring, stood in for by the engine's own
    // (the codes mean the same).
    skSetAnchorCtrl(view, 5);
    skSetAnchorCtrl(trackbar, 9);

    if (!skInitEngine(skinFile, nullptr)) return false;
    skSkinWindow(main, "Dock|Undock|Minimize|Maximize|Restore|Close");
    RECT vr{};
    GetWindowRect(view, &vr);
    POINT tl{vr.left, vr.top};
    ScreenToClient(main, &tl);
    const int vw = vr.right - vr.left, vh = vr.bottom - vr.top;
    skBorder(view, tl.x - 1, tl.y - 1, vw + 2, vh + 2, 0, 1);
    clock = skClockCtrl(main, facePath.c_str(), tl.x + vw + 28, tl.y, 0, 0, -104, 0x7FCB0000, 0x7F8F8F8F, 0);
    skSetAnchorCtrl(clock, 2);
    skCreateToolTip(clock, "Pelmar clock widget");
    RECT client{};
    GetClientRect(main, &client);
    label = CreateWindowExA(0, "STATIC",
                            "Mouse buttons\r\n\r\nLeft: rotation, and view angle.\r\n\r\nRight: new X,Y location.",
                            WS_CHILD | WS_VISIBLE | WS_BORDER | SS_CENTER, client.right - 137, 150, 129, 135, main,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(-102)), inst, nullptr);
    skSkinChildCtrl(label, 0);
    skSetAnchorCtrl(label, 2);
    skSetLabelFont(label, "TREBUCHET MS", 15, skARGB(200, 255, 255, 255), 1);
    logo = skStaticImage(main, logoPath.c_str(), client.right - 135, 350, 124, 45, -105);
    skSetAnchorCtrl(logo, 9);
    ShowWindow(main, SW_SHOW);
    UpdateWindow(main);
    // Pointer tests need the window active: a press on an inactive caption
    // activates it instead of starting a move.
    for (int i = 0; i < 40 && GetForegroundWindow() != main; ++i) {
        SetForegroundWindow(main);
        Pump(25);
    }
    Pump(300);
    return true;
}

Scene::~Scene() {
    if (main && IsWindow(main)) DestroyWindow(main);
    Pump(50);
}

}  // namespace pelmar::test
